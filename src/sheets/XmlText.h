#pragma once
#include <QString>

class QXmlStreamReader;

// Small pieces the XML readers of .xlsx and .ods share.
namespace sheets::xml {

// Every character XML 1.0 allows; a writer drops the rest (control characters).
bool AllowedInXml(char32_t c);
QString XmlSafe(const QString& text);

// Excel's escapes in strings: "_x000D_" is a carriage return, "_x005F_" a literal "_".
// Encoding writes both, as Excel does.
QString DecodeOoxmlEscapes(const QString& text);
QString EncodeOoxmlEscapes(const QString& text);

// Skips the element the reader stands on, with everything inside it.
void SkipElement(QXmlStreamReader& reader);

} // namespace sheets::xml
