#include "pdf/PdfObjectStreams.h"
#include "support/TempDir.h"

#include <QBuffer>
#include <QFile>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <gtest/gtest.h>

namespace {

// A few pages as Qt's writer makes them: text and one picture on every page.
QByteArray qtPdf(int pages, const QStringList& sameOnEveryPage = {})
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
        for (int l = 0; l < sameOnEveryPage.size(); ++l)
            p.drawText(QPointF(300, 300 + 100 * l), sameOnEveryPage[l]);
        p.drawText(QPointF(300, 500 + 100 * sameOnEveryPage.size()), QStringLiteral("Seite %1 Größe").arg(i + 1));
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

TEST(PdfObjectStreamsTest, PagesTurnedOnRequestAndFontsNamedWithTheirSubsetTag)
{
    TempDir dir;
    const QByteArray original = qtPdf(3);
    for (const bool turn : {false, true}) {
        SCOPED_TRACE(turn ? "turned" : "as they are");
        const QString b = dir.write(QStringLiteral("packed.pdf"), PackPdfObjects(original, {turn}));
        const Tool info = tool(QStringLiteral("pdfinfo"), {QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
                                                           QStringLiteral("3"), b});
        EXPECT_TRUE(info.errors.isEmpty()) << info.errors.toStdString();
        EXPECT_EQ(info.out.count(QRegularExpression(turn ? QStringLiteral("rot:\\s+90\n") : QStringLiteral("rot:\\s+0\n"))), 3)
            << info.out.toStdString();
        // Both the Type 0 font and its CID font carry the descriptor's "ABCDEF+" name.
        QProcess qdf;
        qdf.start(QStringLiteral("qpdf"), {QStringLiteral("--qdf"), QStringLiteral("--object-streams=disable"), b,
                                           QStringLiteral("-")});
        ASSERT_TRUE(qdf.waitForFinished(60000));
        const QString qdfText = QString::fromLatin1(qdf.readAllStandardOutput());
        static const QRegularExpression names(QStringLiteral("/(?:BaseFont|FontName) /(\\S+)"));
        QStringList found;
        for (auto it = names.globalMatch(qdfText); it.hasNext();)
            found << it.next().captured(1);
        ASSERT_EQ(found.size(), 3) << found.join(' ').toStdString();
        EXPECT_TRUE(QRegularExpression(QStringLiteral("^[A-Z]{6}\\+\\w+$")).match(found[0]).hasMatch()) << found[0].toStdString();
        EXPECT_EQ(found.count(found[0]), 3) << found.join(' ').toStdString();
        const Tool check = tool(QStringLiteral("qpdf"), {QStringLiteral("--check"), b});
        EXPECT_TRUE(check.out.contains(QStringLiteral("No syntax or stream encoding errors found"))) << check.out.toStdString();
    }
}

namespace {

// Takes a number of bytes, then refuses every write, as a full disk does.
class FillingDevice : public QIODevice
{
public:
    explicit FillingDevice(qint64 room) : m_room(room) { open(QIODevice::WriteOnly); }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char*, qint64 size) override
    {
        if (size > m_room)
            return -1;
        m_room -= size;
        return size;
    }

private:
    qint64 m_room;
};

} // namespace

TEST(PdfObjectStreamsTest, AStopOrAFailedWriteIsReportedAsSuch)
{
    QByteArray original = qtPdf(20);
    QBuffer in(&original);
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));

    // Stopped halfway: the step saw the input's progress up to there.
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    qint64 lastDone = -1, lastTotal = 0;
    EXPECT_EQ(PackPdfObjects(in, out, {}, [&](qint64 done, qint64 total) {
                  EXPECT_GE(done, lastDone);
                  lastDone = done;
                  lastTotal = total;
                  return done < total / 2;
              }),
              PdfPackResult::Stopped);
    EXPECT_GE(lastDone, lastTotal / 2);
    EXPECT_LT(lastDone, original.size());

    for (const qint64 room : {qint64(0), qint64(100), qint64(original.size() / 2)}) {
        SCOPED_TRACE(room);
        FillingDevice full(room);
        EXPECT_EQ(PackPdfObjects(in, full), PdfPackResult::WriteFailed);
    }
    QBuffer whole;
    whole.open(QIODevice::WriteOnly);
    EXPECT_EQ(PackPdfObjects(in, whole), PdfPackResult::Packed);
    EXPECT_EQ(whole.data(), PackPdfObjects(original));
}

TEST(PdfObjectStreamsTest, WhatEveryPageBeginsWithIsKeptOnceAsAForm)
{
    TempDir dir;
    const QStringList sender{QStringLiteral("Bürogemeinschaft Größer & Söhne"), QStringLiteral("Kärntner Weg 7"),
                             QStringLiteral("12345 Überlingen")};
    const QByteArray original = qtPdf(30, sender);
    PdfPackOptions sharing;
    sharing.ShareRepeatedContent = true;
    const QByteArray plain = PackPdfObjects(original);
    const QByteArray shared = PackPdfObjects(original, sharing);
    ASSERT_NE(shared, original);
    EXPECT_EQ(shared.count("/Subtype /Form"), 1);
    EXPECT_LT(shared.size(), plain.size() * 9 / 10) << shared.size() << " against " << plain.size();
    const QString a = dir.write(QStringLiteral("original.pdf"), original);
    const QString b = dir.write(QStringLiteral("shared.pdf"), shared);
    const Tool check = tool(QStringLiteral("qpdf"), {QStringLiteral("--check"), b});
    EXPECT_TRUE(check.out.contains(QStringLiteral("No syntax or stream encoding errors found"))) << check.out.toStdString();
    // Every page reads and looks as before, the first, a middle one and the last.
    EXPECT_EQ(tool(QStringLiteral("pdftotext"), {b, QStringLiteral("-")}).out,
              tool(QStringLiteral("pdftotext"), {a, QStringLiteral("-")}).out);
    for (const int page : {1, 2, 17, 30}) {
        SCOPED_TRACE(page);
        for (const QString& pdf : {a, b})
            tool(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("40"), QStringLiteral("-f"), QString::number(page),
                                              QStringLiteral("-l"), QString::number(page), QStringLiteral("-singlefile"),
                                              QStringLiteral("-png"), pdf, pdf + QStringLiteral(".page")});
        const QImage before(a + QStringLiteral(".page.png")), after(b + QStringLiteral(".page.png"));
        ASSERT_FALSE(before.isNull());
        EXPECT_EQ(before, after);
    }
    // One page alone has nothing to share.
    const QByteArray single = PackPdfObjects(qtPdf(1, sender), sharing);
    EXPECT_FALSE(single.contains("/Subtype /Form"));
    const QString c = dir.write(QStringLiteral("single.pdf"), single);
    EXPECT_TRUE(tool(QStringLiteral("pdftotext"), {c, QStringLiteral("-")}).out.contains(QStringLiteral("Seite 1 Größe")));
    EXPECT_TRUE(tool(QStringLiteral("qpdf"), {QStringLiteral("--check"), c}).out.contains(QStringLiteral("No syntax")));
}
