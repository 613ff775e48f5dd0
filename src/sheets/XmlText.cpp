#include "sheets/XmlText.h"

#include <QXmlStreamReader>

namespace sheets::xml {

bool AllowedInXml(char32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}

QString XmlSafe(const QString& text)
{
    bool clean = true;
    for (const QChar c : text)
        if (c.unicode() < 0x20 && c != u'\t' && c != u'\n' && c != u'\r') {
            clean = false;
            break;
        }
    if (clean && !text.contains(QChar(0xFFFE)) && !text.contains(QChar(0xFFFF)))
        return text;
    QString out;
    out.reserve(text.size());
    for (const char32_t c : text.toUcs4())
        if (AllowedInXml(c))
            out += QString::fromUcs4(&c, 1);
    return out;
}

namespace {

bool isEscape(const QString& text, qsizetype i)
{
    if (i + 7 > text.size() || text.at(i) != u'_' || text.at(i + 1) != u'x' || text.at(i + 6) != u'_')
        return false;
    for (qsizetype k = i + 2; k < i + 6; ++k) {
        const QChar c = text.at(k);
        if (!c.isDigit() && !(c >= u'a' && c <= u'f') && !(c >= u'A' && c <= u'F'))
            return false;
    }
    return true;
}

} // namespace

QString DecodeOoxmlEscapes(const QString& text)
{
    if (!text.contains(QLatin1String("_x")))
        return text;
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (isEscape(text, i)) {
            const ushort code = text.mid(i + 2, 4).toUShort(nullptr, 16);
            out += QChar(code);
            i += 6;
        } else {
            out += text.at(i);
        }
    }
    return out;
}

QString EncodeOoxmlEscapes(const QString& text)
{
    if (!text.contains(QLatin1String("_x")) && !text.contains(u'\r'))
        return text;
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (isEscape(text, i))
            out += QStringLiteral("_x005F_");
        else if (text.at(i) == u'\r')
            out += QStringLiteral("_x000D_"); // a bare one would reach the reader as a line feed
        else
            out += text.at(i);
    }
    return out;
}

void SkipElement(QXmlStreamReader& reader)
{
    if (reader.isStartElement())
        reader.skipCurrentElement();
}

} // namespace sheets::xml
