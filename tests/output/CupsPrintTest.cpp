// Prints through the real printing service into a CUPS scheduler with the cups-pdf queue
// Tavisto_PDF (scripts/test-cups.sh sets it up), then inspects the job with libcups and the
// PDF with poppler. Under CI this test must run; elsewhere it skips when no scheduler can
// be started.
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

namespace {

const QString kQueue = QStringLiteral("Tavisto_PDF");

bool queueReady()
{
    return QPrinterInfo::availablePrinterNames().contains(kQueue);
}

// Starts the scheduler and adds the queue when they are not there yet.
bool ensureQueue(QString& why)
{
    if (queueReady())
        return true;
    const QString script = QStringLiteral(TAVISTO_FIXTURES "/../../scripts/test-cups.sh");
    QProcess p;
    p.start(QStringLiteral("bash"), {script});
    p.waitForFinished(120000);
    why = QString::fromLocal8Bit(p.readAllStandardError() + p.readAllStandardOutput()).trimmed();
    for (int i = 0; i < 50 && !queueReady(); ++i)
        QTest::qWait(100);
    return queueReady();
}

// Where cups-pdf writes the jobs of the user running the tests: the "Out" line of its
// configuration with ${HOME} expanded.
QString outputDirectory()
{
    QString out = QStringLiteral("${HOME}/PDF");
    QFile conf(QStringLiteral("/etc/cups/cups-pdf.conf"));
    if (conf.open(QIODevice::ReadOnly))
        for (const QByteArray& raw : conf.readAll().split('\n')) {
            const QString line = QString::fromLocal8Bit(raw).trimmed();
            if (line.startsWith(QLatin1String("Out ")))
                out = line.mid(4).trimmed();
        }
    const passwd* pw = getpwuid(getuid());
    const QString home = pw ? QString::fromLocal8Bit(pw->pw_dir) : QDir::homePath();
    return out.replace(QLatin1String("${HOME}"), home);
}

struct CupsJob
{
    int id = 0;
    QString title;
    ipp_jstate_t state = IPP_JSTATE_PENDING;
};

QList<CupsJob> queueJobs()
{
    cups_job_t* jobs = nullptr;
    const int n = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, kQueue.toUtf8().constData(), 0, CUPS_WHICHJOBS_ALL);
    QList<CupsJob> out;
    for (int i = 0; i < n; ++i)
        out.append({jobs[i].id, QString::fromUtf8(jobs[i].title), jobs[i].state});
    cupsFreeJobs(n, jobs);
    return out;
}

int lastJobId()
{
    int id = 0;
    for (const CupsJob& j : queueJobs())
        id = std::max(id, j.id);
    return id;
}

// The document of a job as the program handed it to the scheduler (CUPS-Get-Document).
bool fetchDocument(int jobId, const QString& fileName)
{
    ipp_t* request = ippNewRequest(IPP_OP_CUPS_GET_DOCUMENT);
    const QByteArray uri = "ipp://localhost/printers/" + kQueue.toUtf8();
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri.constData());
    ippAddInteger(request, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-id", jobId);
    ippAddInteger(request, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "document-number", 1);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    QFile out(fileName);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    const int fd = out.handle();
    ipp_t* response = cupsDoIORequest(CUPS_HTTP_DEFAULT, request, "/", -1, fd);
    const bool ok = response && ippGetStatusCode(response) <= IPP_STATUS_OK_CONFLICTING;
    ippDelete(response);
    out.close();
    return ok && QFileInfo(fileName).size() > 0;
}

QString run(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(60000);
    return QString::fromLocal8Bit(p.readAllStandardOutput());
}

} // namespace

TEST(CupsPrintTest, EinzeldruckReachesTheQueueAsALandscapePdf)
{
    QString why;
    if (!ensureQueue(why)) {
        if (qEnvironmentVariable("CI") == QLatin1String("true"))
            FAIL() << "CI needs a CUPS scheduler with the queue Tavisto_PDF: " << why.toStdString();
        GTEST_SKIP() << "No CUPS scheduler with the queue Tavisto_PDF could be started (" << why.toStdString()
                     << "); the real printing test did not run.";
    }

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
