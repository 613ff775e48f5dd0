#include "pdf/PdfFileParts.h"

#include <QIODevice>
#include <QList>
#include <QRegularExpression>

#include <algorithm>
#include <zlib.h>

namespace {

std::optional<qint64> numberAfter(const QByteArray& text, qsizetype from)
{
    while (from < text.size() && QByteArrayView(" \r\n\t").contains(text[from]))
        ++from;
    qsizetype end = from;
    while (end < text.size() && text[end] >= '0' && text[end] <= '9')
        ++end;
    if (end == from || end - from > 18)
        return std::nullopt;
    return text.mid(from, end - from).toLongLong();
}

} // namespace

QByteArray PdfFlate(const QByteArray& bytes)
{
    return qCompress(bytes).mid(4);  // without Qt's length prefix: a plain zlib stream
}

std::optional<QByteArray> PdfInflate(const QByteArray& packed)
{
    constexpr qsizetype kLimit = qsizetype(256) << 20;
    z_stream z{};
    if (inflateInit(&z) != Z_OK)
        return std::nullopt;
    QByteArray out;
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(packed.constData()));
    z.avail_in = uInt(packed.size());
    int rc = Z_OK;
    while (rc == Z_OK) {
        const qsizetype had = out.size();
        const qsizetype grow = std::max<qsizetype>(packed.size() * 4, 4096);
        if (had + grow > kLimit)
            break;
        out.resize(had + grow);
        z.next_out = reinterpret_cast<Bytef*>(out.data() + had);
        z.avail_out = uInt(grow);
        rc = ::inflate(&z, Z_NO_FLUSH);
        out.resize(had + grow - qsizetype(z.avail_out));
    }
    inflateEnd(&z);
    if (rc != Z_STREAM_END)
        return std::nullopt;
    return out;
}

std::optional<int> PdfReferenceAfter(const QByteArray& dict, const QRegularExpression& re)
{
    const auto m = re.match(QString::fromLatin1(dict));
    if (!m.hasMatch())
        return std::nullopt;
    return m.captured(1).toInt();
}

std::optional<PdfXrefTable> ReadPdfXrefTable(QIODevice& in)
{
    const qint64 size = in.size();
    const qint64 tailFrom = std::max<qint64>(0, size - 4096);
    if (!in.seek(tailFrom))
        return std::nullopt;
    const QByteArray tail = in.read(size - tailFrom);
    const qsizetype startxref = tail.lastIndexOf("startxref");
    if (startxref < 0)
        return std::nullopt;
    const auto xref = numberAfter(tail, startxref + 9);
    if (!xref || *xref >= tailFrom + startxref || !in.seek(*xref))
        return std::nullopt;
    const QByteArray section = in.read(tailFrom + startxref - *xref);
    if (!section.startsWith("xref"))
        return std::nullopt;
    const qsizetype trailerAt = section.indexOf("trailer");
    if (trailerAt < 0)
        return std::nullopt;

    PdfXrefTable table;
    table.xref = *xref;
    int number = -1;
    // Line by line in place: a long series has tens of thousands of entries.
    for (qsizetype at = 4; at < trailerAt;) {
        qsizetype end = section.indexOf('\n', at);
        if (end < 0 || end > trailerAt)
            end = trailerAt;
        const QByteArrayView line = QByteArrayView(section).sliced(at, end - at).trimmed();
        at = end + 1;
        const qsizetype first = line.indexOf(' ');
        const qsizetype second = first < 0 ? -1 : line.indexOf(' ', first + 1);
        if (first > 0 && second < 0) {
            number = line.first(first).toInt();
        } else if (second > first + 1 && number >= 0 && number < (1 << 24)) {
            if (size_t(number) >= table.offsets.size())
                table.offsets.resize(size_t(number) + 1, -1);
            const qint64 offset = line.first(first).toLongLong();
            if (line.sliced(second + 1) == "n" && number > 0) {
                if (offset <= 0 || offset >= *xref)
                    return std::nullopt;
                table.offsets[size_t(number)] = offset;
            }
            ++number;
        }
    }
    const QByteArray trailer = section.mid(trailerAt);
    static const QRegularExpression rootRe(QStringLiteral("/Root (\\d+) 0 R"));
    static const QRegularExpression infoRe(QStringLiteral("/Info (\\d+) 0 R"));
    table.root = PdfReferenceAfter(trailer, rootRe).value_or(-1);
    table.info = PdfReferenceAfter(trailer, infoRe).value_or(-1);
    if (table.root <= 0 || size_t(table.root) >= table.offsets.size() || table.offsets[size_t(table.root)] < 0)
        return std::nullopt;
    return table;
}

std::optional<PdfObject> ReadPdfObject(QIODevice& in, qint64 from, qint64 to)
{
    if (to <= from || !in.seek(from))
        return std::nullopt;
    const QByteArray span = in.read(to - from);
    const qsizetype head = span.indexOf("obj");
    const qsizetype tail = span.lastIndexOf("endobj");
    if (head < 0 || tail < head)
        return std::nullopt;
    const QByteArray body = span.mid(head + 3, tail - head - 3);
    PdfObject o;
    const qsizetype streamAt = body.indexOf(">>\nstream\n");
    if (streamAt >= 0 && body.contains("endstream")) {
        o.stream = true;
        o.dict = body.left(streamAt + 2).trimmed();
        o.data = body.mid(streamAt + 10);
    } else {
        o.dict = body.trimmed();
    }
    return o;
}

