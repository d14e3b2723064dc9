#!/usr/bin/env bash
# Installs every Debian package Vantrel needs to build, test and run.
# Packages already installed are skipped; apt-get update runs only when
# something is missing, so a second run costs a second.
set -euo pipefail

PACKAGES=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-charts-dev libqt6opengl6-dev qt6-translations-l10n
    libqt6svg6 adwaita-icon-theme
    libsqlite3-dev sqlite3
    liblog4cplus-dev libpugixml-dev libcsv-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    xvfb xauth fonts-noto-cjk
)

missing=()
for p in "${PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
    SUDO="sudo"
fi

echo "install-deps: installing ${missing[*]}" >&2
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
