#include "exchange/ImportRecord.h"

#include "app/BlankText.h"
#include "shell/Cp1252.h"

#include <QStringDecoder>

namespace {

// Two fields joined by one blank: field 3 before field 2, field 5 before field 6.
QString joined(const QString& first, const QString& second) { return first + u' ' + second; }

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF, no sequence cut
// off at the end.
bool isValidUtf8(QByteArrayView bytes)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* end = p + bytes.size();
    while (p < end) {
        const unsigned char b = *p;
        if (b < 0x80) {
            ++p;
            continue;
        }
        int more;
        unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
        if (b >= 0xC2 && b <= 0xDF) {
            more = 1;
        } else if (b >= 0xE0 && b <= 0xEF) {
            more = 2;
            if (b == 0xE0)
                low = 0xA0;
            else if (b == 0xED)
                high = 0x9F;
        } else if (b >= 0xF0 && b <= 0xF4) {
            more = 3;
            if (b == 0xF0)
                low = 0x90;
            else if (b == 0xF4)
                high = 0x8F;
        } else {
            return false;
        }
        if (end - p <= more || p[1] < low || p[1] > high)
            return false;
        for (int i = 2; i <= more; ++i)
            if ((p[i] & 0xC0) != 0x80)
                return false;
        p += more + 1;
    }
    return true;
}

} // namespace

std::optional<ImportRecord> ImportRecord::Parse(const QString& line)
{
    if (IsBlank(line))
        return std::nullopt;
    QStringList fields = line.split(u';');
    if (line.endsWith(u';'))
        fields.removeLast();
    if (fields.size() < 6)
        return std::nullopt;
    ImportRecord r;
    r.Line1 = fields[0];
    r.Line2 = (!IsBlank(fields[1]) && !IsBlank(fields[2])) ? joined(fields[2], fields[1]) : fields[1];
    r.Line3 = fields[3];
    r.Line5 = (!IsBlank(fields[4]) && !IsBlank(fields[5])) ? joined(fields[4], fields[5]) : fields[5];
    return r;
}

QString DecodeImportText(const QByteArray& bytes)
{
    auto decodeWith = [&](QStringConverter::Encoding encoding, qsizetype bom) {
        QStringDecoder decoder(encoding, QStringConverter::Flag::Stateless);
        return QString(decoder(QByteArrayView(bytes).sliced(bom)));
    };
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return decodeWith(QStringConverter::Utf8, 3);
    if (bytes.startsWith("\xFF\xFE"))
        return decodeWith(QStringConverter::Utf16LE, 2);
    if (bytes.startsWith("\xFE\xFF"))
        return decodeWith(QStringConverter::Utf16BE, 2);
    // Plain ASCII reads the same either way.
    if (isValidUtf8(bytes))
        return QString::fromUtf8(bytes);
    return Cp1252::decode(bytes);
}

QStringList SplitImportLines(const QString& text)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c != u'\r' && c != u'\n')
            continue;
        lines.append(text.mid(start, i - start));
        if (c == u'\r' && i + 1 < n && text.at(i + 1) == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines.append(text.mid(start));
    return lines;
}
