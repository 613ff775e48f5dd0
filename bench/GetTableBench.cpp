// GetTable reads a whole result into memory; its texts are converted from Windows-1252
// when read. Baseline: the same query stepped through raw sqlite3 with the conversion of
// every cell into a string, the least any reader of every cell must do. The second pair
// reads every cell of the result as text after GetTable, against the same baseline.
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

void BM_GetTableReadingEveryCell(benchmark::State& state)
{
    TSQLiteDatabase db(data(int(state.range(0))).path);
    for (auto _ : state) {
        TSQLiteTable t = db.GetTable(kQuery);
        for (; !t.Eof(); t.Next())
            for (int c = 0; c < t.ColCount(); ++c)
                benchmark::DoNotOptimize(t.FieldAsString(c));
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

void BM_GetTableReadingEveryCell_Baseline(benchmark::State& state) { BM_GetTable_Baseline(state); }

} // namespace

BENCHMARK(BM_GetTable_Baseline)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GetTable)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GetTableReadingEveryCell_Baseline)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GetTableReadingEveryCell)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
int main(int argc, char** argv) { return RunBenchmarks(argc, argv); }
