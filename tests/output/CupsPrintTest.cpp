// Prints through the real printing service into a CUPS scheduler with the cups-pdf queue
// Tavisto_PDF (scripts/test-cups.sh sets it up), then inspects the job with libcups and the
// PDF with poppler. Under CI this test must run; elsewhere it skips when no scheduler can
// be started.
#include "CupsQueue.h"
#include "InkProbe.h"
#include "OutputTestContext.h"
#include "output/OutputSettings.h"
#include "output/PrintError.h"
#include "output/QtPrintService.h"
#include "output/TDLG_Drucken.h"
#include "output/TDLG_Einstellungen.h"
#include "output/SinglePrint.h"
#include "output/UmschlagFormat.h"
#include "output/UmschlagRenderer.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QPageLayout>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QTest>
#include <cups/cups.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

using namespace CupsQueue;

TEST(CupsPrintTest, EinzeldruckReachesTheQueueAsALandscapePdf)
{
    TAVISTO_REQUIRE_CUPS_QUEUE();

    OutputTestContext t;
    QtPrintService service;
    t.ctx.Printer = &service;
    const int queueIndex = int(service.Printers().indexOf(kQueue));
    ASSERT_GE(queueIndex, 0);
    PrintSettings& s = t.ctx.Print();
    s.PrinterIndex = queueIndex;
    s.FormatIndex = 2;
    s.Orientation = 0;
    s.Alignment = 0;
    // The largest sizes, so the lines stay legible at the queue's high resolution.
    s.SenderFontSize = 24;
    s.AddressFontSize = 24;
    t.addAbsender("AB00000001", {"HHHHHHHH", "", "", "", ""});
    t.addAdresse("AD00000001", {"MMMMMMMM", "", "", "", ""});

    const QString outDir = outputDirectory();
    const QDateTime started = QDateTime::currentDateTime().addSecs(-1);
    const int before = lastJobId();

    // The printer starts in portrait and is back in portrait afterwards.
    service.SetPrinterIndex(queueIndex);
    service.SetOrientation(PageOrientation::Portrait);
    ASSERT_TRUE(RunEinzeldruck(t.ctx, "AB00000001", "AD00000001"));
    EXPECT_EQ(service.Orientation(), PageOrientation::Portrait);
    const int dpi = service.ResolutionX();

    // libcups: a new job titled "Tavisto" that completes.
    CupsJob job;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            for (const CupsJob& j : queueJobs())
                if (j.id > before) {
                    job = j;
                    return j.state >= IPP_JSTATE_STOPPED;
                }
            return false;
        },
        60000))
        << "no finished job after id " << before;
    EXPECT_EQ(job.title, "Tavisto");
    EXPECT_EQ(job.state, IPP_JSTATE_COMPLETED);

    // The PDF cups-pdf wrote for it.
    QString pdf;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            const QFileInfoList files = QDir(outDir).entryInfoList({"*Tavisto*.pdf"}, QDir::Files, QDir::Time);
            if (!files.isEmpty() && files.first().lastModified() >= started && files.first().size() > 0)
                pdf = files.first().absoluteFilePath();
            return !pdf.isEmpty();
        },
        30000))
        << "no PDF in " << outDir.toStdString();
    EXPECT_TRUE(run("pdfinfo", {pdf}).contains(QRegularExpression("Pages:\\s+1\\n")));

    // The job's document: one landscape A4 page.
    const QString document = t.dir.file("document.pdf");
    ASSERT_TRUE(fetchDocument(job.id, document));
    const QString info = run("pdfinfo", {document});
    EXPECT_TRUE(info.contains(QRegularExpression("Pages:\\s+1\\n"))) << info.toStdString();
    const QRegularExpressionMatch size = QRegularExpression("Page size:\\s+([\\d.]+) x ([\\d.]+) pts").match(info);
    ASSERT_TRUE(size.hasMatch()) << info.toStdString();
    EXPECT_GT(size.captured(1).toDouble(), size.captured(2).toDouble()) << "not landscape: " << info.toStdString();

    // The printed page, with ink where the two first lines must be. On portrait paper the
    // scheduler turns a landscape page a quarter left, as printers print landscape.
    const int r = 300;
    const QString png = t.dir.file("page");
    run("pdftoppm", {"-r", QString::number(r), "-png", "-singlefile", pdf, png});
    const QImage page(png + ".png");
    ASSERT_FALSE(page.isNull());
    const bool turned = page.width() < page.height();
    const double landscapeWidth = std::max(page.width(), page.height()) / double(r);  // inches

    QPrinter probe(QPrinterInfo::printerInfo(kQueue), QPrinter::HighResolution);
    probe.setPageOrientation(QPageLayout::Landscape);
    const QRectF paint = probe.pageLayout().paintRect(QPageLayout::Inch);
    // Dots of the envelope picture to pixels of the rendered page.
    auto px = [&](double dotX, double dotY) {
        const double x = paint.left() + dotX / dpi;
        const double y = paint.top() + dotY / dpi;
        if (turned)
            return QPoint(int(y * r), int((landscapeWidth - x) * r));
        return QPoint(int(x * r), int(y * r));
    };
    const int slack = r / 20;  // a twentieth of an inch around the expected cells
    const QSize envelope = *UmschlagSize(2, dpi);
    const int em = UmschlagPixelSize(UmschlagPointSize(24, dpi / s.DpiFactor));
    const QPoint address(envelope.width() / 2, envelope.height() / 2);
    const QRect senderCell = QRect(px(100, 100), px(100 + 8 * em, 100 + em * 6 / 5)).normalized();
    const QRect addressCell =
        QRect(px(address.x(), address.y()), px(address.x() + 8 * em, address.y() + em * 6 / 5)).normalized();
    const QRect senderInk = InkProbe::inkBox(page, senderCell.adjusted(-slack, -slack, slack, slack));
    const QRect addressInk = InkProbe::inkBox(page, addressCell.adjusted(-slack, -slack, slack, slack));
    EXPECT_FALSE(senderInk.isEmpty()) << "no sender ink near " << senderCell.x() << "," << senderCell.y();
    EXPECT_FALSE(addressInk.isEmpty()) << "no address ink near " << addressCell.x() << "," << addressCell.y();
    // The line starts where the cell starts: its left edge, or its bottom when turned.
    if (turned) {
        EXPECT_NEAR(senderInk.bottom(), senderCell.bottom(), slack);
        EXPECT_NEAR(addressInk.bottom(), addressCell.bottom(), slack);
    } else {
        EXPECT_NEAR(senderInk.left(), senderCell.left(), slack);
        EXPECT_NEAR(addressInk.left(), addressCell.left(), slack);
    }
    // Between the two blocks the envelope is blank.
    EXPECT_EQ(InkProbe::inkBox(page, QRect(px(100, 100 + 2 * em), px(address.x() - 100, address.y() - 100)).normalized()),
              QRect());
    QFile::remove(pdf);
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
    if (!QPrinterInfo::availablePrinterNames().isEmpty())
        GTEST_SKIP() << "this system lists printers without a scheduler";

    OutputTestContext t;
    QtPrintService service;
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
