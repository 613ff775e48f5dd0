// The job's page as PDF: only the inked parts of the picture are embedded, and the page
// drawn from the PDF is the picture, within a dot of where the page offset puts it.
#include "printing/EnvelopePdf.h"
#include "support/CupsQueue.h"
#include "support/InkProbe.h"
#include "support/TempDir.h"

#include <QFile>
#include <QProcess>
#include "envelope/UmschlagRenderer.h"
#include "shell/PrintSettings.h"
#include <QPainter>
#include <gtest/gtest.h>

namespace {

QImage white(int w, int h, QImage::Format format = QImage::Format_RGB888)
{
    QImage img(w, h, format);
    img.fill(Qt::white);
    return img;
}

struct InkCase
{
    const char* name;
    QList<QRect> blots;
    QList<QRect> regions;
};

} // namespace

TEST(EnvelopePdfTest, InkRegionsFindWhatIsNotPaperWhite)
{
    const InkCase cases[] = {
        {"blank", {}, {}},
        {"one dot", {QRect(10, 20, 1, 1)}, {QRect(10, 20, 1, 1)}},
        {"dot in the last column", {QRect(399, 5, 1, 1)}, {QRect(399, 5, 1, 1)}},
        // Lines of one block lie closer than the gap: one region over both, their columns joined.
        {"close lines", {QRect(30, 10, 50, 8), QRect(5, 60, 20, 8)}, {QRect(5, 10, 75, 58)}},
        // Sender and address lie far apart: two regions.
        {"far blocks", {QRect(30, 10, 50, 8), QRect(200, 250, 100, 20)},
         {QRect(30, 10, 50, 8), QRect(200, 250, 100, 20)}},
    };
    for (const InkCase& c : cases)
        for (QImage::Format format : {QImage::Format_RGB888, QImage::Format_RGB32}) {
            SCOPED_TRACE(std::string(c.name) + (format == QImage::Format_RGB888 ? " 24 bit" : " 32 bit"));
            QImage img = white(400, 300, format);
            for (const QRect& r : c.blots)
                for (int y = r.top(); y <= r.bottom(); ++y)
                    for (int x = r.left(); x <= r.right(); ++x)
                        img.setPixel(x, y, qRgb(0xFE, 0xFF, 0xFF));  // the faintest ink still counts
            const std::vector<QRect> found = InkRegions(img, 100);
            EXPECT_EQ(QList<QRect>(found.begin(), found.end()), c.regions);
        }
}

// Rasterised at the picture's own resolution, the PDF page shows the picture where its
// target lies, within a dot, in grey and in colour, from a 24-bit and from a turned 32-bit picture.
TEST(EnvelopePdfTest, PageDrawnFromThePdfIsThePictureWithinADot)
{
    TempDir dir;
    QImage picture = white(600, 400);
    {
        QPainter p(&picture);
        p.setFont(QFont(QStringLiteral("Arial"), 30));
        p.drawText(QPoint(20, 60), QStringLiteral("Herrn Max Mustermann"));  // grey anti-aliasing
        p.fillRect(QRect(400, 330, 40, 30), QColor(200, 30, 90));           // a coloured banner, far below
    }
    for (QImage::Format format : {QImage::Format_RGB888, QImage::Format_RGB32}) {
        SCOPED_TRACE(format == QImage::Format_RGB888 ? "24 bit" : "32 bit");
        const QImage source = picture.convertToFormat(format);
        const QRect target(120, 60, source.width(), source.height());
        // A sheet of 2 x 1.5 inches at 600 dpi: 1200 x 900 dots.
        const QByteArray pdf = EnvelopePagePdf(QSizeF(144, 108), 600, {{target, source}});
        const QString file = dir.file("page.pdf");
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(pdf);
        out.close();

        const QImage page = CupsQueue::rasterise(file, 600, dir.file("page")).convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(page.size(), QSize(1200, 900));
        // A viewer may resample a picture by a dot where its edges fall between device
        // pixels, so each dot is checked where its neighbourhood is of one colour: there
        // the page must show that colour (channels in the right order, shades kept).
        auto near = [](QRgb a, QRgb b) {
            return std::abs(qRed(a) - qRed(b)) <= 12 && std::abs(qGreen(a) - qGreen(b)) <= 12 &&
                   std::abs(qBlue(a) - qBlue(b)) <= 12;
        };
        auto want = [&](int x, int y) {
            return target.contains(x, y) ? source.pixel(x - target.x(), y - target.y()) : qRgb(255, 255, 255);
        };
        int wrong = 0, checked = 0;
        QPoint firstWrong;
        for (int y = 1; y + 1 < page.height(); ++y)
            for (int x = 1; x + 1 < page.width(); ++x) {
                const QRgb w = want(x, y);
                bool uniform = true;
                for (int dy = -1; dy <= 1 && uniform; ++dy)
                    for (int dx = -1; dx <= 1 && uniform; ++dx)
                        uniform = want(x + dx, y + dy) == w;
                if (!uniform)
                    continue;
                ++checked;
                if (!near(page.pixel(x, y), w) && wrong++ == 0)
                    firstWrong = QPoint(x, y);
            }
        EXPECT_GT(checked, 1000000);
        EXPECT_EQ(wrong, 0) << "first at " << firstWrong.x() << "," << firstWrong.y();
        EXPECT_TRUE(near(page.pixel(target.x() + 420, target.y() + 345), qRgb(200, 30, 90)));
        // The ink lies where the target puts the picture's ink, within a dot.
        const QRect pageInk = InkProbe::inkBox(page, page.rect());
        const QRect sourceInk = InkProbe::inkBox(source, source.rect()).translated(target.topLeft());
        EXPECT_NEAR(pageInk.left(), sourceInk.left(), 1);
        EXPECT_NEAR(pageInk.top(), sourceInk.top(), 1);
        EXPECT_NEAR(pageInk.right(), sourceInk.right(), 1);
        EXPECT_NEAR(pageInk.bottom(), sourceInk.bottom(), 1);

        // Two embedded parts: the grey text and the coloured block, at 600 pixels per inch.
        const QString list = CupsQueue::run("pdfimages", {"-list", file});
        EXPECT_EQ(CupsQueue::pictureResolutions(file), (QList<int>{600, 600})) << list.toStdString();
        EXPECT_TRUE(list.contains(" gray ")) << list.toStdString();
        EXPECT_TRUE(list.contains(" rgb ")) << list.toStdString();
    }
}

TEST(EnvelopePdfTest, BlankEnvelopeEmbedsNoPicture)
{
    TempDir dir;
    const QByteArray pdf = EnvelopePagePdf(QSizeF(595, 842), 600, {{QRect(0, 0, 2598, 5196), white(2598, 5196)}});
    EXPECT_LT(pdf.size(), 1000);
    const QString file = dir.file("blank.pdf");
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(pdf);
    out.close();
    EXPECT_TRUE(CupsQueue::run("pdfinfo", {file}).contains("595 x 842 pts"));
    EXPECT_TRUE(CupsQueue::pictureResolutions(file).isEmpty());
}

// A landscape frame turned onto the portrait sheet in the page itself: to the left its top
// edge runs along the sheet's left edge, to the right along the sheet's right edge. The
// page drawn from the PDF equals the frame turned a quarter the same way, within a dot.
TEST(EnvelopePdfTest, TurnedFramesLieOnThePortraitSheetAsTheTurnSays)
{
    TempDir dir;
    QImage picture = white(600, 400);
    {
        QPainter p(&picture);
        p.setFont(QFont(QStringLiteral("Arial"), 30));
        p.drawText(QPoint(20, 60), QStringLiteral("Herrn Max Mustermann"));
        p.fillRect(QRect(400, 330, 40, 30), QColor(200, 30, 90));
    }
    // The frame: 1200 x 900 dots at 600 dpi, the sheet 900 x 1200 (1.5 x 2 inches).
    const QRect target(120, 60, picture.width(), picture.height());
    QImage frame = white(1200, 900, QImage::Format_RGB32);
    QPainter(&frame).drawImage(target.topLeft(), picture);
    struct Case
    {
        PageTurn turn;
        int degrees;  // clockwise, as QTransform turns a picture on screen
    };
    for (const Case c : {Case{PageTurn::Left, -90}, Case{PageTurn::Right, 90}}) {
        SCOPED_TRACE(c.degrees);
        const QImage expected = frame.transformed(QTransform().rotate(c.degrees));
        const QByteArray pdf = EnvelopePagePdf(QSizeF(108, 144), 600, {{target, picture}}, c.turn);
        const QString file = dir.file("turned.pdf");
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(pdf);
        out.close();
        EXPECT_TRUE(CupsQueue::run("pdfinfo", {file}).contains("108 x 144 pts"));
        const QImage page = CupsQueue::rasterise(file, 600, dir.file("turned")).convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(page.size(), expected.size());
        const QRect pageInk = InkProbe::inkBox(page, page.rect());
        const QRect expectedInk = InkProbe::inkBox(expected, expected.rect());
        EXPECT_NEAR(pageInk.left(), expectedInk.left(), 1);
        EXPECT_NEAR(pageInk.top(), expectedInk.top(), 1);
        EXPECT_NEAR(pageInk.right(), expectedInk.right(), 1);
        EXPECT_NEAR(pageInk.bottom(), expectedInk.bottom(), 1);
        // The coloured block's middle, where the turned frame has it.
        const QPoint blockInFrame = target.topLeft() + QPoint(420, 345);
        const QPoint block = QImage::trueMatrix(QTransform().rotate(c.degrees), frame.width(), frame.height())
                                 .map(blockInFrame);
        const QRgb centre = page.pixel(block);
        EXPECT_NEAR(qRed(centre), 200, 12);
        EXPECT_NEAR(qGreen(centre), 30, 12);
        EXPECT_NEAR(qBlue(centre), 90, 12);
    }
}

// Every job's page is a valid PDF as qpdf checks it: a few formats lying (turned either
// way onto the sheet) and standing, rendered as the printer gets them.
TEST(EnvelopePdfTest, JobPagesPassQpdfsCheck)
{
    TempDir dir;
    const AddressLines sender{"Verein Lumo e.V.", "Postfach 1", "", "12345 Hausen", ""};
    const AddressLines address{"Frau", "Erika Mustermann", "Weg 1", "54321 Dorf", "ÖSTERREICH"};
    constexpr int kDpi = 150;
    for (const int format : {0, 2, 9})
        for (const PageTurn turn : {PageTurn::Left, PageTurn::Right, PageTurn::None}) {
            SCOPED_TRACE(format * 10 + int(turn));
            PrintSettings s;
            s.FormatIndex = format;
            s.Orientation = turn == PageTurn::None ? 1 : 0;
            QImage bitmap;
            RenderUmschlag(&bitmap, sender, address, nullptr, s, kDpi);
            ASSERT_FALSE(bitmap.isNull());
            // A portrait sheet a little larger than the envelope, the picture at its corner.
            const QSize frame = bitmap.size() + QSize(40, 40);
            const QSizeF sheet = (turn == PageTurn::None ? QSizeF(frame) : QSizeF(frame).transposed()) * (72.0 / kDpi);
            const QString file = dir.file(QStringLiteral("job-%1-%2.pdf").arg(format).arg(int(turn)));
            QFile out(file);
            ASSERT_TRUE(out.open(QIODevice::WriteOnly));
            out.write(EnvelopePagePdf(sheet, kDpi, {{QRect(QPoint(20, 20), bitmap.size()), bitmap}}, turn));
            out.close();
            QProcess qpdf;
            qpdf.start(QStringLiteral("qpdf"), {QStringLiteral("--check"), file});
            ASSERT_TRUE(qpdf.waitForFinished(60000));
            const QString said = QString::fromLocal8Bit(qpdf.readAllStandardOutput() + qpdf.readAllStandardError());
            EXPECT_EQ(qpdf.exitCode(), 0) << said.toStdString();
            EXPECT_TRUE(said.contains("No syntax or stream encoding errors found")) << said.toStdString();
        }
}
