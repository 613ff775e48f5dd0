#pragma once
#include <QString>
#include <QStringList>

class TSQLiteDatabase;
class MessageService;

// The creation statement of a table as its list of lines, each followed by CR LF.
QString CreateStatement(const QString& table);
const QStringList& TableNames();

// The sender list's statement: each sender's lines 1 to 5 and its number of banners, as
// the main window's list shows them and the sender export writes them.
QString AbsenderListQuery();

// Creates every missing table; lists the ones that failed in an error message and
// returns false when any did.
bool CreateTables(TSQLiteDatabase& db, MessageService& messages);

// Adds the column when the table exists and lacks it (names compared without regard
// to case). False only when the table does not exist. Database errors pass through.
bool AddColumn(TSQLiteDatabase& db, const QString& table, const QString& column, const QString& type);
