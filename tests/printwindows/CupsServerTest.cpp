// A scheduler of the test's own on a port other than 631, reached the way the program
// reaches any: every queue call runs on a thread of its own, which must talk to the
// scheduler the user's settings name (CUPS_SERVER, client.conf) with its port and IPP
// version, and must judge a network printer by where that scheduler runs.
#include "support/CupsQueue.h"
#include "support/PrivateScheduler.h"
#include "printing/CupsDestination.h"
#include "printing/CupsServer.h"
#include "envelope/PrintError.h"

#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <cups/cups.h>
#include <gtest/gtest.h>

namespace {

const QString kPortQueue = QStringLiteral("Tavisto_Port");
// A network printer nobody answers for: a port on this computer where nothing listens.
const QString kFarQueue = QStringLiteral("Tavisto_Fern");

// This test's thread talks to the private scheduler as CUPS_SERVER or client.conf would
// make it; the default comes back afterwards.
struct UseServer
{
    explicit UseServer(const QByteArray& server) { cupsSetServer(server.constData()); }
    ~UseServer() { cupsSetServer(nullptr); }
};

class CupsServerTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        scheduler = new PrivateScheduler;
        QString why;
        ok = scheduler->start(why) && !PdfQueuePpd().isEmpty() &&
             scheduler->addQueue(kPortQueue, "file://" + scheduler->file("port.prn"), PdfQueuePpd(), why) &&
             scheduler->addQueue(kFarQueue, QStringLiteral("socket://127.0.0.1:%1").arg(unusedPort()), PdfQueuePpd(), why);
        reason = PdfQueuePpd().isEmpty() ? QStringLiteral("no cups-pdf PPD") : why;
    }
    static void TearDownTestSuite()
    {
        delete scheduler;
        scheduler = nullptr;
    }
    void SetUp() override
    {
        TAVISTO_REQUIRE_SETUP([](QString& why) { why = reason; return ok; }, "a private CUPS scheduler");
    }
    static int unusedPort() { return PrivateScheduler::FreePort(); }

    static inline PrivateScheduler* scheduler = nullptr;
    static inline bool ok = false;
    static inline QString reason;
};

QByteArray onePagePdf()
{
    QFile f(QStringLiteral("/usr/share/cups/data/default-testpage.pdf"));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST_F(CupsServerTest, ListOptionsAndJobsReachTheSchedulerOnItsOwnPort)
{
    const QByteArray pdf = onePagePdf();
    ASSERT_FALSE(pdf.isEmpty());
    int round = 0;
    for (const QByteArray& server : {scheduler->loopbackServer(), scheduler->loopbackServer() + "/version=1.1"}) {
        SCOPED_TRACE(server.toStdString());
        const UseServer use(server);
        ASSERT_EQ(CurrentCupsServer(), server) << "the spelling handed to the call's thread";

        int defaultIndex = -2;
        const QStringList names = CupsDestination::Names(&defaultIndex);
        EXPECT_TRUE(names.contains(kPortQueue)) << names.join(' ').toStdString();
        // The shared scheduler's queues are not this one's.
        EXPECT_FALSE(names.contains(CupsQueue::kQueue)) << names.join(' ').toStdString();

        const CupsDestination dest(kPortQueue);
        const QList<PrinterOption> options = dest.Options({});
        EXPECT_TRUE(std::any_of(options.begin(), options.end(), [](const PrinterOption& o) { return o.name == "media"; }));
        const PrinterSheet sheet = dest.Sheet({});
        EXPECT_GT(sheet.size.width(), 0);

        const QString title = QStringLiteral("Tavisto_Port_%1").arg(++round);
        int job = 0;
        try {
            job = dest.Submit(title, pdf, {}, sheet.media);
        } catch (const PrintError& e) {
            ADD_FAILURE() << e.message().toStdString() << "\n" << scheduler->log().toStdString();
        }
        EXPECT_GT(job, 0);
        EXPECT_TRUE(scheduler->jobTitles().contains(title)) << scheduler->jobTitles().join(' ').toStdString();
    }
    // The job was printed into the queue's file.
    EXPECT_TRUE(QTest::qWaitFor([] { return QFileInfo(scheduler->file("port.prn")).size() > 0; }, 60000))
        << scheduler->log().toStdString();
}

// The same idle queue whose printer takes no connection: with the scheduler on this
// computer the program tries the printer first and says it does not answer; with the
// scheduler reached by a network address (a print server) the printer's address means
// nothing here, so the scheduler's word "idle" stands and the job is handed over.
TEST_F(CupsServerTest, APrinterIsProbedOnlyWhenTheSchedulerRunsHere)
{
    if (scheduler->networkServer().isEmpty())
        GTEST_SKIP() << "this computer has no network address besides the loopback";
    const QByteArray pdf = onePagePdf();
    ASSERT_FALSE(pdf.isEmpty());
    {
        const UseServer use(scheduler->loopbackServer());
        try {
            CupsDestination(kFarQueue).Submit(QStringLiteral("Tavisto_Hier"), pdf, {}, {});
            ADD_FAILURE() << "a job went to a printer that does not answer";
        } catch (const PrintError& e) {
            EXPECT_TRUE(e.message().contains(QStringLiteral("antwortet nicht"))) << e.message().toStdString();
        }
        EXPECT_FALSE(scheduler->jobTitles().contains(QStringLiteral("Tavisto_Hier")));
    }
    {
        const UseServer use(scheduler->networkServer());
        ASSERT_FALSE(IsLocalScheduler(CurrentCupsServer()));
        int job = 0;
        try {
            job = CupsDestination(kFarQueue).Submit(QStringLiteral("Tavisto_Server"), pdf, {}, {});
        } catch (const PrintError& e) {
            ADD_FAILURE() << e.message().toStdString();
        }
        EXPECT_GT(job, 0);
        EXPECT_TRUE(scheduler->jobTitles().contains(QStringLiteral("Tavisto_Server")));
    }
}
