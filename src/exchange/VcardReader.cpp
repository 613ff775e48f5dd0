#include "exchange/VcardReader.h"

#include "exchange/ImportRecord.h"
#include "shell/Cp1252.h"

#include <QStringDecoder>

#include <optional>

namespace {

bool startsWithNoCase(QByteArrayView s, QByteArrayView prefix)
{
    return s.size() >= prefix.size() && s.first(prefix.size()).compare(prefix, Qt::CaseInsensitive) == 0;
}

bool isFoldBlank(char c) { return c == ' ' || c == '\t'; }

QByteArrayView withoutTrailingBlanks(QByteArrayView s)
{
    while (!s.isEmpty() && isFoldBlank(s.back()))
        s.chop(1);
    return s;
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

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// A UTC offset as far as it has been read: "+01", "-05:30".
bool isOffsetSoFar(QByteArrayView v)
{
    if (v.size() < 2 || (v[0] != '+' && v[0] != '-'))
        return false;
    for (qsizetype i = 1; i < v.size(); ++i)
        if (!isDigit(v[i]) && !(v[i] == ':' && i > 1 && v[i - 1] != ':'))
            return false;
    return isDigit(v.back());
}

// The colon that ends the name and parameters, or -1. Colons inside double quotes belong to
// the parameter, and so does an unquoted one inside a UTC offset ("ADR;TZ=+01:00:;;Weg 1"),
// which some exporters write without quotes.
qsizetype headEnd(QByteArrayView s)
{
    bool quoted = false;
    bool inParams = false;
    qsizetype valueStart = -1; // where the current parameter value began, -1 outside one
    for (qsizetype i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (c == '"') {
            quoted = !quoted;
        } else if (quoted) {
            continue;
        } else if (c == ';') {
            inParams = true;
            valueStart = -1;
        } else if (c == '=' && inParams && valueStart < 0) {
            valueStart = i + 1;
        } else if (c == ',' && valueStart >= 0) {
            valueStart = i + 1;
        } else if (c == ':') {
            const bool minutesFollow = i + 3 < s.size() && isDigit(s[i + 1]) && isDigit(s[i + 2]) &&
                                       (s[i + 3] == ':' || s[i + 3] == ';' || s[i + 3] == ',');
            if (valueStart >= 0 && minutesFollow && isOffsetSoFar(s.sliced(valueStart, i - valueStart)))
                continue;
            return i;
        }
    }
    return -1;
}

// Whether the name and parameters of a content line ask for quoted-printable.
bool isQuotedPrintable(QByteArrayView line)
{
    const qsizetype colon = headEnd(line);
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
        } else if (in.sliced(i + 1).trimmed().isEmpty()) {
            // A soft line break the file ended in, blanks after it or not.
            break;
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
    // Windows writes its own code page under the Latin-1 names too: the typographic quotes,
    // dashes and the euro sign of 0x80..0x9F are never the control codes Latin-1 has there.
    if (name == u"WINDOWS-1252" || name == u"CP1252" || name == u"ISO-8859-1" || name == u"LATIN1" ||
        name == u"ISO8859-1" || name == u"US-ASCII")
        return Cp1252::decode(bytes.data(), bytes.size());
    QStringDecoder decoder(name.toLatin1().constData(), QStringConverter::Flag::Stateless);
    if (!decoder.isValid())
        return decodeGuessing(bytes);
    return decoder(bytes);
}

// The names and parameter words that nearly every card repeats, shared instead of made
// again for each line: an address book of thousands of cards is mostly these.
const QString& shared(QByteArrayView word, bool& found)
{
    static const QString words[] = {
        "BEGIN", "END", "VERSION", "N", "FN", "ORG", "ADR", "TEL", "EMAIL", "NOTE", "UID", "REV", "PRODID",
        "GENDER", "TITLE", "LABEL", "PHOTO", "URL", "BDAY", "NICKNAME", "CATEGORIES", "X-ABLABEL", "X-ABADR",
        "TYPE", "ENCODING", "CHARSET", "PREF", "VALUE", "WORK", "HOME", "VOICE", "CELL", "FAX", "INTERNET",
        "QUOTED-PRINTABLE", "UTF-8", "work", "home", "voice", "cell", "fax", "pref", "internet", "text", "uri"};
    static const QString none;
    for (const QString& w : words) {
        if (w.size() != word.size())
            continue;
        bool same = true;
        for (qsizetype i = 0; same && i < word.size(); ++i)
            same = w[i].unicode() == char16_t(static_cast<unsigned char>(word[i]));
        if (same) {
            found = true;
            return w;
        }
    }
    found = false;
    return none;
}

QString sharedOrNew(QByteArrayView word)
{
    bool found = false;
    const QString& w = shared(word, found);
    return found ? w : QString::fromUtf8(word);
}

// Names of properties and parameters are compared in upper case.
QString upperName(QByteArrayView name)
{
    name = name.trimmed();
    bool found = false;
    const QString& w = shared(name, found);
    if (found && !w.at(0).isLower())
        return w;
    const QByteArray upper = name.toByteArray().toUpper();
    return sharedOrNew(upper);
}

bool isEncodingWord(QByteArrayView v)
{
    for (const char* e : {"QUOTED-PRINTABLE", "BASE64", "8BIT", "7BIT", "B"})
        if (v.compare(e, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

VcardParam parseParam(QByteArrayView token)
{
    VcardParam param;
    const qsizetype eq = findUnquoted(token, '=');
    QByteArrayView values = token;
    if (eq >= 0) {
        param.Name = upperName(token.first(eq));
        values = token.sliced(eq + 1);
    } else {
        // Parameters without a name in version 2.1: an encoding or a type.
        values = values.trimmed();
        param.Name = QStringLiteral("TYPE");
        if (isEncodingWord(values)) {
            param.Name = QStringLiteral("ENCODING");
            param.Values.append(upperName(values));
            return param;
        }
    }
    // TYPE="work,voice" means both, as TYPE=work,voice does.
    qsizetype start = 0;
    while (start <= values.size()) {
        qsizetype comma = values.indexOf(',', start);
        if (comma < 0)
            comma = values.size();
        QByteArrayView v = values.sliced(start, comma - start).trimmed();
        while (v.startsWith('"'))
            v = v.sliced(1);
        while (v.endsWith('"'))
            v.chop(1);
        v = v.trimmed();
        if (!v.isEmpty())
            param.Values.append(sharedOrNew(v));
        start = comma + 1;
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
    const qsizetype colon = headEnd(line);
    if (colon < 0)
        return false;
    const QByteArrayView head = line.first(colon);
    out.rawValue = line.sliced(colon + 1);
    qsizetype end = findUnquoted(head, ';');
    QByteArrayView name = end < 0 ? head : head.first(end);
    const qsizetype dot = name.lastIndexOf('.');
    if (dot >= 0) {
        out.property.Group = QString::fromLatin1(name.first(dot).trimmed());
        name = name.sliced(dot + 1);
    }
    out.property.Name = upperName(name);
    while (end >= 0) {
        const qsizetype start = end + 1;
        end = findUnquoted(head, ';', start);
        const QByteArrayView token = end < 0 ? head.sliced(start) : head.sliced(start, end - start);
        if (!token.trimmed().isEmpty())
            out.property.Params.push_back(parseParam(token));
    }
    return !out.property.Name.isEmpty();
}

// The first value of the parameter, or null.
const QString* firstParam(const VcardProperty& p, QStringView name)
{
    for (const VcardParam& param : p.Params)
        if (param.Name == name && !param.Values.isEmpty())
            return &param.Values.first();
    return nullptr;
}

QString charsetOf(const VcardProperty& p)
{
    const QString* charset = firstParam(p, u"CHARSET");
    return charset ? *charset : QString();
}

void decodeValue(ParsedLine& line, bool textIsUtf8)
{
    VcardProperty& p = line.property;
    const QString* encoding = firstParam(p, u"ENCODING");
    if (encoding && encoding->compare(u"QUOTED-PRINTABLE", Qt::CaseInsensitive) == 0) {
        p.Value = decodeCharset(decodeQuotedPrintable(line.rawValue), charsetOf(p));
        return;
    }
    if (encoding && (encoding->compare(u"B", Qt::CaseInsensitive) == 0 ||
                     encoding->compare(u"BASE64", Qt::CaseInsensitive) == 0)) {
        // Pictures and keys: nobody reads them as text, so they stay as written.
        p.Value = QString::fromLatin1(line.rawValue);
        return;
    }
    p.Value = textIsUtf8 ? decodeGuessing(line.rawValue) : decodeCharset(line.rawValue, charsetOf(p));
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

VcardStream::VcardStream(const QByteArray& input) : m_bytes(input)
{
    if (m_bytes.startsWith("\xEF\xBB\xBF")) {
        m_pos = 3;
    } else if (m_bytes.startsWith("\xFF\xFE") || m_bytes.startsWith("\xFE\xFF")) {
        // Files of UTF-16 are read as UTF-8 from here on; their CHARSET names no bytes.
        m_bytes = DecodeImportText(m_bytes).toUtf8();
        m_textIsUtf8 = true;
    }
}

QByteArrayView VcardStream::lineAt(qsizetype pos, qsizetype* after) const
{
    const char* p = m_bytes.constData();
    const qsizetype n = m_bytes.size();
    // Files joined with cat keep the byte order mark of each at the start of a line.
    if (n - pos >= 3 && p[pos] == '\xEF' && p[pos + 1] == '\xBB' && p[pos + 2] == '\xBF')
        pos += 3;
    qsizetype end = pos;
    while (end < n && p[end] != '\r' && p[end] != '\n')
        ++end;
    qsizetype next = end;
    if (next < n && p[next] == '\r') {
        // CR LF, or CR CR LF where a text-mode write turned the LF of a CR LF once more;
        // else a CR alone.
        qsizetype lf = next;
        while (lf < n && p[lf] == '\r')
            ++lf;
        next = lf < n && p[lf] == '\n' ? lf + 1 : next + 1;
    } else if (next < n) {
        ++next;
    }
    *after = next;
    return QByteArrayView(p + pos, end - pos);
}

QByteArrayView VcardStream::nextLogicalLine()
{
    qsizetype after = 0;
    QByteArrayView logical = lineAt(m_pos, &after);
    m_pos = after;
    // Most lines stand alone and are read where they lie; only folded ones are joined.
    bool isJoined = false;
    // Asked once per content line: a long value of many soft breaks is not searched again
    // at each of them.
    std::optional<bool> quotedPrintable;
    while (m_pos < m_bytes.size()) {
        const QByteArrayView next = lineAt(m_pos, &after);
        // A soft line break of quoted-printable continues the value on the next line,
        // blank or not; an exporter that forgot its last line must not eat END:VCARD.
        // Blanks after the "=" are padding that mail transports add, not text.
        bool softBreak = withoutTrailingBlanks(logical).endsWith('=') && !startsWithNoCase(next, "END:VCARD");
        if (softBreak) {
            if (!quotedPrintable)
                quotedPrintable = isQuotedPrintable(logical);
            softBreak = *quotedPrintable;
        }
        if (!softBreak && (next.isEmpty() || !isFoldBlank(next[0])))
            break;
        if (!isJoined) {
            m_joined = logical.toByteArray();
            isJoined = true;
        }
        if (softBreak) {
            m_joined.truncate(withoutTrailingBlanks(m_joined).size() - 1);
            m_joined.append(next);
        } else {
            m_joined.append(next.sliced(1));
        }
        logical = m_joined;
        m_pos = after;
    }
    return logical;
}

bool VcardStream::Next(Vcard& card)
{
    card.Properties.clear();
    bool inCard = m_begun;
    m_begun = false;
    // An AGENT of version 2.1 has no value on its line: the agent's whole card follows.
    bool agentFollows = false;
    while (m_pos < m_bytes.size()) {
        const QByteArrayView logical = nextLogicalLine();
        if (logical.trimmed().isEmpty())
            continue;
        ParsedLine line;
        if (!parseContentLine(logical, line))
            continue;
        if (isCardMark(line.property, u"BEGIN", line.rawValue)) {
            if (!inCard) {
                inCard = true;
                continue;
            }
            if (agentFollows) {
                skipNestedCard();
                agentFollows = false;
                continue;
            }
            // A card that never ended is kept with what it had.
            m_begun = true;
            return true;
        }
        if (!inCard)
            continue;
        if (isCardMark(line.property, u"END", line.rawValue))
            return true;
        // The frame of another object inside a card (an old calendar entry) is no property.
        if (line.property.Name == u"BEGIN" || line.property.Name == u"END")
            continue;
        agentFollows = line.property.Name == u"AGENT" && line.rawValue.trimmed().isEmpty();
        decodeValue(line, m_textIsUtf8);
        card.Properties.push_back(std::move(line.property));
    }
    return inCard;
}

void VcardStream::skipNestedCard()
{
    int depth = 1;
    while (depth > 0 && m_pos < m_bytes.size()) {
        ParsedLine line;
        if (!parseContentLine(nextLogicalLine(), line))
            continue;
        if (isCardMark(line.property, u"BEGIN", line.rawValue))
            ++depth;
        else if (isCardMark(line.property, u"END", line.rawValue))
            --depth;
    }
}

std::vector<Vcard> ReadVcards(const QByteArray& bytes)
{
    std::vector<Vcard> cards;
    VcardStream stream(bytes);
    Vcard card;
    while (stream.Next(card))
        cards.push_back(card);
    return cards;
}
