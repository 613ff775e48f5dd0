#include "store/Schema.h"
#include "support/FakeMessageService.h"
#include "support/TempDir.h"
#include "store/TSQLiteDatabase.h"

#include <QProcess>
#include <gtest/gtest.h>

namespace {

// A database written by the sqlite3 shell, not by our code: an older version's file.
QString makeWithShell(const TempDir& dir, const QString& sql)
{
    const QString path = dir.file("old.dbs");
    QProcess p;
    p.start("sqlite3", {path});
    p.write(sql.toUtf8());
    p.closeWriteChannel();
    p.waitForFinished();
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    return path;
}

QStringList columns(TSQLiteDatabase& db, const QString& table)
{
    QStringList names;
    for (TSQLiteTable t = db.GetTable("PRAGMA table_info(" + table + ")"); !t.Eof(); t.Next())
        names << t.Field("name");
    return names;
}

} // namespace

TEST(Schema, OldFileGainsLine6AndTabBannerAndKeepsItsRows)
{
    TempDir dir;
    const QString path = makeWithShell(dir,
        "CREATE TABLE tab_absender (Absender_ID VARCHAR(10) PRIMARY KEY,Line1 VARCHAR(50),Line2 VARCHAR(50),"
        "Line3 VARCHAR(50),Line4 VARCHAR(50),Line5 VARCHAR(50));"
        "CREATE TABLE tab_adressen (Adresse_ID VARCHAR(10) PRIMARY KEY,Gruppe_ID VARCHAR(10),Line1 VARCHAR(50),"
        "Line2 VARCHAR(50),Line3 VARCHAR(50),Line4 VARCHAR(50),Line5 VARCHAR(50),Aktiv TINYINT);"
        "CREATE TABLE tab_gruppen (Gruppe_ID VARCHAR(10) PRIMARY KEY,Name VARCHAR(50));"
        "CREATE TABLE tab_daten (Daten_ID VARCHAR(10) PRIMARY KEY,Adresse_ID VARCHAR(10),Telefon VARCHAR(30),"
        "Fax VARCHAR(30),Handy VARCHAR(30),Mail VARCHAR(50),Versand VARCHAR(50),Bemerkung VARCHAR(255));"
        "INSERT INTO tab_gruppen VALUES ('GR00000001','Kunden');"
        "INSERT INTO tab_adressen VALUES ('AD00000001','GR00000001','Herrn','Max Mustermann','','','',1);"
        "INSERT INTO tab_adressen VALUES ('AD00000002','GR00000001','Frau','Erika Muster','','','',0);");
    FakeMessageService messages;
    TSQLiteDatabase db(path);
    ASSERT_TRUE(CreateTables(db, messages));
    EXPECT_TRUE(messages.shown.isEmpty());
    ASSERT_TRUE(AddColumn(db, "tab_adressen", "Line6", "VARCHAR(50)"));
    EXPECT_TRUE(db.TableExists("tab_banner"));
    EXPECT_TRUE(columns(db, "tab_adressen").contains("Line6"));
    TSQLiteTable t = db.GetTable("SELECT * FROM tab_adressen ORDER BY Adresse_ID");
    ASSERT_EQ(t.Count(), 2);
    EXPECT_EQ(t.Field("Line2"), "Max Mustermann");
    EXPECT_EQ(t.Field("Line6"), "");
    // Twice adds it once.
    ASSERT_TRUE(AddColumn(db, "tab_adressen", "Line6", "VARCHAR(50)"));
    EXPECT_EQ(columns(db, "tab_adressen").count("Line6"), 1);
}

TEST(Schema, LowerCaseLine6CountsAsPresent)
{
    TempDir dir;
    const QString path = makeWithShell(dir, "CREATE TABLE tab_adressen (Adresse_ID VARCHAR(10), line6 VARCHAR(50));");
    TSQLiteDatabase db(path);
    ASSERT_TRUE(AddColumn(db, "tab_adressen", "Line6", "VARCHAR(50)"));
    EXPECT_EQ(columns(db, "tab_adressen"), QStringList({"Adresse_ID", "line6"}));
}

TEST(Schema, AddColumnToMissingTableChangesNothing)
{
    TempDir dir;
    TSQLiteDatabase db(dir.file("empty.dbs"));
    EXPECT_FALSE(AddColumn(db, "tab_adressen", "Line6", "VARCHAR(50)"));
    EXPECT_FALSE(db.TableExists("tab_adressen"));
}

TEST(Schema, FailedTablesAreListedInOneMessage)
{
    TempDir dir;
    // A view takes the name of a table, so creating that table fails while the others work.
    const QString path = makeWithShell(dir, "CREATE VIEW tab_daten AS SELECT 1;CREATE VIEW tab_banner AS SELECT 1;");
    FakeMessageService messages;
    TSQLiteDatabase db(path);
    EXPECT_FALSE(CreateTables(db, messages));
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].text, "Fehler beim Erstellen folgender Tabellen:\n\n\"Daten\"\r\n\"Banner\"\r\n");
    EXPECT_EQ(messages.shown[0].kind, Msg::Error);
    EXPECT_TRUE(db.TableExists("tab_gruppen"));
}
