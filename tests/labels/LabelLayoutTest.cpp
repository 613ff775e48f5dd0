#include "LabelFixtures.h"
#include "labels/LabelJob.h"
#include "labels/LabelPdf.h"
#include "support/InkProbe.h"
#include "support/TempDir.h"

#include <QProcess>

#include <gtest/gtest.h>

namespace {

LabelStyle style(bool keepBlank = true)
{
    return LabelStyleFor(QStringLiteral("Arial"), 18, 10, keepBlank, 600);
}

TEST(LabelLayout, StartPositionAndSheets)
{
    const LabelTemplate& z = InstalledTemplate("Zweckform 3475");
    const struct
    {
        int count;
        int start;  // 0-based slot
        std::vector<int> perSheet;
        int firstSlot;
    } cases[] = {
        {18, 6, {18}, 6},          // label 7 of 24: labels 1 to 6 stay blank
        {30, 19, {5, 24, 1}, 19},  // from label 20: three sheets
        {24, 0, {24}, 0},
        {25, 0, {24, 1}, 0},
        {3, 99, {1, 2}, 23},       // a start past the sheet is its last label
    };
    for (const auto& c : cases) {
        const LabelRun run = LayoutLabels(z, NumberedAddresses(c.count), c.start, style(), QSize(), 600);
        std::vector<int> perSheet;
        for (const auto& sheet : run.Sheets)
            perSheet.push_back(int(sheet.size()));
        EXPECT_EQ(perSheet, c.perSheet) << c.count << " from " << c.start;
        ASSERT_FALSE(run.Sheets.empty());
        EXPECT_EQ(run.Sheets[0][0].Slot, c.firstSlot);
        EXPECT_EQ(run.Sheets[0][0].Text, 0);
        // Every label after the first is the next slot, sheet after sheet.
        int expected = c.firstSlot;
        for (const auto& sheet : run.Sheets)
            for (const LabelBox& box : sheet)
                EXPECT_EQ(box.Slot, expected++ % 24);
    }
}

TEST(LabelLayout, TextInsideTheInnerMarginCentredAndShrunkWhenNeeded)
{
    const LabelTemplate& z = InstalledTemplate("Zweckform 3475");  // markup margin 0: 1.5 mm
    const int inset = int(std::lround(1.5 / 25.4 * 600));
    QList<LabelText> texts = NumberedAddresses(1);
    // Long, but fits once smaller.
    texts << LabelText{{"Frau Dr. Annemarie Mustermann-Lüdenscheidt", "Zeile", "", "", ""}, false};
    // Fits at no size.
    texts << LabelText{{QString(60, QChar('W')), "", "", "", ""}, false};
    const LabelStyle s = style();
    const LabelRun run = LayoutLabels(z, texts, 0, s, QSize(), 600);
    ASSERT_EQ(run.Sheets.size(), 1u);
    const auto& boxes = run.Sheets[0];

    for (const LabelBox& box : boxes) {
        const QRect inner = box.Rect.adjusted(inset, inset, -inset, -inset);
        ASSERT_FALSE(box.Lines.empty());
        EXPECT_EQ(box.Lines.front().TopLeft.x(), inner.left());
        const int top = box.Lines.front().TopLeft.y();
        const int bottom = box.Lines.back().TopLeft.y() + box.Lines.back().LineHeight;
        EXPECT_GE(top, inner.top());
        EXPECT_LE(bottom, inner.bottom() + 1);
        if (box.Fits) {
            EXPECT_LE(std::abs((top - inner.top()) - (inner.bottom() + 1 - bottom)), 1) << "centred";
        }
    }
    EXPECT_EQ(boxes[0].Lines.front().PixelSize, s.PixelSize);
    EXPECT_LT(boxes[1].Lines.front().PixelSize, s.PixelSize);
    EXPECT_GE(boxes[1].Lines.front().PixelSize, s.MinPixelSize);
    EXPECT_EQ(boxes[2].Lines.front().PixelSize, s.MinPixelSize);
    EXPECT_EQ(run.TooLong, QList<int>{2});
    EXPECT_EQ(TooLongText(run, texts),
              QStringLiteral("Die Adresse „%1“ passt nicht auf das Etikett.").arg(QString(60, QChar('W'))));
}

TEST(LabelLayout, BlankLinesAsOnTheEnvelope)
{
    const LabelTemplate& z = InstalledTemplate("Zweckform 3475");
    const QList<LabelText> texts{{{"Eins", "  ", "Drei", "", ""}, false}};
    const LabelRun keep = LayoutLabels(z, texts, 0, style(true), QSize(), 600);
    const LabelRun drop = LayoutLabels(z, texts, 0, style(false), QSize(), 600);
    const auto& k = keep.Sheets[0][0].Lines;
    const auto& d = drop.Sheets[0][0].Lines;
    ASSERT_EQ(k.size(), 2u);
    ASSERT_EQ(d.size(), 2u);
    EXPECT_EQ(k[1].TopLeft.y() - k[0].TopLeft.y(), 2 * k[0].LineHeight) << "the blank line keeps its space";
    EXPECT_EQ(d[1].TopLeft.y() - d[0].TopLeft.y(), d[0].LineHeight) << "Drei moves up";
}

TEST(LabelLayout, BannerOnlyWhenItFits)
{
    const LabelTemplate& a = InstalledTemplate("Avery L7163");
    const QList<LabelText> texts{{{"Lumo Software", "Hauptstraße 1", "", "12345 Berlin", ""}, true}};
    const LabelRun small = LayoutLabels(a, texts, 0, style(), QSize(600, 150), 600);
    const LabelBox& box = small.Sheets[0][0];
    ASSERT_FALSE(box.Banner.isEmpty());
    EXPECT_LE(box.Banner.bottom(), box.Lines.front().TopLeft.y());
    EXPECT_TRUE(box.Rect.contains(box.Banner));
    const LabelRun wide = LayoutLabels(a, texts, 0, style(), QSize(5000, 150), 600);
    EXPECT_TRUE(wide.Sheets[0][0].Banner.isEmpty());
    EXPECT_TRUE(wide.TooLong.isEmpty());
}

TEST(LabelLayout, PrintableAreaNamesTheLabelsOutside)
{
    const LabelTemplate& z = InstalledTemplate("Zweckform 3475");
    const LabelRun run = LayoutLabels(z, NumberedAddresses(24), 0, style(), QSize(), 600);
    // 6.35 mm all round: the left column's text starts 1.5 mm from the sheet's edge; the
    // centred blocks keep clear of the top and bottom, and the short lines of the right
    // column end far from its edge.
    const PrinterSheet sheet{"iso_a4_210x297mm", {21000, 29700}, {635, 635, 635, 635}};
    EXPECT_EQ(LabelsOutsidePrintable(run, sheet), QList<int>({1, 4, 7, 10, 13, 16, 19, 22}));
    // On the second sheet the same labels are named once.
    const LabelRun two = LayoutLabels(z, NumberedAddresses(30), 0, style(), QSize(), 600);
    EXPECT_EQ(LabelsOutsidePrintable(two, sheet), QList<int>({1, 4, 7, 10, 13, 16, 19, 22}));
    EXPECT_TRUE(LabelsOutsidePrintable(run, {"iso_a4_210x297mm", {21000, 29700}, {}}).isEmpty());
    EXPECT_EQ(OutsidePrintableText({1, 3}),
              "Die Etiketten 1, 3 liegen außerhalb des bedruckbaren Bereichs des Druckers.");
}

QString pdfText(const QString& pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The PDF of 3475 and L7163: every page the sheet's size, every label's ink inside its
// own label at 600 dpi, and the text real and in the list's order.
TEST(LabelPdf, InkInsideItsLabelAndTextInOrder)
{
    for (const char* name : {"Zweckform 3475", "Avery L7163"}) {
        const LabelTemplate& t = InstalledTemplate(name);
        const int perSheet = t.Count();
        const QList<LabelText> texts = NumberedAddresses(perSheet + 3);
        const LabelRun run = LayoutLabels(t, texts, 2, style(), QSize(), 600);
        TempDir dir;
        const QString file = dir.file("etiketten.pdf");
        QString error;
        ASSERT_TRUE(SaveLabelRunPdf(LabelRunPdf(run, nullptr, {}, "Etiketten"), file, &error)) << error.toStdString();

        const QList<QImage> pages = RasterisePdf(file, 600);
        ASSERT_EQ(pages.size(), 2) << name;
        for (int k = 0; k < pages.size(); ++k) {
            // PDF pages are whole points: A4 is 595 x 842, a third of a point short at most.
            EXPECT_NEAR(pages[k].width(), run.Page.width(), 3);
            EXPECT_NEAR(pages[k].height(), run.Page.height(), 3);
            const InkCheck ink = CheckInk(pages[k], run, k);
            EXPECT_EQ(ink.Stray, 0) << name << " page " << k;
            EXPECT_TRUE(ink.Empty.isEmpty()) << name << " page " << k;
        }

        const QString text = pdfText(file);
        qsizetype at = 0;
        for (int i = 1; i <= texts.size(); ++i) {
            // pdftotext puts a row of labels on one line: each label's first line comes in
            // order anyway, across then down.
            const qsizetype found = text.indexOf(QStringLiteral("Empfänger %1 ").arg(i), at);
            const qsizetype foundEnd = text.indexOf(QStringLiteral("Empfänger %1\n").arg(i), at);
            const qsizetype pos = found < 0 ? foundEnd : (foundEnd < 0 ? found : std::min(found, foundEnd));
            ASSERT_GE(pos, 0) << name << ": address " << i << " missing or out of order";
            at = pos;
            EXPECT_TRUE(text.contains(QStringLiteral("%1 Köln").arg(50000 + i)));
        }
    }
}

TEST(LabelPdf, FramesForATestOnPlainPaperStayOnTheLabels)
{
    const LabelTemplate& a = InstalledTemplate("Avery L7163");
    const LabelRun run = LayoutLabels(a, NumberedAddresses(14), 0, style(), QSize(), 600);
    LabelPaintOptions frames;
    frames.Frames = true;
    const QImage page = LabelSheetImage(run, 0, nullptr, frames);
    // The outline is drawn: the top edge's middle is dark, the label's corner, cut off by
    // the round corner, stays white.
    const QRect r = run.Slots[0];
    EXPECT_LT(qGray(page.pixel(r.center().x(), r.top() + 1)), 128);
    EXPECT_GT(qGray(page.pixel(r.left(), r.top())), 200);
    EXPECT_EQ(CheckInk(page, run, 0).Stray, 0);
}

} // namespace

// One address too long for its label, first, in the middle and last on a 3475 sheet: it is
// cut at its own edge, and every other label of the sheet prints as it would without it,
// on the painter's picture and on the PDF's page rasterised, not just in the text layer.
TEST(LabelPdf, ATooLongLabelCutsOnlyItself)
{
    const LabelTemplate& z = InstalledTemplate("Zweckform 3475");
    const int perSheet = z.Count();
    ASSERT_EQ(perSheet, 24);
    const QList<LabelText> plain = NumberedAddresses(perSheet);
    const LabelRun reference = LayoutLabels(z, plain, 0, style(), QSize(), 600);
    const QImage referencePage = LabelSheetImage(reference, 0, nullptr, {});

    for (const int tooLong : {0, 11, perSheet - 1}) {
        SCOPED_TRACE("too long: label " + std::to_string(tooLong + 1));
        QList<LabelText> texts = plain;
        texts[tooLong] = LabelText{{QString(60, QChar('W')), "Gartenstraße", "", "50000 Köln", ""}, false};
        const LabelRun run = LayoutLabels(z, texts, 0, style(), QSize(), 600);
        ASSERT_EQ(run.TooLong, QList<int>{tooLong});
        ASSERT_EQ(run.Sheets.size(), 1u);

        TempDir dir;
        const QString file = dir.file("etiketten.pdf");
        QString error;
        ASSERT_TRUE(SaveLabelRunPdf(LabelRunPdf(run, nullptr, {}, "Etiketten"), file, &error)) << error.toStdString();
        const QList<QImage> pdfPages = RasterisePdf(file, 600);
        ASSERT_EQ(pdfPages.size(), 1);
        const QImage painted = LabelSheetImage(run, 0, nullptr, {});

        for (const auto& [what, page] : {std::pair{"picture", painted}, std::pair{"PDF", pdfPages[0]}}) {
            const InkCheck ink = CheckInk(page, run, 0);
            EXPECT_EQ(ink.Stray, 0) << what << ": ink outside the labels";
            EXPECT_TRUE(ink.Empty.isEmpty()) << what << ": " << ink.Empty.size() << " labels without ink, the first "
                                             << (ink.Empty.isEmpty() ? -1 : ink.Empty.first() + 1);
        }
        // Each label that fits is the same picture as on a sheet without the long address.
        for (const LabelBox& box : run.Sheets[0]) {
            if (!box.Fits)
                continue;
            EXPECT_EQ(painted.copy(box.Rect), referencePage.copy(box.Rect)) << "label " << box.Slot + 1;
        }
        // The long one carries ink up to its own right edge, and not beyond.
        const QRect r = run.Slots[tooLong];
        const QRect inkBox = InkProbe::inkBox(painted, r);
        EXPECT_GE(inkBox.right(), r.right() - 20);
        EXPECT_LE(inkBox.right(), r.right());
    }
}
