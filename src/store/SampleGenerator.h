#pragma once
#include <QString>
#include <QtGlobal>

// Writes data-record files that look like a panel's: sampled data groups,
// alarm records with their texts in eight languages, operator logs, and
// numbered series of sample files for merging. Tests and benchmarks build
// their fixtures with it; `vantrel-cli sample` exposes it.
struct SampleOptions {
    enum Kind { Samples, Alarms, OperationLogs };
    Kind kind = Samples;
    int rows = 1000;
    bool numericTime = false;  // CollectTime as milliseconds instead of text
    bool ullTime = false;      // a hidden ullTime column at position 1
    int valueColumns = 4;      // REAL value columns of a sample file
    qint64 startMs = 1767225600000; // 2026-01-01 00:00:00 UTC
    int intervalMs = 1000;
    int firstKey = 1;
};

// 0 on success; otherwise -1 and *error says why. An existing file at the
// path is replaced.
int writeSampleFile(const QString& path, const SampleOptions& options, QString* error = nullptr);

// Writes folder/<name of folder>_1.db ... _<files>.db, each with
// options.rows records continuing the time of the one before.
int writeSampleSeries(const QString& folder, int files, const SampleOptions& options,
                      QString* error = nullptr);
