// The program's start until its main window shows, painted, with 100,000 addresses in the
// group it lists first, against the same start with 10 addresses, timed alternately in one
// run. The ratio is the large book's time over the small one's; filled_ratio the same for
// the time until the list holds every address (a long list reads its rest after the window
// is drawn).
#include "BenchSupport.h"
#include "StartupSupport.h"
#include "app/Startup.h"
#include "mainwindow/AdressenList.h"
#include "shell/IniFile.h"
#include "store/Schema.h"

#include <QDir>
#include <QElapsedTimer>
#include <benchmark/benchmark.h>

namespace {

// A program folder set whose database holds one group with `rows` addresses (and every
// other table, so that no start creates one) and whose settings skip the news notice.
struct Book
{
    QTemporaryDir dir;
    StartupFolders folders;
    explicit Book(int rows)
    {
        folders = {dir.filePath("programm"), dir.filePath("config"), dir.filePath("dokumente")};
        QDir().mkpath(dir.filePath("dokumente/Lumo Tavisto"));
        AdressenFile addresses(rows);
        const QString file = dir.filePath("dokumente/Lumo Tavisto/Tavisto.dbs");
        QFile::copy(addresses.path, file);
        {
            QuietMessages messages;
            TSQLiteDatabase db(file);
            CreateTables(db, messages);
            db.ExecSQL("INSERT INTO tab_gruppen VALUES (?, ?)", {"GR00000001", "Alle"});
            db.ExecSQL("INSERT INTO tab_absender (Absender_ID, Line1) VALUES (?, ?)", {"AB00000001", "Lumo"});
        }
        IniFile ini;
        ini.writeBool("HELP", "Screen", false);
        QDir().mkpath(dir.filePath("config/Lumo Tavisto"));
        ini.save(dir.filePath("config/Lumo Tavisto/Tavisto.ini"));
    }
};

struct Times
{
    double shown = 0;   // seconds until the window is shown and painted
    double filled = 0;  // and until the list holds every address
};

Times start(const Book& book)
{
    QuietStart quiet;
    QElapsedTimer clock;
    clock.start();
    TForm_Tavisto window(quiet.ctx, book.folders);
    ShowAndPaint(window);
    Times t;
    t.shown = clock.nsecsElapsed() / 1e9;
    const AdressenList* list = window.findChild<AdressenList*>(QStringLiteral("Panel_Adressen"));
    while (list && list->RowsPending())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    t.filled = clock.nsecsElapsed() / 1e9;
    return t;
}

void BM_StartupWithALargeGroup(benchmark::State& state)
{
    const Book large(int(state.range(0)));
    const Book small(10);
    start(large);
    start(small);
    Times largeSum, smallSum;
    bool largeFirst = true;
    for (auto _ : state) {
        // Each goes first every other time, so that neither gains from what the other warmed.
        Times a, b;
        if (largeFirst) {
            a = start(large);
            b = start(small);
        } else {
            b = start(small);
            a = start(large);
        }
        largeFirst = !largeFirst;
        largeSum.shown += a.shown;
        largeSum.filled += a.filled;
        smallSum.shown += b.shown;
        smallSum.filled += b.filled;
        state.SetIterationTime(a.shown);
    }
    const double n = double(state.iterations());
    state.counters["ratio"] = largeSum.shown / smallSum.shown;
    state.counters["filled_ratio"] = largeSum.filled / smallSum.filled;
    state.counters["small_ms"] = 1000 * smallSum.shown / n;
    state.counters["large_filled_ms"] = 1000 * largeSum.filled / n;
}

} // namespace

BENCHMARK(BM_StartupWithALargeGroup)->Arg(100000)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    return RunBenchmarks(argc, argv);
}
