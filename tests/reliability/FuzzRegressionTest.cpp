// Inputs the fuzz targets found, kept in fuzz/regressions/<target>/, each checked for the
// behaviour its fix gives; the picture inputs start with the byte that picks the kind.
#include "imaging/ImageError.h"
#include "imaging/JpegCodec.h"
#include "imaging/PictureFile.h"
#include "imaging/WmfReader.h"
#include "support/TempDir.h"
#include "tools/ChmFile.h"

#include <QFile>
#include <QtEndian>
#include <gtest/gtest.h>

namespace {

QByteArray fuzzInput(const QString& path)
{
    QFile f(QStringLiteral(TAVISTO_FUZZ_INPUTS "/") + path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    return f.readAll();
}

// The picture file of a picture target input: without its first byte.
QByteArray pictureOf(const QString& path) { return fuzzInput(path).mid(1); }

// A standard metafile header (18 bytes) naming maxRecord words as its largest record,
// followed by the records given (each: size in words, function, parameters).
QByteArray metafile(quint32 maxRecord, const QList<QList<quint16>>& records)
{
    QByteArray body;
    auto put16 = [&body](quint16 v) { body.append(char(v & 0xFF)).append(char(v >> 8)); };
    auto put32 = [&](quint32 v) { put16(quint16(v & 0xFFFF)); put16(quint16(v >> 16)); };
    quint32 words = 9;
    for (const auto& r : records)
        words += 3 + quint32(r.size()) - 1;
    put16(1), put16(9), put16(0x0300), put32(words), put16(0), put32(maxRecord), put16(0);
    for (const auto& r : records) {
        put32(3 + quint32(r.size()) - 1);
        for (quint16 v : r)
            put16(v);
    }
    return body;
}

TEST(FuzzRegression, MetafileAskingForAHugeRecordBufferIsRefusedBeforeLibwmf)
{
    // Headers naming a largest record of some billion words: libwmf took a buffer of that
    // size (one input ran for seconds, the other exceeded the fuzzer's memory limit).
    for (const char* name : {"wmf-huge-max-record", "wmf-oom-max-record"}) {
        const QByteArray found = pictureOf(QStringLiteral("regressions/picture/") + QLatin1String(name));
        ASSERT_FALSE(found.isEmpty()) << name;
        EXPECT_FALSE(WmfReader::IsPlausibleMetafile(found)) << name;
        try {
            PictureFile::DecodeImage(found, QStringLiteral("wmf"), QStringLiteral("Logo.wmf"));
            ADD_FAILURE() << name << " decoded";
        } catch (const ImageError& e) {
            EXPECT_EQ(e.message(), QStringLiteral("Die Datei ist keine lesbare WMF-Grafik.")) << name;
        }
    }
}

TEST(FuzzRegression, BannerJpegNamingAHugeFrameIsRefusedBeforeItsMemoryIsTaken)
{
    // 79 bytes whose frame header names 52695 × 39878 pixels: the banner decoder asked
    // for 6.3 GB. Banners come from the database, where a damaged file can hold anything.
    const QByteArray found = pictureOf(QStringLiteral("regressions/picture/jpeg-banner-huge-frame"));
    ASSERT_EQ(found.size(), 79);
    try {
        JpegCodec::decode(found);
        ADD_FAILURE() << "decoded";
    } catch (const ImageError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Das Bild ist zu groß (52695 × 39878 Pixel)."));
    }
    // A picture at the limit's side still decodes.
    QImage small(64, 32, QImage::Format_RGB888);
    small.fill(Qt::blue);
    EXPECT_EQ(JpegCodec::decode(JpegCodec::encode(small)).size(), QSize(64, 32));
}

TEST(FuzzRegression, MetafileWalkAcceptsWholeFilesOnly)
{
    const QList<quint16> rectangle{0x041B, 50, 50, 0, 0};  // 7 words
    const QList<quint16> end{0x0000};
    struct Case
    {
        const char* what;
        QByteArray bytes;
        bool plausible;
    };
    const QByteArray whole = metafile(7, {rectangle, end});
    QByteArray zeroRecord = whole;
    qToLittleEndian<quint32>(0, zeroRecord.data() + 18);
    QByteArray pastTheEnd = whole;
    qToLittleEndian<quint32>(4000, pastTheEnd.data() + 18);
    const Case cases[] = {
        {"the seed with placeable header", pictureOf(QStringLiteral("seeds/picture/wmf")), true},
        {"the seed without it", pictureOf(QStringLiteral("seeds/picture/wmf-bare")), true},
        {"records up to the closing one", whole, true},
        {"no closing record", metafile(7, {rectangle}), false},
        {"a record larger than the header allows", metafile(5, {rectangle, end}), false},
        {"a largest record beyond the file", metafile(4000, {rectangle, end}), false},
        {"a record of zero words", zeroRecord, false},
        {"a record reaching past the end", pastTheEnd, false},
        {"cut inside the header", whole.left(17), false},
        {"empty", QByteArray(), false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WmfReader::IsPlausibleMetafile(c.bytes), c.plausible) << c.what;
    // The seeds still give their pictures.
    const QImage picture = PictureFile::DecodeImage(pictureOf(QStringLiteral("seeds/picture/wmf")), QStringLiteral("wmf"),
                                                    QStringLiteral("Logo.wmf"));
    EXPECT_EQ(picture.size(), QSize(100, 50));
}

TEST(FuzzRegression, HelpFileWithAnUnusableCompressionWindowOpensWithoutItsPages)
{
    // The control data names version 3 with a window of two bytes; chmlib's LZX set-up
    // fails and chmlib then wrote through a null decoder on the first compressed read.
    TempDir dir;
    const QString found = dir.write(QStringLiteral("Tavisto.chm"), fuzzInput(QStringLiteral("regressions/chm/lzx-window-version3")));
    ChmFile chm(found);
    ASSERT_TRUE(chm.IsOpen());
    EXPECT_TRUE(chm.Read(QStringLiteral("/start.htm")).isNull());
    EXPECT_TRUE(chm.Contents().isEmpty());
}

TEST(FuzzRegression, HelpFileWhoseDirectoryChunksDoNotFitIsNotOpened)
{
    // The directory header names chunks of 256 MB in a file of 4955 bytes; chmlib took a
    // buffer of that size for every lookup.
    TempDir dir;
    EXPECT_FALSE(ChmFile(dir.write(QStringLiteral("a.chm"), fuzzInput(QStringLiteral("regressions/chm/huge-directory-chunk")))).IsOpen());

    const QByteArray seed = fuzzInput(QStringLiteral("seeds/chm/hilfe.chm"));
    const qsizetype itsp = seed.indexOf("ITSP");
    ASSERT_GT(itsp, 0);
    struct Case
    {
        const char* what;
        qsizetype at;
        quint32 value;
        bool opens;
    };
    const Case cases[] = {
        {"as compiled", itsp + 0x10, 4096, true},
        {"chunks larger than the directory", itsp + 0x10, 8192, false},
        {"chunks of 256 MB", itsp + 0x10, 0x10000002, false},
        {"chunks of no size", itsp + 0x10, 0, false},
        {"more chunks than fit", itsp + 0x2C, 0x00100000, false},
        {"a directory beyond the end of the file", 0x48, 0x00100000, false},
    };
    for (const Case& c : cases) {
        QByteArray bytes = seed;
        qToLittleEndian(c.value, bytes.data() + c.at);
        EXPECT_EQ(ChmFile(dir.write(QStringLiteral("b.chm"), bytes)).IsOpen(), c.opens) << c.what;
    }
}

TEST(FuzzRegression, HelpFileWhoseDirectoryChunksChmlibWouldWalkForEverIsNotOpened)
{
    // chmlib walks the listing chunks by their "next chunk" numbers and looks names up
    // down the index chunks, with no bound on either walk. Found: a listing chunk naming
    // itself as the next (listed for ever, once with entries and once with a free space
    // beyond the chunk, which chmlib does not check either).
    TempDir dir;
    for (const char* found : {"regressions/chm/directory-chunk-cycle", "regressions/chm/directory-chunk-cycle-without-entries"})
        EXPECT_FALSE(ChmFile(dir.write(QStringLiteral("a.chm"), fuzzInput(QString::fromLatin1(found)))).IsOpen()) << found;

    // The compiled help file has one listing chunk, which is also the index root.
    const QByteArray seed = fuzzInput(QStringLiteral("seeds/chm/hilfe.chm"));
    const qsizetype itsp = seed.indexOf("ITSP"), pmgl = seed.indexOf("PMGL");
    ASSERT_GT(itsp, 0);
    ASSERT_GT(pmgl, itsp);
    struct Case
    {
        const char* what;
        qsizetype at;
        QByteArray bytes;
        bool opens;
    };
    auto le = [](quint32 v) {
        QByteArray b(4, '\0');
        qToLittleEndian(v, b.data());
        return b;
    };
    const Case cases[] = {
        {"as compiled", pmgl + 0x10, le(0xFFFFFFFF), true},
        {"listing chunk names itself as the next", pmgl + 0x10, le(0), false},
        {"next listing chunk outside the directory", pmgl + 0x10, le(1), false},
        {"free space larger than the chunk", pmgl + 4, le(0xFFFF0DB4), false},
        {"first listing chunk outside the directory", itsp + 0x20, le(5), false},
        {"index root outside the directory", itsp + 0x1C, le(3), false},
        // An index chunk whose only entry ("/") leads back to itself: every lookup,
        // the ones chm_open makes among them, would go round.
        {"index chunk that is its own child", pmgl, QByteArray("PMGI") + le(4096 - 8 - 3) + QByteArray("\x01/\x00", 3), false},
        {"index chunk whose child is none (-1)", pmgl,
         QByteArray("PMGI") + le(4096 - 8 - 7) + QByteArray("\x01/\x8F\xFF\xFF\xFF\x7F", 7), true},
    };
    for (const Case& c : cases) {
        QByteArray bytes = seed;
        bytes.replace(c.at, c.bytes.size(), c.bytes);
        EXPECT_EQ(ChmFile(dir.write(QStringLiteral("b.chm"), bytes)).IsOpen(), c.opens) << c.what;
    }
}

TEST(FuzzRegression, HelpFileWithAVeryLongChainOfIndexChunksIsWalkedWithoutRecursion)
{
    // 200,000 index chunks of 16 bytes, each the parent of the next, the last one naming
    // a chunk beyond the directory: refused, and walked without using up the stack.
    constexpr quint32 kChunk = 16, kChunks = 200000, kItsp = 0x54;
    auto put32 = [](QByteArray& b, qsizetype at, quint32 v) { qToLittleEndian(v, b.data() + at); };
    QByteArray file(0x60, '\0');
    file.replace(0, 4, "ITSF");
    put32(file, 0x04, 3);
    put32(file, 0x08, 0x60);
    qToLittleEndian(quint64(0x60), file.data() + 0x48);
    qToLittleEndian(quint64(kItsp + quint64(kChunk) * kChunks), file.data() + 0x50);
    qToLittleEndian(quint64(0x60 + kItsp + quint64(kChunk) * kChunks), file.data() + 0x58);
    QByteArray itsp(kItsp, '\0');
    itsp.replace(0, 4, "ITSP");
    put32(itsp, 0x04, 1);
    put32(itsp, 0x08, kItsp);
    put32(itsp, 0x10, kChunk);
    put32(itsp, 0x1C, 0);  // index root
    put32(itsp, 0x20, 0);  // first listing chunk: an index chunk, so the listing is empty
    put32(itsp, 0x2C, kChunks);
    file += itsp;
    for (quint32 n = 0; n < kChunks; ++n) {
        // "PMGI", free space, then one entry: the name "/" and the child n + 1 in the
        // directory's seven-bits-a-byte numbers.
        QByteArray chunk("PMGI", 4);
        chunk += QByteArray(4, '\0');
        chunk += QByteArray("\x01/", 2);
        const quint32 child = n + 1;
        chunk += char(0x80 | (child >> 14)) + QByteArray(1, char(0x80 | ((child >> 7) & 0x7F))) + QByteArray(1, char(child & 0x7F));
        put32(chunk, 4, kChunk - quint32(chunk.size()));
        chunk.resize(kChunk, '\0');
        file += chunk;
    }
    TempDir dir;
    EXPECT_FALSE(ChmFile(dir.write(QStringLiteral("a.chm"), file)).IsOpen());
}

TEST(FuzzRegression, HelpFileCompressionWindowIsCheckedAsChmlibReadsIt)
{
    const QByteArray seed = fuzzInput(QStringLiteral("seeds/chm/hilfe.chm"));
    const qsizetype lzxc = seed.indexOf("LZXC");
    ASSERT_GT(lzxc, 0);
    struct Case
    {
        quint32 version, window;
        bool readable;
    };
    // Version 2 counts the window in 32 KB units, version 1 in bytes; chmlib's decoder
    // takes windows of 2^15 to 2^21 bytes.
    // The reset interval equals the window, which chmlib's own checks accept. The pages
    // were compressed with a window of 64 KB, so the readable cases name that one.
    const Case cases[] = {{2, 2, true},       {1, 0x10000, true}, {3, 0x10000, true},
                          {2, 128, false},    {1, 0x4000, false}, {3, 2, false}};
    for (const Case& c : cases) {
        QByteArray bytes = seed;
        qToLittleEndian(c.version, bytes.data() + lzxc + 4);
        qToLittleEndian(c.window, bytes.data() + lzxc + 8);
        qToLittleEndian(c.window, bytes.data() + lzxc + 12);
        TempDir dir;
        ChmFile chm(dir.write(QStringLiteral("Tavisto.chm"), bytes));
        ASSERT_TRUE(chm.IsOpen()) << "version " << c.version << " window " << c.window;
        const QByteArray page = chm.Read(QStringLiteral("/start.htm"));
        EXPECT_EQ(!page.isNull(), c.readable) << "version " << c.version << " window " << c.window;
        if (c.readable) {
            EXPECT_TRUE(page.contains("Zwei"));
        }
    }
}

} // namespace

TEST(FuzzRegression, HelpFileWhoseCompressionWindowChmlibDividesByIsNotOpened)
{
    // The control data held nothing but zeros; chmlib divided by half the window while
    // opening the file, and the process died of it.
    TempDir dir;
    EXPECT_FALSE(
        ChmFile(dir.write(QStringLiteral("a.chm"), fuzzInput(QStringLiteral("regressions/chm/control-data-window-zero"))))
            .IsOpen());

    const QByteArray seed = fuzzInput(QStringLiteral("seeds/chm/hilfe.chm"));
    const qsizetype lzxc = seed.indexOf("LZXC");
    ASSERT_GT(lzxc, 0);
    struct Case
    {
        quint32 version, window;
        bool opens;
    };
    // Half the window, in bytes for version 1 and in 32 KB units for version 2, must not be 0.
    const Case cases[] = {{2, 2, true}, {1, 0x10000, true}, {1, 0, false}, {1, 1, false}, {2, 0, false}, {3, 1, false}};
    for (const Case& c : cases) {
        QByteArray bytes = seed;
        qToLittleEndian(c.version, bytes.data() + lzxc + 4);
        qToLittleEndian(c.window, bytes.data() + lzxc + 12);
        EXPECT_EQ(ChmFile(dir.write(QStringLiteral("b.chm"), bytes)).IsOpen(), c.opens)
            << "version " << c.version << " window " << c.window;
    }
}

TEST(FuzzRegression, HelpFileWhoseResetTableHasNoUsableBlockLengthOpensWithoutItsPages)
{
    // The reset table named blocks of 0 bytes, and in another file of 2.3 GB; chmlib
    // divided by the one and allocated the other at the first compressed read. The files
    // open, their compressed pages are not read.
    TempDir dir;
    for (const char* found : {"regressions/chm/reset-table-block-length-zero", "regressions/chm/reset-table-block-length-huge"}) {
        const ChmFile chm(dir.write(QStringLiteral("a.chm"), fuzzInput(QString::fromLatin1(found))));
        ASSERT_TRUE(chm.IsOpen()) << found;
        EXPECT_TRUE(chm.Read(QStringLiteral("/start.htm")).isNull()) << found;
    }

    // A good help file still reads its compressed pages with the checks.
    const QByteArray seed = fuzzInput(QStringLiteral("seeds/chm/hilfe.chm"));
    EXPECT_TRUE(ChmFile(dir.write(QStringLiteral("good.chm"), seed)).Read(QStringLiteral("/start.htm")).contains("Zwei"));
}

TEST(FuzzRegression, HelpFileEntriesChmlibReadsAsCompressedWithoutATableAreRefused)
{
    // chmlib reads an entry of any space but 0 as compressed data. Found: the reset table
    // in space 40, which chm_open read that way before it had a block length, and
    // divided by 0.
    TempDir dir;
    EXPECT_FALSE(ChmFile(dir.write(QStringLiteral("a.chm"), fuzzInput(QStringLiteral("regressions/chm/reset-table-space-unknown")))).IsOpen());

    const QByteArray seed = fuzzInput(QStringLiteral("seeds/chm/hilfe.chm"));
    const qsizetype lzxc = seed.indexOf("LZXC");
    ASSERT_GT(lzxc, 0);
    // The space is the byte after an entry's name; the compiled file's entries are short.
    auto withSpace = [&seed](const char* name, char space) {
        QByteArray bytes = seed;
        const qsizetype at = bytes.indexOf(name);
        EXPECT_GT(at, 0) << name;
        bytes[at + qsizetype(qstrlen(name))] = space;
        return bytes;
    };
    struct Case
    {
        const char* what;
        QByteArray bytes;
        bool opens, pageRead;
    };
    QByteArray lowerCaseNameNoWindow = seed;
    const qsizetype name = lowerCaseNameNoWindow.indexOf("::DataSpace/Storage/MSCompressed/ControlData");
    ASSERT_GT(name, 0);
    lowerCaseNameNoWindow.replace(name, 44, QByteArray("::dataspace/storage/mscompressed/controldata"));
    qToLittleEndian(quint32(0), lowerCaseNameNoWindow.data() + lzxc + 12);
    const Case cases[] = {
        {"as compiled", seed, true, true},
        {"reset table in space 2", withSpace("ResetTable", 2), false, false},
        {"control data in space 2", withSpace("MSCompressed/ControlData", 2), false, false},
        // chmlib compares names without regard to case, so it still divides by this window.
        {"control data named in small letters, window 0", lowerCaseNameNoWindow, false, false},
        {"the page in space 2", withSpace("/start.htm", 2), true, false},
    };
    for (const Case& c : cases) {
        const ChmFile chm(dir.write(QStringLiteral("b.chm"), c.bytes));
        EXPECT_EQ(chm.IsOpen(), c.opens) << c.what;
        EXPECT_EQ(chm.Read(QStringLiteral("/start.htm")).contains("Zwei"), c.pageRead) << c.what;
    }
}
