#include "imaging/ImageError.h"
#include "store/RecordIds.h"
#include "store/RecordOperations.h"
#include "support/StoreFixture.h"

#include <QPainter>

using RecordsTest = StoreFixture;

namespace {
int count(TSQLiteDatabase& db, const QString& sql) { return db.GetTable(sql).Count(); }
} // namespace

TEST_F(RecordsTest, NewIdIsTheGreatestNumberPlusOne)
{
    EXPECT_EQ(NewID(*db, "GR", "tab_gruppen", "Gruppe_ID"), "GR00000001");
    exec("INSERT INTO tab_absender (Absender_ID) VALUES ('AB00000001')");
    exec("INSERT INTO tab_absender (Absender_ID) VALUES ('AB00000007')");
    EXPECT_EQ(NewID(*db, "AB", "tab_absender", "Absender_ID"), "AB00000008");
    exec("INSERT INTO tab_adressen (Adresse_ID) VALUES ('AD00000011')");
    exec("INSERT INTO tab_adressen (Adresse_ID) VALUES ('AD00000012')");
    ASSERT_TRUE(DeleteAdresse(*db, messages, "AD00000012"));
    EXPECT_EQ(NewID(*db, "AD", "tab_adressen", "Adresse_ID"), "AD00000012");
    exec("INSERT INTO tab_adressen (Adresse_ID) VALUES ('AD99999999')");
    EXPECT_EQ(NewID(*db, "AD", "tab_adressen", "Adresse_ID"), "AD100000000");
    EXPECT_EQ(NewID(*db, "XX", "tab_missing", "X_ID"), "");
}

TEST(QuoteSQL, DoublesInnerQuotes)
{
    EXPECT_EQ(QuoteSQL(""), "\"\"");
    EXPECT_EQ(QuoteSQL("\""), "\"\"\"\"");
    EXPECT_EQ(QuoteSQL("Karl's \"Eck\"\n\\"), "\"Karl's \"\"Eck\"\"\n\\\"");
}

TEST_F(RecordsTest, DeletionsTakeTheirDependants)
{
    exec("INSERT INTO tab_absender (Absender_ID, Line1) VALUES ('AB00000001', 'A')");
    exec("INSERT INTO tab_absender (Absender_ID, Line1) VALUES ('AB00000002', 'B')");
    exec("INSERT INTO tab_banner (Banner_ID, Absender_ID) VALUES ('BN00000001', 'AB00000001')");
    exec("INSERT INTO tab_gruppen VALUES ('GR00000001', 'Kunden')");
    exec("INSERT INTO tab_gruppen VALUES ('GR00000002', 'Lieferanten')");
    exec("INSERT INTO tab_adressen (Adresse_ID, Gruppe_ID, Aktiv) VALUES ('AD00000001', 'GR00000001', 1)");
    exec("INSERT INTO tab_adressen (Adresse_ID, Gruppe_ID, Aktiv) VALUES ('AD00000002', 'GR00000001', 0)");
    exec("INSERT INTO tab_adressen (Adresse_ID, Gruppe_ID, Aktiv) VALUES ('AD00000003', 'GR00000002', 1)");

    EXPECT_TRUE(DeleteAbsender(*db, messages, "AB00000001"));
    EXPECT_EQ(count(*db, "SELECT * FROM tab_absender"), 1);
    EXPECT_EQ(count(*db, "SELECT * FROM tab_banner"), 0);
    QImage banner;
    EXPECT_FALSE(LoadBanner(*db, "AB00000001", banner));

    exec("INSERT INTO tab_daten (Daten_ID, Adresse_ID, Telefon) VALUES ('DA00000001', 'AD00000002', '030 1')");
    exec("INSERT INTO tab_daten (Daten_ID, Adresse_ID, Telefon) VALUES ('DA00000002', 'AD00000003', '030 2')");
    EXPECT_TRUE(DeleteGruppe(*db, messages, "GR00000001"));
    EXPECT_EQ(count(*db, "SELECT * FROM tab_adressen WHERE Gruppe_ID='GR00000001'"), 0);
    EXPECT_EQ(count(*db, "SELECT * FROM tab_adressen"), 1);
    EXPECT_EQ(count(*db, "SELECT * FROM tab_gruppen"), 1);
    // The extra data go with their addresses: the numbers are handed out again.
    EXPECT_EQ(count(*db, "SELECT * FROM tab_daten WHERE Adresse_ID='AD00000003'"), 1);
    EXPECT_EQ(count(*db, "SELECT * FROM tab_daten"), 1);
    EXPECT_TRUE(DeleteAdresse(*db, messages, "AD00000003"));
    EXPECT_EQ(count(*db, "SELECT * FROM tab_daten"), 0);
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(RecordsTest, NewAddressNumberComesWithoutExtraDataLeftBehind)
{
    // A file from an older version: deleted addresses left their extra data.
    exec("INSERT INTO tab_adressen (Adresse_ID) VALUES ('AD00000001')");
    exec("INSERT INTO tab_adressen (Adresse_ID) VALUES ('AD00000003')");
    for (const char* adresse : {"AD00000001", "AD00000002", "AD00000004", "AD00000005", "AD00000011"})
        exec(QStringLiteral("INSERT INTO tab_daten (Daten_ID, Adresse_ID, Bemerkung) VALUES ('DA%1', '%1', 'alt')")
                 .arg(QString::fromLatin1(adresse)));
    EXPECT_EQ(NewAdresseID(*db), "AD00000004");
    // Below the next number nothing is handed out again: those rows stay.
    EXPECT_EQ(count(*db, "SELECT * FROM tab_daten WHERE Adresse_ID IN ('AD00000001', 'AD00000002')"), 2);
    EXPECT_EQ(count(*db, "SELECT * FROM tab_daten"), 2);
}

TEST_F(RecordsTest, BlankIdentifiersAreReported)
{
    exec("INSERT INTO tab_adressen (Adresse_ID) VALUES ('   ')");
    struct Case { std::function<bool()> run; const char* message; };
    const Case cases[] = {
        {[&] { return DeleteAdresse(*db, messages, "   "); }, "Keine \"Adresse_ID\" zum Löschen vorhanden!"},
        {[&] { return DeleteGruppe(*db, messages, ""); }, "Keine \"Gruppe_ID\" zum Löschen vorhanden!"},
        {[&] { return DeleteAbsender(*db, messages, " "); }, "Keine \"Absender_ID\" zum Löschen vorhanden!"},
    };
    for (const Case& c : cases) {
        messages.shown.clear();
        EXPECT_FALSE(c.run());
        ASSERT_EQ(messages.texts(), QStringList{QString::fromUtf8(c.message)});
        EXPECT_EQ(messages.shown[0].kind, Msg::Error);
    }
    EXPECT_EQ(count(*db, "SELECT * FROM tab_adressen"), 1);
    messages.shown.clear();
    EXPECT_FALSE(DeleteBanner(*db, ""));
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(RecordsTest, FailedDeletionDeletesNothingAndLeavesNoTransaction)
{
    exec("INSERT INTO tab_gruppen VALUES ('GR00000001', 'Kunden')");
    exec("INSERT INTO tab_adressen (Adresse_ID, Gruppe_ID) VALUES ('AD00000001', 'GR00000001')");
    // The group row cannot go: the address deletion before it must be undone.
    exec("CREATE TRIGGER keep BEFORE DELETE ON tab_gruppen BEGIN SELECT RAISE(ABORT, 'bleibt'); END");
    EXPECT_FALSE(DeleteGruppe(*db, messages, "GR00000001"));
    EXPECT_EQ(count(*db, "SELECT * FROM tab_adressen"), 1);
    EXPECT_FALSE(db->InTransaction());
    exec("DROP TRIGGER keep");
    EXPECT_TRUE(DeleteGruppe(*db, messages, "GR00000001"));
}

TEST_F(RecordsTest, BannerRoundTrip)
{
    exec("INSERT INTO tab_banner (Banner_ID, Absender_ID) VALUES ('BN00000004', 'AB00000009')");
    QImage picture(321, 77, QImage::Format_ARGB32);
    picture.fill(Qt::transparent);
    QPainter(&picture).fillRect(0, 0, 100, 77, Qt::red);

    EXPECT_TRUE(SaveBanner(*db, messages, "AB00000001", picture));
    TSQLiteTable row = db->GetTable("SELECT * FROM tab_banner WHERE Absender_ID='AB00000001'");
    EXPECT_EQ(row.Field("Banner_ID"), "BN00000005");
    const QByteArray jpeg = row.FieldAsBlob(row.FieldIndex("Banner")).value();
    EXPECT_TRUE(jpeg.startsWith("\xFF\xD8"));

    QImage loaded;
    ASSERT_TRUE(LoadBanner(*db, "AB00000001", loaded));
    EXPECT_EQ(loaded.size(), picture.size());
    EXPECT_EQ(loaded.format(), QImage::Format_RGB888);
    EXPECT_GT(qRed(loaded.pixel(50, 40)), 200);
    EXPECT_LT(qGreen(loaded.pixel(50, 40)), 60);
    EXPECT_GT(qGray(loaded.pixel(300, 40)), 240);  // transparent became white

    // A second save updates the one row.
    EXPECT_TRUE(SaveBanner(*db, messages, "AB00000001", picture.scaled(50, 20)));
    EXPECT_EQ(count(*db, "SELECT * FROM tab_banner WHERE Absender_ID='AB00000001'"), 1);

    // An empty picture removes the banner and answers false.
    EXPECT_FALSE(SaveBanner(*db, messages, "AB00000001", QImage()));
    EXPECT_EQ(count(*db, "SELECT * FROM tab_banner WHERE Absender_ID='AB00000001'"), 0);
    EXPECT_FALSE(SaveBanner(*db, messages, "AB00000002", QImage()));
    EXPECT_EQ(count(*db, "SELECT * FROM tab_banner WHERE Absender_ID='AB00000002'"), 0);
}

TEST_F(RecordsTest, BannerRowsWithoutAPictureOrWithBadBytes)
{
    exec("INSERT INTO tab_banner (Banner_ID, Absender_ID, Banner) VALUES ('BN00000001', 'AB00000001', NULL)");
    QImage untouched(3, 3, QImage::Format_RGB888);
    QImage picture = untouched;
    EXPECT_FALSE(LoadBanner(*db, "AB00000001", picture));
    EXPECT_EQ(picture, untouched);

    db->UpdateBlob("UPDATE tab_banner SET Banner = ? WHERE Absender_ID = 'AB00000001'", QByteArray("not a jpeg at all"));
    EXPECT_THROW(LoadBanner(*db, "AB00000001", picture), ImageError);

    // A truncated JPEG is an error too, not the end of the program.
    QImage red(64, 64, QImage::Format_RGB888);
    red.fill(Qt::red);
    ASSERT_TRUE(SaveBanner(*db, messages, "AB00000001", red));
    const QByteArray full = db->GetTable("SELECT Banner FROM tab_banner").FieldAsBlob(0).value();
    // Cut inside the headers: an error the caller can show.
    db->UpdateBlob("UPDATE tab_banner SET Banner = ? WHERE Absender_ID = 'AB00000001'", full.left(100));
    EXPECT_THROW(LoadBanner(*db, "AB00000001", picture), ImageError);
    // Cut inside the picture data: libjpeg pads it and warns; the picture keeps its size.
    db->UpdateBlob("UPDATE tab_banner SET Banner = ? WHERE Absender_ID = 'AB00000001'", full.left(full.size() - 10));
    QImage cut;
    ASSERT_TRUE(LoadBanner(*db, "AB00000001", cut));
    EXPECT_EQ(cut.size(), QSize(64, 64));
}
