// 1,000 address labels on Zweckform 3475 as one PDF, against gLabels' batch tool merging
// the same 1,000 addresses from a CSV file onto the same installed template
// (bench/glabels/make_labels_doc.sh). Ours is the whole output from the database: the
// series' statement, the layout of every label with its shrink-to-fit and the PDF with
// real text. gLabels runs as a child process, so both are timed by the wall clock and
// measured in alternation; BM_LabelSheetsRatio reports "ratio" (time, ours over gLabels)
// and "size_ratio" (file size), with both times and sizes.
#include "BenchSupport.h"
#include "GlabelsPeer.h"
#include "app/AppContext.h"
#include "labels/LabelPdf.h"
#include "labels/LabelSource.h"
#include "labels/LabelTemplates.h"
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

constexpr int kLabels = 1000;

// The CSV and the gLabels document made by the peer's scripts, a database with the same
// addresses (Line1 the salutation, Line2 the name, Line3 the street, Line4 postal code and
// town), and the installed template.
struct Peer
{
    QTemporaryDir dir;
    QString csv = dir.filePath(QStringLiteral("adressen.csv"));
    QString document = dir.filePath(QStringLiteral("labels.glabels"));
    QString database = dir.filePath(QStringLiteral("Tavisto.dbs"));
    LabelTemplate sheet;
    bool ready = false;

    Peer()
    {
        const QString scripts = QStringLiteral(TAVISTO_BENCH_DIR "/glabels/");
        if (!runTool(QStringLiteral("python3"), {scripts + QStringLiteral("gen_csv.py"), QString::number(kLabels), csv}) ||
            !runTool(QStringLiteral("sh"), {scripts + QStringLiteral("make_labels_doc.sh"), csv, document}))
            return;
        const LabelCatalog catalog = LoadLabelCatalog();
        const LabelTemplate* t = catalog.Find(QStringLiteral("Zweckform 3475"));
        if (!t)
            return;
        sheet = *t;
        QFile f(csv);
        if (!f.open(QIODevice::ReadOnly))
            return;
        const QStringList rows = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts).mid(1);
        TSQLiteDatabase db(database);
        SilentMessages messages;
        CreateTables(db, messages);
        Transaction tr(db);
        int n = 0;
        for (const QString& row : rows) {
            const QStringList c = row.split(QLatin1Char(';'));
            if (c.size() != 6)
                return;
            db.ExecSQL(QStringLiteral("INSERT INTO tab_adressen (Adresse_ID,Gruppe_ID,Line1,Line2,Line3,Line4,Line5,"
                                      "Line6,Aktiv) VALUES (?,?,?,?,?,?,'','',1)"),
                       {QStringLiteral("AD%1").arg(++n, 8, 10, QLatin1Char('0')), QStringLiteral("GR00000001"), c[0],
                        c[1] + u' ' + c[2], c[3], c[4] + u' ' + c[5]});
        }
        tr.Commit();
        ready = n == kLabels;
    }
};

Peer& peer()
{
    static Peer p;
    return p;
}

Run ours(const QString& pdf)
{
    SilentMessages messages;
    AppContext ctx;
    ctx.Messages = &messages;
    ctx.Database = std::make_unique<TSQLiteDatabase>(peer().database);
    PrintSettings& s = ctx.Print();
    s.FontName = QStringLiteral("DejaVu Sans");  // the peer's typeface
    LabelRequest request;
    request.Input.GruppeID = QStringLiteral("GR00000001");

    const auto start = Clock::now();
    const auto texts = ReadLabelTexts(ctx, request);
    if (!texts || texts->Texts.size() != kLabels)
        std::abort();
    const LabelStyle style = LabelStyleFor(s.FontName, s.AddressFontSize, s.DpiFactor, s.PrintBlankLines, kDefaultLabelDpi);
    const LabelRun run = LayoutLabels(peer().sheet, texts->Texts, 0, style, QSize(), kDefaultLabelDpi);
    if (!SaveLabelRunPdf(LabelRunPdf(run, nullptr, {}, QStringLiteral("Etiketten")), pdf, nullptr))
        std::abort();
    return {secondsSince(start), QFileInfo(pdf).size()};
}

bool peerMissing(benchmark::State& state)
{
    if (!peer().ready) {
        state.SkipWithError("the CSV, the gLabels document, the template or the database could not be made");
        return true;
    }
    if (!glabelsInstalled()) {
        state.SkipWithError("glabels-3-batch is not installed (scripts/bench.sh installs the package glabels)");
        return true;
    }
    return false;
}

void BM_LabelSheets(benchmark::State& state)
{
    if (!peer().ready) {
        state.SkipWithError("the database or the template could not be made");
        return;
    }
    const QString pdf = peer().dir.filePath(QStringLiteral("ours.pdf"));
    Run r;
    for (auto _ : state) {
        r = ours(pdf);
        state.SetIterationTime(r.seconds);
    }
    state.counters["kb"] = double(r.bytes) / 1024.0;
    state.SetItemsProcessed(state.iterations() * kLabels);
}

void BM_LabelSheetsRatio(benchmark::State& state)
{
    if (peerMissing(state))
        return;
    const QString oursPdf = peer().dir.filePath(QStringLiteral("ours.pdf"));
    const QString theirsPdf = peer().dir.filePath(QStringLiteral("glabels.pdf"));
    double oursTime = 0, theirsTime = 0;
    Run a, b;
    for (auto _ : state) {
        a = ours(oursPdf);
        b = glabels(peer().document, theirsPdf);
        if (b.seconds < 0) {
            state.SkipWithError("glabels-3-batch failed");
            return;
        }
        oursTime += a.seconds;
        theirsTime += b.seconds;
        state.SetIterationTime(a.seconds);
    }
    const double n = double(state.iterations());
    state.counters["ratio"] = oursTime / theirsTime;
    state.counters["size_ratio"] = double(a.bytes) / double(b.bytes);
    state.counters["ours_ms"] = 1000 * oursTime / n;
    state.counters["glabels_ms"] = 1000 * theirsTime / n;
    state.counters["ours_kb"] = double(a.bytes) / 1024.0;
    state.counters["glabels_kb"] = double(b.bytes) / 1024.0;
}

} // namespace

BENCHMARK(BM_LabelSheets)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_LabelSheetsRatio)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char** argv) { return RunBenchmarks(argc, argv); }
