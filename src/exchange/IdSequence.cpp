#include "exchange/IdSequence.h"

#include "store/RecordIds.h"

IdSequence::IdSequence(TSQLiteDatabase& db, const QString& prefix, const QString& table, const QString& column)
    : m_db(db), m_prefix(prefix), m_table(table), m_column(column)
{
}

IdSequence IdSequence::Adressen(TSQLiteDatabase& db)
{
    IdSequence ids(db, QStringLiteral("AD"), QStringLiteral("tab_adressen"), QStringLiteral("Adresse_ID"));
    ids.m_adressen = true;
    return ids;
}

QString IdSequence::Next()
{
    if (m_next < 0) {
        const QString first = m_adressen ? NewAdresseID(m_db) : NewID(m_db, m_prefix, m_table, m_column);
        bool ok = false;
        const qint64 number = first.mid(m_prefix.size()).toLongLong(&ok);
        // Anything but prefix and number: stay with NewID for every record.
        if (first.isEmpty() || !ok)
            return first;
        m_next = number + 1;
        return first;
    }
    return m_prefix + QString::number(m_next++).rightJustified(8, u'0');
}
