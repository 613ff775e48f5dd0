// Label sheets through the real printing service into the CUPS PDF queue: one job, one
// page per sheet on the template's paper, and every label's ink inside its own label on the
// page cups-pdf wrote, rasterised at 600 dpi.
#include "LabelFixtures.h"
#include "labels/LabelJob.h"
#include "labels/LabelPdf.h"
#include "printing/CupsPrintService.h"
#include "support/CupsQueue.h"
#include "support/InkProbe.h"

#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

using namespace CupsQueue;

TEST(CupsLabelsTest, SheetsAreOneJobWithTheInkOnItsLabels)
{
    TAVISTO_REQUIRE_CUPS_QUEUE();
    CupsPrintService service;
    const int queue = int(service.Printers().indexOf(kQueue));
    ASSERT_GE(queue, 0);
    service.SetPrinterIndex(queue);

    for (const char* name : {"Zweckform 3475", "Avery L7163"}) {
        SCOPED_TRACE(name);
        const LabelTemplate& t = InstalledTemplate(name);
        const LabelStyle style = LabelStyleFor("Arial", 18, 10, true, 600);
        // From the seventh label: the first six stay blank, and a second sheet follows.
        const LabelRun run = LayoutLabels(t, NumberedAddresses(t.Count()), 6, style, QSize(), 600);
        ASSERT_EQ(run.Sheets.size(), 2u);

        const PrinterSheet sheet = service.SheetOf(t.Media());
        EXPECT_EQ(sheet.media.left(6), "iso_a4");
        EXPECT_NEAR(sheet.size.width(), 21000, 50);
        const QList<int> outside = LabelsOutsidePrintable(run, sheet);

        service.PrintDocument("Tavisto_Etiketten", LabelRunPdf(run, nullptr, {}, "Etiketten"), t.Media());
        const CupsJob job = finishedJob(service.LastJobId());
        ASSERT_NE(job.id, 0);
        EXPECT_EQ(job.state, IPP_JSTATE_COMPLETED);
        const QMap<QString, QString> attributes = jobAttributes(job.id);
        EXPECT_TRUE(attributes.value("media").startsWith("iso_a4")) << attributes.value("media").toStdString();

        const QString pdf = cupsPdfOutput(job.id);
        ASSERT_FALSE(pdf.isEmpty()) << "no PDF in " << outputDirectory().toStdString();
        const QList<QImage> pages = RasterisePdf(pdf, 600);
        QFile::remove(pdf);
        ASSERT_EQ(pages.size(), 2);
        for (int k = 0; k < 2; ++k) {
            SCOPED_TRACE(k);
            // Nothing scaled: the page is the sheet.
            EXPECT_NEAR(pages[k].width(), run.Page.width(), 3);
            EXPECT_NEAR(pages[k].height(), run.Page.height(), 3);
            const InkCheck ink = CheckInk(pages[k], run, k);
            EXPECT_EQ(ink.Stray, 0);
            // A label the queue cannot reach may come out empty; every other one has ink.
            for (int slot : ink.Empty)
                EXPECT_TRUE(outside.contains(slot + 1)) << "label " << slot + 1 << " empty";
        }
        // Labels 1 to 6 of the first sheet stay blank.
        for (int slot = 0; slot < 6; ++slot)
            EXPECT_TRUE(InkProbe::inkBox(pages[0], run.Slots[slot]).isEmpty()) << slot;
    }
}
