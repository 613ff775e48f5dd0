#include "carddav/CarddavStore.h"
#include "carddav/DavServers.h"
#include "store/ESQLiteException.h"
#include "store/RecordIds.h"
#include "store/RecordOperations.h"
#include "store/Schema.h"
#include "store/TSQLiteDatabase.h"
#include "support/FakeMessageService.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace {

class CarddavStoreTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        db = std::make_unique<TSQLiteDatabase>(dir.file("Tavisto.dbs"));
        CreateTables(*db, messages);
        db->ExecSQL("INSERT INTO tab_gruppen (Gruppe_ID, Name) VALUES ('GR00000001', 'Verein')");
        link.GruppeId = "GR00000001";
        link.Server = "https://dav.example.org/";
        link.Book = "https://dav.example.org/anna/verein/";
        link.BookName = "Verein online";
        link.User = "anna";
    }
    CarddavChanges cards(std::initializer_list<std::pair<QString, QByteArray>> list, const QString& token)
    {
        CarddavChanges c;
        for (const auto& [href, data] : list)
            c.Cards.push_back({href, "\"" + token + href + "\"", data});
        c.SyncToken = token;
        return c;
    }
    QString cell(const QString& sql, const SqlParams& params = {}) { return db->GetTable(sql, params).FieldAsString(0); }
    QStringList schema()
    {
        QStringList sql;
        TSQLiteTable t = db->GetTable("SELECT sql FROM sqlite_master WHERE name LIKE 'tab_%' ORDER BY name");
        for (t.First(); !t.Eof(); t.Next())
            sql << t.FieldAsString(0);
        return sql;
    }

    TempDir dir;
    FakeMessageService messages;
    std::unique_ptr<TSQLiteDatabase> db;
    CarddavLink link;
};

TEST_F(CarddavStoreTest, TheFiveTablesStayAsTheyAreAndTheMigrationLeavesOursAlone)
{
    const QStringList before = schema();
    EXPECT_FALSE(db->TableExists("carddav_link"));
    CarddavStore::SaveLink(*db, link);
    CarddavStore::Apply(*db, link, cards({{"/anna/verein/a.vcf", MakeCard("a", "Adam", "Anna", "Weg 1", "Bonn")}}, "t1"));
    EXPECT_EQ(schema(), before);

    // What every start does, and the restore after it: our tables and rows stay.
    db.reset();
    db = std::make_unique<TSQLiteDatabase>(dir.file("Tavisto.dbs"));
    ASSERT_TRUE(CreateTables(*db, messages));
    ASSERT_TRUE(AddColumn(*db, "tab_adressen", "Line6", "VARCHAR(50)"));
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_EQ(schema(), before);
    EXPECT_EQ(cell("SELECT COUNT(*) FROM carddav_card"), "1");
    EXPECT_EQ(CarddavStore::LoadLink(*db, "GR00000001")->SyncToken, "t1");
}

TEST_F(CarddavStoreTest, AFailedApplyWritesNothing)
{
    CarddavStore::SaveLink(*db, link);
    CarddavStore::Apply(*db, link, cards({{"/anna/verein/a.vcf", MakeCard("a", "Adam", "Anna", "Weg 1", "Bonn")}}, "t1"));
    // The second card's extra data cannot be written: the whole sync goes back.
    db->ExecSQL("CREATE TRIGGER refuse BEFORE INSERT ON tab_daten BEGIN SELECT RAISE(ABORT, 'voll'); END");
    const CarddavChanges next = cards({{"/anna/verein/b.vcf", "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Ohne Daten\r\nEND:VCARD\r\n"},
                                       {"/anna/verein/c.vcf", MakeCard("c", "Cäcilie", "Cora", "Weg 3", "Köln")}},
                                      "t2");
    CarddavChanges withRemoval = next;
    withRemoval.Removed << "/anna/verein/a.vcf";
    EXPECT_THROW(CarddavStore::Apply(*db, link, withRemoval), ESQLiteException);
    EXPECT_FALSE(db->InTransaction());
    EXPECT_EQ(cell("SELECT COUNT(*) FROM tab_adressen"), "1");
    EXPECT_EQ(cell("SELECT Line2 FROM tab_adressen"), "Anna Adam");
    EXPECT_EQ(cell("SELECT COUNT(*) FROM carddav_card"), "1");
    EXPECT_EQ(CarddavStore::LoadLink(*db, "GR00000001")->SyncToken, "t1");
}

TEST_F(CarddavStoreTest, AChangedCardKeepsTheLocalFlagSortNameAndDispatch)
{
    CarddavStore::SaveLink(*db, link);
    CarddavStore::Apply(*db, link, cards({{"/anna/verein/a.vcf", MakeCard("a", "Adam", "Anna", "Weg 1", "Bonn")}}, "t1"));
    const QString id = cell("SELECT Adresse_ID FROM carddav_card");
    db->ExecSQL("UPDATE tab_adressen SET Aktiv = 0, Line6 = 'Adam, Anna' WHERE Adresse_ID = ?", {id});
    db->ExecSQL("UPDATE tab_daten SET Versand = 'Kurier' WHERE Adresse_ID = ?", {id});
    const CarddavSyncReport r = CarddavStore::Apply(
        *db, link, cards({{"/anna/verein/a.vcf", MakeCard("a", "Adam", "Anna", "Neuer Weg 2", "Bonn")}}, "t2"));
    EXPECT_EQ(r.Changed, 1);
    EXPECT_EQ(cell("SELECT Line3 || '|' || Aktiv || '|' || Line6 FROM tab_adressen"), "Neuer Weg 2|0|Adam, Anna");
    EXPECT_EQ(cell("SELECT Versand FROM tab_daten"), "Kurier");
    EXPECT_EQ(cell("SELECT COUNT(*) FROM tab_daten"), "1");
}

TEST_F(CarddavStoreTest, AddressesOfTheBookAreKnownAsSuchCopiesAreNot)
{
    CarddavStore::SaveLink(*db, link);
    CarddavStore::Apply(*db, link, cards({{"/anna/verein/a.vcf", MakeCard("a", "Adam", "Anna", "Weg 1", "Bonn")}}, "t1"));
    const QString id = cell("SELECT Adresse_ID FROM carddav_card");
    EXPECT_EQ(CarddavStore::LinkedBookName(*db, id), "Verein online");
    // A copy in another group is a new address of its own.
    db->ExecSQL("INSERT INTO tab_adressen (Adresse_ID, Gruppe_ID, Line1, Aktiv) VALUES ('AD00000099', 'GR00000002', "
                "'Kopie', 1)");
    EXPECT_EQ(CarddavStore::LinkedBookName(*db, "AD00000099"), "");
    // Moved away locally: the user's own now, and the next sync brings the card back anew.
    db->ExecSQL("UPDATE tab_adressen SET Gruppe_ID = 'GR00000002' WHERE Adresse_ID = ?", {id});
    EXPECT_EQ(CarddavStore::LinkedBookName(*db, id), "");
    const CarddavSyncReport r = CarddavStore::Apply(
        *db, link, cards({{"/anna/verein/a.vcf", MakeCard("a", "Adam", "Anna", "Weg 2", "Bonn")}}, "t2"));
    EXPECT_EQ(r.Added, 1);
    EXPECT_EQ(cell("SELECT Line3 FROM tab_adressen WHERE Adresse_ID = ?", {id}), "Weg 1");
    EXPECT_EQ(cell("SELECT COUNT(*) FROM tab_adressen WHERE Gruppe_ID = 'GR00000001'"), "1");
}

TEST_F(CarddavStoreTest, LinkingAnotherBookForgetsTheOldCards)
{
    CarddavStore::SaveLink(*db, link);
    CarddavStore::Apply(*db, link, cards({{"/anna/verein/a.vcf", MakeCard("a", "Adam", "Anna", "Weg 1", "Bonn")}}, "t1"));
    CarddavLink other = link;
    other.Book = "https://dav.example.org/anna/andere/";
    CarddavStore::SaveLink(*db, other);
    EXPECT_EQ(cell("SELECT COUNT(*) FROM carddav_card"), "0");
    EXPECT_EQ(CarddavStore::LoadLink(*db, "GR00000001")->SyncToken, "");
    EXPECT_EQ(CarddavStore::BookState(*db, other).Etags.size(), 0);
}

TEST_F(CarddavStoreTest, DeletingAGroupDeletesItsLinkAndCardsWithIt)
{
    CarddavStore::SaveLink(*db, link);
    CarddavStore::Apply(*db, link, cards({{"/anna/verein/a.vcf", MakeCard("a", "Adam", "Anna", "Weg 1", "Bonn")},
                                          {"/anna/verein/b.vcf", MakeCard("b", "Berg", "Berta", "Weg 2", "Bonn")}},
                                         "t1"));
    db->ExecSQL("INSERT INTO tab_gruppen (Gruppe_ID, Name) VALUES ('GR00000000', 'Andere')");
    CarddavLink other = link;
    other.GruppeId = "GR00000000";
    CarddavStore::SaveLink(*db, other);
    CarddavStore::Apply(*db, other, cards({{"/anna/verein/a.vcf", MakeCard("a", "Adam", "Anna", "Weg 1", "Bonn")}}, "t1"));

    // A deletion that fails half way keeps the link with the group.
    db->ExecSQL("CREATE TRIGGER keep BEFORE DELETE ON carddav_link BEGIN SELECT RAISE(ABORT, 'bleibt'); END");
    EXPECT_FALSE(DeleteGruppe(*db, messages, "GR00000001"));
    EXPECT_EQ(cell("SELECT COUNT(*) FROM tab_gruppen"), "2");
    EXPECT_EQ(cell("SELECT COUNT(*) FROM carddav_card WHERE Gruppe_ID = 'GR00000001'"), "2");
    EXPECT_FALSE(db->InTransaction());
    db->ExecSQL("DROP TRIGGER keep");

    ASSERT_TRUE(DeleteGruppe(*db, messages, "GR00000001"));
    EXPECT_EQ(cell("SELECT COUNT(*) FROM carddav_card WHERE Gruppe_ID = 'GR00000001'"), "0");
    EXPECT_EQ(cell("SELECT COUNT(*) FROM carddav_link WHERE Gruppe_ID = 'GR00000001'"), "0");
    // The other group keeps its own.
    EXPECT_EQ(cell("SELECT COUNT(*) FROM carddav_card WHERE Gruppe_ID = 'GR00000000'"), "1");
    EXPECT_TRUE(CarddavStore::LoadLink(*db, "GR00000000"));
    // A new group gets the freed identifier and is an ordinary local group.
    const QString id = NewID(*db, "GR", "tab_gruppen", "Gruppe_ID");
    ASSERT_EQ(id, "GR00000001");
    db->ExecSQL("INSERT INTO tab_gruppen (Gruppe_ID, Name) VALUES (?, 'Neu')", {id});
    EXPECT_FALSE(CarddavStore::LoadLink(*db, id));
    EXPECT_EQ(CarddavStore::BookState(*db, link).Etags.size(), 0);
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(CarddavStoreTest, StagedCardsAreAppliedOnceAndForgottenWhenDropped)
{
    CarddavStore::SaveLink(*db, link);
    CarddavStore::BeginStaging(*db);
    CarddavStore::StageCards(*db, {{"/anna/verein/a.vcf", "\"e1\"", MakeCard("a", "Äbißer", "Jürgen", "Weg 1", "Köln")}});
    CarddavStore::StageCards(*db, {{"/anna/verein/b.vcf", "\"e2\"", MakeCard("b", "Berg", "Berta", "Weg 2", "Bonn")}});
    // Staged cards are the connection's own, not the file's.
    EXPECT_FALSE(db->TableExists("carddav_staging"));
    EXPECT_EQ(cell("SELECT COUNT(*) FROM tab_adressen"), "0");
    // Given directly and staged, both count.
    const CarddavSyncReport r = CarddavStore::Apply(
        *db, link, cards({{"/anna/verein/c.vcf", MakeCard("c", "Cäcilie", "Cora", "Weg 3", "Köln")}}, "t1"));
    EXPECT_EQ(r.Added, 3);
    EXPECT_EQ(cell("SELECT Line2 FROM tab_adressen a JOIN carddav_card c ON c.Adresse_ID = a.Adresse_ID "
                   "WHERE c.Href = '/anna/verein/a.vcf'"),
              "Jürgen Äbißer");
    EXPECT_EQ(cell("SELECT Etag FROM carddav_card WHERE Href = '/anna/verein/b.vcf'"), "\"e2\"");
    // Applied once: the next apply finds nothing staged.
    EXPECT_EQ(CarddavStore::Apply(*db, link, cards({}, "t2")).Added, 0);

    // A cancelled sync: what was staged is dropped and never reaches the group.
    CarddavStore::BeginStaging(*db);
    CarddavStore::StageCards(*db, {{"/anna/verein/d.vcf", "\"e4\"", MakeCard("d", "Dorn", "Dora", "Weg 4", "Bonn")}});
    CarddavStore::DropStaging(*db);
    EXPECT_EQ(CarddavStore::Apply(*db, link, cards({}, "t3")).Added, 0);
    EXPECT_EQ(cell("SELECT COUNT(*) FROM tab_adressen"), "3");
    // A new start forgets what an earlier one left.
    CarddavStore::BeginStaging(*db);
    CarddavStore::StageCards(*db, {{"/anna/verein/d.vcf", "\"e4\"", MakeCard("d", "Dorn", "Dora", "Weg 4", "Bonn")}});
    CarddavStore::BeginStaging(*db);
    EXPECT_EQ(CarddavStore::Apply(*db, link, cards({}, "t4")).Added, 0);
}

} // namespace
