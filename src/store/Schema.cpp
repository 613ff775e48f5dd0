#include "store/Schema.h"

#include "shell/MessageService.h"
#include "store/ESQLiteException.h"
#include "store/TSQLiteDatabase.h"

namespace {

struct TableDef
{
    const char* name;
    const char* displayName;
    std::initializer_list<const char*> lines;
};

const TableDef kTables[] = {
    {"tab_absender", "\"Absender\"",
     {"CREATE TABLE tab_absender (", "Absender_ID VARCHAR(10) PRIMARY KEY", ",Line1 VARCHAR(50)", ",Line2 VARCHAR(50)",
      ",Line3 VARCHAR(50)", ",Line4 VARCHAR(50)", ",Line5 VARCHAR(50)", ");"}},
    {"tab_adressen", "\"Adressen\"",
     {"CREATE TABLE tab_adressen (", "Adresse_ID VARCHAR(10) PRIMARY KEY", ",Gruppe_ID VARCHAR(10)",
      ",Line1 VARCHAR(50)", ",Line2 VARCHAR(50)", ",Line3 VARCHAR(50)", ",Line4 VARCHAR(50)", ",Line5 VARCHAR(50)",
      ",Line6 VARCHAR(50)", ",Aktiv TINYINT", ");"}},
    {"tab_gruppen", "\"Gruppen\"",
     {"CREATE TABLE tab_gruppen (", "Gruppe_ID VARCHAR(10) PRIMARY KEY", ",Name VARCHAR(50)", ");"}},
    {"tab_daten", "\"Daten\"",
     {"CREATE TABLE tab_daten (", "Daten_ID VARCHAR(10) PRIMARY KEY", ",Adresse_ID VARCHAR(10)",
      ",Telefon VARCHAR(30)", ",Fax VARCHAR(30)", ",Handy VARCHAR(30)", ",Mail VARCHAR(50)", ",Versand VARCHAR(50)",
      ",Bemerkung VARCHAR(255)", ");"}},
    {"tab_banner", "\"Banner\"",
     {"CREATE TABLE tab_banner (", "Banner_ID VARCHAR(10) PRIMARY KEY", ",Absender_ID VARCHAR(10)",
      ",Banner BLOB COLLATE NOCASE", ");"}},
};

const TableDef* find(const QString& table)
{
    for (const TableDef& t : kTables)
        if (table == QLatin1String(t.name))
            return &t;
    return nullptr;
}

} // namespace

const QStringList& TableNames()
{
    static const QStringList names = [] {
        QStringList n;
        for (const TableDef& t : kTables)
            n << QString::fromLatin1(t.name);
        return n;
    }();
    return names;
}

QString CreateStatement(const QString& table)
{
    QString sql;
    if (const TableDef* t = find(table))
        for (const char* line : t->lines)
            sql += QString::fromLatin1(line) + QStringLiteral("\r\n");
    return sql;
}

bool CreateTables(TSQLiteDatabase& db, MessageService& messages)
{
    QString failed;
    for (const TableDef& t : kTables) {
        const QString name = QString::fromLatin1(t.name);
        if (db.TableExists(name))
            continue;
        try {
            db.ExecSQL(CreateStatement(name));
        } catch (const ESQLiteException&) {
            failed += QString::fromLatin1(t.displayName) + QStringLiteral("\r\n");
        }
    }
    if (failed.isEmpty())
        return true;
    messages.ErrorMessage(QStringLiteral("Fehler beim Erstellen folgender Tabellen:\n\n") + failed);
    return false;
}

bool AddColumn(TSQLiteDatabase& db, const QString& table, const QString& column, const QString& type)
{
    if (!db.TableExists(table))
        return false;
    TSQLiteTable info = db.GetTable(QStringLiteral("PRAGMA table_info(") + table + u')');
    const int nameCol = info.Count() > 0 ? info.FieldIndex(QStringLiteral("Name")) : -1;
    for (; !info.Eof(); info.Next())
        if (info.FieldAsString(nameCol).compare(column, Qt::CaseInsensitive) == 0)
            return true;
    db.GetTable(QStringLiteral("ALTER TABLE ") + table + QStringLiteral(" ADD Column ") + column + u' ' + type);
    return true;
}

QString AbsenderListQuery()
{
    return QStringLiteral("SELECT\r\n"
                          "a.Absender_ID\r\n"
                          ",a.Line1\r\n"
                          ",a.Line2\r\n"
                          ",a.Line3\r\n"
                          ",a.Line4\r\n"
                          ",a.Line5\r\n"
                          ",(SELECT COUNT(*) FROM tab_banner WHERE Absender_ID=a.Absender_ID) Banner\r\n"
                          "FROM tab_absender a\r\n");
}
