// The program's start until its main window shows: the database opened, the settings read,
// the lists filled, the window painted. The configured printer is a network printer that
// does not answer (a queue whose device takes no connection), against the same start with
// the PDF queue configured, timed alternately in one run: start-up never waits for a printer.
#include "BenchSupport.h"
#include "StartupSupport.h"
#include "app/Startup.h"
#include "shell/IniFile.h"
#include "support/SilentPrinter.h"

#include <QElapsedTimer>
#include <QProcess>
#include <benchmark/benchmark.h>

namespace {

const QString kSilentQueue = QStringLiteral("Tavisto_Bench_Fern");

// Starts the main window with `queue` configured in a fresh settings folder and returns the
// seconds until it is shown and painted.
double startWith(const QString& queue)
{
    QTemporaryDir dir;
    QuietStart start;
    CupsPrintService& printer = start.printer;
    const StartupFolders folders{dir.filePath("programm"), dir.filePath("config"), dir.filePath("dokumente")};
    {
        IniFile ini;
        ini.writeInteger("CONFIG", "Drucker", int(printer.Printers().indexOf(queue)));
        ini.writeString("CONFIG", "DruckerName", queue);
        ini.writeBool("HELP", "Screen", false);
        QDir().mkpath(dir.filePath("config/Lumo Tavisto"));
        ini.save(dir.filePath("config/Lumo Tavisto/Tavisto.ini"));
    }
    QElapsedTimer clock;
    clock.start();
    TForm_Tavisto window(start.ctx, folders);
    ShowAndPaint(window);
    return clock.nsecsElapsed() / 1e9;
}

void BM_StartupWithAPrinterThatDoesNotAnswer(benchmark::State& state)
{
    SilentPrinter silent;
    const QString device = QStringLiteral("ipp://127.0.0.1:%1/ipp/print").arg(silent.port);
    if (silent.port == 0 ||
        QProcess::execute("lpadmin", {"-p", kSilentQueue, "-E", "-v", device, "-m", "drv:///sample.drv/generic.ppd"}) != 0) {
        state.SkipWithError("the queue could not be added (root and bash scripts/test-cups.sh)");
        return;
    }
    double silentStart = 0, pdfStart = 0;
    bool silentFirst = true;
    for (auto _ : state) {
        // Each goes first every other time: whatever the first start of a pair warms up
        // favours neither.
        double a = 0, b = 0;
        if (silentFirst) {
            a = startWith(kSilentQueue);
            b = startWith(QStringLiteral("Tavisto_PDF"));
        } else {
            b = startWith(QStringLiteral("Tavisto_PDF"));
            a = startWith(kSilentQueue);
        }
        silentFirst = !silentFirst;
        silentStart += a;
        pdfStart += b;
        state.SetIterationTime(a);
    }
    QProcess::execute("lpadmin", {"-x", kSilentQueue});
    state.counters["ratio"] = silentStart / pdfStart;
    state.counters["start_ms"] = 1000 * pdfStart / double(state.iterations());
}

} // namespace

BENCHMARK(BM_StartupWithAPrinterThatDoesNotAnswer)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    return RunBenchmarks(argc, argv);
}
