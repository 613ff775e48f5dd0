#include "output/PdfObjectStreams.h"

#include <QList>
#include <QRegularExpression>

#include <algorithm>
#include <map>
#include <optional>

namespace {

struct Object
{
    QByteArray dict;  // the whole object for plain objects, the dictionary for streams
    QByteArray data;  // the stream's bytes
    bool stream = false;
};

std::optional<qint64> numberAfter(const QByteArray& text, qsizetype from)
{
    while (from < text.size() && QByteArrayView(" \r\n\t").contains(text[from]))
        ++from;
    qsizetype end = from;
    while (end < text.size() && text[end] >= '0' && text[end] <= '9')
        ++end;
    if (end == from)
        return std::nullopt;
    return text.mid(from, end - from).toLongLong();
}

QByteArray flate(const QByteArray& bytes)
{
    return qCompress(bytes).mid(4);  // without Qt's length prefix: a plain zlib stream
}

void putBigEndian(QByteArray& out, quint64 value, int bytes)
{
    for (int i = bytes - 1; i >= 0; --i)
        out.append(char((value >> (8 * i)) & 0xFF));
}

// The objects of the file by number, from its cross-reference table; nothing when the
// file is not laid out so.
std::optional<std::map<int, Object>> readObjects(const QByteArray& pdf, QByteArray& trailer)
{
    const qsizetype startxref = pdf.lastIndexOf("startxref");
    if (startxref < 0)
        return std::nullopt;
    const auto xref = numberAfter(pdf, startxref + 9);
    if (!xref || !pdf.mid(*xref, 4).startsWith("xref"))
        return std::nullopt;
    std::map<int, qint64> offsets;
    qsizetype at = *xref + 4;
    const qsizetype trailerAt = pdf.indexOf("trailer", at);
    if (trailerAt < 0)
        return std::nullopt;
    const QList<QByteArray> lines = pdf.mid(at, trailerAt - at).split('\n');
    int number = -1;
    for (const QByteArray& raw : lines) {
        const QByteArray line = raw.trimmed();
        const QList<QByteArray> parts = line.split(' ');
        if (parts.size() == 2) {
            number = parts[0].toInt();
        } else if (parts.size() == 3 && number >= 0) {
            if (parts[2] == "n")
                offsets[number] = parts[0].toLongLong();
            ++number;
        }
    }
    trailer = pdf.mid(trailerAt, startxref - trailerAt);

    std::vector<qint64> starts;
    for (const auto& [n, offset] : offsets)
        starts.push_back(offset);
    starts.push_back(*xref);
    std::sort(starts.begin(), starts.end());

    std::map<int, Object> objects;
    std::map<int, int> lengthRefs;  // stream object -> object holding its length
    for (const auto& [n, offset] : offsets) {
        const qint64 end = *std::upper_bound(starts.begin(), starts.end(), offset);
        const QByteArray span = pdf.mid(offset, end - offset);
        const qsizetype head = span.indexOf("obj");
        const qsizetype tail = span.lastIndexOf("endobj");
        if (head < 0 || tail < head)
            return std::nullopt;
        const QByteArray body = span.mid(head + 3, tail - head - 3);
        Object o;
        const qsizetype streamAt = body.indexOf(">>\nstream\n");
        if (streamAt >= 0 && body.contains("endstream")) {
            o.stream = true;
            o.dict = body.left(streamAt + 2).trimmed();
            o.data = body.mid(streamAt + 10);  // cut to its length below
            static const QRegularExpression lengthRef(QStringLiteral("/Length (\\d+) 0 R"));
            const auto m = lengthRef.match(QString::fromLatin1(o.dict));
            if (m.hasMatch())
                lengthRefs[n] = m.captured(1).toInt();
        } else {
            o.dict = body.trimmed();
        }
        objects[n] = o;
    }
    static const QRegularExpression lengthDirect(QStringLiteral("/Length (\\d+)\\b(?! 0 R)"));
    for (auto& [n, o] : objects) {
        if (!o.stream)
            continue;
        qint64 length = -1;
        if (const auto ref = lengthRefs.find(n); ref != lengthRefs.end()) {
            const auto holder = objects.find(ref->second);
            if (holder == objects.end())
                return std::nullopt;
            length = holder->second.dict.trimmed().toLongLong();
            o.dict.replace(QByteArray("/Length ") + QByteArray::number(ref->second) + " 0 R",
                           QByteArray("/Length ") + QByteArray::number(length));
        } else if (const auto m = lengthDirect.match(QString::fromLatin1(o.dict)); m.hasMatch()) {
            length = m.captured(1).toLongLong();
        }
        if (length < 0 || length > o.data.size())
            return std::nullopt;
        o.data.truncate(length);
    }
    return objects;
}

} // namespace

QByteArray PackPdfObjects(const QByteArray& pdf)
{
    QByteArray trailer;
    const auto objects = readObjects(pdf, trailer);
    if (!objects || objects->empty())
        return pdf;
    static const QRegularExpression rootRe(QStringLiteral("/Root (\\d+) 0 R"));
    static const QRegularExpression infoRe(QStringLiteral("/Info (\\d+) 0 R"));
    const auto root = rootRe.match(QString::fromLatin1(trailer));
    const auto info = infoRe.match(QString::fromLatin1(trailer));
    if (!root.hasMatch())
        return pdf;

    QByteArray out("%PDF-1.5\n%\xE2\xE3\xCF\xD3\n");
    const int firstNew = objects->rbegin()->first + 1;
    struct Entry
    {
        int type = 0;  // 0 free, 1 at an offset, 2 in an object stream
        qint64 field2 = 0;
        int field3 = 0;
    };
    std::map<int, Entry> entries;

    QList<int> plain;
    for (const auto& [n, o] : *objects) {
        if (!o.stream) {
            plain << n;
            continue;
        }
        entries[n] = {1, out.size(), 0};
        out += QByteArray::number(n) + " 0 obj\n" + o.dict + "\nstream\n" + o.data + "\nendstream\nendobj\n";
    }
    // Object streams of a bounded size, so a reader never unpacks much to reach one page.
    constexpr int kPerStream = 500;
    int next = firstNew;
    for (qsizetype from = 0; from < plain.size(); from += kPerStream) {
        const int streamNumber = next++;
        QByteArray index, bodies;
        const qsizetype to = std::min(plain.size(), from + kPerStream);
        for (qsizetype i = from; i < to; ++i) {
            const int n = plain[i];
            index += QByteArray::number(n) + ' ' + QByteArray::number(bodies.size()) + ' ';
            bodies += objects->at(n).dict + '\n';
            entries[n] = {2, streamNumber, int(i - from)};
        }
        index += '\n';
        const QByteArray packed = flate(index + bodies);
        entries[streamNumber] = {1, out.size(), 0};
        out += QByteArray::number(streamNumber) + " 0 obj\n<<\n/Type /ObjStm\n/N " + QByteArray::number(to - from) +
               "\n/First " + QByteArray::number(index.size()) + "\n/Filter /FlateDecode\n/Length " +
               QByteArray::number(packed.size()) + "\n>>\nstream\n" + packed + "\nendstream\nendobj\n";
    }
    const int xrefNumber = next++;
    const qint64 xrefOffset = out.size();
    entries[xrefNumber] = {1, xrefOffset, 0};
    if (xrefOffset > 0xFFFFFFFFLL)
        return pdf;
    QByteArray table;
    for (int n = 0; n < next; ++n) {
        const auto e = entries.find(n);
        const Entry entry = e == entries.end() ? Entry{0, 0, n == 0 ? 0xFFFF : 0} : e->second;
        putBigEndian(table, quint64(entry.type), 1);
        putBigEndian(table, quint64(entry.field2), 4);
        putBigEndian(table, quint64(entry.field3), 2);
    }
    const QByteArray packed = flate(table);
    out += QByteArray::number(xrefNumber) + " 0 obj\n<<\n/Type /XRef\n/Size " + QByteArray::number(next) +
           "\n/W [1 4 2]\n/Root " + root.captured(1).toLatin1() + " 0 R\n" +
           (info.hasMatch() ? "/Info " + info.captured(1).toLatin1() + " 0 R\n" : QByteArray()) +
           "/Filter /FlateDecode\n/Length " + QByteArray::number(packed.size()) + "\n>>\nstream\n" + packed +
           "\nendstream\nendobj\nstartxref\n" + QByteArray::number(xrefOffset) + "\n%%EOF\n";
    return out;
}
