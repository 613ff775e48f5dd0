#pragma once
#include <QList>
#include <QString>
#include <QStringList>

// The two layouts of an export. A row holds the cells written, in column order, the last
// being the mark (banner or active); the text layout leaves the mark out.
using ExportRows = QList<QStringList>;

namespace ExportLayout {

inline const QString kAbsenderHeader =
    QStringLiteral("\"Zeile 1\";\"Zeile 2\";\"Zeile 3\";\"Zeile 4\";\"Zeile 5\";\"Banner\"");
inline const QString kAdressenHeader =
    QStringLiteral("\"Zeile 1\";\"Zeile 2\";\"Zeile 3\";\"Zeile 4\";\"Zeile 5\";\"Name\";\"Aktiv\"");

// Every non-blank cell but the mark as one untrimmed line, and an empty line after each row.
QStringList TextLines(const ExportRows& rows);
// The header, then per row the cells in double quotes joined by ";", the mark trimmed.
QStringList CsvLines(const QString& header, const ExportRows& rows);

// The name with ".txt" (filter entry 0) or ".csv" (entry 1) appended unless the name's
// extension, compared in lower case, already is that one.
QString WithExtension(const QString& fileName, int filterIndex);

// Writes the lines in Windows-1252 without byte order mark, each ending in CR LF, through
// a temporary file renamed over the target, so a failure leaves the old file (or none).
// Raises ExchangeError when the file cannot be written.
void WriteFile(const QString& fileName, const QStringList& lines);

} // namespace ExportLayout
