#!/usr/bin/env bash
# Builds Vantrel and starts it from a working folder that holds sample
# files, the language files and the logging configuration.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$(pwd)

bash scripts/install-deps.sh
BUILD_DIR=${BUILD_DIR:-build}
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$BUILD_DIR" -j "$(nproc)"

WORK=${VANTREL_WORK_DIR:-$ROOT/run}
mkdir -p "$WORK/samples" "$WORK/Language"
# The application reads Language/ and log4cplus.cfg from its working folder.
cp "$ROOT/Language/"*.xml "$WORK/Language/"
cp "$ROOT/log4cplus.cfg" "$WORK/"
CLI="$ROOT/$BUILD_DIR/vantrel-cli"
if [ ! -f "$WORK/samples/Line1.db" ]; then
    "$CLI" sample samples "$WORK/samples/Line1.db" --rows 20000
    "$CLI" sample samples "$WORK/samples/Line2_ms.db" --rows 5000 --numeric-time --ulltime
    "$CLI" sample alarms "$WORK/samples/Alarms.db" --rows 500
    "$CLI" sample oplog "$WORK/samples/OperatorLog.db" --rows 300
    "$CLI" sample series "$WORK/samples/Line3" --rows 2000 --files 5
fi
echo "Sample files are in $WORK/samples (open them with File > Open):"
ls -1 "$WORK/samples"

if [ -x "$BUILD_DIR/vantrel" ]; then
    echo "Starting Vantrel in $WORK (settings RoruDize.ini, log in log/, crash reports in dump_report/)"
    cd "$WORK"
    exec "$ROOT/$BUILD_DIR/vantrel" "$@"
fi

# The application window is not built yet: show what the store sees.
for f in "$WORK/samples/"*.db; do
    echo "== $f"
    "$CLI" info "$f"
done
