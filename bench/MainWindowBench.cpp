// Reloading the address list of one group of 10,000 addresses under a search: the query,
// filling the model and drawing the view. Baseline: the same statement with the same
// bound values stepped through raw sqlite3, every cell decoded from Windows-1252.
#include "BenchSupport.h"
#include "app/AppContext.h"
#include "mainwindow/AdressenList.h"
#include "mainwindow/AdressenModel.h"
#include "mainwindow/AdressenQuery.h"
#include "shell/Cp1252.h"
#include "store/GermanCollation.h"
#include "store/TSQLiteDatabase.h"
#include "uikit/TGridView.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

namespace {

constexpr int kRows = 10000;

struct Data : AdressenFile
{
    Data() : AdressenFile(kRows, 7)
    {
        // A second group the query must pass over.
        TSQLiteDatabase db(path);
        Transaction t(db);
        for (int i = 0; i < kRows / 10; ++i)
            db.ExecSQL("INSERT INTO tab_adressen VALUES (?,?,?,?,?,?,?,?,?)",
                       {QString("AD9%1").arg(i + 1, 7, 10, QChar('0')), "GR00000002", "Frau", "Erika", "Weg 1",
                        "1 Ort", "", "", 1});
        t.Commit();
    }
};

Data& data()
{
    static Data d;
    return d;
}

// Argument 0: a search every address of the group matches, in all five lines, sorted by
// name; 1: one more character typed into a search in line 2 (a few hundred rows); 2: the
// whole group sorted by line 2 in German order.
AdressenFilter filter(int which)
{
    if (which == 0)
        return {QStringLiteral("GR00000001"), 0, QStringLiteral("straße"), 5, 6};
    if (which == 2)
        return {QStringLiteral("GR00000001"), 0, QString(), 0, 2};
    return {QStringLiteral("GR00000001"), 0, QStringLiteral("Müller 12"), 1, 0};
}

void BM_AdressenReload(benchmark::State& state)
{
    AppContext ctx;
    ctx.Database = std::make_unique<TSQLiteDatabase>(data().path);
    AdressenList list(ctx);
    list.resize(900, 400);
    list.show();
    const AdressenFilter f = filter(int(state.range(0)));
    for (auto _ : state) {
        list.Load(f);
        // A long list reads its rest later; the reload counts all of it.
        list.CompleteRows({});
        list.Grid()->viewport()->repaint();
        benchmark::DoNotOptimize(list.Model()->rowCount());
    }
    state.counters["rows"] = list.Model()->rowCount();
}

// The same query stepped through raw sqlite3, with the German order registered as the
// program does; with plain set, sorted by byte order instead, for comparison.
void reloadBaseline(benchmark::State& state, bool plain)
{
    sqlite3* db = nullptr;
    sqlite3_open(data().path.toUtf8().constData(), &db);
    GermanCollation::Register(db);
    const SqlStatement s = BuildAdressenQuery(filter(int(state.range(0))));
    QByteArray sql = Cp1252::encode(s.Sql());
    if (plain)
        sql.replace(QByteArray(" COLLATE ") + GermanCollation::kName, "");
    std::vector<QByteArray> params;
    for (const QVariant& p : s.Params)
        params.push_back(Cp1252::encode(p.toString()));
    int rows = 0;
    for (auto _ : state)
        rows = StepDecodingEveryCell(db, sql, params);
    sqlite3_close(db);
    state.counters["rows"] = rows;
}

void BM_AdressenReload_Baseline(benchmark::State& state) { reloadBaseline(state, false); }
void BM_AdressenReload_PlainSort(benchmark::State& state) { reloadBaseline(state, true); }

} // namespace

BENCHMARK(BM_AdressenReload_Baseline)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AdressenReload)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AdressenReload_PlainSort)->Arg(0)->Arg(2)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) { return RunBenchmarks(argc, argv); }
