// What a driverless-style laser printer gets: three raster queues that differ only in
// which way their driver turns a landscape page (Plus90, Minus90, none), with uneven
// margins, their device a file. The raster the printer would get is read back and the ink
// measured on the sheet, in millimetres from its top-left corner as it lies in the printer.
#include "printing/ConfiguredPrinter.h"
#include "printing/CupsPrintService.h"
#include "printing/TDLG_Druckereigenschaften.h"
#include "printwindows/SinglePrint.h"
#include "support/CupsQueue.h"
#include "support/ModalAnswer.h"
#include "support/OutputTestContext.h"
#include "support/RasterQueue.h"

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace RasterQueue;

namespace {

// The margins of the test queues' driver, in millimetres.
constexpr double kLeft = 12 * 25.4 / 72, kBottom = 18 * 25.4 / 72, kTop = 30 * 25.4 / 72;

struct Sheet
{
    const char* name;
    QByteArray media;   // empty: the queue's default (A4)
    QByteArray source;  // empty: the queue's default tray
    QSizeF mm;          // the sheet as it lies in the printer
    int mediaPosition;  // the tray the raster names (4: manual feeder)
};
const Sheet kA4{"A4", {}, {}, {210, 297}, 0};
const Sheet kDlManual{"DL from the manual feeder", "iso_dl_110x220mm", "manual", {110, 220}, 4};

// The properties dialog of the selected printer, driven as a user would: the paper, the tray
// and the turn picked, OK pressed.
void chooseInProperties(AppContext& ctx, int index, const Sheet& sheet, int turn)
{
    const AnswerWhenShown<TDLG_Druckereigenschaften> answer([&](TDLG_Druckereigenschaften* d) {
        auto pick = [&](const char* box, const QByteArray& value) {
            if (value.isEmpty())
                return;
            auto* combo = d->findChild<QComboBox*>(QString::fromLatin1(box));
            ASSERT_NE(combo, nullptr) << box;
            const int i = combo->findData(value);
            ASSERT_GE(i, 0) << box << " has no " << value.toStdString();
            combo->setCurrentIndex(i);
        };
        pick("ComboBox_media", sheet.media);
        pick("ComboBox_media-source", sheet.source);
        d->findChild<QComboBox*>("ComboBox_Querformat")->setCurrentIndex(turn);
        QTest::mouseClick(d->findChild<QPushButton*>("Button_OK"), Qt::LeftButton);
    });
    ShowPrinterProperties(ctx, index);
    EXPECT_TRUE(answer.seen()) << "no properties dialog";
}

struct Printed
{
    RasterPage page;
    QRectF ink;      // all ink, in mm
    QRectF sender;   // the ink of the sender block, in mm
    QRectF address;  // the ink of the address block, in mm
    QString document;
};

// Prints one "Horizontal" DL envelope with default settings and reads what the printer got.
// The sender block is told from the address block by printing each alone.
struct HorizontalEnvelope
{
    OutputTestContext t;
    CupsPrintService service;

    HorizontalEnvelope(const QString& queue, const Sheet& sheet, int turn)
    {
        t.ctx.Printer = &service;
        t.ctx.Print() = PrintSettings{};
        t.ctx.Print().Orientation = 0;
        t.ctx.Print().PrinterIndex = int(service.Printers().indexOf(queue));
        t.addAbsender("AB00000001", {"Verein Lumo e.V.", "Postfach 1", "", "12345 Hausen", ""});
        t.addAdresse("AD00000001", {"Herrn", "Max Mustermann", "Weg 1", "54321 Dorf", ""});
        // Opened, and left as it is, the dialog changes nothing: OK pins no default.
        if (t.ctx.Print().PrinterIndex >= 0)
            chooseInProperties(t.ctx, t.ctx.Print().PrinterIndex, sheet, turn);
    }

    std::optional<RasterPage> print(const QString& queue, bool sender, bool address, QString* document = nullptr)
    {
        t.ctx.Print().PrintSender = sender;
        t.ctx.Print().PrintAddress = address;
        EXPECT_TRUE(clearRaster(queue));
        const int before = service.LastJobId();
        EXPECT_TRUE(RunEinzeldruck(t.ctx, "AB00000001", "AD00000001"));
        const int job = service.LastJobId();
        EXPECT_NE(job, before) << "no job handed over";
        if (document) {
            *document = t.dir.file(QStringLiteral("job-%1.pdf").arg(job));
            EXPECT_TRUE(CupsQueue::fetchDocument(job, *document, queue));
        }
        QString why;
        const QList<RasterPage> pages = waitForRaster(queue, job, &why);
        EXPECT_EQ(pages.size(), 1) << why.toStdString();
        if (pages.isEmpty())
            return std::nullopt;
        return pages.first();
    }

    std::optional<Printed> measure(const QString& queue)
    {
        Printed out;
        const auto senderOnly = print(queue, true, false);
        const auto addressOnly = print(queue, false, true);
        const auto both = print(queue, true, true, &out.document);
        if (!senderOnly || !addressOnly || !both)
            return std::nullopt;
        out.page = *both;
        out.ink = toMillimetres(inkBox(both->image), both->header);
        out.sender = toMillimetres(inkBox(senderOnly->image), senderOnly->header);
        out.address = toMillimetres(inkBox(addressOnly->image), addressOnly->header);
        return out;
    }
};

void expectSamePlace(const QRectF& a, const QRectF& b, const char* what)
{
    constexpr double kTolerance = 0.3;  // mm: a dot or two of the printer's rounding
    EXPECT_NEAR(a.left(), b.left(), kTolerance) << what;
    EXPECT_NEAR(a.top(), b.top(), kTolerance) << what;
    EXPECT_NEAR(a.right(), b.right(), kTolerance) << what;
    EXPECT_NEAR(a.bottom(), b.bottom(), kTolerance) << what;
}

QString pageSizeOf(const QString& pdf)
{
    static const QRegularExpression size(QStringLiteral("Page size:\\s+([0-9.]+) x ([0-9.]+) pts"));
    const QRegularExpressionMatch m = size.match(CupsQueue::run("pdfinfo", {pdf}));
    return m.hasMatch() ? QStringLiteral("%1 x %2").arg(std::lround(m.captured(1).toDouble())).arg(std::lround(m.captured(2).toDouble()))
                        : QString();
}

} // namespace

// "Horizontal" comes out the same on every driver: the sender's and the address's ink at the
// same place of the sheet whichever way the driver would turn a landscape page, on A4 and on
// DL paper from the manual feeder. Turned to the left (the default) the envelope's top edge
// runs along the sheet's left edge, so the sender stands in the bottom-left corner, reading
// upwards; "nach rechts" puts it in the top-right corner on all three drivers alike.
TEST(CupsRasterTest, HorizontalEnvelopesLieTheSameWayOnEveryDriver)
{
    TAVISTO_REQUIRE_CUPS_QUEUE();
    TAVISTO_REQUIRE_RASTER_QUEUES();
    for (const Sheet& sheet : {kA4, kDlManual})
        for (const int turn : {0, 1}) {
            SCOPED_TRACE(std::string(sheet.name) + (turn == 0 ? ", nach links" : ", nach rechts"));
            std::optional<Printed> reference;
            for (const QString& queue : kQueues) {
                SCOPED_TRACE(queue.toStdString());
                HorizontalEnvelope e(queue, sheet, turn);
                const std::optional<Printed> printed = e.measure(queue);
                ASSERT_TRUE(printed);
                const cups_page_header2_t& h = printed->page.header;
                // To look at what the printer got: TAVISTO_KEEP_PICTURES=<folder>.
                if (const QString keep = qEnvironmentVariable("TAVISTO_KEEP_PICTURES"); !keep.isEmpty())
                    printed->page.image.save(QStringLiteral("%1/raster-%2-%3-%4.png")
                                                 .arg(keep, sheet.media.isEmpty() ? "A4" : "DL", turn ? "rechts" : "links", queue));
                // The sheet as it lies in the printer, portrait, at the job's 600 dpi, from the tray chosen.
                EXPECT_EQ(h.HWResolution[0], 600u);
                EXPECT_NEAR(h.PageSize[0] * 25.4 / 72, sheet.mm.width(), 0.5);
                EXPECT_NEAR(h.PageSize[1] * 25.4 / 72, sheet.mm.height(), 0.5);
                EXPECT_EQ(int(h.MediaPosition), sheet.mediaPosition);
                // What the program wrote is that sheet, standing.
                EXPECT_EQ(pageSizeOf(printed->document),
                          QStringLiteral("%1 x %2").arg(h.PageSize[0]).arg(h.PageSize[1]));

                ASSERT_FALSE(printed->sender.isEmpty());
                ASSERT_FALSE(printed->address.isEmpty());
                // The address lines run along the sheet's long side: its ink is taller than wide.
                EXPECT_GT(printed->address.height(), printed->address.width());
                const QPointF sheetMiddle(sheet.mm.width() / 2, sheet.mm.height() / 2);
                if (turn == 0) {
                    EXPECT_LT(printed->sender.center().x(), sheetMiddle.x());
                    EXPECT_GT(printed->sender.center().y(), sheetMiddle.y());
                    // The envelope's left edge on the sheet's bottom printable edge... and its
                    // top edge at the left printable edge: the sender 100 dots (4.2 mm) in from both.
                    EXPECT_GT(printed->sender.left(), kLeft + 4.0);
                    EXPECT_LT(printed->sender.left(), kLeft + 6.5);
                    // The address further up the sheet and further in.
                    EXPECT_LT(printed->address.bottom(), printed->sender.top());
                    EXPECT_GT(printed->address.left(), printed->sender.right());
                } else {
                    EXPECT_GT(printed->sender.center().x(), sheetMiddle.x());
                    EXPECT_LT(printed->sender.center().y(), sheetMiddle.y());
                    EXPECT_GT(printed->address.top(), printed->sender.bottom());
                    EXPECT_LT(printed->address.right(), printed->sender.left());
                }
                if (sheet.media.isEmpty()) {
                    // On A4 the envelope lies centred on the printable length ("Mitte").
                    const double printableMiddle = turn == 0 ? sheet.mm.height() - kBottom - (sheet.mm.height() - kBottom - kTop) / 2
                                                             : kTop + (sheet.mm.height() - kBottom - kTop) / 2;
                    // The address block starts at the envelope's middle.
                    const double addressStart = turn == 0 ? printed->address.bottom() : printed->address.top();
                    EXPECT_NEAR(addressStart, printableMiddle, 1.5);
                }
                if (!reference) {
                    reference = printed;
                    continue;
                }
                expectSamePlace(printed->sender, reference->sender, "sender");
                expectSamePlace(printed->address, reference->address, "address");
                expectSamePlace(printed->ink, reference->ink, "all ink");
            }
        }
}

// One decision for the page and the paper, per job: the paper the printer got is the page
// the program wrote, with no choice, with DL chosen, and after the queue's default paper was
// changed between two jobs of one run.
TEST(CupsRasterTest, ThePaperThePrinterGetsIsThePageTheProgramWrote)
{
    TAVISTO_REQUIRE_CUPS_QUEUE();
    TAVISTO_REQUIRE_RASTER_QUEUES();
    const QString queue = kNone;
    struct RestoreDefault
    {
        QString queue;
        ~RestoreDefault() { CupsQueue::admin("lpadmin", {"-p", queue, "-o", "media-default=iso_a4_210x297mm"}); }
    } restore{queue};

    HorizontalEnvelope e(queue, kA4, 0);
    e.t.ctx.Print().Orientation = 1;  // standing: the paper matters, not the turn
    struct Step
    {
        const char* name;
        std::function<void()> before;
        QString size;  // in points
    };
    const Step steps[] = {
        {"no choice: the queue's default", [] {}, "595 x 842"},
        {"the queue's default changed to DL meanwhile",
         [&] { ASSERT_TRUE(CupsQueue::admin("lpadmin", {"-p", queue, "-o", "media-default=iso_dl_110x220mm"})); },
         "312 x 624"},
        {"back to A4, DL chosen in the properties", [&] {
             ASSERT_TRUE(CupsQueue::admin("lpadmin", {"-p", queue, "-o", "media-default=iso_a4_210x297mm"}));
             chooseInProperties(e.t.ctx, e.t.ctx.Print().PrinterIndex, kDlManual, 0);
         },
         "312 x 624"},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        step.before();
        QString document;
        const auto page = e.print(queue, true, true, &document);
        ASSERT_TRUE(page);
        EXPECT_EQ(pageSizeOf(document), step.size);
        EXPECT_EQ(QStringLiteral("%1 x %2").arg(page->header.PageSize[0]).arg(page->header.PageSize[1]), step.size);
        // Nothing of the envelope fell off the sheet the printer got.
        const QRectF ink = toMillimetres(inkBox(page->image), page->header);
        EXPECT_FALSE(ink.isEmpty());
        EXPECT_LT(ink.right(), page->header.PageSize[0] * 25.4 / 72);
    }
}

// A resolution chosen in the properties dialog reaches the driver in the queue's own
// spelling, and the picture is made at it: the printer gets 300 dpi, the page's picture is
// placed at 300 pixels per inch.
TEST(CupsRasterTest, TheChosenResolutionReachesTheDriver)
{
    TAVISTO_REQUIRE_CUPS_QUEUE();
    TAVISTO_REQUIRE_RASTER_QUEUES();
    HorizontalEnvelope e(kNone, kA4, 0);
    const AnswerWhenShown<TDLG_Druckereigenschaften> answer([&](TDLG_Druckereigenschaften* d) {
        auto* res = d->findChild<QComboBox*>("ComboBox_printer-resolution");
        ASSERT_NE(res, nullptr);
        const int i = res->findData(QByteArray("300dpi"));
        ASSERT_GE(i, 0) << "the queue offers no 300dpi";
        res->setCurrentIndex(i);
        QTest::mouseClick(d->findChild<QPushButton*>("Button_OK"), Qt::LeftButton);
    });
    ShowPrinterProperties(e.t.ctx, e.t.ctx.Print().PrinterIndex);
    ASSERT_TRUE(answer.seen());
    QString document;
    const auto page = e.print(kNone, true, true, &document);
    ASSERT_TRUE(page);
    EXPECT_EQ(page->header.HWResolution[0], 300u);
    EXPECT_EQ(page->header.HWResolution[1], 300u);
    EXPECT_EQ(CupsQueue::jobAttributes(e.service.LastJobId()).value("printer-resolution"), "300dpi");
    const QList<int> ppi = CupsQueue::pictureResolutions(document);
    ASSERT_FALSE(ppi.isEmpty());
    for (int r : ppi)
        EXPECT_EQ(r, 300);
}
