#pragma once
#include <QByteArray>
#include <QList>
#include <QString>
#include <utility>

// Windows-1252 at every boundary where files written on Windows must read the same:
// database texts, the settings file, exports and imports.
namespace Cp1252 {

// Letters the code page lacks are spelled with their nearest Latin letters (Ł as L, ő as
// o, Greek and Cyrillic in Latin), so that a name on an envelope stays readable; only
// what has no Latin form becomes "?".
QByteArray encode(QStringView text);
QString decode(const char* bytes, qsizetype length);
inline QString decode(const QByteArray& bytes) { return decode(bytes.constData(), bytes.size()); }
// The text as it reads back after encode: the same text when the page holds every character.
QString Stored(const QString& text);

// What encode replaces in the text: each run of characters the code page lacks, and what
// it becomes. Empty when the text is stored as it is.
QList<std::pair<QString, QString>> Replacements(QStringView text);

} // namespace Cp1252
