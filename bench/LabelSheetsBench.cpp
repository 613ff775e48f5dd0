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
        TSQLiteDatabase db(database);
        SilentMessages messages;
        CreateTables(db, messages);
        Transaction tr(db);
        const int n = InsertCsvAddresses(db, csv);
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

void BM_LabelSheets(benchmark::State& state)
{
    if (!peer().ready) {
        state.SkipWithError("the database or the template could not be made");
        return;
    }
    TimeOurs(state, ours, peer().dir.filePath(QStringLiteral("ours.pdf")), kLabels);
}

void BM_LabelSheetsRatio(benchmark::State& state)
{
    if (!Ready(state, peer().ready, "the CSV, the gLabels document, the template or the database could not be made"))
        return;
    Compare(state, ours, peer().document, peer().dir.filePath(QStringLiteral("ours.pdf")),
            peer().dir.filePath(QStringLiteral("glabels.pdf")));
}

} // namespace

BENCHMARK(BM_LabelSheets)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_LabelSheetsRatio)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char** argv) { return RunBenchmarks(argc, argv); }
