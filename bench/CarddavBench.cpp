// Updates of a linked group against one Radicale started here on a free port, with two
// books seeded on disk (500 and 5,000 cards). One run, in this order:
//   the first update of the 500-card book into a fresh file (peak memory afterwards),
//   the first update of the 5,000-card book (wall time, peak memory afterwards),
//   a second update of it with nothing changed (wall time),
//   first updates of it into fresh files, the way a server that refuses the query is
//   asked (ETag listing and multigets) and by the one query again (wall time each).
// Counters: unchanged_vs_first (second update / first update of 5,000 cards, target at
// most 0.05), peak_5000_vs_500 (the process's peak resident memory after the 5,000
// against after the 500, target at most 1.5; the peak only grows, so the 500 runs first)
// and query_vs_multiget (first update by the one query / by listing and multigets, both
// on a server that has read the book once already).
// Network time is the server's as much as ours, so the figures are wall time.
#include "BenchSupport.h"
#include "carddav/CarddavStore.h"
#include "carddav/DavServers.h"
#include "carddav/LinkedFile.h"
#include "carddav/SyncRunner.h"

#include <QElapsedTimer>
#include <benchmark/benchmark.h>
#include <sys/resource.h>

namespace {

long peakKb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

void BM_CarddavUpdates(benchmark::State& state)
{
    DavServer server(DavServer::Radicale);
    server.SeedBook("b500", "B500", GeneratedCards(500, "b500"));
    server.SeedBook("b5000", "B5000", GeneratedCards(5000, "b5000"));
    QString error;
    if (!server.Start(&error)) {
        state.SkipWithError(error.toUtf8().constData());
        return;
    }
    double unchangedRatio = 0, memoryRatio = 0, firstMs = 0, secondMs = 0, multigetMs = 0, warmQueryMs = 0;
    long peak500 = 0, peak5000 = 0;
    qint64 secondBytes = 0;
    for (auto _ : state) {
        {
            LinkedFile small;
            const SyncOutcome run = RunSync(*small.db, small.Link(server, "b500"), server.Password());
            if (!run.Report) {
                state.SkipWithError("500 failed");
                return;
            }
        }
        peak500 = peakKb();
        LinkedFile big;
        const CarddavLink link = big.Link(server, "b5000");
        QElapsedTimer clock;
        clock.start();
        const SyncOutcome first = RunSync(*big.db, link, server.Password());
        firstMs = double(clock.nsecsElapsed()) / 1e6;
        peak5000 = peakKb();
        if (!first.Report || first.Report->Added != 5000) {
            state.SkipWithError("5000 failed");
            return;
        }
        clock.restart();
        const SyncOutcome second =
            RunSync(*big.db, *CarddavStore::LoadLink(*big.db, link.GruppeId), server.Password());
        secondMs = double(clock.nsecsElapsed()) / 1e6;
        secondBytes = second.Bytes;
        // The same first update both ways on a server that has read the book once already
        // (the first update above includes Radicale's first look at every card).
        const auto firstUpdate = [&](bool query) {
            LinkedFile fresh;
            SyncSettings settings;
            settings.UseQuery = query;
            clock.restart();
            const SyncOutcome run = RunSync(*fresh.db, fresh.Link(server, "b5000"), server.Password(), settings);
            return run.Report && run.Report->Added == 5000 ? double(clock.nsecsElapsed()) / 1e6 : -1.0;
        };
        multigetMs = firstUpdate(false);
        warmQueryMs = firstUpdate(true);
        if (multigetMs < 0 || warmQueryMs < 0) {
            state.SkipWithError("5000 again failed");
            return;
        }
        unchangedRatio = secondMs / firstMs;
        memoryRatio = double(peak5000) / double(peak500);
        state.SetIterationTime(firstMs / 1000.0);
    }
    state.counters["first_5000_ms"] = firstMs;
    state.counters["unchanged_ms"] = secondMs;
    state.counters["unchanged_bytes"] = double(secondBytes);
    state.counters["unchanged_vs_first"] = unchangedRatio;
    state.counters["first_5000_multiget_ms"] = multigetMs;
    state.counters["first_5000_again_ms"] = warmQueryMs;
    state.counters["query_vs_multiget"] = warmQueryMs / multigetMs;
    state.counters["peak_500_kb"] = double(peak500);
    state.counters["peak_5000_kb"] = double(peak5000);
    state.counters["peak_5000_vs_500"] = memoryRatio;
}
BENCHMARK(BM_CarddavUpdates)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) { return RunBenchmarks(argc, argv); }
