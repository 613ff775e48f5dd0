#include "mainwindow/AdressenQuery.h"
#include "store/Schema.h"
#include "support/FakeMessageService.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

TEST(AdressenQuery, ExampleStatementHasTheElevenLinesWithBoundValues)
{
    AdressenFilter f;
    f.GruppeID = QStringLiteral("GR00000001");
    f.ViewMode = 1;
    f.SearchText = QStringLiteral("Be");
    f.SearchLine = 5;
    f.SortIndex = 6;
    const SqlStatement s = BuildAdressenQuery(f);
    const QStringList expected = {
        "SELECT * FROM tab_adressen", "WHERE Gruppe_ID=?",  "AND (Aktiv = 1)",       "AND (",
        "(Line1 LIKE ?)",             "OR (Line2 LIKE ?)",  "OR (Line3 LIKE ?)",     "OR (Line4 LIKE ?)",
        "OR (Line5 LIKE ?)",          ")",                  "ORDER BY Line6 COLLATE DIN5007, rowid",
    };
    EXPECT_EQ(s.Lines, expected);
    const QString pattern = QStringLiteral("%Be%");
    EXPECT_EQ(s.Params, (SqlParams{QStringLiteral("GR00000001"), pattern, pattern, pattern, pattern, pattern}));
    EXPECT_EQ(s.Sql(), expected.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
}

TEST(AdressenQuery, EachOptionAddsItsOwnLine)
{
    struct Case
    {
        int view;
        QString search;
        int line;
        int sort;
        QStringList extra;  // lines after the group condition
        QString pattern;
    };
    const Case cases[] = {
        {0, QString(), 0, 0, {}, QString()},
        {0, QStringLiteral("straße"), 2, 0, {QStringLiteral("AND (Line3 LIKE ?)")}, QStringLiteral("%straße%")},
        {2, QString(), 0, 0, {QStringLiteral("AND (Aktiv <> 1)")}, QString()},
        {0, QStringLiteral("  "), 0, 3, {QStringLiteral("AND (Line1 LIKE ?)"), QStringLiteral("ORDER BY Line3 COLLATE DIN5007, rowid")},
         QStringLiteral("%  %")},
        {0, QStringLiteral("a\"b"), 4, 1, {QStringLiteral("AND (Line5 LIKE ?)"), QStringLiteral("ORDER BY Line1 COLLATE DIN5007, rowid")},
         QStringLiteral("%a\"b%")},
    };
    for (const Case& c : cases) {
        AdressenFilter f{QStringLiteral("GR1"), c.view, c.search, c.line, c.sort};
        const SqlStatement s = BuildAdressenQuery(f);
        EXPECT_EQ(s.Lines.mid(2), c.extra) << c.search.toStdString();
        if (c.pattern.isEmpty())
            EXPECT_EQ(s.Params.size(), 1);
        else
            EXPECT_EQ(s.Params.value(1).toString(), c.pattern);
    }
}

TEST(AdressenQuery, IsFilteredByViewModeOrAnySearchText)
{
    EXPECT_FALSE((AdressenFilter{QStringLiteral("G"), 0, QString(), 3, 6}).IsFiltered());
    EXPECT_TRUE((AdressenFilter{QStringLiteral("G"), 2, QString(), 0, 0}).IsFiltered());
    EXPECT_TRUE((AdressenFilter{QStringLiteral("G"), 0, QStringLiteral(" "), 0, 0}).IsFiltered());
}

// The statement against a real file: what LIKE finds with quotes, wildcards and blanks.
class AdressenQueryDb : public ::testing::Test
{
protected:
    void SetUp() override
    {
        db = std::make_unique<TSQLiteDatabase>(dir.file(QStringLiteral("t.dbs")));
        CreateTables(*db, messages);
        AddColumn(*db, QStringLiteral("tab_adressen"), QStringLiteral("Line6"), QStringLiteral("VARCHAR(50)"));
        const QStringList lines = {QStringLiteral("Der \"Große\" Laden"), QStringLiteral("100% sicher"),
                                   QStringLiteral("A_B"),    QStringLiteral("AxB"),
                                   QStringLiteral("Line2"),  QStringLiteral("zwei  Blanks"),
                                   QStringLiteral("Straße")};
        int n = 0;
        for (const QString& l : lines)
            db->ExecSQL(QStringLiteral("INSERT INTO tab_adressen (Adresse_ID, Gruppe_ID, Line1, Line2, Aktiv) "
                                       "VALUES (?, 'GR1', ?, 'x', 1)"),
                        {QStringLiteral("AD%1").arg(++n), l});
        db->ExecSQL(QStringLiteral("INSERT INTO tab_adressen (Adresse_ID, Gruppe_ID, Line1, Aktiv) "
                                   "VALUES ('AD99', 'GR2', 'Der \"Große\" Laden', 1)"));
    }

    QStringList found(const QString& search, int line = 0)
    {
        const SqlStatement s = BuildAdressenQuery({QStringLiteral("GR1"), 0, search, line, 1});
        TSQLiteTable t = db->GetTable(s.Sql(), s.Params);
        QStringList r;
        for (t.First(); !t.Eof(); t.Next())
            r << t.Field(QStringLiteral("Line1"));
        return r;
    }

    TempDir dir;
    FakeMessageService messages;
    std::unique_ptr<TSQLiteDatabase> db;
};

TEST_F(AdressenQueryDb, SearchTextsReachLikeUnchanged)
{
    EXPECT_EQ(found(QStringLiteral("\"Große\"")), QStringList{QStringLiteral("Der \"Große\" Laden")});
    // "%" and "_" are LIKE's wildcards.
    EXPECT_EQ(found(QStringLiteral("A_B")), (QStringList{QStringLiteral("A_B"), QStringLiteral("AxB")}));
    EXPECT_EQ(found(QStringLiteral("0%s")), QStringList{QStringLiteral("100% sicher")});
    // A text equal to a column name is a text, not the column.
    EXPECT_EQ(found(QStringLiteral("Line2")), QStringList{QStringLiteral("Line2")});
    // Blanks are a search of their own, not trimmed away.
    EXPECT_EQ(found(QStringLiteral("  ")), QStringList{QStringLiteral("zwei  Blanks")});
    // Only A to Z ignore case.
    EXPECT_EQ(found(QStringLiteral("STRAßE")), QStringList{QStringLiteral("Straße")});
    EXPECT_TRUE(found(QStringLiteral("straSSe")).isEmpty());
}

TEST_F(AdressenQueryDb, AllLinesSearchAndOtherLine)
{
    EXPECT_EQ(found(QStringLiteral("x"), 1).size(), 7);
    EXPECT_EQ(found(QStringLiteral("x"), 5).size(), 7);
    EXPECT_EQ(found(QStringLiteral("x"), 2).size(), 0);
}
