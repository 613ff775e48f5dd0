// GetTable reads a whole result into memory with the Windows-1252 conversion. Baseline:
// the same query stepped through raw sqlite3 with the same conversion into the same
// kind of strings, the least any reader must do.
#include "shell/Cp1252.h"
#include "store/Schema.h"
#include "store/TSQLiteDatabase.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <sqlite3.h>

namespace {

const QString kQuery = QStringLiteral("SELECT * FROM tab_adressen");

struct Data
{
    QTemporaryDir dir;
    QString path;
    explicit Data(int rows)
    {
        path = dir.filePath("bench.dbs");
        TSQLiteDatabase db(path);
        db.ExecSQL(CreateStatement("tab_adressen"));
        Transaction t(db);
        for (int i = 0; i < rows; ++i)
            db.ExecSQL("INSERT INTO tab_adressen VALUES (?,?,?,?,?,?,?,?,?)",
                       {QString("AD%1").arg(i + 1, 8, 10, QChar('0')), "GR00000001", "Herrn",
                        QString("Max Müller %1").arg(i), "Hauptstraße 5", "12345 Musterstadt", "Deutschland",
                        QString("Müller Max %1").arg(i), 1});
        t.Commit();
    }
};

Data& data(int rows)
{
    static std::map<int, std::unique_ptr<Data>> cache;
    auto& d = cache[rows];
    if (!d)
        d = std::make_unique<Data>(rows);
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
    for (auto _ : state) {
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &st, nullptr);
        std::vector<QString> cells;
        const int cols = sqlite3_column_count(st);
        while (sqlite3_step(st) == SQLITE_ROW)
            for (int c = 0; c < cols; ++c)
                cells.push_back(Cp1252::decode(reinterpret_cast<const char*>(sqlite3_column_text(st, c)),
                                               sqlite3_column_bytes(st, c)));
        sqlite3_finalize(st);
        benchmark::DoNotOptimize(cells.data());
    }
    sqlite3_close(db);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

} // namespace

BENCHMARK(BM_GetTable_Baseline)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GetTable)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
