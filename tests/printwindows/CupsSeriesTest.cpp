// A series of twelve envelopes through the real printing service into the CUPS PDF queue.
#include "envelope/PrintError.h"
#include "printing/CupsPrintService.h"
#include "printwindows/Seriendruck.h"
#include "support/CupsQueue.h"
#include "support/OutputTestContext.h"

#include <QRegularExpression>
#include <QTest>
#include <gtest/gtest.h>

using namespace CupsQueue;

namespace {

// The real printing service on the PDF queue, standing envelopes, one sender and `count`
// members of the group.
struct Series
{
    OutputTestContext t;
    CupsPrintService service;

    Series(int count, const QStringList& sender, const QString& street)
    {
        t.ctx.Printer = &service;
        t.ctx.Print().PrinterIndex = int(service.Printers().indexOf(kQueue));
        t.ctx.Print().Orientation = 1;  // portrait page, picture turned
        t.addAbsender("AB00000001", sender);
        for (int i = 1; i <= count; ++i)
            t.addAdresse(QString("AD%1").arg(i, 8, 10, QChar('0')), {QString("Mitglied %1").arg(i), street, "", "", ""});
    }
};

} // namespace

TEST(CupsSeriesTest, TwelveEnvelopesAreTwelveOnePageJobs)
{
    TAVISTO_REQUIRE_CUPS_QUEUE();

    Series series(12, {"Verein Lumo e.V.", "Postfach 1", "", "12345 Hausen", ""}, "Weg 1");
    auto& [t, service] = series;
    PrintSettings& s = t.ctx.Print();
    ASSERT_GE(s.PrinterIndex, 0);
    s.FormatIndex = 2;
    s.BreakCount = 10;

    const int before = lastJobId();
    t.messages.answer({Msg::IdOk});  // the pause after ten
    ASSERT_TRUE(RunSeriendruck(t.ctx, {"AB00000001", "GR00000001", "", 5, 1}));
    EXPECT_EQ(t.messages.texts().size(), 1);

    QList<CupsJob> jobs;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            jobs.clear();
            for (const CupsJob& j : queueJobs())
                if (j.id > before)
                    jobs << j;
            return jobs.size() == 12 &&
                   std::all_of(jobs.begin(), jobs.end(), [](const CupsJob& j) { return j.state >= IPP_JSTATE_STOPPED; });
        },
        120000))
        << "jobs seen: " << jobs.size();
    std::sort(jobs.begin(), jobs.end(), [](const CupsJob& a, const CupsJob& b) { return a.id < b.id; });
    for (int i = 0; i < jobs.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(jobs[i].title, QString("Tavisto_Page_%1").arg(i + 1));
        EXPECT_EQ(jobs[i].state, IPP_JSTATE_COMPLETED);
        const QString document = t.dir.file(QString("job%1.pdf").arg(i));
        ASSERT_TRUE(fetchDocument(jobs[i].id, document));
        const QString info = run("pdfinfo", {document});
        EXPECT_TRUE(info.contains(QRegularExpression("Pages:\\s+1\\n"))) << info.toStdString();
        const QRegularExpressionMatch size = QRegularExpression("Page size:\\s+([\\d.]+) x ([\\d.]+) pts").match(info);
        ASSERT_TRUE(size.hasMatch());
        EXPECT_LT(size.captured(1).toDouble(), size.captured(2).toDouble()) << "not portrait: " << info.toStdString();
    }
}

// A queue stopped before the series: the first hand-over raises the printing error, which
// ends the series; nothing reaches the queue and the orientation is back.
TEST(CupsSeriesTest, StoppedQueueEndsTheSeriesWithThePrintingError)
{
    TAVISTO_REQUIRE_CUPS_QUEUE();

    Series series(3, {"Verein Lumo e.V.", "", "", "", ""}, "");
    auto& [t, service] = series;
    PrintSettings& s = t.ctx.Print();
    ASSERT_GE(s.PrinterIndex, 0);
    service.SetPrinterIndex(s.PrinterIndex);
    service.SetOrientation(PageOrientation::Landscape);

    ASSERT_TRUE(admin("cupsdisable", {kQueue}));
    struct Enable
    {
        ~Enable() { admin("cupsenable", {kQueue}); }
    } enable;
    try {
        RunSeriendruck(t.ctx, {"AB00000001", "GR00000001", "", 5, 1});
        ADD_FAILURE() << "the series went on";
    } catch (const PrintError& e) {
        EXPECT_TRUE(e.message().contains("angehalten")) << e.message().toStdString();
    }
    EXPECT_EQ(service.Orientation(), PageOrientation::Landscape);
    EXPECT_FALSE(service.Printing());
    EXPECT_EQ(service.LastJobId(), 0) << "a job was handed over";
}
