#include "envelope/SeriendruckQuery.h"
#include "support/StoreFixture.h"

TEST(SeriendruckQuery, Lines)
{
    struct Case
    {
        const char* search;
        int column;
        int sort;
        QStringList lines;
        QVariantList params;
    };
    const QStringList head = {"SELECT * FROM tab_adressen", "WHERE Gruppe_ID=?", "AND (Aktiv=1)"};
    const Case cases[] = {
        {"", 5, 0, head, {"GR00000001"}},
        {"   ", 2, 6, head + QStringList{"ORDER BY Line6 COLLATE DIN5007, rowid"}, {"GR00000001"}},  // blanks only: no search
        {" Be", 1, 3, head + QStringList{"AND (Line2 LIKE ?)", "ORDER BY Line3 COLLATE DIN5007, rowid"}, {"GR00000001", "% Be%"}},
        {"Be", 5, 5,
         head + QStringList{"AND (", "(Line1 LIKE ?)", "OR (Line2 LIKE ?)", "OR (Line3 LIKE ?)", "OR (Line4 LIKE ?)",
                            "OR (Line5 LIKE ?)", ")", "ORDER BY Line5 COLLATE DIN5007, rowid"},
         {"GR00000001", "%Be%", "%Be%", "%Be%", "%Be%", "%Be%"}},
    };
    for (const Case& c : cases) {
        const SeriendruckQuery q = BuildSeriendruckQuery("GR00000001", c.search, c.column, c.sort);
        EXPECT_EQ(q.Lines, c.lines) << c.search;
        EXPECT_EQ(q.Params, c.params) << c.search;
    }
    EXPECT_EQ(BuildSeriendruckQuery("G", "", 0, 1).Sql(),
              "SELECT * FROM tab_adressen\r\nWHERE Gruppe_ID=?\r\nAND (Aktiv=1)\r\nORDER BY Line1 COLLATE DIN5007, rowid\r\n");
}

using SeriendruckQueryDb = StoreFixture;

TEST_F(SeriendruckQueryDb, FindsActiveAddressesOfTheGroupOnly)
{
    const char* rows[][5] = {
        {"AD00000001", "GR00000001", "Herrn", "Bernd \"Bär\" Ost", "1"},
        {"AD00000002", "GR00000001", "Frau", "Anna West", "1"},
        {"AD00000003", "GR00000001", "Frau", "Berta Süd", "0"},    // inactive
        {"AD00000004", "GR00000002", "Herrn", "Bernd Nord", "1"},  // other group
        {"AD00000005", "GR00000001", "Firma", "Be_x 100%", "1"},
    };
    for (auto& r : rows)
        db->ExecSQL("INSERT INTO tab_adressen (Adresse_ID, Gruppe_ID, Line1, Line2, Aktiv) VALUES (?,?,?,?,?)",
                    {r[0], r[1], r[2], r[3], QString(r[4]).toInt()});
    auto ids = [&](const QString& search, int column, int sort) {
        const SeriendruckQuery q = BuildSeriendruckQuery("GR00000001", search, column, sort);
        QStringList found;
        for (TSQLiteTable t = db->GetTable(q.Sql(), q.Params); !t.Eof(); t.Next())
            found << t.Field("Adresse_ID");
        return found;
    };
    EXPECT_EQ(ids("", 5, 2), QStringList({"AD00000002", "AD00000005", "AD00000001"}));  // "_" sorts before "r"
    EXPECT_EQ(ids("", 5, 1), QStringList({"AD00000005", "AD00000002", "AD00000001"}));  // by Line1: Firma, Frau, Herrn
    EXPECT_EQ(ids("\"Bär\"", 5, 0), QStringList({"AD00000001"}));  // a double quote finds a double quote
    EXPECT_EQ(ids("be", 1, 0), QStringList({"AD00000001", "AD00000005"}));  // LIKE ignores A-Z case
    EXPECT_EQ(ids("_x 1", 1, 0), QStringList({"AD00000005"}));
    EXPECT_EQ(ids("Be%0", 5, 0), QStringList({"AD00000005"}));  // "%" is a wildcard
}
