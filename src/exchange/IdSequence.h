#pragma once
#include <QString>

class TSQLiteDatabase;

// Record identifiers for a run of inserts in one transaction: the first comes from NewID
// (greatest number in use plus one), the next ones count up from it without scanning
// the table again. Empty texts when the table does not exist.
class IdSequence
{
public:
    IdSequence(TSQLiteDatabase& db, const QString& prefix, const QString& table, const QString& column);
    // Address identifiers: the first one from NewAdresseID, which clears extra data left
    // under the numbers about to be handed out.
    static IdSequence Adressen(TSQLiteDatabase& db);
    QString Next();

private:
    TSQLiteDatabase& m_db;
    QString m_prefix;
    QString m_table;
    QString m_column;
    qint64 m_next = -1; // -1 until the first identifier was handed out
    bool m_adressen = false;
};
