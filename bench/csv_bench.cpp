// CSV export of all records and CSV import, each beside the sqlite3 shell
// doing the same work on the same data in the same run: `.mode csv` export
// of the table, and `.import --csv` of the exported file into a new file.
// The 5M export shows that export all stays linear in the number of
// records (the page-by-page LIMIT/OFFSET export grew with the square).
#include "bench_support.h"

#include "csv/CsvExport.h"
#include "csv/CsvImport.h"
#include "store/CDataOperator.h"

#include <QFile>

#include <benchmark/benchmark.h>

#include <map>

namespace {

std::map<int, double> exportSeconds; // by records, for the linearity ratio

QString exportPath(int rows)
{
    return QStringLiteral("%1/export_%2.csv").arg(benchDir()).arg(rows);
}

void exportAll(const QString& file, const QString& out)
{
    CDataOperator store;
    store.setRowsPerPage(1000);
    int kind = 0;
    if (store.openDataFile(file, kind) != 0)
        std::abort();
    const CsvExport::AlarmTextMap noTexts;
    const CsvExport::PageView view{store.page, store.fileKind, CsvExport::displayColumnCount(store), noTexts};
    if (!CsvExport::exportAll(out, store, 1, view).ok)
        std::abort();
}

void BM_ExportAll(benchmark::State& state)
{
    const int rows = int(state.range(0));
    const int runs = rows > 1000000 ? 1 : 3;
    const QString file = benchSampleFile(rows);
    const QString out = exportPath(rows);
    const double shell = medianShellSeconds(
        QStringLiteral("sqlite3 -cmd '.mode csv' -cmd '.headers on' %1 'select * from DataGrpData;' > %2")
            .arg(shellQuote(file), shellQuote(out + QStringLiteral(".shell"))),
        runs);
    QFile::remove(out + QStringLiteral(".shell"));
    double ours = 0;
    for (auto _ : state) {
        ours = medianSeconds([&] { exportAll(file, out); }, runs);
        state.SetIterationTime(ours);
    }
    exportSeconds[rows] = ours;
    state.counters["shell_ms"] = shell * 1000;
    state.counters["ratio_vs_shell"] = ours / shell;
    state.counters["records_per_s"] = rows / ours;
    if (exportSeconds.count(1000000) && rows != 1000000)
        state.counters["ratio_vs_1M"] = ours / exportSeconds[1000000];
}

void BM_Import(benchmark::State& state)
{
    const int rows = int(state.range(0));
    const QString csv = exportPath(rows);
    if (!QFile::exists(csv))
        exportAll(benchSampleFile(rows), csv);
    const QString shellDb = QStringLiteral("%1/import_shell.db").arg(benchDir());
    const double shell = medianShellSeconds(QStringLiteral("rm -f %1 && sqlite3 %1 '.import --csv %2 t'")
                                                .arg(shellQuote(shellDb), shellQuote(csv)),
                                            3);
    QFile::remove(shellDb);
    const QString ourDb = QStringLiteral("%1/import_ours.db").arg(benchDir());
    double ours = 0;
    for (auto _ : state) {
        ours = medianSeconds(
            [&] {
                QFile::remove(ourDb);
                if (!CsvImport::importCsv(csv, ourDb).ok)
                    std::abort();
            },
            3);
        state.SetIterationTime(ours);
    }
    QFile::remove(ourDb);
    state.counters["shell_ms"] = shell * 1000;
    state.counters["ratio_vs_shell"] = ours / shell;
    state.counters["records_per_s"] = rows / ours;
}

} // namespace

BENCHMARK(BM_ExportAll)->Arg(1000000)->Arg(5000000)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Import)->Arg(1000000)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
