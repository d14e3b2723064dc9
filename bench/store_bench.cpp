// Opening a data-record file and reading its pages, beside the sqlite3
// shell's count(*) on the same file. Pages are read by rowid range, so the
// last page of a file costs what the first does.
#include "bench_support.h"

#include "store/CDataOperator.h"

#include <benchmark/benchmark.h>

namespace {

double shellCountSeconds(const QString& file)
{
    return medianShellSeconds(QStringLiteral("sqlite3 %1 'select count(*) from DataGrpData;' >/dev/null")
                                  .arg(shellQuote(file)));
}

void openStore(CDataOperator& store, const QString& file)
{
    store.setRowsPerPage(1000);
    int kind = 0;
    if (store.openDataFile(file, kind) != 0)
        std::abort();
}

void BM_Open(benchmark::State& state)
{
    const QString file = benchSampleFile(int(state.range(0)), state.range(1) != 0);
    const double shell = shellCountSeconds(file);
    double total = 0;
    for (auto _ : state) {
        CDataOperator store;
        const double s = medianSeconds([&] { openStore(store, file); }, 1);
        total += s;
        state.SetIterationTime(s);
    }
    state.counters["shell_count_ms"] = shell * 1000;
    state.counters["ratio_vs_shell_count"] = total / double(state.iterations()) / shell;
}

// Reads page 1, the middle page and the last page; reports each and the
// last/first ratio.
void BM_Pages(benchmark::State& state)
{
    const QString file = benchSampleFile(int(state.range(0)), state.range(1) != 0);
    CDataOperator store;
    openStore(store, file);
    const int last = int(store.pageCount());
    const int pages[] = {1, last / 2, last};
    double times[3] = {0, 0, 0};
    for (auto _ : state) {
        double sum = 0;
        for (int i = 0; i < 3; ++i) {
            const int p = pages[i];
            const double s = medianSeconds([&] { store.readPage(p); }, 5);
            times[i] += s;
            sum += s;
        }
        state.SetIterationTime(sum);
    }
    const double n = double(state.iterations());
    state.counters["first_ms"] = times[0] / n * 1000;
    state.counters["middle_ms"] = times[1] / n * 1000;
    state.counters["last_ms"] = times[2] / n * 1000;
    state.counters["last_over_first"] = times[2] / times[0];
    state.counters["shell_count_ms"] = shellCountSeconds(file) * 1000;
    // What reading by offset costs: the shell's LIMIT/OFFSET page read.
    auto shellPage = [&](int p) {
        return medianShellSeconds(QStringLiteral("sqlite3 %1 'select * from DataGrpData limit %2,1000;' >/dev/null")
                                      .arg(shellQuote(file)).arg(qint64(p - 1) * 1000));
    };
    state.counters["shell_offset_first_ms"] = shellPage(1) * 1000;
    state.counters["shell_offset_last_ms"] = shellPage(last) * 1000;
}

} // namespace

BENCHMARK(BM_Open)->Args({1000000, 0})->Args({5000000, 0})->Args({5000000, 1})
    ->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Pages)->Args({1000000, 0})->Args({5000000, 0})->Args({5000000, 1})
    ->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
