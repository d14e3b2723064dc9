// Merging a series of 12 files of 100k records, beside the sqlite3 shell
// running the same ATTACH, INSERT … SELECT, DETACH script on the same files
// in the same run. Target: merge time ≤ 1.2 × the shell's.
#include "bench_support.h"

#include "merge/MergeFiles.h"
#include "store/CppSQLite3.h"
#include "store/SampleGenerator.h"

#include <QDir>
#include <QFile>
#include <QTextStream>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr int kFiles = 12;
constexpr int kRecordsPerFile = 100000;

QString seriesFolder()
{
    const QString folder = benchDir() + QStringLiteral("/merge/Line1");
    const QString last = QStringLiteral("%1/Line1_%2.db").arg(folder).arg(kFiles);
    if (QFile::exists(last))
        return folder;
    std::fprintf(stderr, "generating %s ...\n", folder.toLocal8Bit().constData());
    QDir(folder).removeRecursively();
    SampleOptions o;
    o.rows = kRecordsPerFile;
    if (writeSampleSeries(folder, kFiles, o) != 0)
        std::abort();
    return folder;
}

// The shell does what the merge does after its checks: create the output
// table from the chosen file's schema, then per file attach, copy, detach.
QString writeShellScript(const QString& folder, const QString& scriptPath)
{
    const QString chosen = folder + QStringLiteral("/Line1_1.db");
    std::string first, list, schema;
    std::vector<std::string> names;
    if (readMergeColumns(chosen.toStdString(), first, list, &names) != 0 ||
        readDataGroupSchema(chosen.toStdString(), schema) != 0)
        std::abort();
    QFile file(scriptPath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        std::abort();
    QTextStream s(&file);
    s << QString::fromStdString(rewriteFirstColumn(schema, first)) << ";\n";
    // Names and paths quoted as the merge quotes them, so a bench folder or
    // a column name holding a quote still gives a script the shell can run.
    QStringList quotedNames;
    for (const std::string& name : names)
        quotedNames << quoteIdentifier(QString::fromStdString(name));
    const QString columns = quotedNames.join(u',');
    for (int i = 1; i <= kFiles; ++i) {
        const QString file = QStringLiteral("%1/Line1_%2.db").arg(folder).arg(i);
        s << QStringLiteral("ATTACH %1 AS dba1;\n").arg(quoteLiteral(file));
        s << QStringLiteral("INSERT INTO DataGrpData(%1) SELECT %1 FROM dba1.DataGrpData;\n").arg(columns);
        s << "DETACH dba1;\n";
    }
    return scriptPath;
}

void BM_MergeSeries(benchmark::State& state)
{
    const QString folder = seriesFolder();
    const QString out = benchDir() + QStringLiteral("/merge/out");
    QDir(out).removeRecursively();
    QDir().mkpath(out);
    const QString script = writeShellScript(folder, benchDir() + QStringLiteral("/merge/merge.sql"));
    const QString shellOutput = out + QStringLiteral("/shell.db");
    const QByteArray shellCommand =
        QStringLiteral("/usr/bin/sqlite3 %1 < %2").arg(shellQuote(shellOutput), shellQuote(script)).toLocal8Bit();
    const MergePaths paths{folder, folder + QStringLiteral("/Line1_1.db"), out, out};

    std::vector<double> ours;
    std::vector<double> shell;
    for (auto _ : state) {
        // Alternate which goes first, so neither always finds the page
        // cache warmed by the other.
        const bool oursFirst = ours.size() % 2 == 0;
        for (int turn = 0; turn < 2; ++turn) {
            if ((turn == 0) == oursFirst) {
                MergeOutcome outcome;
                const double s = medianSeconds([&] { outcome = runMerge(paths); }, 1);
                if (!outcome.succeeded() || outcome.mergedFiles != kFiles)
                    std::abort();
                QFile::remove(outcome.outputPath);
                ours.push_back(s);
                state.SetIterationTime(s);
            } else {
                shell.push_back(medianSeconds([&] {
                    if (std::system(shellCommand.constData()) != 0)
                        std::abort();
                }, 1));
                QFile::remove(shellOutput);
            }
        }
    }
    std::sort(ours.begin(), ours.end());
    std::sort(shell.begin(), shell.end());
    const double oursMedian = ours[ours.size() / 2];
    const double shellMedian = shell[shell.size() / 2];
    state.counters["merge_ms"] = oursMedian * 1000;
    state.counters["shell_ms"] = shellMedian * 1000;
    state.counters["ratio_vs_shell"] = oursMedian / shellMedian;
    state.counters["records_per_s"] = double(kFiles) * kRecordsPerFile / oursMedian;
}

} // namespace

BENCHMARK(BM_MergeSeries)->UseManualTime()->Iterations(7)->Unit(benchmark::kMillisecond);
