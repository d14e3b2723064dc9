#pragma once
// Shared pieces of the benchmarks: generated files kept between runs under
// $VANTREL_BENCH_DIR (default /tmp/vantrel-bench) and timing the sqlite3
// shell on the same data in the same run.
#include <QString>

#include <functional>

QString benchDir();
// Path of a generated sample file with `rows` records; generated on first
// use. `gaps` deletes every seventh record, so rowids are not contiguous.
QString benchSampleFile(int rows, bool gaps = false);
// Median wall time in seconds of `runs` runs of the shell command.
double medianShellSeconds(const QString& command, int runs = 5);
double medianSeconds(const std::function<void()>& work, int runs = 5);
QString shellQuote(const QString& s);
