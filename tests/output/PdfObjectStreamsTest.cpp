#include "output/PdfObjectStreams.h"
#include "support/TempDir.h"

#include <QBuffer>
#include <QFile>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QStandardPaths>
#include <gtest/gtest.h>

namespace {

// A few pages as Qt's writer makes them: text and one picture on every page.
QByteArray qtPdf(int pages)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setResolution(600);
    QImage picture(120, 40, QImage::Format_RGB888);
    picture.fill(QColor(20, 90, 160));
    QPainter p(&writer);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(80);
    p.setFont(font);
    for (int i = 0; i < pages; ++i) {
        if (i > 0)
            writer.newPage();
        p.drawImage(QPoint(100, 100), picture);
        p.drawText(QPointF(300, 500), QStringLiteral("Seite %1 Größe").arg(i + 1));
    }
    p.end();
    return buffer.data();
}

struct Tool
{
    QString out;
    QString errors;
};

Tool tool(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    EXPECT_TRUE(p.waitForFinished(60000));
    return {QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

} // namespace

TEST(PdfObjectStreamsTest, PackedFileReadsAsTheOriginalAndIsSmaller)
{
    TempDir dir;
    const QByteArray original = qtPdf(40);
    const QByteArray packed = PackPdfObjects(original);
    ASSERT_TRUE(packed.startsWith("%PDF-1.5\n"));
    EXPECT_LT(packed.size(), original.size() * 2 / 3);
    const QString a = dir.write(QStringLiteral("original.pdf"), original);
    const QString b = dir.write(QStringLiteral("packed.pdf"), packed);

    // Readers find every object where the cross-reference stream says: no repair needed.
    for (const QString& program : {QStringLiteral("pdfinfo"), QStringLiteral("pdffonts"), QStringLiteral("pdfimages")}) {
        const QStringList args = program == QLatin1String("pdfimages") ? QStringList{QStringLiteral("-list"), b}
                                                                       : QStringList{b};
        const Tool t = tool(program, args);
        EXPECT_TRUE(t.errors.isEmpty()) << program.toStdString() << ": " << t.errors.toStdString();
    }
    // A second reader where there is one (Ghostscript comes with some desktops, not with the tests).
    if (!QStandardPaths::findExecutable(QStringLiteral("gs")).isEmpty()) {
        const Tool gs = tool(QStringLiteral("gs"), {QStringLiteral("-q"), QStringLiteral("-dNOPAUSE"),
                                                     QStringLiteral("-dBATCH"), QStringLiteral("-sDEVICE=nullpage"), b});
        EXPECT_TRUE(gs.out.isEmpty() && gs.errors.isEmpty()) << gs.out.toStdString() << gs.errors.toStdString();
    }

    EXPECT_TRUE(tool(QStringLiteral("pdfinfo"), {b}).out.contains(QStringLiteral("Pages:           40")));
    const QString text = tool(QStringLiteral("pdftotext"), {b, QStringLiteral("-")}).out;
    EXPECT_EQ(text, tool(QStringLiteral("pdftotext"), {a, QStringLiteral("-")}).out);
    EXPECT_TRUE(text.contains(QStringLiteral("Seite 40 Größe")));
    // The same picture on every page stays one object.
    const QStringList images = tool(QStringLiteral("pdfimages"), {QStringLiteral("-list"), b}).out.split('\n', Qt::SkipEmptyParts).mid(2);
    ASSERT_EQ(images.size(), 40);
    EXPECT_EQ(images.first().simplified().split(' ').mid(10, 2), images.last().simplified().split(' ').mid(10, 2));
    // And it looks the same.
    tool(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("40"), QStringLiteral("-f"), QStringLiteral("40"),
                                      QStringLiteral("-singlefile"), QStringLiteral("-png"), a, dir.file(QStringLiteral("a"))});
    tool(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("40"), QStringLiteral("-f"), QStringLiteral("40"),
                                      QStringLiteral("-singlefile"), QStringLiteral("-png"), b, dir.file(QStringLiteral("b"))});
    const QImage pageA(dir.file(QStringLiteral("a.png"))), pageB(dir.file(QStringLiteral("b.png")));
    ASSERT_FALSE(pageA.isNull());
    EXPECT_EQ(pageA, pageB);
}

TEST(PdfObjectStreamsTest, WhatItCannotReadStaysAsItIs)
{
    const QByteArray pdf = qtPdf(2);
    for (const QByteArray& input : {QByteArray(), QByteArray("not a pdf"), pdf.left(pdf.size() / 2),
                                    QByteArray(pdf).replace("xref", "xxxx")})
        EXPECT_EQ(PackPdfObjects(input), input);
}
