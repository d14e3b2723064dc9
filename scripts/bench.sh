#!/usr/bin/env bash
# Builds and runs the benchmarks. Generated files are kept in
# $VANTREL_BENCH_DIR (default /tmp/vantrel-bench); the first run makes them.
#   scripts/bench.sh [--benchmark_filter=REGEX]
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
BUILD_DIR=${BUILD_DIR:-build}
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$BUILD_DIR" --target vantrel_bench vantrel-cli -j "$(nproc)"
TZ=${TZ:-Asia/Shanghai} "$BUILD_DIR/bench/vantrel_bench" --benchmark_counters_tabular=true "$@"
# The window's figures (open, page changes, repaint) need a QApplication.
if cmake --build "$BUILD_DIR" --target vantrel_gui_bench -j "$(nproc)" >/dev/null 2>&1; then
    QT_QPA_PLATFORM=offscreen TZ=${TZ:-Asia/Shanghai} "$BUILD_DIR/vantrel_gui_bench"
fi
