#!/usr/bin/env bash
# Builds Vantrel and runs every test. Non-zero on any failure.
#   scripts/test.sh            Release-like build in ./build
#   BUILD_DIR=... scripts/test.sh
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

BUILD_DIR=${BUILD_DIR:-build}
WERROR=OFF
if [ "${CI:-}" = "true" ]; then
    WERROR=ON
fi
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTREL_WERROR=$WERROR
cmake --build "$BUILD_DIR" -j "$(nproc)"
cd "$BUILD_DIR"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j 2
