#include "store/ESQLiteException.h"
#include "store/PreparedTextStatement.h"
#include "store/Schema.h"
#include "support/StoreFixture.h"

#include <QRegularExpression>
#include <sqlite3.h>

using DatabaseTest = StoreFixture;

namespace {
QString errorOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const ESQLiteException& e) {
        return e.message();
    }
    return QStringLiteral("<no error>");
}
} // namespace

TEST_F(DatabaseTest, NewFileHoldsExactlyTheFiveCreateStatements)
{
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open(dbPath().toUtf8().constData(), &raw), SQLITE_OK);
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(raw, "SELECT name, sql FROM sqlite_master ORDER BY rowid", -1, &stmt, nullptr);
    QStringList names;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        const QString name = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
        const QString sql = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 1)));
        names << name;
        if (name.startsWith("tab_")) {
            // sqlite_master keeps the statement without its closing semicolon and line break.
            EXPECT_EQ(sql + ";\r\n", CreateStatement(name)) << name.toStdString();
            EXPECT_TRUE(sql.contains("\r\n"));
        }
    }
    sqlite3_finalize(stmt);
    sqlite3_close(raw);
    // The primary keys bring their own automatic indexes; no other object exists.
    QStringList tables = names.filter(QRegularExpression("^tab_"));
    EXPECT_EQ(tables, TableNames());
    EXPECT_EQ(names.filter(QRegularExpression("^(?!tab_|sqlite_autoindex_)")), QStringList());
    EXPECT_EQ(CreateStatement("tab_gruppen"),
              "CREATE TABLE tab_gruppen (\r\nGruppe_ID VARCHAR(10) PRIMARY KEY\r\n,Name VARCHAR(50)\r\n);\r\n");
}

TEST_F(DatabaseTest, TextsAreStoredInWindows1252)
{
    db->ExecSQL("INSERT INTO tab_gruppen (Gruppe_ID, Name) VALUES (?, ?)", {"GR00000001", QString("Bäcker € Łódź")});
    EXPECT_EQ(rawValue("SELECT Name FROM tab_gruppen"), QByteArray("B\xE4" "cker \x80 L\xF3" "dz"));
    TSQLiteTable t = db->GetTable("SELECT Name FROM tab_gruppen");
    EXPECT_EQ(t.Field("name"), "Bäcker € Lódz");
}

TEST_F(DatabaseTest, ValuesEqualToColumnNamesAreStoredAsTyped)
{
    db->ExecSQL("INSERT INTO tab_absender (Absender_ID, Line1, Line2) VALUES (?, ?, ?)",
                {"AB00000001", "x", "y"});
    db->ExecSQL("UPDATE tab_absender SET Line1=?, Line2=? WHERE Absender_ID=?", {"Line2", "a \"quote\"", "AB00000001"});
    TSQLiteTable t = db->GetTable("SELECT * FROM tab_absender");
    EXPECT_EQ(t.Field("Line1"), "Line2");
    EXPECT_EQ(t.Field("Line2"), "a \"quote\"");
}

TEST_F(DatabaseTest, ReadingCells)
{
    db->ExecSQL("INSERT INTO tab_adressen (Adresse_ID, Gruppe_ID, Line1, Aktiv) VALUES ('AD1', 'GR1', NULL, 1)");
    TSQLiteTable t = db->GetTable("SELECT Line1, Line6, Aktiv, NULL AS Empty, 2.5 AS Half FROM tab_adressen");
    ASSERT_EQ(t.Count(), 1);
    EXPECT_EQ(t.FieldIndex("line1"), 0);
    EXPECT_EQ(t.FieldAsString(0), "");         // NULL text
    EXPECT_EQ(t.FieldAsString(1), "");         // NULL Line6
    EXPECT_EQ(t.Field("AKTIV"), "1");          // TINYINT reads as text
    EXPECT_EQ(t.ColumnType(3), TSQLiteTable::Null);
    EXPECT_EQ(t.Field("Empty"), "");
    EXPECT_EQ(t.ColumnType(4), TSQLiteTable::Float);
    EXPECT_EQ(errorOf([&] { t.FieldIndex("Missing"); }), "Field not found in dataset: Missing");
    EXPECT_FALSE(t.FieldAsBlob(0).has_value()); // NULL comes first
    EXPECT_EQ(errorOf([&] { t.FieldAsBlob(2); }), "Not a Blob field");
    EXPECT_TRUE(t.Next());
    EXPECT_TRUE(t.Eof());
    EXPECT_FALSE(t.Next());
    EXPECT_EQ(errorOf([&] { t.FieldAsString(0); }), "Table is at End of File");
}

TEST_F(DatabaseTest, EachRowGivesTheNamedCellsOfEveryRowAsGetTableReadsThem)
{
    db->ExecSQL("INSERT INTO tab_adressen (Adresse_ID, Gruppe_ID, Line1, Line2, Aktiv) VALUES ('AD1', 'GR1', NULL, "
                "'Jürgen Weiß €', 1)");
    db->ExecSQL("INSERT INTO tab_adressen (Adresse_ID, Gruppe_ID, Line1, Line2, Aktiv) VALUES ('AD2', 'GR1', 'Frau', "
                "'', 0)");
    const QString sql = "SELECT Adresse_ID, Line1, Line2, Aktiv FROM tab_adressen WHERE Gruppe_ID = ? ORDER BY Adresse_ID";
    QList<QStringList> rows;
    db->EachRow(sql, {"GR1"}, {"line2", "LINE1", "Aktiv"}, [&](const QStringList& cells) { rows << cells; });
    QList<QStringList> expected;
    for (TSQLiteTable t = db->GetTable(sql, {"GR1"}); !t.Eof(); t.Next())
        expected << QStringList{t.Field("Line2"), t.Field("Line1"), t.Field("Aktiv")};
    EXPECT_EQ(rows, expected);
    EXPECT_EQ(rows.first(), (QStringList{"Jürgen Weiß €", "", "1"}));

    int calls = 0;
    db->EachRow(sql, {"GR2"}, {"Missing"}, [&](const QStringList&) { ++calls; });
    EXPECT_EQ(calls, 0);  // no row, so no column is looked for
    EXPECT_EQ(errorOf([&] { db->EachRow(sql, {"GR1"}, {"Missing"}, [&](const QStringList&) { ++calls; }); }),
              "Field not found in dataset: Missing");
    EXPECT_EQ(errorOf([&] { db->EachRow("SELECT * FROM tab_missing", {}, {}, [](const QStringList&) {}); }),
              "Error executing SQL.\rError [1]: SQL error or missing database.\r\"SELECT * FROM tab_missing\": "
              "no such table: tab_missing");
    EXPECT_EQ(calls, 0);
}

TEST_F(DatabaseTest, EmptyResult)
{
    TSQLiteTable t = db->GetTable("SELECT * FROM tab_gruppen");
    EXPECT_EQ(t.Count(), 0);
    EXPECT_TRUE(t.Eof());
    EXPECT_EQ(errorOf([&] { t.FieldIndex("Name"); }), "Field Name Not found. Empty dataset");
}

TEST_F(DatabaseTest, NullAndEmptyBlobsReadAsNothing)
{
    db->ExecSQL("INSERT INTO tab_banner (Banner_ID, Absender_ID, Banner) VALUES ('BN1', 'AB1', NULL)");
    db->ExecSQL("INSERT INTO tab_banner (Banner_ID, Absender_ID, Banner) VALUES ('BN2', 'AB2', ?)", {QByteArray("")});
    db->UpdateBlob("INSERT INTO tab_banner (Banner_ID, Absender_ID, Banner) VALUES ('BN3', 'AB3', ?)",
                   QByteArray("\x01\x00\x02", 3));
    TSQLiteTable t = db->GetTable("SELECT Banner FROM tab_banner ORDER BY Banner_ID");
    EXPECT_FALSE(t.FieldAsBlob(0).has_value());
    t.Next();
    EXPECT_FALSE(t.FieldAsBlob(0).has_value());
    t.Next();
    EXPECT_EQ(t.FieldAsBlob(0).value(), QByteArray("\x01\x00\x02", 3));
}

TEST_F(DatabaseTest, LargeBlobsAndLongTextsReadWholeBesideTheirNeighbours)
{
    // A picture larger than 64 KiB, a text longer than 65,534 bytes, and small rows on
    // either side of them.
    QByteArray picture(200000, Qt::Uninitialized);
    for (qsizetype i = 0; i < picture.size(); ++i)
        picture[i] = char(i * 7 % 251);
    const QString longText = QString(70000, u'ä') + QStringLiteral("Ende");
    db->UpdateBlob("INSERT INTO tab_banner (Banner_ID, Absender_ID, Banner) VALUES ('BN1', 'AB1', ?)", QByteArray("klein"));
    db->UpdateBlob("INSERT INTO tab_banner (Banner_ID, Banner, Absender_ID) VALUES ('BN2', ?, ?)", picture, {longText});
    db->UpdateBlob("INSERT INTO tab_banner (Banner_ID, Absender_ID, Banner) VALUES ('BN3', 'AB3', ?)", QByteArray("\x00\x01", 2));
    TSQLiteTable t = db->GetTable("SELECT Banner_ID, Absender_ID, Banner FROM tab_banner ORDER BY Banner_ID");
    ASSERT_EQ(t.Count(), 3);
    EXPECT_EQ(t.FieldAsBlob(2).value(), QByteArray("klein"));
    t.Next();
    EXPECT_EQ(t.FieldAsString(0), "BN2");
    // Compared whole; a difference is not printed.
    EXPECT_TRUE(t.FieldAsString(1) == longText);
    EXPECT_TRUE(t.FieldAsBlob(2).value() == picture);
    t.Next();
    EXPECT_EQ(t.FieldAsString(0), "BN3");
    EXPECT_EQ(t.FieldAsString(1), "AB3");
    EXPECT_EQ(t.FieldAsBlob(2).value(), QByteArray("\x00\x01", 2));
    // Any row, without moving the cursor.
    EXPECT_TRUE(t.CellAsString(1, 1) == longText);
    EXPECT_EQ(t.CellAsString(0, 0), "BN1");
    EXPECT_EQ(t.Row(), 2);
}

TEST_F(DatabaseTest, ErrorMessagesAreComposed)
{
    const QString sql = "SELECT * FROM tab_missing";
    EXPECT_EQ(errorOf([&] { db->GetTable(sql); }),
              "Error executing SQL.\rError [1]: SQL error or missing database.\r\"SELECT * FROM tab_missing\": "
              "no such table: tab_missing");
    EXPECT_EQ(errorOf([&] { db->ExecSQL("   "); }), "Could not prepare SQL statement");
    EXPECT_EQ(errorOf([&] { db->UpdateBlob("UPDATE tab_banner SET Banner = 1", "x"); }),
              "SQL must include a ? parameter");
    db->ExecSQL("INSERT INTO tab_gruppen (Gruppe_ID) VALUES ('GR1')");
    EXPECT_TRUE(errorOf([&] { db->ExecSQL("INSERT INTO tab_gruppen (Gruppe_ID) VALUES ('GR1')"); })
                    .startsWith("Error executing SQL statement.\rError [19]: Abort due to contraint violation.\r"));
}

TEST(DatabaseErrorText, CodeTable)
{
    EXPECT_EQ(TSQLiteDatabase::ErrorDescription(5), "The database file is locked");
    EXPECT_EQ(TSQLiteDatabase::ErrorDescription(26), "File opened that is not a database file");
    EXPECT_EQ(TSQLiteDatabase::ErrorDescription(100), "sqlite3_step() has another row ready");
    EXPECT_EQ(TSQLiteDatabase::ErrorDescription(101), "sqlite3_step() has finished executing");
    EXPECT_EQ(TSQLiteDatabase::ErrorDescription(27), "Unknown SQLite Error Code \"27\"");
}

TEST_F(DatabaseTest, TransactionsEndOnEveryPath)
{
    db->BeginTransaction();
    EXPECT_EQ(errorOf([&] { db->BeginTransaction(); }), "Transaction already open");
    db->Commit();
    EXPECT_FALSE(db->InTransaction());

    // A failing write inside the guard rolls back and leaves no open transaction.
    EXPECT_THROW(
        {
            Transaction t(*db);
            db->ExecSQL("INSERT INTO tab_gruppen (Gruppe_ID) VALUES ('GR1')");
            db->ExecSQL("INSERT INTO tab_nowhere VALUES (1)");
            t.Commit();
        },
        ESQLiteException);
    EXPECT_FALSE(db->InTransaction());
    EXPECT_EQ(db->GetTable("SELECT * FROM tab_gruppen").Count(), 0);
    EXPECT_NO_THROW(db->BeginTransaction());
    db->Rollback();
}

TEST_F(DatabaseTest, TableExistsIgnoresCase)
{
    EXPECT_TRUE(db->TableExists("TAB_ADRESSEN"));
    EXPECT_FALSE(db->TableExists("tab_nichts"));
}

TEST_F(DatabaseTest, LockedDatabaseFailsAtOnce)
{
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(dbPath().toUtf8().constData(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    EXPECT_TRUE(errorOf([&] { db->ExecSQL("INSERT INTO tab_gruppen (Gruppe_ID) VALUES ('GR1')"); })
                    .contains("Error [5]: The database file is locked."));
    EXPECT_EQ(errorOf([&] { db->GetTable("SELECT * FROM tab_gruppen"); }), "Could not prepare SQL statement");
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    EXPECT_NO_THROW(db->ExecSQL("INSERT INTO tab_gruppen (Gruppe_ID) VALUES ('GR1')"));
}

TEST(DatabaseOpen, UnopenableFileNamesTheFile)
{
    TempDir dir;
    const QString blocker = dir.write("blocker", "x");
    try {
        TSQLiteDatabase db(blocker + "/Tavisto.dbs");
        FAIL() << "opened";
    } catch (const ESQLiteException& e) {
        EXPECT_TRUE(e.message().startsWith("Failed to open database \"" + blocker + "/Tavisto.dbs\" : "));
    }
}

TEST_F(DatabaseTest, ColumnNullInTheFirstRowKeepsTheValuesOfLaterRows)
{
    exec("INSERT INTO tab_adressen (Adresse_ID, Gruppe_ID, Line1, Aktiv) VALUES ('AD1', 'GR1', 'Anna', 1)");
    exec("INSERT INTO tab_adressen (Adresse_ID, Gruppe_ID, Line1, Aktiv) VALUES ('AD2', 'GR1', 'Bernd', 0)");
    exec("INSERT INTO tab_daten (Daten_ID, Adresse_ID, Telefon) VALUES ('DA1', 'AD2', '0221 4711')");
    // NULL in the first row reads as the empty text there, and never hides what later rows
    // hold, whether the column has a declared type or is an expression.
    const struct
    {
        const char* sql;
        const char* first;
        const char* second;
    } cases[] = {
        {"SELECT CASE WHEN Aktiv = 1 THEN NULL ELSE Line1 END AS V FROM tab_adressen ORDER BY Adresse_ID", "",
         "Bernd"},
        {"SELECT NULLIF(Aktiv, 1) AS V FROM tab_adressen ORDER BY Adresse_ID", "", "0"},
        {"SELECT NULL AS V UNION ALL SELECT 'zwei'", "", "zwei"},
        {"SELECT CASE WHEN Aktiv = 1 THEN 'x' ELSE Line1 END AS V FROM tab_adressen ORDER BY Adresse_ID", "x", "Bernd"},
        {"SELECT Telefon AS V FROM tab_adressen LEFT JOIN tab_daten USING(Adresse_ID) ORDER BY Adresse_ID", "",
         "0221 4711"},
    };
    for (const auto& c : cases) {
        TSQLiteTable t = db->GetTable(QString::fromUtf8(c.sql));
        ASSERT_EQ(t.Count(), 2) << c.sql;
        EXPECT_EQ(t.Field("V"), QString::fromUtf8(c.first)) << c.sql;
        t.Next();
        EXPECT_EQ(t.Field("V"), QString::fromUtf8(c.second)) << c.sql;
    }
}

TEST_F(DatabaseTest, PreparedStatementBindsEveryRunAfresh)
{
    exec("CREATE TABLE tab_probe (A VARCHAR(50), B VARCHAR(50), C VARCHAR(50))");
    {
        PreparedTextStatement insert(*db, "INSERT INTO tab_probe (A, B, C) VALUES (?, ?, ?)");
        QString a = "Anna", b = "Bahnhofstraße 5", c = "Köln";
        insert.Run({a, b, c});
        // The texts the first run was given are gone before the next run.
        a = QString(40, u'x');
        b.clear();
        c.clear();
        insert.Run({QStringLiteral("Bernd"), QStringLiteral("Ring 2")});
        insert.Run({QStringLiteral("Clara")});
    }
    TSQLiteTable t = db->GetTable("SELECT A, B, C, C IS NULL AS NoC, B IS NULL AS NoB FROM tab_probe ORDER BY A");
    QStringList rows;
    for (; !t.Eof(); t.Next())
        rows << t.Field("A") + "|" + t.Field("B") + "|" + t.Field("C") + "|" + t.Field("NoB") + t.Field("NoC");
    EXPECT_EQ(rows, (QStringList{"Anna|Bahnhofstraße 5|Köln|00", "Bernd|Ring 2||01", "Clara|||11"}));
}
