#pragma once
#include "exchange/ExportLayout.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

class AdressenRows;
class ImportProgress;
class TSQLiteDatabase;

// The export of addresses with every field: the five lines, the sort name, the extra data
// of tab_daten, the active mark and the group's name, one column each, headed so that the
// import of tables assigns every column back by itself.
namespace ExportAllFields {

// "Zeile 1" … "Zeile 5", "Name", "Telefon", "Fax", "Handy", "E-Mail", "Versandart",
// "Bemerkung", "Aktiv", "Gruppe".
const QStringList& Header();

// One row per row the address list shows, in that order, with the columns of Header().
ExportRows Rows(TSQLiteDatabase& db, const AdressenRows& shown);

// The header and the rows separated by ";", every value in double quotes with inner
// quotes doubled, CR LF after each line, in UTF-8 behind a byte order mark so that Excel
// reads the umlauts.
QByteArray Utf8Csv(const ExportRows& rows);

// Writes the UTF-8 file, or the spreadsheet (.ods or .xlsx after the name's suffix), each
// replacing the file whole. progress is told after every row; when the user cancels there,
// no file is written (an existing one stays as it was) and the answer is false. Raises
// ExchangeError when the file cannot be written.
bool WriteUtf8Csv(const QString& fileName, const ExportRows& rows, ImportProgress* progress = nullptr);
bool WriteTable(const QString& fileName, const ExportRows& rows, ImportProgress* progress = nullptr);

} // namespace ExportAllFields
