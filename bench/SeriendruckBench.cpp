// The series print's own costs, for DL envelopes at 600 dpi into a printer that only
// records its jobs: the time per envelope of a series of 200 against rendering the same
// envelope once (the series should add little beyond the picture), and the peak memory
// of a series of 200 against one of 50 (it must not grow with the number of envelopes).
// Both for the lying (0) and the standing (1) envelope.
#include "BenchSupport.h"
#include "app/AppContext.h"
#include "envelope/UmschlagRenderer.h"
#include "printing/ConfiguredPrinter.h"
#include "printing/PrintService.h"
#include "printwindows/Seriendruck.h"
#include "shell/MessageService.h"
#include "store/RecordOperations.h"
#include "store/Schema.h"
#include "store/TSQLiteDatabase.h"

#include <QImage>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kSeries = 200;
constexpr int kShortSeries = 50;
constexpr int kDpi = 600;
const QString kAbsender = QStringLiteral("AB00000001");
const QString kGroup200 = QStringLiteral("GR00000200");
const QString kGroup50 = QStringLiteral("GR00000050");

const AddressLines kSender{"Lumo Software GmbH", "Abteilung Versand", "Hauptstrasse 12", "12345 Musterstadt",
                           "Deutschland"};

AddressLines addressLines(int n)
{
    return {QStringLiteral("Frau Erika Mustermann %1").arg(n, 3, 10, QChar('0')), "Beispielweg 7",
            "c/o Familie Sommer", "54321 Beispielhausen", "Schweiz"};
}

// Keeps what a test would look at of each job, but not the picture: a fake that kept
// every picture would itself grow by one raster per envelope.
class RecordingPrinter : public PrintService
{
public:
    struct Job
    {
        QString title;
        QRect target;
        QSize picture;
        bool ended = false;
    };
    std::vector<Job> jobs;

    QStringList Printers() override { return {QStringLiteral("Office Laser")}; }
    int PrinterIndex() override { return 0; }
    void SetPrinterIndex(int) override {}
    int ResolutionX() override { return kDpi; }
    int PageWidth() override { return m_orientation == PageOrientation::Landscape ? 6814 : 4760; }
    PageOrientation Orientation() override { return m_orientation; }
    void SetOrientation(PageOrientation o) override { m_orientation = o; }
    void SetTitle(const QString& title) override { m_title = title; }
    void BeginDoc() override
    {
        jobs.push_back({m_title, {}, {}, false});
        m_open = true;
    }
    void EndDoc() override
    {
        m_open = false;
        jobs.back().ended = true;
    }
    void Abort() override { m_open = false; }
    bool Printing() override { return m_open; }
    void DrawImage(const QRect& target, const QImage& image) override
    {
        jobs.back().target = target;
        jobs.back().picture = image.size();
        benchmark::DoNotOptimize(image.constBits());
    }
    void SetLandscapeTurn(LandscapeTurn) override {}
    void ShowProperties(QWidget*, LandscapeTurn&, int&) override {}
    PrinterSheet Sheet() override { return {"iso_a4_210x297mm", {21000, 29700}, {0, 0, 0, 0}}; }
    PrinterSheet SheetOf(const QByteArray& media) override { return {media, {21000, 29700}, {0, 0, 0, 0}}; }
    void PrintDocument(const QString&, const QByteArray& pdf, const QByteArray&) override
    {
        benchmark::DoNotOptimize(pdf.constData());
    }

private:
    PageOrientation m_orientation = PageOrientation::Portrait;
    QString m_title;
    bool m_open = false;
};

// OK at every pause, so the series goes on.
class OkMessages : public MessageService
{
public:
    int pauses = 0;
    int ShowMessageBox(const QString&, int, int, int, int) override
    {
        ++pauses;
        return Msg::IdOk;
    }
    void ShowPlainMessage(const QString&) override {}
};

QImage bannerPicture()
{
    QImage b(1600, 400, QImage::Format_RGB888);
    for (int y = 0; y < b.height(); ++y)
        for (int x = 0; x < b.width(); ++x) {
            uchar* p = b.scanLine(y) + 3 * x;
            p[0] = uchar(x % 256), p[1] = uchar(y % 256), p[2] = uchar((x + y) % 256);
        }
    return b;
}

// A database with one sender and its banner, 200 active addresses in one group and 50 in
// another (each with inactive ones the series leaves out), and the DL envelope at 600 dpi.
struct Series
{
    QTemporaryDir dir;
    OkMessages messages;
    RecordingPrinter printer;
    AppContext ctx;
    QImage banner;  // as the series loads it back

    Series()
    {
        ctx.Database = std::make_unique<TSQLiteDatabase>(dir.filePath(QStringLiteral("Tavisto.dbs")));
        TSQLiteDatabase& db = ctx.db();
        CreateTables(db, messages);
        ctx.Messages = &messages;
        ctx.Printer = &printer;
        PrintSettings& p = ctx.Print();
        p.PrinterIndex = 0;
        p.FormatIndex = 2;  // DL
        p.Alignment = 1;
        p.BreakCount = 50;  // the most the settings allow; a series of 200 still pauses three times

        SqlParams sender{kAbsender};
        for (const QString& l : kSender)
            sender << l;
        db.ExecSQL(QStringLiteral("INSERT INTO tab_absender (Absender_ID,Line1,Line2,Line3,Line4,Line5) VALUES (?,?,?,?,?,?)"),
                   sender);
        SaveBanner(db, messages, kAbsender, bannerPicture());
        LoadBanner(db, kAbsender, banner);

        Transaction t(db);
        int id = 0;
        for (const auto& [group, count] : {std::pair{kGroup200, kSeries}, std::pair{kGroup50, kShortSeries}})
            for (int i = 1; i <= count + count / 10; ++i) {
                SqlParams params{QStringLiteral("AD%1").arg(++id, 8, 10, QChar('0')), group};
                for (const QString& l : addressLines(i))
                    params << l;
                params << QString() << (i <= count ? 1 : 0);
                db.ExecSQL(QStringLiteral("INSERT INTO tab_adressen (Adresse_ID,Gruppe_ID,Line1,Line2,Line3,Line4,Line5,"
                                          "Line6,Aktiv) VALUES (?,?,?,?,?,?,?,?,?)"),
                           params);
            }
        t.Commit();
    }

    // Runs one series of the group; an empty text when every envelope became its own
    // finished job of the DL picture's size.
    std::string run(const QString& group, int count)
    {
        printer.jobs.clear();
        messages.pauses = 0;
        if (!RunSeriendruck(ctx, {kAbsender, group, QString(), 5, 1}))
            return "sender not found";
        if (int(printer.jobs.size()) != count)
            return "printed " + std::to_string(printer.jobs.size()) + " of " + std::to_string(count);
        const QSize dl = ctx.Print().Orientation == 0 ? QSize(5196, 2598) : QSize(2598, 5196);
        for (const auto& job : printer.jobs)
            if (!job.ended || job.picture != dl)
                return "job " + job.title.toStdString() + " unfinished or of the wrong size";
        return {};
    }
};

Series& series()
{
    static Series s;
    return s;
}

// Each batch of 200 iterations is one series of 200 envelopes, so the time per iteration
// is the time per envelope.
void BM_Seriendruck200(benchmark::State& state)
{
    Series& s = series();
    s.ctx.Print().Orientation = int(state.range(0));
    std::string error;
    while (state.KeepRunningBatch(kSeries)) {
        error = s.run(kGroup200, kSeries);
        if (!error.empty())
            break;
    }
    if (!error.empty())
        state.SkipWithError(error.c_str());
    state.counters["pauses"] = s.messages.pauses;
}

// One picture of the same envelope (sender, address, banner), a fresh one as the series
// makes for each envelope.
void BM_Seriendruck200_Baseline(benchmark::State& state)
{
    Series& s = series();
    s.ctx.Print().Orientation = int(state.range(0));
    const AddressLines address = addressLines(kSeries / 2);
    for (auto _ : state) {
        QImage img;
        RenderUmschlag(s.ctx, &img, kSender, address, &s.banner);
        benchmark::DoNotOptimize(img.constBits());
    }
}

// Peak resident memory above the start of a series, in kB.
long peakGrowthKb(Series& s, const QString& group, int count, std::string& error)
{
    return PeakGrowthKb([&] { error = s.run(group, count); });
}

// The peak of a series of 200 over that of a series of 50 (ratio), after one series that
// warms the font and glyph caches; the growth between them should stay near zero.
void BM_SeriendruckPeakMemory(benchmark::State& state)
{
    Series& s = series();
    s.ctx.Print().Orientation = int(state.range(0));
    std::string error = s.run(kGroup50, kShortSeries);
    long peak50 = 0, peak200 = 0;
    for (auto _ : state) {
        if (error.empty())
            peak50 = peakGrowthKb(s, kGroup50, kShortSeries, error);
        if (error.empty())
            peak200 = peakGrowthKb(s, kGroup200, kSeries, error);
    }
    if (!error.empty()) {
        state.SkipWithError(error.c_str());
        return;
    }
    state.counters["peak50_MB"] = double(peak50) / 1024.0;
    state.counters["peak200_MB"] = double(peak200) / 1024.0;
    state.counters["growth_MB"] = double(peak200 - peak50) / 1024.0;
    state.counters["raster_MB"] = double(5196 * 3 * 2598) / (1024.0 * 1024.0);
    state.counters["ratio"] = peak50 > 0 ? double(peak200) / double(peak50) : 0.0;
}

} // namespace

BENCHMARK(BM_Seriendruck200_Baseline)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Seriendruck200)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(kSeries);
BENCHMARK(BM_SeriendruckPeakMemory)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(1);

int main(int argc, char** argv) { return RunBenchmarks(argc, argv); }
