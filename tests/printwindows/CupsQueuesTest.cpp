// Queues as users have them: a network printer that is switched off, a queue added between
// two starts, an instance with its own paper. Through the real printing service and the
// test command's scheduler.
#include "envelope/PrintError.h"
#include "printing/CupsDestination.h"
#include "printing/CupsPrintService.h"
#include "printwindows/Seriendruck.h"
#include "printwindows/SinglePrint.h"
#include "printwindows/TForm_Progress.h"
#include "shell/IniFile.h"
#include "shell/Settings.h"
#include "support/CupsQueue.h"
#include "support/OutputTestContext.h"
#include "support/SilentPrinter.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTimer>
#include <gtest/gtest.h>

using namespace CupsQueue;

namespace {

// A queue the test adds and deletes again.
struct TestQueue
{
    QString name;
    TestQueue(QString queue, const QString& device) : name(std::move(queue))
    {
        EXPECT_TRUE(admin("lpadmin", {"-p", name, "-E", "-v", device, "-m", "drv:///sample.drv/generic.ppd"}))
            << name.toStdString();
    }
    ~TestQueue() { admin("lpadmin", {"-x", name}); }
};

struct Envelope
{
    OutputTestContext t;
    CupsPrintService service;

    Envelope()
    {
        t.ctx.Printer = &service;
        t.ctx.Print() = PrintSettings{};
        t.addAbsender("AB00000001", {"Verein Lumo e.V.", "Postfach 1", "", "12345 Hausen", ""});
        for (int i = 1; i <= 3; ++i)
            t.addAdresse(QString("AD%1").arg(i, 8, 10, QChar('0')), {QString("Mitglied %1").arg(i), "Weg 1", "", "", ""});
    }
    void choose(const QString& queue)
    {
        t.ctx.Print().PrinterIndex = int(service.Printers().indexOf(queue));
        ASSERT_GE(t.ctx.Print().PrinterIndex, 0) << queue.toStdString() << " is not listed";
    }
};

QString pdfPageSize(const QString& pdf)
{
    static const QRegularExpression size(QStringLiteral("Page size:\\s+([0-9.]+ x [0-9.]+) pts"));
    return size.match(run("pdfinfo", {pdf})).captured(1);
}

} // namespace

// A network printer that is off: the user is told within seconds, by the printer's name,
// while the window keeps painting; nothing waits in the queue to come out some day later.
TEST(CupsQueuesTest, APrinterThatDoesNotAnswerIsNamedWithinSecondsAndNothingIsPrinted)
{
    TAVISTO_REQUIRE_CUPS_QUEUE();
    SilentPrinter silent;
    ASSERT_GT(silent.port, 0);
    struct Case
    {
        const char* what;
        QString device;
        bool series;
    };
    const QString silentUri = QStringLiteral("ipp://127.0.0.1:%1/ipp/print").arg(silent.port);
    // Port 9 on this machine: nobody listens, the connection is refused at once.
    const QString refusedUri = QStringLiteral("socket://127.0.0.1:9");
    const Case cases[] = {
        {"silent, single print", silentUri, false},
        {"silent, series", silentUri, true},
        {"refused, single print", refusedUri, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TestQueue queue(QStringLiteral("Tavisto_Fern"), c.device);
        Envelope e;
        e.choose(queue.name);
        int ticks = 0;
        QTimer timer;
        QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
        timer.start(50);
        QElapsedTimer clock;
        clock.start();
        try {
            if (c.series)
                RunSeriendruck(e.t.ctx, {"AB00000001", "GR00000001", "", 5, 1});
            else
                RunEinzeldruck(e.t.ctx, "AB00000001", "AD00000001");
            ADD_FAILURE() << "printed to a printer that does not answer";
        } catch (const PrintError& error) {
            EXPECT_EQ(error.message(),
                      "Der Drucker „Tavisto_Fern“ antwortet nicht. Bitte prüfen Sie, ob er eingeschaltet und mit dem "
                      "Netzwerk verbunden ist. Es wurde nichts gedruckt.");
        }
        EXPECT_LT(clock.elapsed(), 15000) << "the user waited too long to be told";
        if (c.device == silentUri)
            EXPECT_GT(ticks, 20) << "the window did not paint while the printer was asked";
        EXPECT_TRUE(queueJobs(CUPS_WHICHJOBS_ALL, queue.name).isEmpty());
        EXPECT_EQ(e.service.LastJobId(), 0);
        EXPECT_FALSE(e.service.Printing());
        for (QWidget* w : QApplication::topLevelWidgets())
            EXPECT_FALSE(qobject_cast<TForm_Progress*>(w) && w->isVisible()) << "the progress window stayed";
    }
}

// The printer is remembered by its name: a queue added between two starts that sorts before
// it moves its position in the list, and the envelopes still go where they went before.
TEST(CupsQueuesTest, AQueueAddedBetweenTwoStartsDoesNotTakeTheEnvelopes)
{
    TAVISTO_REQUIRE_CUPS_QUEUE();
    const QString settingsFile = [] {
        Envelope first;
        first.choose(kQueue);
        first.t.ctx.Print().PrinterName = kQueue;
        IniFile ini;
        SaveSettings(ini, first.t.ctx.Settings);
        return QString::fromUtf8(ini.toBytes());
    }();

    TestQueue earlier(QStringLiteral("Tavisto_AAA"), QStringLiteral("cups-pdf:/"));
    Envelope second;
    IniFile ini;
    ini.loadFromBytes(settingsFile.toUtf8());
    const int savedIndex = ini.readInteger("CONFIG", "Drucker", -1);
    const QStringList names = second.service.Printers();
    ASSERT_LT(names.indexOf(earlier.name), names.indexOf(kQueue)) << "the new queue must sort before";
    ASSERT_NE(names.value(savedIndex), kQueue) << "the index alone would now name another queue";
    second.t.ctx.Settings = LoadSettings(ini, {1920, 1080}, {int(names.size()), 0, names}, {});
    EXPECT_EQ(second.t.ctx.Print().PrinterIndex, names.indexOf(kQueue));

    ASSERT_TRUE(RunEinzeldruck(second.t.ctx, "AB00000001", "AD00000001"));
    const QMap<QString, QString> job = jobAttributes(second.service.LastJobId());
    EXPECT_TRUE(job.value("job-printer-uri").endsWith("/printers/" + kQueue)) << job.value("job-printer-uri").toStdString();
    finishedJob(second.service.LastJobId());
    QFile::remove(cupsPdfOutput(second.service.LastJobId()));
}

// An instance made with lpoptions for envelopes: listed as CUPS names it, and its paper is
// the paper of the page and of the job.
TEST(CupsQueuesTest, AnInstanceWithEnvelopePaperPrintsOnThatPaper)
{
    TAVISTO_REQUIRE_CUPS_QUEUE();
    const QString instance = kQueue + QStringLiteral("/Umschlag");
    ASSERT_TRUE(admin("lpoptions", {"-p", instance, "-o", "media=iso_dl_110x220mm"}));
    struct Drop
    {
        QString name;
        ~Drop() { admin("lpoptions", {"-x", name}); }
    } drop{instance};

    Envelope e;
    e.choose(instance);
    ASSERT_TRUE(RunEinzeldruck(e.t.ctx, "AB00000001", "AD00000001"));
    EXPECT_EQ(e.service.LastSheet().media, "iso_dl_110x220mm");
    const int job = e.service.LastJobId();
    const QString document = e.t.dir.file("instance.pdf");
    ASSERT_TRUE(fetchDocument(job, document));
    // DL as the queue's driver describes it (312 × 624 points).
    const QStringList page = pdfPageSize(document).split(" x ");
    ASSERT_EQ(page.size(), 2);
    EXPECT_NEAR(page[0].toDouble(), 311.8, 1.0);
    EXPECT_NEAR(page[1].toDouble(), 623.6, 1.0);
    EXPECT_TRUE(jobAttributes(job).value("media").startsWith("iso_dl_110x220mm")) << jobAttributes(job).value("media").toStdString();
    ASSERT_EQ(finishedJob(job).state, IPP_JSTATE_COMPLETED);
    const QString printed = cupsPdfOutput(job);
    ASSERT_FALSE(printed.isEmpty());
    const QStringList size = pdfPageSize(printed).split(" x ");
    ASSERT_EQ(size.size(), 2);
    EXPECT_NEAR(size[0].toDouble(), 311.8, 1.0);
    EXPECT_NEAR(size[1].toDouble(), 623.6, 1.0);
    QFile::remove(printed);
}
