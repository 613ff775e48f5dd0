#include "exchange/VcardReader.h"

#include "shell/Cp1252.h"

#include <QStringDecoder>

namespace {

bool startsWithNoCase(QByteArrayView s, QByteArrayView prefix)
{
    return s.size() >= prefix.size() && s.first(prefix.size()).compare(prefix, Qt::CaseInsensitive) == 0;
}

bool isFoldBlank(char c) { return c == ' ' || c == '\t'; }

// The physical lines; CR LF, LF and CR alone each end one.
std::vector<QByteArrayView> physicalLines(QByteArrayView bytes)
{
    std::vector<QByteArrayView> lines;
    const char* p = bytes.data();
    const qsizetype n = bytes.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < n; ++i) {
        if (p[i] != '\r' && p[i] != '\n')
            continue;
        lines.emplace_back(p + start, i - start);
        if (p[i] == '\r' && i + 1 < n && p[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines.emplace_back(p + start, n - start);
    return lines;
}

// The position of the first separator outside double quotes, or -1.
qsizetype findUnquoted(QByteArrayView s, char separator, qsizetype from = 0)
{
    bool quoted = false;
    for (qsizetype i = from; i < s.size(); ++i) {
        if (s[i] == '"')
            quoted = !quoted;
        else if (s[i] == separator && !quoted)
            return i;
    }
    return -1;
}

// Whether the name and parameters of a content line ask for quoted-printable.
bool isQuotedPrintable(QByteArrayView line)
{
    const qsizetype colon = findUnquoted(line, ':');
    const QByteArrayView head = colon < 0 ? line : line.first(colon);
    const QByteArrayView word("QUOTED-PRINTABLE");
    for (qsizetype i = 0; i + word.size() <= head.size(); ++i)
        if (startsWithNoCase(head.sliced(i), word))
            return true;
    return false;
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

QByteArray decodeQuotedPrintable(QByteArrayView in)
{
    QByteArray out;
    out.reserve(in.size());
    for (qsizetype i = 0; i < in.size(); ++i) {
        const char c = in[i];
        if (c != '=') {
            out.append(c);
            continue;
        }
        if (i + 2 < in.size() && hexValue(in[i + 1]) >= 0 && hexValue(in[i + 2]) >= 0) {
            out.append(char(hexValue(in[i + 1]) * 16 + hexValue(in[i + 2])));
            i += 2;
        } else if (i + 1 == in.size()) {
            // A soft line break the file ended in.
        } else {
            out.append(c); // not an escape: kept as written
        }
    }
    return out;
}

bool isAscii(QByteArrayView bytes)
{
    for (char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

// UTF-8 where the bytes are valid UTF-8, else Windows-1252: version 2.1 files name no
// character set and come from either world.
QString decodeGuessing(QByteArrayView bytes)
{
    if (isAscii(bytes))
        return QString::fromLatin1(bytes);
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    return Cp1252::decode(bytes.data(), bytes.size());
}

QString decodeCharset(QByteArrayView bytes, const QString& charset)
{
    if (charset.isEmpty() || isAscii(bytes))
        return decodeGuessing(bytes);
    const QString name = charset.toUpper();
    if (name == u"UTF-8" || name == u"UTF8")
        return decodeGuessing(bytes);
    if (name == u"ISO-8859-1" || name == u"LATIN1" || name == u"ISO8859-1" || name == u"US-ASCII")
        return QString::fromLatin1(bytes);
    if (name == u"WINDOWS-1252" || name == u"CP1252")
        return Cp1252::decode(bytes.data(), bytes.size());
    QStringDecoder decoder(name.toLatin1().constData(), QStringConverter::Flag::Stateless);
    if (!decoder.isValid())
        return decodeGuessing(bytes);
    return decoder(bytes);
}

// Parameters without a name in version 2.1: an encoding, a character set or a type.
QString bareParamName(const QString& upperValue)
{
    if (upperValue == u"QUOTED-PRINTABLE" || upperValue == u"BASE64" || upperValue == u"8BIT" ||
        upperValue == u"7BIT" || upperValue == u"B")
        return QStringLiteral("ENCODING");
    return QStringLiteral("TYPE");
}

VcardParam parseParam(QByteArrayView token)
{
    VcardParam param;
    const qsizetype eq = findUnquoted(token, '=');
    QByteArrayView values = token;
    if (eq >= 0) {
        param.Name = QString::fromLatin1(token.first(eq)).trimmed().toUpper();
        values = token.sliced(eq + 1);
    }
    // TYPE="work,voice" means both, as TYPE=work,voice does.
    QString text = QString::fromUtf8(values).trimmed();
    text.remove(u'"');
    param.Values = text.split(u',', Qt::SkipEmptyParts);
    for (QString& v : param.Values)
        v = v.trimmed();
    if (eq < 0) {
        param.Name = bareParamName(text.toUpper());
        if (param.Name == u"ENCODING")
            param.Values = QStringList{text.toUpper()};
    }
    return param;
}

struct ParsedLine
{
    VcardProperty property;
    QByteArrayView rawValue;
};

// Splits "group.NAME;param;param:value"; false when the line has no colon.
bool parseContentLine(QByteArrayView line, ParsedLine& out)
{
    const qsizetype colon = findUnquoted(line, ':');
    if (colon < 0)
        return false;
    const QByteArrayView head = line.first(colon);
    out.rawValue = line.sliced(colon + 1);
    qsizetype end = findUnquoted(head, ';');
    QByteArrayView name = end < 0 ? head : head.first(end);
    const qsizetype dot = name.lastIndexOf('.');
    if (dot >= 0) {
        out.property.Group = QString::fromLatin1(name.first(dot)).trimmed();
        name = name.sliced(dot + 1);
    }
    out.property.Name = QString::fromLatin1(name).trimmed().toUpper();
    while (end >= 0) {
        const qsizetype start = end + 1;
        end = findUnquoted(head, ';', start);
        const QByteArrayView token = end < 0 ? head.sliced(start) : head.sliced(start, end - start);
        if (!token.trimmed().isEmpty())
            out.property.Params.push_back(parseParam(token));
    }
    return !out.property.Name.isEmpty();
}

QString firstParam(const VcardProperty& p, QStringView name)
{
    const QStringList values = p.Param(name);
    return values.isEmpty() ? QString() : values.first();
}

void decodeValue(ParsedLine& line, bool textIsUtf8)
{
    VcardProperty& p = line.property;
    const QString encoding = firstParam(p, u"ENCODING").toUpper();
    if (encoding == u"QUOTED-PRINTABLE") {
        p.Value = decodeCharset(decodeQuotedPrintable(line.rawValue), firstParam(p, u"CHARSET"));
        return;
    }
    if (encoding == u"B" || encoding == u"BASE64") {
        // Pictures and keys: nobody reads them as text, so they stay as written.
        p.Value = QString::fromLatin1(line.rawValue);
        return;
    }
    p.Value = textIsUtf8 ? decodeGuessing(line.rawValue) : decodeCharset(line.rawValue, firstParam(p, u"CHARSET"));
}

bool isCardMark(const VcardProperty& p, QStringView mark, QByteArrayView rawValue)
{
    return p.Name == mark && p.Group.isEmpty() && rawValue.trimmed().compare("VCARD", Qt::CaseInsensitive) == 0;
}

} // namespace

QStringList VcardProperty::Param(QStringView name) const
{
    QStringList values;
    for (const VcardParam& p : Params)
        if (p.Name == name)
            values += p.Values;
    return values;
}

bool VcardProperty::HasType(QStringView type) const
{
    for (const VcardParam& p : Params)
        if (p.Name == u"TYPE")
            for (const QString& v : p.Values)
                if (v.compare(type, Qt::CaseInsensitive) == 0)
                    return true;
    return false;
}

int VcardProperty::Preference() const
{
    int best = 0;
    for (const VcardParam& p : Params) {
        if (p.Name != u"PREF")
            continue;
        for (const QString& v : p.Values) {
            bool ok = false;
            const int n = v.toInt(&ok);
            // PREF counts from 1 (most preferred) to 100.
            if (ok && n >= 1 && n <= 100 && (best == 0 || n < best))
                best = n;
        }
    }
    if (best == 0 && HasType(u"pref"))
        best = 1;
    return best;
}

QString VcardProperty::Text() const { return UnescapeVcardText(Value); }

QStringList VcardProperty::Components() const
{
    QStringList parts;
    qsizetype start = 0;
    for (qsizetype i = 0; i < Value.size(); ++i) {
        if (Value[i] == u'\\') {
            ++i;
        } else if (Value[i] == u';') {
            parts.append(UnescapeVcardText(QStringView(Value).sliced(start, i - start)));
            start = i + 1;
        }
    }
    parts.append(UnescapeVcardText(QStringView(Value).sliced(start)));
    return parts;
}

const VcardProperty* Vcard::First(QStringView name) const
{
    for (const VcardProperty& p : Properties)
        if (p.Name == name)
            return &p;
    return nullptr;
}

QString UnescapeVcardText(QStringView text)
{
    if (!text.contains(u'\\'))
        return text.toString();
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != u'\\' || i + 1 == text.size()) {
            out.append(c);
            continue;
        }
        const QChar next = text[i + 1];
        if (next == u'n' || next == u'N') {
            out.append(u'\n');
            ++i;
        } else if (next == u'\\' || next == u';' || next == u',' || next == u':') {
            out.append(next);
            ++i;
        } else {
            out.append(c);
        }
    }
    return out;
}

std::vector<Vcard> ReadVcards(const QByteArray& input)
{
    QByteArrayView bytes(input);
    QByteArray converted;
    bool textIsUtf8 = false;
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        bytes = bytes.sliced(3);
    } else if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        // Files of UTF-16 are read as UTF-8 from here on; their CHARSET names no bytes.
        QStringDecoder decoder(bytes.startsWith("\xFF\xFE") ? QStringConverter::Utf16LE : QStringConverter::Utf16BE,
                               QStringConverter::Flag::Stateless);
        converted = QString(decoder(bytes.sliced(2))).toUtf8();
        bytes = converted;
        textIsUtf8 = true;
    }

    const std::vector<QByteArrayView> lines = physicalLines(bytes);
    std::vector<Vcard> cards;
    bool inCard = false;
    QByteArray logical;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].trimmed().isEmpty())
            continue;
        logical = lines[i].toByteArray();
        while (i + 1 < lines.size()) {
            const QByteArrayView next = lines[i + 1];
            // A soft line break of quoted-printable continues the value on the next line,
            // blank or not; an exporter that forgot its last line must not eat END:VCARD.
            if (logical.endsWith('=') && isQuotedPrintable(logical) && !startsWithNoCase(next, "END:VCARD")) {
                logical.chop(1);
                logical.append(next);
                ++i;
            } else if (!next.isEmpty() && isFoldBlank(next[0])) {
                logical.append(next.sliced(1));
                ++i;
            } else {
                break;
            }
        }

        ParsedLine line;
        if (!parseContentLine(logical, line))
            continue;
        if (isCardMark(line.property, u"BEGIN", line.rawValue)) {
            // A card that never ended is kept with what it had.
            cards.emplace_back();
            inCard = true;
            continue;
        }
        if (!inCard)
            continue;
        if (isCardMark(line.property, u"END", line.rawValue)) {
            inCard = false;
            continue;
        }
        // The frame of another object inside a card (an old calendar entry) is no property.
        if (line.property.Name == u"BEGIN" || line.property.Name == u"END")
            continue;
        decodeValue(line, textIsUtf8);
        cards.back().Properties.push_back(std::move(line.property));
    }
    return cards;
}
