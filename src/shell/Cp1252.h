#pragma once
#include <QByteArray>
#include <QString>

// Windows-1252 at every boundary where files written on Windows must read the same:
// database texts, the settings file, exports and imports.
namespace Cp1252 {

// A character the code page lacks becomes its base letter (canonical decomposition)
// when that letter is in the page, else "?".
QByteArray encode(QStringView text);
QString decode(const char* bytes, qsizetype length);
inline QString decode(const QByteArray& bytes) { return decode(bytes.constData(), bytes.size()); }

} // namespace Cp1252
