#include "imaging/ImageError.h"
#include "imaging/JpegCodec.h"
#include "imaging/PictureFile.h"
#include "imaging/PngCodec.h"
#include "support/TempDir.h"

#include <QBuffer>
#include <QtEndian>
#include <gtest/gtest.h>

namespace {

// A picture whose right half is transparent and whose left half is opaque red.
QImage halfTransparent(int w = 8, int h = 4)
{
    QImage img(w, h, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w / 2; ++x)
            img.setPixel(x, y, qRgba(255, 0, 0, 255));
    return img;
}

bool near(QRgb a, QRgb b, int tolerance)
{
    return std::abs(qRed(a) - qRed(b)) <= tolerance && std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

quint32 crc32(const QByteArray& data)
{
    quint32 c = 0xFFFFFFFFu;
    for (char ch : data) {
        c ^= quint8(ch);
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    }
    return c ^ 0xFFFFFFFFu;
}

// A valid PNG whose header claims another size (the IHDR checksum fixed up).
QByteArray pngClaiming(quint32 w, quint32 h)
{
    QImage one(1, 1, QImage::Format_RGB888);
    one.fill(Qt::white);
    QByteArray png = PngCodec::encode(one);
    // Signature (8), length (4), "IHDR" (4), then width and height.
    qToBigEndian(w, png.data() + 16);
    qToBigEndian(h, png.data() + 20);
    qToBigEndian(crc32(png.mid(12, 17)), png.data() + 29);
    return png;
}

// A JPEG whose frame header claims another size.
QByteArray jpegClaiming(quint16 w, quint16 h)
{
    QImage one(8, 8, QImage::Format_RGB888);
    one.fill(Qt::white);
    QByteArray jpg = JpegCodec::encode(one);
    const qsizetype sof = jpg.indexOf(QByteArray("\xFF\xC0", 2));
    qToBigEndian(h, jpg.data() + sof + 5);
    qToBigEndian(w, jpg.data() + sof + 7);
    return jpg;
}

// A 4 × 2 GIF, red with its lower right pixel transparent.
const unsigned char kGif[] = {0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x04, 0x00, 0x02, 0x00, 0xf0, 0x00, 0x00, 0xff, 0x00,
                              0x00, 0x00, 0x00, 0x00, 0x21, 0xf9, 0x04, 0x01, 0x00, 0x00, 0x01, 0x00, 0x2c, 0x00, 0x00,
                              0x00, 0x00, 0x04, 0x00, 0x02, 0x00, 0x00, 0x02, 0x03, 0x84, 0x0f, 0x51, 0x00, 0x3b};

// A placeable Windows metafile of 100 × 50 units at 96 units per inch with a red
// rectangle over the left half and nothing painted on the right.
QByteArray redRectWmf()
{
    QByteArray body;
    auto w16 = [&body](int v) {
        char b[2];
        qToLittleEndian(quint16(v), b);
        body.append(b, 2);
    };
    auto w32 = [&body](quint32 v) {
        char b[4];
        qToLittleEndian(v, b);
        body.append(b, 4);
    };
    auto record = [&](quint32 words, int function) {
        w32(words);
        w16(function);
    };
    // Records after the 9-word header.
    QByteArray header;
    body.clear();
    record(5, 0x020B), w16(0), w16(0);               // SETWINDOWORG y, x
    record(5, 0x020C), w16(50), w16(100);            // SETWINDOWEXT y, x
    record(7, 0x02FC), w16(0), w32(0x000000FF), w16(0);  // CREATEBRUSHINDIRECT solid red
    record(4, 0x012D), w16(0);                       // SELECTOBJECT brush
    record(8, 0x02FA), w16(5), w32(0), w32(0);       // CREATEPENINDIRECT PS_NULL
    record(4, 0x012D), w16(1);                       // SELECTOBJECT pen
    record(7, 0x041B), w16(51), w16(51), w16(0), w16(0);  // RECTANGLE bottom, right, top, left
    record(3, 0x0000);                               // EOF
    const QByteArray records = body;

    body.clear();
    w16(1), w16(9), w16(0x0300);
    w32(quint32(9 + records.size() / 2));
    w16(2);                                          // objects
    w32(8);                                          // largest record
    w16(0);
    header = body;

    body.clear();
    w32(0x9AC6CDD7u), w16(0), w16(0), w16(0), w16(100), w16(50), w16(96), w32(0);
    quint16 sum = 0;
    for (int i = 0; i < 10; ++i)
        sum ^= qFromLittleEndian<quint16>(body.constData() + 2 * i);
    w16(sum);
    return body + header + records;
}

} // namespace

TEST(PngCodec, KeepsAlphaThroughARoundTrip)
{
    const QImage back = PngCodec::decode(PngCodec::encode(halfTransparent()), PictureFile::MaxPixels);
    ASSERT_EQ(back.size(), QSize(8, 4));
    EXPECT_EQ(qAlpha(back.pixel(1, 1)), 255);
    EXPECT_EQ(qRed(back.pixel(1, 1)), 255);
    EXPECT_EQ(qAlpha(back.pixel(6, 1)), 0);
}

TEST(PictureFile, ReadsEachFormatAsA24BitPictureOnWhite)
{
    TempDir dir;
    QImage opaque(6, 3, QImage::Format_RGB888);
    opaque.fill(QColor(0, 0, 255));
    QByteArray bmp;
    {
        QBuffer b(&bmp);
        b.open(QIODevice::WriteOnly);
        opaque.save(&b, "BMP");
    }
    struct Case
    {
        const char* name;
        QByteArray bytes;
        QSize size;
        QPoint colouredAt;
        QRgb colour;
        QPoint whiteAt;  // transparent in the file; (-1, -1) when the picture has none
        int tolerance;
    };
    const Case cases[] = {
        {"LOGO.JPEG", JpegCodec::encode(opaque), {6, 3}, {2, 1}, qRgb(0, 0, 255), {-1, -1}, 12},
        {"logo.jpg", JpegCodec::encode(opaque), {6, 3}, {2, 1}, qRgb(0, 0, 255), {-1, -1}, 12},
        {"alpha.png", PngCodec::encode(halfTransparent()), {8, 4}, {1, 1}, qRgb(255, 0, 0), {6, 2}, 0},
        {"ALPHA.PNG", PngCodec::encode(halfTransparent()), {8, 4}, {1, 1}, qRgb(255, 0, 0), {6, 2}, 0},
        {"blue.bmp", bmp, {6, 3}, {5, 2}, qRgb(0, 0, 255), {-1, -1}, 0},
        {"red.gif", QByteArray(reinterpret_cast<const char*>(kGif), sizeof kGif), {4, 2}, {0, 0}, qRgb(255, 0, 0), {3, 1}, 0},
        {"red.wmf", redRectWmf(), {100, 50}, {20, 20}, qRgb(255, 0, 0), {80, 30}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QImage img = PictureFile::LoadImageFile(dir.write(c.name, c.bytes));
        ASSERT_FALSE(img.isNull());
        EXPECT_EQ(img.format(), QImage::Format_RGB888);
        EXPECT_EQ(img.size(), c.size);
        EXPECT_TRUE(near(img.pixel(c.colouredAt), c.colour, c.tolerance)) << std::hex << img.pixel(c.colouredAt);
        if (c.whiteAt.x() >= 0) {
            EXPECT_EQ(img.pixel(c.whiteAt), qRgb(255, 255, 255));
        }
    }
}

TEST(PictureFile, MissingFileGivesNoPicture)
{
    TempDir dir;
    EXPECT_TRUE(PictureFile::LoadImageFile(dir.file("nichtda.png")).isNull());
}

TEST(PictureFile, BadFilesRaiseAClearError)
{
    TempDir dir;
    const QByteArray jpeg = JpegCodec::encode(QImage(64, 64, QImage::Format_RGB888));
    struct Case
    {
        const char* name;
        QByteArray bytes;
        const char* messagePart;
    };
    const Case cases[] = {
        {"text.png", "Dies ist kein Bild.\r\n", "PNG"},
        {"cut.jpg", jpeg.left(jpeg.size() * 2 / 3), "JPEG"},
        {"header.jpg", jpeg.left(20), "JPEG"},
        {"huge.png", pngClaiming(10000, 10000), "zu groß"},
        {"huge.jpg", jpegClaiming(10000, 10000), "zu groß"},
        {"text.gif", "GIF? no", "kein lesbares Bild"},
        {"text.wmf", "no metafile at all", "WMF"},
        {"empty.bmp", "", "kein lesbares Bild"},
        {"bild.xyz", "data", "kein lesbares Bild"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            PictureFile::LoadImageFile(dir.write(c.name, c.bytes));
            ADD_FAILURE() << "no error raised";
        } catch (const ImageError& e) {
            EXPECT_TRUE(e.message().contains(QString::fromUtf8(c.messagePart))) << e.message().toStdString();
        }
    }
}
