// The hand-off of one envelope's job: from the start of the job until the spooler has it,
// against rendering (and for a standing envelope turning) the same envelope at the same
// resolution, timed alternately in one run. The real printing service prints into the
// cups-pdf queue Tavisto_PDF (scripts/test-cups.sh sets it up).
#include "BenchSupport.h"
#include "envelope/UmschlagRenderer.h"
#include "printing/CupsPrintService.h"
#include "printing/EnvelopeJob.h"
#include "shell/PrintSettings.h"

#include <QElapsedTimer>
#include <QImage>
#include <benchmark/benchmark.h>

namespace {

const AddressLines kSender{"Lumo Software GmbH", "Abteilung Versand", "Hauptstrasse 12", "12345 Musterstadt",
                           "Deutschland"};
const AddressLines kAddress{"Frau Erika Mustermann", "Beispielweg 7", "c/o Familie Sommer", "54321 Beispielhausen",
                            "Schweiz"};

// Arg: the orientation (0 lying, 1 standing) of a DL envelope.
void BM_EnvelopeJobRatio(benchmark::State& state)
{
    CupsPrintService service;
    const int queue = int(service.Printers().indexOf("Tavisto_PDF"));
    if (queue < 0) {
        state.SkipWithError("no queue Tavisto_PDF (bash scripts/test-cups.sh)");
        return;
    }
    service.SetPrinterIndex(queue);
    PrintSettings s;
    s.FormatIndex = 2;
    s.Orientation = int(state.range(0));
    const int dpi = service.ResolutionX();
    service.SetOrientation(s.Orientation == 0 ? PageOrientation::Landscape : PageOrientation::Portrait);
    double job = 0, render = 0;
    for (auto _ : state) {
        QElapsedTimer t;
        t.start();
        QImage bitmap;
        RenderUmschlag(&bitmap, kSender, kAddress, nullptr, s, dpi);
        const double r = t.nsecsElapsed() / 1e9;
        t.restart();
        PrintEnvelopeJob(service, s.Alignment, bitmap, QStringLiteral("Tavisto_Bench"));
        const double j = t.nsecsElapsed() / 1e9;
        job += j;
        render += r;
        state.SetIterationTime(j);
    }
    state.counters["ratio"] = job / render;
    state.counters["render_ms"] = 1000 * render / double(state.iterations());
    state.counters["dpi"] = dpi;
}

// Peak memory of a standing format 9 envelope rendered and handed over at the job
// resolution, against its two rasters (24 bits lying, 32 bits standing). The job goes into
// a file: the figure is the same, and the queue is spared a 458 mm page.
void BM_EnvelopeJobPeakMemory_Format9Standing(benchmark::State& state)
{
    CupsPrintService service;
    const int queue = int(service.Printers().indexOf("Tavisto_PDF"));
    if (queue < 0) {
        state.SkipWithError("no queue Tavisto_PDF (bash scripts/test-cups.sh)");
        return;
    }
    QTemporaryDir dir;
    service.SetPrinterIndex(queue);
    service.SetOutputFile(dir.filePath("job.pdf"));
    service.SetOrientation(PageOrientation::Portrait);
    PrintSettings s;
    s.FormatIndex = 9;
    s.Orientation = 1;
    const int dpi = service.ResolutionX();
    long peakKb = 0;
    for (auto _ : state)
        peakKb = PeakGrowthKb([&] {
            QImage bitmap;
            RenderUmschlag(&bitmap, kSender, kAddress, nullptr, s, dpi);
            PrintEnvelopeJob(service, s.Alignment, bitmap, QStringLiteral("Tavisto_Bench"));
        });
    const double w = 458.0 * dpi / 25.4, h = 324.0 * dpi / 25.4;
    const double twoBuffersKb = (w * h * 3 + w * h * 4) / 1024;
    state.counters["peak_MB"] = peakKb / 1024.0;
    state.counters["ratio"] = peakKb / twoBuffersKb;
}

} // namespace

BENCHMARK(BM_EnvelopeJobRatio)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_EnvelopeJobPeakMemory_Format9Standing)->Unit(benchmark::kMillisecond)->Iterations(1);

int main(int argc, char** argv) { return RunBenchmarks(argc, argv); }
