// A series of 1,000 DL envelopes as one PDF, against gLabels' batch tool merging the same
// 1,000 addresses from a CSV file onto a DL envelope with the same two text blocks
// (bench/glabels/). Ours is the whole export from the database: the series' statement,
// the layout of every envelope and the PDF with real text. Both are timed by the wall
// clock, since gLabels runs as a child process (its CPU time is not this process's, so it
// is deliberately not named *_Baseline for scripts/bench.sh, which compares CPU times);
// BM_PdfSeriesRatio measures the two in alternation and reports the counters "ratio"
// (time, ours over gLabels) and "size_ratio" (file size), with both times and sizes.
#include "BenchSupport.h"
#include "GlabelsPeer.h"
#include "app/AppContext.h"
#include "pdf/PdfSeriesExport.h"
#include "shell/MessageService.h"
#include "store/Schema.h"
#include "store/TSQLiteDatabase.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>

namespace {

using namespace GlabelsPeer;

constexpr int kEnvelopes = 1000;

// The CSV and the gLabels document made by the peer's own scripts, and a database with the
// same sender and addresses: Line1 the salutation, Line2 first and last name, Line3 the
// street, Line4 postal code and town.
struct Peer
{
    QTemporaryDir dir;
    QString csv = dir.filePath(QStringLiteral("adressen.csv"));
    QString document = dir.filePath(QStringLiteral("envelope.glabels"));
    QString database = dir.filePath(QStringLiteral("Tavisto.dbs"));
    bool ready = false;

    Peer()
    {
        const QString scripts = QStringLiteral(TAVISTO_BENCH_DIR "/glabels/");
        if (!runTool(QStringLiteral("python3"), {scripts + QStringLiteral("gen_csv.py"), QString::number(kEnvelopes), csv}) ||
            !runTool(QStringLiteral("sh"), {scripts + QStringLiteral("make_doc.sh"), csv, document}))
            return;
        TSQLiteDatabase db(database);
        SilentMessages messages;
        CreateTables(db, messages);
        Transaction t(db);
        db.ExecSQL(QStringLiteral("INSERT INTO tab_absender VALUES (?,?,?,?,?,?)"),
                   {QStringLiteral("AB00000001"), QStringLiteral("Bürogemeinschaft Größer & Söhne"),
                    QStringLiteral("Kärntner Weg 7"), QStringLiteral("12345 Überlingen"), QString(), QString()});
        db.ExecSQL(QStringLiteral("INSERT INTO tab_gruppen VALUES (?,?)"),
                   {QStringLiteral("GR00000001"), QStringLiteral("Kunden")});
        const int n = InsertCsvAddresses(db, csv);
        t.Commit();
        ready = n == kEnvelopes;
    }
};

Peer& peer()
{
    static Peer p;
    return p;
}

// DL lying, the peer's typeface, the program's default sizes (about 9.5 and 12 points at
// 600 dpi, the peer has 10 and 12).
struct Ours
{
    SilentMessages messages;
    AppContext ctx;

    Ours()
    {
        ctx.Messages = &messages;
        ctx.Database = std::make_unique<TSQLiteDatabase>(peer().database);
        PrintSettings& s = ctx.Print();
        s.FormatIndex = 2;
        s.Orientation = 0;
        s.FontName = QStringLiteral("DejaVu Sans");
    }
};

// The export of the group in database, which holds that many envelopes, into pdf.
Run oursFrom(const QString& pdf, const QString& database, int envelopes)
{
    Ours o;
    o.ctx.Database = std::make_unique<TSQLiteDatabase>(database);
    SeriendruckInput input;
    input.AbsenderID = QStringLiteral("AB00000001");
    input.GruppeID = QStringLiteral("GR00000001");
    const auto start = Clock::now();
    const auto series = ReadPdfSeries(o.ctx, input);
    if (!series || series->Addresses.size() != envelopes ||
        WritePdfSeries(*series, o.ctx.Print(), 600, pdf).Status != PdfWriteOutcome::Written)
        std::abort();
    return {secondsSince(start), QFileInfo(pdf).size()};
}

Run ours(const QString& pdf)
{
    return oursFrom(pdf, peer().database, kEnvelopes);
}

void BM_PdfSeries(benchmark::State& state)
{
    if (!peer().ready) {
        state.SkipWithError("the database could not be made");
        return;
    }
    TimeOurs(state, ours, peer().dir.filePath(QStringLiteral("ours.pdf")), kEnvelopes);
}

void BM_GlabelsBatch(benchmark::State& state)
{
    if (!Ready(state, peer().ready, "the CSV, the gLabels document or the database could not be made"))
        return;
    const QString pdf = peer().dir.filePath(QStringLiteral("glabels.pdf"));
    Run r;
    for (auto _ : state) {
        r = glabels(peer().document, pdf);
        if (r.seconds < 0) {
            state.SkipWithError("glabels-3-batch failed");
            return;
        }
        state.SetIterationTime(r.seconds);
    }
    state.counters["kb"] = double(r.bytes) / 1024.0;
    state.SetItemsProcessed(state.iterations() * kEnvelopes);
}

void BM_PdfSeriesRatio(benchmark::State& state)
{
    if (!Ready(state, peer().ready, "the CSV, the gLabels document or the database could not be made"))
        return;
    Compare(state, ours, peer().document, peer().dir.filePath(QStringLiteral("ours.pdf")),
            peer().dir.filePath(QStringLiteral("glabels.pdf")));
}

// The peer's database with its addresses ten times over.
QString tenfoldDatabase()
{
    static const QString path = [] {
        const QString copy = peer().dir.filePath(QStringLiteral("Tavisto10.dbs"));
        if (!peer().ready || !QFile::copy(peer().database, copy))
            return QString();
        TSQLiteDatabase db(copy);
        Transaction t(db);
        for (int k = 1; k < 10; ++k)
            db.ExecSQL(QStringLiteral("INSERT INTO tab_adressen SELECT printf('AD%08d', CAST(substr(Adresse_ID, 3) AS "
                                      "INTEGER) + ?), Gruppe_ID, Line1, Line2, Line3, Line4, Line5, Line6, Aktiv FROM "
                                      "tab_adressen WHERE Adresse_ID <= 'AD00001000'"),
                       {QString::number(k * kEnvelopes)});
        t.Commit();
        return copy;
    }();
    return path;
}

// Memory of the whole export (the series' statement, the pages, the file), 1,000 envelopes
// against 10,000: the peak resident size of the process during each (its high-water mark
// reset before), and how far that peak lies above the size before the export.
void BM_PdfSeriesMemory(benchmark::State& state)
{
    const QString big = tenfoldDatabase();
    if (big.isEmpty()) {
        state.SkipWithError("the databases could not be made");
        return;
    }
    const QString pdf = peer().dir.filePath(QStringLiteral("memory.pdf"));
    long peak1 = 0, peak10 = 0, growth1 = 0, growth10 = 0;
    for (auto _ : state) {
        growth1 = PeakGrowthKb([&] { ours(pdf); });
        peak1 = StatusKb("VmHWM:");
        growth10 = PeakGrowthKb([&] { oursFrom(pdf, big, 10 * kEnvelopes); });
        peak10 = StatusKb("VmHWM:");
    }
    state.counters["peak_1k_mb"] = double(peak1) / 1024.0;
    state.counters["peak_10k_mb"] = double(peak10) / 1024.0;
    state.counters["ratio"] = double(peak10) / double(peak1);
    state.counters["growth_1k_mb"] = double(growth1) / 1024.0;
    state.counters["growth_10k_mb"] = double(growth10) / 1024.0;
}

} // namespace

BENCHMARK(BM_PdfSeriesMemory)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_PdfSeries)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_GlabelsBatch)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_PdfSeriesRatio)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char** argv) { return RunBenchmarks(argc, argv); }
