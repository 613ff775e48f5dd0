#pragma once
#include <QString>

class TSQLiteDatabase;

// The next identifier of a table: prefix + (greatest number in use + 1), zero-padded to
// eight digits. Empty when the table does not exist.
QString NewID(TSQLiteDatabase& db, const QString& prefix, const QString& table, const QString& column);

// The next address identifier, with no extra data left under it or any later number: an
// address deleted by an older version left its tab_daten row behind, and its number is
// handed out again, so a new address would show a deleted person's phone and remark.
QString NewAdresseID(TSQLiteDatabase& db);

// A text as an SQL text value: in double quotes, inner double quotes doubled. Values
// reach SQLite as bound parameters; this remains for texts that must be SQL.
QString QuoteSQL(const QString& text);
