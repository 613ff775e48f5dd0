// Prints through the real printing service into a CUPS scheduler with the cups-pdf queue
// Tavisto_PDF (scripts/test-cups.sh sets it up), then inspects the job with libcups and the
// PDF with poppler. Under CI this test must run; elsewhere it skips when no scheduler can
// be started.
#include "envelope/PrintError.h"
#include "envelope/UmschlagFormat.h"
#include "envelope/UmschlagRenderer.h"
#include "printing/ConfiguredPrinter.h"
#include "printing/CupsDestination.h"
#include "printing/CupsPrintService.h"
#include "printing/TDLG_Druckereigenschaften.h"
#include "printwindows/SinglePrint.h"
#include "printwindows/TDLG_Drucken.h"
#include "printwindows/TDLG_Einstellungen.h"
#include "support/CupsQueue.h"
#include "support/InkProbe.h"
#include "support/ModalAnswer.h"
#include "support/OutputTestContext.h"

#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QFontMetrics>
#include <QTimer>
#include <functional>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QProcess>
#include <QTest>
#include <cups/cups.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

using namespace CupsQueue;

namespace {

double mm(double pixels, int r)
{
    return pixels * 25.4 / r;
}

// Opens the printer's properties dialog and, while it is shown, picks the resolution
// value (when not empty) and presses the button.
void chooseInProperties(AppContext& ctx, int index, const QByteArray& resolution, const char* button)
{
    const AnswerWhenShown<TDLG_Druckereigenschaften> answer([&](TDLG_Druckereigenschaften* d) {
        // The dialog is about this one printer: it lists no printers to choose from.
        for (QComboBox* box : d->findChildren<QComboBox*>())
            EXPECT_EQ(box->findText(QStringLiteral("Tavisto_PDF"), Qt::MatchContains), -1) << box->objectName().toStdString();
        auto* res = d->findChild<QComboBox*>(QStringLiteral("ComboBox_printer-resolution"));
        ASSERT_NE(res, nullptr);
        if (!resolution.isEmpty()) {
            const int i = res->findData(resolution);
            ASSERT_GE(i, 0) << "the queue offers no " << resolution.toStdString();
            res->setCurrentIndex(i);
        }
        QTest::mouseClick(d->findChild<QPushButton*>(QString::fromLatin1(button)), Qt::LeftButton);
    });
    ShowPrinterProperties(ctx, index);
    EXPECT_TRUE(answer.seen()) << "no properties dialog";
}

struct PrintedPage
{
    CupsJob job;
    QMap<QString, QString> attributes;
    QList<int> resolutions;  // of the pictures in the document the program handed over
    QImage page;             // the PDF cups-pdf wrote, at kR pixels per inch
};
constexpr int kR = 300;

PrintedPage printOne(OutputTestContext& t, CupsPrintService& service, const QString& stem)
{
    PrintedPage out;
    const int before = service.LastJobId();
    EXPECT_TRUE(RunEinzeldruck(t.ctx, "AB00000001", "AD00000001"));
    EXPECT_NE(service.LastJobId(), before) << "no job handed over";
    out.job = finishedJob(service.LastJobId());
    if (out.job.id == 0) {
        ADD_FAILURE() << "job " << service.LastJobId() << " did not finish";
        return out;
    }
    out.attributes = jobAttributes(out.job.id);
    const QString document = t.dir.file(stem + "-document.pdf");
    EXPECT_TRUE(fetchDocument(out.job.id, document));
    out.resolutions = pictureResolutions(document);
    const QString pdf = cupsPdfOutput(out.job.id);
    EXPECT_FALSE(pdf.isEmpty()) << "no PDF in " << outputDirectory().toStdString();
    if (!pdf.isEmpty()) {
        out.page = rasterise(pdf, kR, t.dir.file(stem));
        QFile::remove(pdf);
    }
    return out;
}

// Capital letters: how far the ink of "H" lies below the top of its text cell, in dots.
int capTopInCell(int pixelSize)
{
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(pixelSize);
    const QFontMetrics m(f);
    return m.ascent() + m.tightBoundingRect(QStringLiteral("H")).top();
}

// The real printing service with default settings on a queue, and one sender and one
// address whose only line is `line`.
struct DefaultEnvelope
{
    OutputTestContext t;
    CupsPrintService service;
    int queue = -1;

    explicit DefaultEnvelope(const QString& queueName, const QString& line)
    {
        t.ctx.Printer = &service;
        queue = int(service.Printers().indexOf(queueName));
        t.ctx.Print() = PrintSettings{};
        t.ctx.Print().PrinterIndex = queue;
        t.addAbsender("AB00000001", {line, "", "", "", ""});
        t.addAdresse("AD00000001", {line, "", "", "", ""});
        if (queue >= 0)
            service.SetPrinterIndex(queue);
    }
};

} // namespace

// A new user's first envelope: default settings (DL standing, centred, sizes 14 and 18,
// factor 10) on the cups-pdf queue, whose printable area is the whole sheet.
TEST(CupsPrintTest, DefaultSettingsPrintTheWorkedExampleSizesFromTheSheetCorner)
{
    TAVISTO_REQUIRE_CUPS_QUEUE();

    DefaultEnvelope e(kQueue, "HHHHHHHH");
    ASSERT_GE(e.queue, 0);
    auto& [t, service, queue] = e;
    service.SetOrientation(PageOrientation::Landscape);
    EXPECT_EQ(service.ResolutionX(), 600);
    const PrintedPage printed = printOne(t, service, "default");
    EXPECT_EQ(service.Orientation(), PageOrientation::Landscape) << "orientation not restored";
    EXPECT_EQ(printed.job.title, "Tavisto");
    EXPECT_EQ(printed.job.state, IPP_JSTATE_COMPLETED);
    EXPECT_TRUE(printed.attributes.value("job-printer-uri").endsWith("/printers/Tavisto_PDF"));
    ASSERT_FALSE(printed.resolutions.isEmpty());
    for (int ppi : printed.resolutions)
        EXPECT_EQ(ppi, 600);

    // A4 standing; the envelope standing in its middle, turned, so each line's letters
    // stand across the page: the ink's width is the height of the capitals.
    const QImage& page = printed.page;
    ASSERT_FALSE(page.isNull());
    EXPECT_LT(page.width(), page.height());
    const int half = int(100 / 25.4 * kR);  // sender above 100 mm, address below
    const QRect sender = InkProbe::inkBox(page, QRect(0, 0, page.width(), half));
    const QRect address = InkProbe::inkBox(page, QRect(0, half, page.width(), page.height() - half));
    ASSERT_FALSE(sender.isEmpty());
    ASSERT_FALSE(address.isEmpty());
    const double addressCaps = mm(address.width(), kR);
    EXPECT_GE(addressCaps, 2.5);
    EXPECT_LE(addressCaps, 3.5);
    EXPECT_NEAR(double(sender.width()) / address.width(), 14.0 / 18.0, 0.06);

    // The picture's top edge is the sheet's top edge: the sender's first letter starts
    // 100 dots (4.2 mm) below it, plus the letter's own side bearing.
    EXPECT_GE(mm(sender.top(), kR), 4.1);
    EXPECT_LE(mm(sender.top(), kR), 4.9);
    // Centred on the whole width: the address's first line has its cell's top at the
    // picture's middle, 1180 + 1298 dots from the sheet's left edge.
    const int addressPx = UmschlagPixelSize(UmschlagPointSize(18, 60));
    const double cellTopDots = 2478 - capTopInCell(addressPx);
    EXPECT_NEAR(address.right() + 1, cellTopDots * kR / 600.0, 3.0);
}

// The properties dialog of the selected queue: "Abbrechen" changes nothing, "OK" with 300 dpi
// sends later jobs to the same queue at 300 dpi, with the text as large as the rule makes it.
TEST(CupsPrintTest, PropertiesDialogResolutionReachesLaterJobsOfThatQueue)
{
    TAVISTO_REQUIRE_CUPS_QUEUE();

    DefaultEnvelope e(kQueue, "HHHH");
    ASSERT_GE(e.queue, 0);
    auto& [t, service, queue] = e;

    chooseInProperties(t.ctx, queue, "300dpi", "Button_Cancel");
    service.SetPrinterIndex(queue);
    EXPECT_EQ(service.ResolutionX(), 600);
    const PrintedPage before = printOne(t, service, "cancelled");
    EXPECT_TRUE(before.attributes.value("job-printer-uri").endsWith("/printers/Tavisto_PDF"));
    EXPECT_NE(before.attributes.value("printer-resolution"), "300dpi");
    ASSERT_FALSE(before.resolutions.isEmpty());
    for (int ppi : before.resolutions)
        EXPECT_EQ(ppi, 600);

    chooseInProperties(t.ctx, queue, "300dpi", "Button_OK");
    service.SetPrinterIndex(queue);
    EXPECT_EQ(service.ResolutionX(), 300);
    const PrintedPage after = printOne(t, service, "chosen");
    EXPECT_TRUE(after.attributes.value("job-printer-uri").endsWith("/printers/Tavisto_PDF"));
    EXPECT_EQ(after.attributes.value("printer-resolution"), "300dpi");
    ASSERT_FALSE(after.resolutions.isEmpty());
    for (int ppi : after.resolutions)
        EXPECT_EQ(ppi, 300);

    // Factor 10 at 300 dpi: twice the points on dots twice as large.
    const int half = int(100 / 25.4 * kR);
    const QRect small = InkProbe::inkBox(before.page, QRect(0, half, before.page.width(), before.page.height() - half));
    const QRect large = InkProbe::inkBox(after.page, QRect(0, half, after.page.width(), after.page.height() - half));
    ASSERT_FALSE(small.isEmpty());
    ASSERT_FALSE(large.isEmpty());
    const double expected = double(UmschlagPixelSize(UmschlagPointSize(18, 30))) / 300 /
                            (double(UmschlagPixelSize(UmschlagPointSize(18, 60))) / 600);
    EXPECT_NEAR(double(large.width()) / small.width(), expected, 0.25);
}

// On a queue whose printable area leaves margins, the picture starts at the area's corner
// and "Mitte" centres it in the area's width.
TEST(CupsPrintTest, PictureStartsAtThePrintableAreaOfTheQueue)
{
    TAVISTO_REQUIRE_CUPS_QUEUE();
    // A copy of the PDF queue whose A4 sheet keeps 18 pt left and right, 36 pt top and bottom.
    const QString ppd = QDir::temp().filePath("tavisto-margins.ppd");
    {
        QFile in("/etc/cups/ppd/" + kQueue + ".ppd");
        ASSERT_TRUE(in.open(QIODevice::ReadOnly));
        QByteArray text = in.readAll();
        text.replace("*ImageableArea A4/A4: \"0 0 595 842\"", "*ImageableArea A4/A4: \"18 36 577 806\"");
        QFile out(ppd);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(text);
    }
    const QString margins = QStringLiteral("Tavisto_Margins");
    ASSERT_TRUE(admin("lpadmin", {"-p", margins, "-v", "cups-pdf:/", "-E", "-P", ppd}));
    struct Remove
    {
        QString name;
        ~Remove() { admin("lpadmin", {"-x", name}); }
    } remove{margins};

    DefaultEnvelope e(margins, "HHHH");
    ASSERT_GE(e.queue, 0);
    auto& [t, service, queue] = e;
    t.ctx.Print().Alignment = 0;
    service.SetOrientation(PageOrientation::Portrait);
    // 595 - 36 pt of the sheet's 595 pt width, in dots.
    EXPECT_EQ(service.PageWidth(), int((20990 - 2 * 635) * 600 / 2540.0));

    ASSERT_TRUE(RunEinzeldruck(t.ctx, "AB00000001", "AD00000001"));
    const CupsJob job = finishedJob(service.LastJobId());
    ASSERT_GT(job.id, 0);
    EXPECT_EQ(job.state, IPP_JSTATE_COMPLETED);
    const QString pdf = cupsPdfOutput(job.id);
    ASSERT_FALSE(pdf.isEmpty());
    const QImage page = rasterise(pdf, kR, t.dir.file("margins"));
    QFile::remove(pdf);
    ASSERT_FALSE(page.isNull());

    const int half = int(100 / 25.4 * kR);
    const QRect sender = InkProbe::inkBox(page, QRect(0, 0, page.width(), half));
    const QRect address = InkProbe::inkBox(page, QRect(0, half, page.width(), page.height() - half));
    ASSERT_FALSE(sender.isEmpty());
    // 12.7 mm of top margin, then the 100 dots and the letter's bearing.
    EXPECT_GE(mm(sender.top(), kR), 12.7 + 4.1);
    EXPECT_LE(mm(sender.top(), kR), 12.7 + 4.9);
    // Left-aligned: the picture starts at the 6.35 mm left margin.
    const int addressPx = UmschlagPixelSize(UmschlagPointSize(18, 60));
    const double cellTopDots = 6.35 / 25.4 * 600 + 1298 - capTopInCell(addressPx);
    EXPECT_NEAR(address.right() + 1, cellTopDots * kR / 600.0, 3.0);
}

// "The default printer" is the system's default as it is when printing starts, found by
// its name: a queue added since the list was read moves the positions.
TEST(CupsPrintTest, DefaultPrinterIsFoundByNameAfterTheQueuesChanged)
{
    TAVISTO_REQUIRE_CUPS_QUEUE();
    CupsPrintService service;
    const QString earlier = QStringLiteral("Tavisto_AAA");  // sorts before the default queue
    ASSERT_TRUE(admin("lpadmin", {"-p", earlier, "-v", "cups-pdf:/", "-E", "-P", "/etc/cups/ppd/" + kQueue + ".ppd"}));
    struct Remove
    {
        QString name;
        ~Remove() { admin("lpadmin", {"-x", name}); }
    } remove{earlier};
    ASSERT_TRUE(CupsDestination::Names().contains(earlier));
    service.SetPrinterIndex(-1);
    ASSERT_GE(service.PrinterIndex(), 0);
    EXPECT_EQ(service.Printers().value(service.PrinterIndex()), kQueue);
}

// The spooler refuses the hand-over: a stopped queue, a queue deleted after it was chosen.
// The printing error names the printer and the reason; the orientation is back; nothing printed.
TEST(CupsPrintTest, StoppedOrDeletedQueueRaisesThePrintingError)
{
    TAVISTO_REQUIRE_CUPS_QUEUE();
    const QString gone = QStringLiteral("Tavisto_Gone");
    ASSERT_TRUE(admin("lpadmin", {"-p", gone, "-v", "cups-pdf:/", "-E", "-P", "/etc/cups/ppd/" + kQueue + ".ppd"}));

    OutputTestContext t;
    CupsPrintService service;
    t.ctx.Printer = &service;
    t.ctx.Print() = PrintSettings{};
    t.addAbsender("AB00000001", {"Absender", "", "", "", ""});
    t.addAdresse("AD00000001", {"Adresse", "", "", "", ""});

    struct Case
    {
        QString queue;
        std::function<void()> spoil, mend;
        QString says;
    };
    const Case cases[] = {
        {kQueue, [] { ASSERT_TRUE(admin("cupsdisable", {"-r", "Papierstau", kQueue})); },
         [] { admin("cupsenable", {kQueue}); }, QStringLiteral("angehalten")},
        {gone, [&] { ASSERT_TRUE(admin("lpadmin", {"-x", gone})); }, [] {}, QStringLiteral("nicht vorhanden")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.queue.toStdString());
        const int queue = int(service.Printers().indexOf(c.queue));
        ASSERT_GE(queue, 0);
        t.ctx.Print().PrinterIndex = queue;
        service.SetPrinterIndex(queue);
        service.SetOrientation(PageOrientation::Landscape);
        c.spoil();
        try {
            RunEinzeldruck(t.ctx, "AB00000001", "AD00000001");
            ADD_FAILURE() << "printed on a queue that cannot take it";
        } catch (const PrintError& e) {
            EXPECT_TRUE(e.message().contains(c.queue)) << e.message().toStdString();
            EXPECT_TRUE(e.message().contains(c.says)) << e.message().toStdString();
        }
        EXPECT_EQ(service.Orientation(), PageOrientation::Landscape);
        EXPECT_FALSE(service.Printing());
        c.mend();
        EXPECT_EQ(service.LastJobId(), 0) << "a job was handed over";
    }
}

// No printer on the system: the real printing service, with libcups pointed at a scheduler
// address where nothing answers, lists no printer, as on a system without queues. The
// confirmation then warns twice and shows "[Unbekannt]" with a disabled link; the settings
// dialog warns once and saves -1.
TEST(CupsPrintTest, NoQueueGivesTheNoPrinterBehaviour)
{
    // Points libcups at a socket where no scheduler listens, for this test only.
    struct ServerOverride
    {
        ServerOverride() { cupsSetServer("/nonexistent/tavisto-empty-cups.sock"); }
        ~ServerOverride() { cupsSetServer(nullptr); }
    } server;
    if (!CupsDestination::Names().isEmpty())
        GTEST_SKIP() << "this system lists printers without a scheduler";

    OutputTestContext t;
    CupsPrintService service;
    t.ctx.Printer = &service;
    EXPECT_TRUE(service.Printers().isEmpty());
    {
        TDLG_Drucken d(t.ctx, DDT_SINGLE);
        EXPECT_EQ(t.messages.texts(), (QStringList{QString::fromUtf8(kNoPrinterText), QString::fromUtf8(kNoPrinterText)}));
        EXPECT_EQ(d.findChild<QLabel*>("Label_Printer_Name")->text(), "[Unbekannt]");
        EXPECT_FALSE(d.findChild<QLabel*>("LinkLabel_Printer_Setup")->isEnabled());
    }
    t.messages.shown.clear();
    {
        TDLG_Einstellungen d(t.ctx);
        EXPECT_EQ(t.messages.texts(), QStringList{QString::fromUtf8(kNoPrinterText)});
        d.findChild<QPushButton*>("Button_Save")->click();
        EXPECT_EQ(t.ctx.Print().PrinterIndex, -1);
    }
    // Printing then fails with the service's error instead of printing somewhere.
    t.addAbsender("AB00000001", {"Hans", "", "", "", ""});
    EXPECT_THROW(RunEinzeldruck(t.ctx, "AB00000001", "AD00000001"), PrintError);
}
