#include "ExchangeFixture.h"

#include "exchange/GroupTransfer.h"

namespace {

class GroupTransferTest : public ExchangeTest
{
protected:
    void SetUp() override
    {
        ExchangeTest::SetUp();
        addGruppe("GR00000001", "Kunden");
        addGruppe("GR00000002", "Lieferanten");
    }

    QList<QStringList> daten()
    {
        TSQLiteTable t = db().GetTable("SELECT * FROM tab_daten ORDER BY Daten_ID");
        QList<QStringList> rows;
        for (; !t.Eof(); t.Next()) {
            QStringList row;
            for (int c = 0; c < t.ColCount(); ++c)
                row << t.FieldAsString(c);
            rows << row;
        }
        return rows;
    }
};

TEST_F(GroupTransferTest, CopyOfInactiveAddressKeepsLinesSortNameAndExtraData)
{
    addAdresse("AD00000003", "GR00000001", {"Line2", "Weg \"1\"", "Straße", "", "12345 Köln", "Sortname"}, 0);
    addAdresse("AD00000009", "GR00000002", {"Andere"});
    addDaten("DA00000004", "AD00000003", {"0221 1", "0221 2", "0170", "a@b.de", "Post", "Bemerkung"});
    addDaten("DA00000005", "AD00000009", {"x"});

    ASSERT_TRUE(CopyAdresseToGruppe(ctx, "AD00000003", "GR00000002"));

    const QList<StoredAdresse> all = adressen();
    ASSERT_EQ(all.size(), 3);
    // A value that reads like a column name is stored as typed.
    EXPECT_EQ(all[0], (StoredAdresse{"AD00000003", "GR00000001", "Line2", "Weg \"1\"", "Straße", "", "12345 Köln",
                                     "Sortname", "0"}));
    EXPECT_EQ(all[2], (StoredAdresse{"AD00000010", "GR00000002", "Line2", "Weg \"1\"", "Straße", "", "12345 Köln",
                                     "Sortname", "0"}));
    EXPECT_EQ(daten(), (QList<QStringList>{
                           {"DA00000004", "AD00000003", "0221 1", "0221 2", "0170", "a@b.de", "Post", "Bemerkung"},
                           {"DA00000005", "AD00000009", "x", "", "", "", "", ""},
                           {"DA00000006", "AD00000010", "0221 1", "0221 2", "0170", "a@b.de", "Post", "Bemerkung"},
                       }));
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_FALSE(db().InTransaction());
}

TEST_F(GroupTransferTest, CopyWithoutExtraDataAddsNoDataRowAndKeepsActive)
{
    addAdresse("AD00000001", "GR00000001", {"Aktiv"}, 1);
    ASSERT_TRUE(CopyAdresseToGruppe(ctx, "AD00000001", "GR00000001"));
    const QList<StoredAdresse> all = adressen("GR00000001");
    ASSERT_EQ(all.size(), 2);
    EXPECT_EQ(all[1].Adresse_ID, QStringLiteral("AD00000002"));
    EXPECT_EQ(all[1].Aktiv, QStringLiteral("1"));
    EXPECT_EQ(count("tab_daten"), 0);
}

TEST_F(GroupTransferTest, MoveChangesOnlyTheGroup)
{
    addAdresse("AD00000001", "GR00000001", {"Eins"});
    addAdresse("AD00000002", "GR00000001", {"Zwei"});
    addDaten("DA00000001", "AD00000002", {"0221"});
    ASSERT_TRUE(MoveAdresseToGruppe(ctx, "AD00000002", "GR00000002"));
    EXPECT_EQ(adressen("GR00000001").size(), 1);
    const QList<StoredAdresse> moved = adressen("GR00000002");
    ASSERT_EQ(moved.size(), 1);
    EXPECT_EQ(moved[0], (StoredAdresse{"AD00000002", "GR00000002", "Zwei", "", "", "", "", "", "1"}));
    EXPECT_EQ(daten(), (QList<QStringList>{{"DA00000001", "AD00000002", "0221", "", "", "", "", ""}}));
}

TEST_F(GroupTransferTest, BlankOrUnknownIdentifiersChangeNothing)
{
    addAdresse("AD00000001", "GR00000001", {"Eins"});
    const struct
    {
        const char* adresse;
        const char* gruppe;
    } cases[] = {{"", "GR00000002"}, {"  ", "GR00000002"}, {"AD00000001", ""}, {"AD00000001", " "}};
    for (const auto& c : cases) {
        EXPECT_FALSE(CopyAdresseToGruppe(ctx, c.adresse, c.gruppe)) << c.adresse << "/" << c.gruppe;
        EXPECT_FALSE(MoveAdresseToGruppe(ctx, c.adresse, c.gruppe)) << c.adresse << "/" << c.gruppe;
    }
    EXPECT_FALSE(CopyAdresseToGruppe(ctx, "AD00000099", "GR00000002"));
    EXPECT_EQ(adressen(), (QList<StoredAdresse>{{"AD00000001", "GR00000001", "Eins", "", "", "", "", "", "1"}}));
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(GroupTransferTest, FailingDataCopyKeepsTheAddressCopy)
{
    addAdresse("AD00000001", "GR00000001", {"Eins"});
    addDaten("DA00000001", "AD00000001", {"0221"});
    db().ExecSQL("CREATE TRIGGER refuse BEFORE INSERT ON tab_daten BEGIN SELECT RAISE(ABORT, 'refused'); END");
    EXPECT_ANY_THROW(CopyAdresseToGruppe(ctx, "AD00000001", "GR00000002"));
    EXPECT_EQ(adressen("GR00000002").size(), 1);
    EXPECT_EQ(count("tab_daten"), 1);
    // The failed transaction was rolled back, not left open.
    EXPECT_FALSE(db().InTransaction());
    EXPECT_TRUE(MoveAdresseToGruppe(ctx, "AD00000001", "GR00000002"));
}

} // namespace
