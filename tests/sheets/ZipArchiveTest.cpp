// The zip layer under the .xlsx and .ods readers: what it unpacks is held against limits
// by counting, whatever the entry's header claims.
#include "SheetFiles.h"
#include "sheets/XlsxSource.h"
#include "sheets/ZipArchive.h"
#include "support/QtPrint.h"
#include "support/TempDir.h"

#include <QBuffer>
#include <QFile>

#include <gtest/gtest.h>

using namespace sheets;

namespace {

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return f.readAll();
}

// Reads an entry to its end through the stream; the SheetError message, if any.
QString readEntry(ZipArchive& zip, const QString& name)
{
    try {
        std::unique_ptr<QIODevice> stream = zip.Open(name);
        char buffer[65536];
        qint64 n = 0;
        while ((n = stream->read(buffer, sizeof buffer)) > 0) {
        }
        if (n < 0)
            zip.Fail(stream.get());
        zip.Check(stream.get());
        return QString();
    } catch (const SheetError& e) {
        return e.Message();
    }
}

TEST(ZipArchive, TheZipBombStopsAtTheRatioLongBeforeItsTwoGigabytes)
{
    QFile file(SheetFiles::File(QStringLiteral("bomb.xlsx")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    {
        // Its header tells the truth, so the entry is refused before anything is unpacked.
        ZipArchive zip(file, QStringLiteral("bomb.xlsx"));
        EXPECT_GT(zip.DeclaredSize(QStringLiteral("xl/worksheets/sheet1.xml")), qint64(2) << 30);
        EXPECT_TRUE(readEntry(zip, QStringLiteral("xl/worksheets/sheet1.xml")).contains(QStringLiteral("viel zu groß")));
    }
    // Under limits that would let 8 GB through, as a header that lies would: the count
    // against the packed size stops it.
    ZipLimits generous;
    generous.EntryBytes = generous.TotalBytes = qint64(8) << 30;
    ZipArchive zip(file, QStringLiteral("bomb.xlsx"), generous);
    std::unique_ptr<QIODevice> stream = zip.Open(QStringLiteral("xl/worksheets/sheet1.xml"));
    char buffer[65536];
    qint64 n = 0;
    while ((n = stream->read(buffer, sizeof buffer)) > 0) {
    }
    EXPECT_LT(n, 0);
    // Stopped once past the floor: 32 MB, not 2 GB.
    EXPECT_LT(ZipArchive::Unpacked(stream.get()), qint64(40) << 20);
    EXPECT_THROW(zip.Check(stream.get()), SheetError);
}

TEST(ZipArchive, LimitsPerEntryAndForTheWholeFile)
{
    // An ordinary workbook read under small limits: the entry limit, then the total.
    const QByteArray bytes = fileBytes(SheetFiles::File(QStringLiteral("table.xlsx")));
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    ZipLimits limits;
    limits.EntryBytes = 1000;
    ZipArchive small(buffer, QStringLiteral("table.xlsx"), limits);
    EXPECT_TRUE(readEntry(small, QStringLiteral("xl/worksheets/sheet1.xml")).contains(QStringLiteral("viel zu groß")));
    EXPECT_EQ(readEntry(small, QStringLiteral("_rels/.rels")), QString());

    QBuffer again;
    again.setData(bytes);
    again.open(QIODevice::ReadOnly);
    limits = ZipLimits();
    limits.TotalBytes = 3000;
    ZipArchive total(again, QStringLiteral("table.xlsx"), limits);
    QString last;
    for (const QString& name : total.EntryNames())
        if (!(last = readEntry(total, name)).isEmpty())
            break;
    EXPECT_TRUE(last.contains(QStringLiteral("viel zu groß"))) << last.toStdString();

    // The whole reader gives the same message and hands on no row.
    auto device = std::make_unique<QBuffer>();
    device->setData(bytes);
    device->open(QIODevice::ReadOnly);
    limits = ZipLimits();
    limits.EntryBytes = 1000;
    int rows = 0;
    try {
        XlsxSource source(std::move(device), QStringLiteral("table.xlsx"), limits);
        source.ReadRows(0, [&](const Row&, double) { return ++rows, true; });
        FAIL() << "read";
    } catch (const SheetError& e) {
        EXPECT_TRUE(e.Message().contains(QStringLiteral("beim Entpacken viel zu groß"))) << e.Message().toStdString();
    }
    EXPECT_EQ(rows, 0);
}

TEST(ZipArchive, AChangedByteFailsTheChecksumAtTheEntrysEnd)
{
    QFile file(SheetFiles::File(QStringLiteral("badcrc.ods")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    ZipArchive zip(file, QStringLiteral("badcrc.ods"));
    EXPECT_TRUE(readEntry(zip, QStringLiteral("content.xml")).contains(QStringLiteral("beschädigt")));
    EXPECT_EQ(readEntry(zip, QStringLiteral("mimetype")), QString());
}

} // namespace
