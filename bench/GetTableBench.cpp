// GetTable reads a whole result into memory with the Windows-1252 conversion. Baseline:
// the same query stepped through raw sqlite3 with the same conversion into the same
// kind of strings, the least any reader must do.
#include "BenchSupport.h"
#include "store/TSQLiteDatabase.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

namespace {

const QString kQuery = QStringLiteral("SELECT * FROM tab_adressen");

AdressenFile& data(int rows)
{
    static std::map<int, std::unique_ptr<AdressenFile>> cache;
    auto& d = cache[rows];
    if (!d)
        d = std::make_unique<AdressenFile>(rows);
    return *d;
}

void BM_GetTable(benchmark::State& state)
{
    TSQLiteDatabase db(data(int(state.range(0))).path);
    for (auto _ : state) {
        TSQLiteTable t = db.GetTable(kQuery);
        benchmark::DoNotOptimize(t.Count());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_GetTable_Baseline(benchmark::State& state)
{
    sqlite3* db = nullptr;
    sqlite3_open(data(int(state.range(0))).path.toUtf8().constData(), &db);
    const QByteArray sql = kQuery.toUtf8();
    for (auto _ : state)
        StepDecodingEveryCell(db, sql);
    sqlite3_close(db);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

} // namespace

BENCHMARK(BM_GetTable_Baseline)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GetTable)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
int main(int argc, char** argv) { return RunBenchmarks(argc, argv); }
