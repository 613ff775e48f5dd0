#include "envelope/GlyphTextPainter.h"
#include "envelope/UmschlagFormat.h"
#include "envelope/UmschlagRenderer.h"
#include "shell/PrintSettings.h"
#include "support/InkProbe.h"

#include <QFontDatabase>
#include <tuple>
#include <gtest/gtest.h>

using InkProbe::inkBox;
using InkProbe::rowBands;

namespace {

// Lines begin with a capital or a digit and carry no tall lower-case letters, so each
// line's ink starts at the same height within its cell.
const AddressLines kSender{"Hans Summer", "Hagenweg 12", "", "12345 Hausen", "Germany"};
const AddressLines kAddress{"Hanna Immer", "Hornweg 22", "", "54321 Mannsee", "Suisse"};

// The settings of the worked example: DL at 600 dpi, factor 10, sizes 14 and 18, no
// margins, no move, lying.
PrintSettings exampleSettings()
{
    PrintSettings s;
    s.FormatIndex = 2;
    s.Orientation = 0;
    s.DpiFactor = 10;
    s.SenderFontSize = 14;
    s.AddressFontSize = 18;
    s.FontName = QStringLiteral("Arial");
    return s;
}

QImage blackBanner(int w, int h)
{
    QImage b(w, h, QImage::Format_RGB888);
    b.fill(Qt::black);
    return b;
}

QImage render(const PrintSettings& s, const AddressLines& upper, const AddressLines& lower,
              const QImage* banner = nullptr, int dpi = 600)
{
    QImage bitmap;
    RenderUmschlag(&bitmap, upper, lower, banner, s, dpi);
    return bitmap;
}

// The upper block's area and the lower block's area of an unturned DL picture at 600 dpi.
const QRect kUpperArea(0, 0, 2500, 1290);
const QRect kLowerArea(1200, 1290, 5196 - 1200, 2598 - 1290);

} // namespace

TEST(UmschlagFormatTest, SizesAndLabelsFromTheTable)
{
    struct Case
    {
        int index;
        int dpi;
        int width;
        int height;
        const char* label;
    };
    const Case cases[] = {
        {2, 600, 5196, 2598, "DL (C5/6) - 110 mm x 220 mm"},
        {2, 300, 2598, 1299, "DL (C5/6) - 110 mm x 220 mm"},
        {0, 600, 3826, 2692, "C6 - 114 mm x 162 mm"},
        {5, 600, 5905, 4157, "B5 - 176 mm 250 mm"},
        {9, 600, 10818, 7653, "C3 - 324 mm x 458 mm"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.index);
        QImage bitmap(1, 1, QImage::Format_RGB888);
        bitmap.fill(Qt::red);
        ASSERT_TRUE(SizeUmschlagBitmap(&bitmap, c.index, c.dpi));
        EXPECT_EQ(bitmap.size(), QSize(c.width, c.height));
        EXPECT_EQ(bitmap.depth(), 24);
        EXPECT_EQ(inkBox(bitmap, bitmap.rect()), QRect());
        EXPECT_EQ(bitmap.pixel(c.width - 1, c.height - 1), qRgb(255, 255, 255));
        EXPECT_EQ(FormatLabel(c.index), QString::fromUtf8(c.label));
    }
}

TEST(UmschlagFormatTest, UnknownFormatHasNoLabelAndNoSize)
{
    for (int index : {-1, 10, 255}) {
        EXPECT_EQ(FormatLabel(index), "[Unbekannt]");
        QImage bitmap(7, 5, QImage::Format_RGB888);
        bitmap.fill(Qt::red);
        EXPECT_FALSE(SizeUmschlagBitmap(&bitmap, index, 600));
        EXPECT_EQ(bitmap.size(), QSize(7, 5));
        EXPECT_EQ(bitmap.pixel(3, 3), qRgb(255, 0, 0));
    }
    EXPECT_FALSE(SizeUmschlagBitmap(nullptr, 2, 600));
}

TEST(UmschlagRendererTest, PointSizesRoundHalvesToEven)
{
    struct Case
    {
        int size;
        int base;
        int points;
    };
    const Case cases[] = {
        {14, 60, 59}, {18, 60, 76}, {14, 30, 119}, {18, 30, 152},
        {12, 16, 190},  // exactly 190.5
        {14, 8, 444},   // exactly 444.5
        {10, 40, 64},   // exactly 63.5
    };
    for (const Case& c : cases)
        EXPECT_EQ(UmschlagPointSize(c.size, c.base), c.points) << c.size << " / " << c.base;
    EXPECT_EQ(UmschlagPixelSize(59), 79);
    EXPECT_EQ(UmschlagPixelSize(76), 101);
}

TEST(UmschlagRendererTest, WorkedExamplePlacesBannerAndBothBlocks)
{
    const PrintSettings s = exampleSettings();
    const QImage banner = blackBanner(800, 400);
    const QImage img = render(s, kSender, kAddress, &banner);
    ASSERT_EQ(img.size(), QSize(5196, 2598));

    // The banner: one pixel per dot from (100, 100).
    EXPECT_EQ(inkBox(img, QRect(0, 0, 1000, 560)), QRect(100, 100, 800, 400));

    // Nothing between the banner and the first sender line at y 600.
    EXPECT_EQ(inkBox(img, QRect(0, 500, 2500, 100)), QRect());
    const QRect sender = inkBox(img, QRect(0, 600, 2500, 690));
    ASSERT_FALSE(sender.isEmpty());
    EXPECT_GE(sender.left(), 100);
    EXPECT_LE(sender.left(), 115);
    EXPECT_GE(sender.top(), 600);
    EXPECT_LE(sender.top(), 600 + 25);

    // The address block starts at the centre, nothing of it above or left of it.
    const QRect address = inkBox(img, kLowerArea);
    ASSERT_FALSE(address.isEmpty());
    EXPECT_GE(address.left(), 2598);
    EXPECT_LE(address.left(), 2598 + 15);
    EXPECT_GE(address.top(), 1299);
    EXPECT_LE(address.top(), 1299 + 30);

    // Character heights 79 and 101 dots: the line pitch is a little more than the em.
    const auto senderBands = rowBands(img, QRect(100, 600, 2400, 690));
    const auto addressBands = rowBands(img, QRect(2598, 1299, 2598, 1299));
    ASSERT_EQ(senderBands.size(), 4);   // Line3 is blank but keeps its space
    ASSERT_EQ(addressBands.size(), 4);
    const int senderPitch = senderBands[1].first - senderBands[0].first;
    const int addressPitch = addressBands[1].first - addressBands[0].first;
    EXPECT_GE(senderPitch, 79);
    EXPECT_LE(senderPitch, 79 * 6 / 5);
    EXPECT_GE(addressPitch, 101);
    EXPECT_LE(addressPitch, 101 * 6 / 5);
    // The blank third line keeps a line of space: Line4 is two pitches below Line2.
    EXPECT_NEAR(senderBands[2].first - senderBands[1].first, 2 * senderPitch, 3);
}

TEST(UmschlagRendererTest, BlankLinesKeepOrLoseTheirSpace)
{
    PrintSettings s = exampleSettings();
    const AddressLines withBlank{"Hans", "  \t", "Hornweg 3", "Hausen", ""};
    const AddressLines closedUp{"Hans", "Hornweg 3", "Hausen", "", ""};

    s.PrintBlankLines = false;
    EXPECT_EQ(render(s, withBlank, withBlank), render(s, closedUp, closedUp));

    s.PrintBlankLines = true;
    const QImage kept = render(s, withBlank, withBlank);
    EXPECT_NE(kept, render(s, closedUp, closedUp));
    // A line of blanks takes a full line: three lines of ink over four pitches.
    const auto bands = rowBands(kept, kUpperArea);
    ASSERT_EQ(bands.size(), 3);
    EXPECT_NEAR(bands[1].first - bands[0].first, 2 * (bands[2].first - bands[1].first), 3);
}

TEST(UmschlagRendererTest, SwitchesMovesAndMargins)
{
    const PrintSettings base = exampleSettings();
    const QImage banner = blackBanner(300, 200);
    const QImage reference = render(base, kSender, kAddress, &banner);
    const QRect refUpper = inkBox(reference, QRect(0, 400, 2500, 890));
    const QRect refLower = inkBox(reference, kLowerArea);

    {
        SCOPED_TRACE("PrintSender off: banner stays, address block unchanged");
        PrintSettings s = base;
        s.PrintSender = false;
        const QImage img = render(s, kSender, kAddress, &banner);
        EXPECT_EQ(inkBox(img, QRect(0, 0, 2500, 400)), QRect(100, 100, 300, 200));
        EXPECT_EQ(inkBox(img, QRect(0, 400, 2500, 890)), QRect());
        EXPECT_EQ(img.copy(kLowerArea), reference.copy(kLowerArea));
    }
    {
        SCOPED_TRACE("PrintAddress off");
        PrintSettings s = base;
        s.PrintAddress = false;
        const QImage img = render(s, kSender, kAddress, &banner);
        EXPECT_EQ(inkBox(img, kLowerArea), QRect());
        EXPECT_EQ(inkBox(img, QRect(0, 400, 2500, 890)), refUpper);
    }
    {
        SCOPED_TRACE("PrintBanner off: the block moves up to y 100");
        PrintSettings s = base;
        s.PrintBanner = false;
        const QImage img = render(s, kSender, kAddress, &banner);
        const QRect upper = inkBox(img, kUpperArea);
        EXPECT_EQ(upper.translated(0, 300), refUpper);
    }
    {
        SCOPED_TRACE("SpaceX 5 and SpaceY 2 move banner and block");
        PrintSettings s = base;
        s.SpaceX = 5;
        s.SpaceY = 2;
        const QImage img = render(s, kSender, kAddress, &banner);
        EXPECT_EQ(inkBox(img, QRect(0, 0, 1500, 600)), QRect(600, 300, 300, 200));
        EXPECT_EQ(inkBox(img, QRect(0, 600, 2500, 690)), refUpper.translated(500, 200));
    }
    {
        SCOPED_TRACE("MoveMode 1, MoveSpace 10: 1000 dots left of the centre");
        PrintSettings s = base;
        s.MoveMode = 1;
        s.MoveSpace = 10;
        EXPECT_EQ(inkBox(render(s, kSender, kAddress, &banner), QRect(1000, 1290, 4196, 1308)),
                  refLower.translated(-1000, 0));
    }
    {
        SCOPED_TRACE("MoveMode 2, MoveSpace 3: 300 dots right");
        PrintSettings s = base;
        s.MoveMode = 2;
        s.MoveSpace = 3;
        EXPECT_EQ(inkBox(render(s, kSender, kAddress, &banner), kLowerArea), refLower.translated(300, 0));
    }
    {
        SCOPED_TRACE("MoveMode 0 ignores MoveSpace");
        PrintSettings s = base;
        s.MoveSpace = 10;
        EXPECT_EQ(render(s, kSender, kAddress, &banner), reference);
    }
}

TEST(UmschlagRendererTest, TextCellsAreOpaqueOverTheBanner)
{
    const PrintSettings s = exampleSettings();
    // A banner big enough to reach under the address block.
    const QImage banner = blackBanner(4000, 2000);
    const QImage img = render(s, kSender, AddressLines{"Hans", "", "", "", ""}, &banner);
    EXPECT_EQ(img.pixel(2590, 1310), qRgb(0, 0, 0));       // banner left of the cell
    EXPECT_EQ(img.pixel(2600, 1301), qRgb(255, 255, 255)); // the cell's white top-left corner
    EXPECT_FALSE(inkBox(img, QRect(2598, 1299, 300, 100)).isEmpty());
}

TEST(UmschlagRendererTest, NothingDrawnWithoutFormatOrResolution)
{
    struct Case
    {
        const char* name;
        int format;
        int dpiFactor;
        int dpi;
    };
    const Case cases[] = {{"format 10", 10, 10, 600}, {"format -1", -1, 10, 600}, {"base 0", 2, 10, 9}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PrintSettings s = exampleSettings();
        s.FormatIndex = c.format;
        s.DpiFactor = c.dpiFactor;
        QImage empty;
        RenderUmschlag(&empty, kSender, kAddress, nullptr, s, c.dpi);
        EXPECT_TRUE(empty.isNull());
        QImage given(9, 4, QImage::Format_RGB888);
        given.fill(Qt::green);
        RenderUmschlag(&given, kSender, kAddress, nullptr, s, c.dpi);
        EXPECT_EQ(given.size(), QSize(9, 4));
        EXPECT_EQ(given.pixel(8, 3), qRgb(0, 255, 0));
    }
}

TEST(UmschlagRendererTest, PortraitTurnsClockwiseWithTheUpperBlockTopRight)
{
    PrintSettings s = exampleSettings();
    const QImage banner = blackBanner(800, 400);
    const QImage lying = render(s, kSender, kAddress, &banner);
    s.Orientation = 1;
    const QImage standing = render(s, kSender, kAddress, &banner);
    ASSERT_EQ(standing.size(), QSize(2598, 5196));
    EXPECT_EQ(standing.depth(), 32);
    // The banner's (100, 100)..(899, 499) is now at x 2598-500..2598-101, y 100..899.
    EXPECT_EQ(inkBox(standing, QRect(2000, 0, 598, 2000)), QRect(QPoint(2098, 100), QPoint(2497, 899)));
    // The sender's first line reads downwards along the right edge: its ink starts just
    // left of x = 2598 - 600, from y 100 down.
    const QRect firstLine = inkBox(standing, QRect(1930, 0, 68, 2598));
    ASSERT_FALSE(firstLine.isEmpty());
    EXPECT_LE(firstLine.right(), 2598 - 1 - 600);
    EXPECT_GE(firstLine.right(), 2598 - 1 - 600 - 25);
    EXPECT_GE(firstLine.top(), 100);
    EXPECT_LE(firstLine.top(), 115);
    EXPECT_GT(firstLine.height(), 300);  // a line of text, lying along the edge
    // Every pixel is the lying picture's pixel turned clockwise (sampled).
    for (int i = 0; i < standing.height(); i += 97)
        for (int j = 0; j < standing.width(); j += 31)
            ASSERT_EQ(standing.pixel(j, i), lying.pixel(i, lying.height() - 1 - j)) << j << "," << i;
}

TEST(UmschlagRendererTest, RotateClockwiseMapsEveryPixel)
{
    // Sizes that leave partial runs of 16 rows, 24- and 32-bit sources.
    for (const QSize size : {QSize(1, 1), QSize(3, 2), QSize(37, 21), QSize(50, 33), QSize(16, 48)}) {
        for (const QImage::Format format : {QImage::Format_RGB888, QImage::Format_RGB32}) {
            QImage old(size, format);
            for (int y = 0; y < size.height(); ++y)
                for (int x = 0; x < size.width(); ++x)
                    old.setPixel(x, y, qRgb(x * 7 % 256, y * 5 % 256, (x * y) % 256));
            QImage turned = old;
            RotateClockwise(turned);
            ASSERT_EQ(turned.size(), size.transposed());
            ASSERT_EQ(turned.format(), QImage::Format_RGB32);
            const int H = size.height();
            for (int i = 0; i < turned.height(); ++i)
                for (int j = 0; j < turned.width(); ++j)
                    ASSERT_EQ(turned.pixel(j, i), old.pixel(i, H - 1 - j)) << size.width() << "x" << H;
            // The turned picture is an ordinary one: it copies and paints.
            EXPECT_EQ(turned.copy(), turned);
        }
    }
}

TEST(UmschlagLayoutTest, WorkedExampleInDots)
{
    const PrintSettings s = exampleSettings();
    const auto layout = LayoutUmschlag(kSender, kAddress, QSize(800, 400), s, 600);
    ASSERT_TRUE(layout);
    EXPECT_EQ(layout->Dpi, 600);
    EXPECT_EQ(layout->Size, QSize(5196, 2598));
    EXPECT_FALSE(layout->Turned);
    EXPECT_EQ(layout->Banner, QRect(100, 100, 800, 400));
    // Line3 of each block is empty: no line, but its space is kept.
    ASSERT_EQ(layout->Lines.size(), 8u);
    const UmschlagLine& sender1 = layout->Lines[0];
    const UmschlagLine& address1 = layout->Lines[4];
    EXPECT_EQ(sender1.Text, "Hans Summer");
    EXPECT_EQ(sender1.FontFamily, "Arial");
    EXPECT_EQ(sender1.PixelSize, 79);
    EXPECT_EQ(sender1.TopLeft, QPoint(100, 600));
    EXPECT_EQ(address1.Text, "Hanna Immer");
    EXPECT_EQ(address1.PixelSize, 101);
    EXPECT_EQ(address1.TopLeft, QPoint(2598, 1299));
    // The line height is the "W" cell: a little more than the em.
    EXPECT_GE(sender1.LineHeight, 79);
    EXPECT_LE(sender1.LineHeight, 79 * 6 / 5);
    EXPECT_GE(address1.LineHeight, 101);
    EXPECT_LE(address1.LineHeight, 101 * 6 / 5);
    EXPECT_EQ(layout->Lines[1].TopLeft, QPoint(100, 600 + sender1.LineHeight));
    EXPECT_EQ(layout->Lines[2].Text, "12345 Hausen");
    EXPECT_EQ(layout->Lines[2].TopLeft, QPoint(100, 600 + 3 * sender1.LineHeight));
    EXPECT_EQ(layout->Lines[7].TopLeft, QPoint(2598, 1299 + 4 * address1.LineHeight));
}

TEST(UmschlagLayoutTest, SettingsShapeTheLayout)
{
    const AddressLines blanks{"Hans", "   ", "", "Hausen", ""};
    // The line positions are checked against the font's line heights measured once.
    const PrintSettings base = exampleSettings();
    const int h = GlyphTextPainter::LineHeightOf(UmschlagFont("Arial", 79));
    const int H = GlyphTextPainter::LineHeightOf(UmschlagFont("Arial", 101));
    {
        SCOPED_TRACE("blank lines kept: a line of blanks is drawn (its cell is opaque), an empty one is not");
        const auto l = LayoutUmschlag(blanks, blanks, QSize(), base, 600);
        ASSERT_TRUE(l);
        EXPECT_TRUE(l->Banner.isEmpty());
        ASSERT_EQ(l->Lines.size(), 6u);
        EXPECT_EQ(l->Lines[1].Text, "   ");
        EXPECT_EQ(l->Lines[0].TopLeft, QPoint(100, 100));
        EXPECT_EQ(l->Lines[2].TopLeft, QPoint(100, 100 + 3 * h));
        EXPECT_EQ(l->Lines[5].TopLeft, QPoint(2598, 1299 + 3 * H));
    }
    {
        SCOPED_TRACE("blank lines dropped: the lines move up");
        PrintSettings s = base;
        s.PrintBlankLines = false;
        const auto l = LayoutUmschlag(blanks, blanks, QSize(300, 200), s, 600);
        ASSERT_TRUE(l);
        ASSERT_EQ(l->Lines.size(), 4u);
        EXPECT_EQ(l->Lines[1].Text, "Hausen");
        EXPECT_EQ(l->Lines[1].TopLeft, QPoint(100, 400 + h));
        EXPECT_EQ(l->Lines[3].TopLeft, QPoint(2598, 1299 + H));
    }
    {
        SCOPED_TRACE("margins, move, switches, turn");
        PrintSettings s = base;
        s.SpaceX = 5;
        s.SpaceY = 2;
        s.MoveMode = 1;
        s.MoveSpace = 10;
        s.PrintSender = false;
        s.Orientation = 1;
        const auto l = LayoutUmschlag(kSender, kAddress, QSize(300, 200), s, 600);
        ASSERT_TRUE(l);
        EXPECT_TRUE(l->Turned);
        EXPECT_EQ(l->PictureSize(), QSize(2598, 5196));
        EXPECT_EQ(l->Banner, QRect(600, 300, 300, 200));
        ASSERT_EQ(l->Lines.size(), 4u);
        EXPECT_EQ(l->Lines[0].TopLeft, QPoint(1598, 1299));
    }
    {
        SCOPED_TRACE("PrintBanner off leaves no room for a banner; PrintAddress off no lower block");
        PrintSettings s = base;
        s.PrintBanner = false;
        s.PrintAddress = false;
        const auto l = LayoutUmschlag(kSender, kAddress, QSize(300, 200), s, 600);
        ASSERT_TRUE(l);
        EXPECT_TRUE(l->Banner.isEmpty());
        ASSERT_EQ(l->Lines.size(), 4u);
        EXPECT_EQ(l->Lines[0].TopLeft, QPoint(100, 100));
        EXPECT_EQ(l->Lines[3].Text, "Germany");
    }
    {
        SCOPED_TRACE("300 dpi with factor 5: the point sizes of 600 dpi, margins in dots");
        PrintSettings s = base;
        s.DpiFactor = 5;
        const auto l = LayoutUmschlag(kSender, kAddress, QSize(), s, 300);
        ASSERT_TRUE(l);
        EXPECT_EQ(l->Size, QSize(2598, 1299));
        EXPECT_EQ(l->Lines[0].PixelSize, 79);
        EXPECT_EQ(l->Lines[4].TopLeft, QPoint(1299, 649));
    }
    for (const auto& [format, factor, dpi] : {std::tuple{10, 10, 600}, {-1, 10, 600}, {2, 10, 9}, {2, 0, 600}}) {
        PrintSettings s = base;
        s.FormatIndex = format;
        s.DpiFactor = factor;
        EXPECT_FALSE(LayoutUmschlag(kSender, kAddress, QSize(), s, dpi)) << format << " " << factor << " " << dpi;
    }
}
