#include "envelope/UmschlagFormat.h"
#include "envelope/UmschlagLines.h"
#include "pdf/PdfSeriesFixture.h"
#include "support/InkProbe.h"
#include "support/TempDir.h"

#include <QFile>
#include <gtest/gtest.h>

#include <algorithm>

using InkProbe::inkBox;

namespace {

using PdfSeriesExportTest = PdfSeriesFixture;

} // namespace

TEST_F(PdfSeriesExportTest, TheSeriesStatementChoosesTheAddresses)
{
    struct Case
    {
        const char* name;
        QString search;
        int column;
        int sort;
        QStringList line2;  // the addresses by their Line2, in order
    };
    const Case cases[] = {
        {"no sort: the database's order, inactive left out", "", 5, 0, {"Jürgen Weiß", "Bärbel Groß", "Anton Zeller"}},
        {"sort by Line2", "", 5, 2, {"Anton Zeller", "Bärbel Groß", "Jürgen Weiß"}},
        {"sort by Line4", "", 5, 4, {"Anton Zeller", "Bärbel Groß", "Jürgen Weiß"}},
        {"\"Name\" without sort names: the order they were stored", "", 5, 6, {"Jürgen Weiß", "Bärbel Groß", "Anton Zeller"}},
        {"search in all lines", "ll", 5, 2, {"Anton Zeller", "Bärbel Groß"}},
        {"search in Line3", "allee", 2, 0, {"Bärbel Groß"}},
        {"an inactive match stays out", "Inaktiv", 5, 0, {}},
        {"blanks only are no search", "   ", 1, 2, {"Anton Zeller", "Bärbel Groß", "Jürgen Weiß"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SeriendruckInput in = input(c.sort);
        in.SearchText = c.search;
        in.SearchColumn = c.column;
        const auto series = ReadPdfSeries(t.ctx, in);
        ASSERT_TRUE(series);
        EXPECT_EQ(series->Sender, kSender);
        EXPECT_EQ(series->GruppeName, "Kunden");
        QStringList line2;
        for (const AddressLines& a : series->Addresses)
            line2 << a.value(1);
        EXPECT_EQ(line2, c.line2);
    }
    SeriendruckInput missing = input();
    missing.AbsenderID = QStringLiteral("AB00000099");
    EXPECT_FALSE(ReadPdfSeries(t.ctx, missing));
}

TEST_F(PdfSeriesExportTest, OnePageOfTheFormatsSizePerAddressWithItsLinesAsText)
{
    struct Case
    {
        int format;
        int orientation;
    };
    for (const Case c : {Case{2, 0}, Case{2, 1}, Case{0, 0}, Case{9, 1}}) {
        SCOPED_TRACE(testing::Message() << "format " << c.format << ", orientation " << c.orientation);
        t.ctx.Print().FormatIndex = c.format;
        t.ctx.Print().Orientation = c.orientation;
        const QString pdf = writeSeries(input());
        EXPECT_EQ(pageCount(pdf), 3);
        // Every page lies; a standing envelope's page is shown turned a quarter clockwise.
        const auto format = UmschlagFormatAt(c.format);
        const QSizeF lying(format->LongSide * 72.0 / 25.4, format->ShortSide * 72.0 / 25.4);
        const QList<QSizeF> sizes = pageSizes(pdf);
        ASSERT_EQ(sizes.size(), 3);
        for (const QSizeF& size : sizes) {
            EXPECT_NEAR(size.width(), lying.width(), 0.5);
            EXPECT_NEAR(size.height(), lying.height(), 0.5);
        }
        EXPECT_EQ(pageTurns(pdf), QList<int>(3, c.orientation == 1 ? 90 : 0));

        // qpdf finds nothing wrong in the file's structure or its streams.
        QProcess qpdf;
        qpdf.start(QStringLiteral("qpdf"), {QStringLiteral("--check"), pdf});
        ASSERT_TRUE(qpdf.waitForFinished(60000));
        EXPECT_EQ(qpdf.exitCode(), 0) << qpdf.readAll().toStdString();

        // Every page: the sender's lines, then its address's, each one line of text as a
        // viewer reads it; the pages in the list's order.
        const QString text = run(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
        const QStringList pages = text.split(QLatin1Char('\f'));
        ASSERT_GE(pages.size(), 3);
        const AddressLines* expectedAddresses[] = {&kAdressen[3].lines, &kAdressen[1].lines, &kAdressen[0].lines};
        for (int p = 0; p < 3; ++p) {
            SCOPED_TRACE(p + 1);
            QStringList expected;
            for (const AddressLines* block : {&kSender, expectedAddresses[p]})
                for (const QString& line : *block)
                    if (!line.isEmpty())
                        expected << line;
            EXPECT_EQ(pages[p].split(QLatin1Char('\n'), Qt::SkipEmptyParts), expected);
        }
        EXPECT_FALSE(text.contains(QStringLiteral("Ignaz"))) << text.toStdString();
    }
}

TEST_F(PdfSeriesExportTest, TextReadsBackAsStoredInEveryCommonFont)
{
    // Ligatures would come back as their own characters ("Hoﬀmann"); some fonts have them.
    const QStringList lines{QStringLiteral("Hoffmann Office"), QStringLiteral("Nr. 5"), QStringLiteral("Weiß € fl fi")};
    t.ctx.db().ExecSQL(QStringLiteral("UPDATE tab_adressen SET Aktiv=0"));
    t.addAdresse(QStringLiteral("AD00000009"), {QString(), lines[0], lines[1], lines[2], QString()});
    for (const char* family : {"Liberation Sans", "DejaVu Sans", "Nimbus Sans"}) {
        SCOPED_TRACE(family);
        t.ctx.Print().FontName = QString::fromLatin1(family);
        const QString pdf = writeSeries(input());
        // The font itself, not a stand-in, is in the file.
        const QString fonts = run(QStringLiteral("pdffonts"), {pdf});
        EXPECT_TRUE(fonts.contains(QString::fromLatin1(family).remove(QLatin1Char(' ')))) << fonts.toStdString();
        const QString page =
            run(QStringLiteral("pdftotext"), {QStringLiteral("-raw"), pdf, QStringLiteral("-")}).section(QLatin1Char('\f'), 0, 0);
        EXPECT_EQ(page.split(QLatin1Char('\n'), Qt::SkipEmptyParts),
                  QStringList({kSender[0], kSender[1], kSender[3]}) + lines);
    }
}

TEST_F(PdfSeriesExportTest, TextLiesWhereThePrintedPictureHasIt)
{
    // A banner reaches under the first address line: its cell covers the banner on both.
    QImage banner(2700, 1250, QImage::Format_RGB888);
    banner.fill(QColor(40, 40, 40));
    t.setBanner(QStringLiteral("AB00000001"), banner);
    struct Case
    {
        int orientation;
        bool swap;
    };
    for (const Case c : {Case{0, false}, Case{1, false}, Case{0, true}}) {
        SCOPED_TRACE(testing::Message() << "orientation " << c.orientation << ", swap " << c.swap);
        PrintSettings& s = t.ctx.Print();
        s.Orientation = c.orientation;
        s.Swap = c.swap;
        s.SenderFontSize = 12;
        const QString pdf = writeSeries(input());
        const auto series = ReadPdfSeries(t.ctx, input());
        ASSERT_TRUE(series);
        const UmschlagBlocks blocks = AssignBlocks(series->Sender, series->Addresses[2], s.Swap);
        const QImage* usedBanner = blocks.WithBanner && !series->Banner.isNull() ? &series->Banner : nullptr;
        QImage printed;
        RenderUmschlag(&printed, blocks.Upper, blocks.Lower, usedBanner, s, 600);
        const QImage page = rasterise(pdf, 3, t.dir.file(QStringLiteral("page3")));
        ASSERT_FALSE(page.isNull());
        // The page has whole points: up to half a point (4 dots) more or less than the picture.
        ASSERT_LE(std::abs(page.width() - printed.width()), 5);
        ASSERT_LE(std::abs(page.height() - printed.height()), 5);

        const auto layout = LayoutUmschlag(blocks.Upper, blocks.Lower, usedBanner ? usedBanner->size() : QSize(), s, 600);
        ASSERT_TRUE(layout);
        ASSERT_EQ(layout->Lines.size(), 7u);
        auto where = [&](const QRect& lying) { return layout->Turned ? turned(lying, layout->Size.height()) : lying; };
        for (const UmschlagLine& line : layout->Lines) {
            SCOPED_TRACE(line.Text.toStdString());
            // The cell, a little wider; its top few dots are left out, since the tip of a
            // descender above may reach them by a dot in one picture and not the other.
            const QRect cell(line.TopLeft.x() - 20, line.TopLeft.y() + 3,
                             std::min(2300, layout->Size.width() - line.TopLeft.x() + 20), line.LineHeight - 3);
            const QRect inPrint = inkBox(printed, where(cell));
            const QRect inPdf = inkBox(page, where(cell));
            ASSERT_FALSE(inPrint.isEmpty());
            EXPECT_NEAR(inPdf.left(), inPrint.left(), 1);
            EXPECT_NEAR(inPdf.top(), inPrint.top(), 1);
            EXPECT_NEAR(inPdf.right(), inPrint.right(), 1);
            EXPECT_NEAR(inPdf.bottom(), inPrint.bottom(), 1);
        }
        if (usedBanner) {
            // The banner, one pixel per dot; where the address cell covers it, it is white.
            const QRect bannerArea = where(layout->Banner.adjusted(-5, -5, 5, 5));
            const QRect inPrint = inkBox(printed, bannerArea), inPdf = inkBox(page, bannerArea);
            EXPECT_NEAR(inPdf.left(), inPrint.left(), 1);
            EXPECT_NEAR(inPdf.top(), inPrint.top(), 1);
            EXPECT_NEAR(inPdf.right(), inPrint.right(), 1);
            EXPECT_NEAR(inPdf.bottom(), inPrint.bottom(), 1);
            const QPoint underCell = where(QRect(layout->Lines[4].TopLeft + QPoint(5, 5), QSize(1, 1))).topLeft();
            EXPECT_EQ(qGray(printed.pixel(underCell)), 255);
            EXPECT_GE(qGray(page.pixel(underCell)), 250);
        }
    }
}

TEST_F(PdfSeriesExportTest, TheBannerIsOneLosslessImageAndTheFontAnEmbeddedSubset)
{
    // Hard edges, as a logo has: a lossy picture would ring around them.
    QImage banner(600, 200, QImage::Format_RGB888);
    for (int y = 0; y < banner.height(); ++y)
        for (int x = 0; x < banner.width(); ++x)
            banner.setPixel(x, y, (x / 40 + y / 40) % 2 ? qRgb(200, 20, 30) : qRgb(255, 255, 255));
    t.setBanner(QStringLiteral("AB00000001"), banner);
    const QString pdf = writeSeries(input());

    // pdfimages lists every use of an image on a page; all three uses are one object, not
    // a JPEG.
    const QStringList rows = run(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf}).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(rows.size(), 2 + 3) << rows.join('\n').toStdString();
    QSet<QString> objects;
    for (const QString& row : rows.mid(2)) {
        const QStringList cols = row.simplified().split(' ');
        ASSERT_GE(cols.size(), 12);
        EXPECT_EQ(cols[3], "600");  // width
        EXPECT_EQ(cols[4], "200");  // height
        EXPECT_NE(cols[8], "jpeg") << row.toStdString();  // encoding
        objects.insert(cols[10] + ' ' + cols[11]);
    }
    EXPECT_EQ(objects.size(), 1) << rows.join('\n').toStdString();
    // Its pixels are the stored picture's, every one.
    const auto series = ReadPdfSeries(t.ctx, input());
    ASSERT_TRUE(series && !series->Banner.isNull());
    run(QStringLiteral("pdfimages"), {QStringLiteral("-png"), QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
                                      QStringLiteral("1"), pdf, t.dir.file(QStringLiteral("banner"))});
    const QImage embedded(t.dir.file(QStringLiteral("banner-000.png")));
    ASSERT_FALSE(embedded.isNull());
    EXPECT_EQ(embedded.convertToFormat(QImage::Format_RGB888), series->Banner.convertToFormat(QImage::Format_RGB888));

    // name, type (two words), encoding, then emb, sub, uni: the font is an embedded subset,
    // and its name carries the subset's tag wherever it is named.
    const QStringList fonts = run(QStringLiteral("pdffonts"), {pdf}).split('\n', Qt::SkipEmptyParts).mid(2);
    ASSERT_FALSE(fonts.isEmpty());
    for (const QString& font : fonts) {
        const QStringList cols = font.simplified().split(' ');
        ASSERT_GE(cols.size(), 7);
        EXPECT_TRUE(QRegularExpression(QStringLiteral("^[A-Z]{6}\\+LiberationSans$")).match(cols[0]).hasMatch())
            << font.toStdString();
        EXPECT_EQ(cols[cols.size() - 5], "yes") << font.toStdString();  // embedded
        EXPECT_EQ(cols[cols.size() - 4], "yes") << font.toStdString();  // subset
    }
}

TEST_F(PdfSeriesExportTest, AStopBetweenPagesOrWhileTheFileIsWrittenKeepsTheOlderFile)
{
    struct Case
    {
        const char* name;
        int lastPage;      // the last page that may be made
        int stopPermille;  // where writing the file stops; past 1000: never
        QList<int> pagesAsked;
    };
    const Case cases[] = {
        {"before page 3", 1, 2000, {0, 3, 1, 3, 2, 3}},
        {"while the file is written", 2, 0, {0, 3, 1, 3, 2, 3}},
        {"late while the file is written", 2, 500, {0, 3, 1, 3, 2, 3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir out;
        const QString pdf = out.write(QStringLiteral("Serie.pdf"), "older");
        const auto series = ReadPdfSeries(t.ctx, input());
        ASSERT_TRUE(series);
        QList<int> asked;
        QList<int> permilles;
        const PdfWriteOutcome outcome = WritePdfSeries(
            *series, t.ctx.Print(), 600, pdf,
            [&](int k, int n) {
                asked << k << n;
                return k <= c.lastPage;
            },
            [&](int permille) {
                permilles << permille;
                return permille < c.stopPermille;
            });
        EXPECT_EQ(outcome.Status, PdfWriteOutcome::Cancelled);
        EXPECT_EQ(asked, c.pagesAsked);
        if (c.stopPermille <= 1000) {
            ASSERT_FALSE(permilles.isEmpty());
            EXPECT_GE(permilles.last(), c.stopPermille);
            EXPECT_TRUE(std::is_sorted(permilles.begin(), permilles.end()));
        } else {
            EXPECT_TRUE(permilles.isEmpty());
        }
        EXPECT_EQ(leftovers(out.path()), QStringList{"Serie.pdf"});
        QFile f(pdf);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll(), "older");
    }
}
