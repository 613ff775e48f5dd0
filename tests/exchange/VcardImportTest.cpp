#include "ExchangeFixture.h"

#include "exchange/AdressenImport.h"
#include "exchange/ExchangeError.h"
#include "exchange/VcardImport.h"

namespace {

const QString kGruppe = QStringLiteral("GR00000001");
const QString kVcardSuccess = QStringLiteral("Die Adressen wurden aus der vCard-Datei importiert.");
const QString kCsvSuccess = QStringLiteral("Die Adressen wurden aus der CSV-Datei importiert.");

QString fixture(const char* name) { return QStringLiteral(TAVISTO_FIXTURES "/vcard/") + QString::fromUtf8(name); }

class VcardImportTest : public ExchangeTest
{
protected:
    void SetUp() override
    {
        ExchangeTest::SetUp();
        addGruppe(kGruppe, QStringLiteral("Kunden"));
    }

    // The whole command: reminder answered with OK, the file chosen under the vCard filter.
    bool importThroughCommand(const QString& file, int filter = 1)
    {
        dialogs.openName = file;
        dialogs.openFilter = filter;
        return ImportAdressen(ctx, nullptr, kGruppe, &dialogs);
    }

    // Every address with its extra data: Line1..Line5, Telefon, Fax, Handy, Mail, Bemerkung;
    // "-" in place of the extra data when the address has no tab_daten row.
    QList<QStringList> stored()
    {
        TSQLiteTable t = db().GetTable(QStringLiteral(
            "SELECT a.*, d.Daten_ID, d.Telefon, d.Fax, d.Handy, d.Mail, d.Versand, d.Bemerkung "
            "FROM tab_adressen a LEFT JOIN tab_daten d USING(Adresse_ID) ORDER BY a.Adresse_ID"));
        QList<QStringList> rows;
        for (; !t.Eof(); t.Next()) {
            EXPECT_EQ(t.Field("Gruppe_ID"), kGruppe);
            EXPECT_EQ(t.Field("Line6"), QString());
            EXPECT_EQ(t.Field("Aktiv"), QStringLiteral("1"));
            EXPECT_EQ(t.Field("Versand"), QString());
            QStringList row;
            for (const char* f : {"Line1", "Line2", "Line3", "Line4", "Line5"})
                row << t.Field(f);
            if (t.Field("Daten_ID").isEmpty())
                row << "-";
            else
                for (const char* f : {"Telefon", "Fax", "Handy", "Mail", "Bemerkung"})
                    row << t.Field(f);
            rows << row;
        }
        return rows;
    }

    ScriptedFileDialogs dialogs;
};

// Files written by hand after the habits of each exporter, through the whole command.
struct FixtureCase
{
    const char* file;
    QList<QStringList> expected;
    QString counts; // the success message after its first line
};

void PrintTo(const FixtureCase& c, std::ostream* os) { *os << c.file; }

class VcardFixtureTable : public VcardImportTest, public ::testing::WithParamInterface<FixtureCase>
{
};

TEST_P(VcardFixtureTable, FileBecomesAddresses)
{
    ASSERT_TRUE(importThroughCommand(fixture(GetParam().file)));
    EXPECT_EQ(stored(), GetParam().expected);
    ASSERT_EQ(messages.shown.size(), 2); // the reminder, then the success
    EXPECT_EQ(messages.shown[1].text, kVcardSuccess + QStringLiteral("\r\n\r\n") + GetParam().counts);
    EXPECT_EQ(messages.shown[1].kind, Msg::Information);
    EXPECT_FALSE(db().InTransaction());
}

INSTANTIATE_TEST_SUITE_P(
    Exporters, VcardFixtureTable,
    ::testing::Values(
        FixtureCase{"thunderbird.vcf",
                    {{"Müller & Söhne GmbH", "Dr. Max Mustermann", "Hauptstraße 5", "Gebäude B, 3. Stock", "50667 Köln",
                      "0221 123456", "0221 123457", "0171 1234567", "max.mustermann@mueller-soehne.example",
                      "Kunde seit 2019, bevorzugt Post.\nRückruf nur vormittags; nicht freitags."},
                     {"Frau", "Änne Weiß", "Kastanienallee 7", "", "10435 Berlin", "030 445566", "", "",
                      "aenne@example.net", ""}},
                    "Importiert: 2 Adressen\r\nÜbersprungen (ohne Name und Firma): 0 Karten"},
        FixtureCase{"evolution.vcf",
                    {{"Frau", "Erika Musterfrau", "Lindenallee 12", "", "10115 Berlin", "030 1234567", "030 1234568",
                      "0160 9876543", "erika@example.org",
                      "Kennt uns von der Messe in Leipzig. Bitte Einladung zum Sommerfest schicken."}},
                    "Importiert: 1 Adresse\r\nÜbersprungen (ohne Name und Firma): 0 Karten"},
        FixtureCase{"nextcloud.vcf",
                    {{"Huber Bau GmbH", "Ing. Franz Huber", "Postfach 12", "1010 Wien", "ÖSTERREICH", "+43 1 5556677", "",
                      "+43 664 1234567", "franz@huber.example", ""}},
                    "Importiert: 1 Adresse\r\nÜbersprungen (ohne Name und Firma): 0 Karten"},
        FixtureCase{"android.vcf",
                    {{"Herrn", "Jürgen Müller", "Straße der Einheit 1", "", "80331 München", "+49 221 998877",
                      "+49 221 998878", "+49 171 2345678", "juergen.mueller@example.de",
                      "Notiz vom Telefonat: Jürgen möchte die Unterlagen per Post, nicht per E-Mail. Adresse geprüft "
                      "am 3. März; Zufahrt über die Hofeinfahrt, Klingel „Müller/Schäfer“."},
                     {"Bäckerei Schäfer", "Björn Schäfer", "Königstraße 1", "", "70173 Stuttgart", "0711 223344", "", "",
                      "", ""},
                     {"Frau", "Zoë Dvorák", "", "", "", "", "", "", "", "Spendet 50 € im Jahr – „treu“."}},
                    "Importiert: 3 Adressen\r\nÜbersprungen (ohne Name und Firma): 0 Karten"},
        FixtureCase{"apple.vcf",
                    // A private card of an employee: the preferred home address goes to her, not to the firm.
                    {{"", "Dr. Anna Maria Schmidt", "Am See 3, Hinterhaus", "", "82319 Starnberg",
                      "+49 89 22222", "", "+49 170 1111111", "anna@privat.example", "Geburtstag im Mai."},
                     {"Stadtwerke Musterstadt", "", "Werkstraße 1", "", "12345 Musterstadt", "0800 1234567", "", "", "",
                      ""},
                     {"Acme Inc.", "John Miller", "1 Market St, Suite 200", "San Francisco CA 94105", "USA", "-"}},
                    "Importiert: 3 Adressen\r\nÜbersprungen (ohne Name und Firma): 0 Karten"},
        FixtureCase{"several.vcf",
                    {{"", "Anton Eins", "", "", "", "-"},
                     {"", "Berta Zwei", "", "", "", "0228 2222", "", "", "", ""},
                     {"", "Cäsar Drei", "Dreiweg 3", "", "01067 Dresden", "-"},
                     {"", "Dora Vier", "", "", "", "-"}},
                    "Importiert: 4 Adressen\r\nÜbersprungen (ohne Name und Firma): 0 Karten"},
        FixtureCase{"noname.vcf",
                    {{"", "Emil Erster", "", "", "", "-"}, {"", "Ludwig Letzter", "", "", "", "-"}},
                    "Importiert: 2 Adressen\r\nÜbersprungen (ohne Name und Firma): 2 Karten"}),
    [](const auto& info) { return QString::fromUtf8(info.param.file).section(u'.', 0, 0).toStdString(); });

TEST_F(VcardImportTest, ShortenedRemarksAreToldAndTheRestDropped)
{
    QByteArray cards;
    for (const char* name : {"Eins", "Zwei", "Drei"})
        cards += QByteArray("BEGIN:VCARD\r\nVERSION:3.0\r\nFN:") + name + "\r\nNOTE:" +
                 QByteArray(name == QByteArray("Zwei") ? 200 : 300, 'x') + "\r\nEND:VCARD\r\n";
    cards += "BEGIN:VCARD\r\nVERSION:3.0\r\nEMAIL:niemand@example.org\r\nEND:VCARD\r\n";
    ASSERT_TRUE(importThroughCommand(dir.write(QStringLiteral("lang.vcf"), cards)));
    QList<int> lengths;
    for (const QStringList& row : stored())
        lengths << int(row.value(9).size());
    EXPECT_EQ(lengths, (QList<int>{255, 200, 255}));
    EXPECT_EQ(messages.texts().last(),
              kVcardSuccess + QStringLiteral("\r\n\r\nImportiert: 3 Adressen\r\nÜbersprungen (ohne Name und Firma): 1 "
                                             "Karte\r\n\r\nBei 2 Adressen wurde die Bemerkung auf 255 Zeichen "
                                             "gekürzt; der Rest wurde nicht übernommen."));
}

TEST_F(VcardImportTest, SuccessTextCountsInTheSingular)
{
    EXPECT_EQ(VcardImportSuccessText(1, 1, 1),
              kVcardSuccess + QStringLiteral("\r\n\r\nImportiert: 1 Adresse\r\nÜbersprungen (ohne Name und Firma): 1 "
                                             "Karte\r\n\r\nBei 1 Adresse wurde die Bemerkung auf 255 Zeichen gekürzt; "
                                             "der Rest wurde nicht übernommen."));
}

// Letters the code page lacks are spelled in Latin, what has no Latin form becomes "?", as
// everywhere in the store.
TEST_F(VcardImportTest, TextsOutsideTheCodePageAreReplaced)
{
    const QString file = dir.write(
        QStringLiteral("polen.vcf"),
        QStringLiteral("BEGIN:VCARD\r\nVERSION:4.0\r\nN:Łukasiewicz;Jan;;;\r\nADR:;;ul. Źródlana 5;Łódź;;90-001;Polska\r\n"
                       "NOTE:Grüße 😀\r\nEND:VCARD\r\n")
            .toUtf8());
    ASSERT_TRUE(importThroughCommand(file));
    EXPECT_EQ(stored(), (QList<QStringList>{{"", "Jan Lukasiewicz", "ul. Zródlana 5", "90-001 Lódz", "POLEN", "", "",
                                             "", "", "Grüße ?"}}));
    // The bytes in the file are Windows-1252: "ü" is one byte.
    EXPECT_EQ(db().GetTable(QStringLiteral("SELECT length(CAST(Bemerkung AS BLOB)) N FROM tab_daten")).Field("N"),
              QStringLiteral("7"));
}

TEST_F(VcardImportTest, IdentifiersCountOnForAddressesAndExtraData)
{
    addAdresse(QStringLiteral("AD00000007"), kGruppe, {"alt"});
    addDaten(QStringLiteral("DA00000003"), QStringLiteral("AD00000007"), {"1"});
    const QString file = dir.write(QStringLiteral("k.vcf"), "BEGIN:VCARD\r\nFN:A\r\nTEL:1\r\nEND:VCARD\r\n"
                                                            "BEGIN:VCARD\r\nFN:B\r\nEND:VCARD\r\n"
                                                            "BEGIN:VCARD\r\nFN:C\r\nEMAIL:c@x\r\nEND:VCARD\r\n");
    ASSERT_TRUE(ImportVcardFile(ctx, kGruppe, file));
    TSQLiteTable t = db().GetTable(QStringLiteral("SELECT Adresse_ID, Daten_ID FROM tab_daten ORDER BY Daten_ID"));
    QStringList pairs;
    for (; !t.Eof(); t.Next())
        pairs << t.Field("Adresse_ID") + u'/' + t.Field("Daten_ID");
    EXPECT_EQ(pairs, (QStringList{"AD00000007/DA00000003", "AD00000008/DA00000004", "AD00000010/DA00000005"}));
    EXPECT_EQ(count(QStringLiteral("tab_adressen")), 4);
}

TEST_F(VcardImportTest, FailingStatementKeepsEarlierCardsAndEndsTransaction)
{
    db().ExecSQL(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON tab_daten WHEN NEW.Telefon = 'BAD' "
                                "BEGIN SELECT RAISE(ABORT, 'refused'); END"));
    const QString file = dir.write(QStringLiteral("k.vcf"), "BEGIN:VCARD\r\nFN:A\r\nTEL:1\r\nEND:VCARD\r\n"
                                                            "BEGIN:VCARD\r\nFN:B\r\nTEL:BAD\r\nEND:VCARD\r\n"
                                                            "BEGIN:VCARD\r\nFN:C\r\nEND:VCARD\r\n");
    EXPECT_FALSE(importThroughCommand(file));
    EXPECT_EQ(messages.texts().last(), QStringLiteral("Fehler beim Einlesen der Adressdaten!"));
    EXPECT_EQ(messages.shown.last().kind, Msg::Error);
    // B's extra data was refused, so B's address went back out: no card half imported.
    // C was never read.
    EXPECT_EQ(stored(), (QList<QStringList>{{"", "A", "", "", "", "1", "", "", "", ""}}));
    EXPECT_FALSE(db().InTransaction());
    EXPECT_NO_THROW(addGruppe(QStringLiteral("GR00000009"), QStringLiteral("danach")));
}

TEST_F(VcardImportTest, HalfRecordThatCannotBeTakenOutRollsTheImportBackWhole)
{
    db().ExecSQL(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON tab_daten WHEN NEW.Telefon = 'BAD' "
                                "BEGIN SELECT RAISE(ABORT, 'refused'); END"));
    db().ExecSQL(QStringLiteral("CREATE TRIGGER keep BEFORE DELETE ON tab_adressen BEGIN SELECT RAISE(ABORT, 'kept'); END"));
    const QString file = dir.write(QStringLiteral("k.vcf"), "BEGIN:VCARD\r\nFN:A\r\nTEL:1\r\nEND:VCARD\r\n"
                                                            "BEGIN:VCARD\r\nFN:B\r\nTEL:BAD\r\nEND:VCARD\r\n");
    EXPECT_FALSE(importThroughCommand(file));
    EXPECT_EQ(messages.texts().last(), QStringLiteral("Fehler beim Einlesen der Adressdaten!"));
    EXPECT_TRUE(stored().isEmpty());
    EXPECT_FALSE(db().InTransaction());
}

TEST_F(VcardImportTest, MissingExtraDataTableStopsWithItsIdentifierError)
{
    db().ExecSQL(QStringLiteral("DROP TABLE tab_daten"));
    const QString file = dir.write(QStringLiteral("k.vcf"), "BEGIN:VCARD\r\nFN:A\r\nEND:VCARD\r\n"
                                                            "BEGIN:VCARD\r\nFN:B\r\nTEL:2\r\nEND:VCARD\r\n"
                                                            "BEGIN:VCARD\r\nFN:C\r\nEND:VCARD\r\n");
    EXPECT_FALSE(ImportVcardFile(ctx, kGruppe, file));
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("Fehler beim Erstellen der \"Daten_ID\"!")});
    QStringList names;
    for (const StoredAdresse& a : adressen())
        names << a.Line2;
    // B, whose extra data found no identifier, is not written without it.
    EXPECT_EQ(names, (QStringList{"A"}));
    EXPECT_FALSE(db().InTransaction());
}

TEST_F(VcardImportTest, UnreadableFileReachesGeneralErrorAndChangesNothing)
{
    EXPECT_THROW(ImportVcardFile(ctx, kGruppe, dir.file(QStringLiteral("fehlt.vcf"))), ExchangeError);
    EXPECT_EQ(count(QStringLiteral("tab_adressen")), 0);
    EXPECT_FALSE(db().InTransaction());
}

// The file's name decides where it says .csv or .vcf; otherwise the filter it was chosen under.
TEST_F(VcardImportTest, CommandTakesTheFormatFromNameOrFilter)
{
    const QByteArray vcard = "BEGIN:VCARD\r\nFN:Karte\r\nEND:VCARD\r\n";
    const QByteArray csv = "Kopf\r\nZeile;;;;;1\r\n";
    const struct
    {
        const char* file;
        QByteArray content;
        int filter;
        QString success;
    } cases[] = {
        {"kontakte", vcard, 1, kVcardSuccess},   {"kontakte.VCF", vcard, 0, kVcardSuccess},
        {"kontakte.vcard", vcard, 0, kVcardSuccess}, {"liste", csv, 0, kCsvSuccess},
        {"liste.csv", csv, 1, kCsvSuccess},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        messages.shown.clear();
        ASSERT_TRUE(importThroughCommand(dir.write(QString::fromUtf8(c.file), c.content), c.filter));
        EXPECT_TRUE(messages.texts().last().startsWith(c.success)) << messages.texts().last().toStdString();
        EXPECT_EQ(dialogs.lastFilters,
                  (QStringList{QStringLiteral("CSV-Datei (*.csv)"), QStringLiteral("vCard-Datei (*.vcf)"),
                           QStringLiteral("Tabelle mit Spaltenüberschriften (*.ods *.xlsx *.xls *.csv *.txt)")}));
    }
}

} // namespace
