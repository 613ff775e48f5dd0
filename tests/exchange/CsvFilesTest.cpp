// CSV files as they come from today's programs and from the program's own export.
#include "ExchangeFixture.h"

#include "exchange/AdressenImport.h"
#include "exchange/CsvAdressenSource.h"
#include "exchange/Export.h"
#include "exchange/ImportRecord.h"
#include "exchange/VcardImport.h"
#include "shell/Cp1252.h"
#include "support/FakeAdressenRows.h"


namespace {

const QString kGruppe = QStringLiteral("GR00000001");

// Real names and places, as German address books hold them.
const char* const kRealTexts[] = {
    "Müller", "Hauptstraße 5", "50667 Köln", "Jürgen Weiß", "Ärztehaus Süd", "Größenwahn GmbH", "Preis: 5 €",
    "Café de Flore", "Øresund", "Façade", "„Zum Löwen“", "ÄÖÜ äöü ß",
};

} // namespace

// Without a byte order mark valid UTF-8 is read as UTF-8, anything else as Windows-1252.
// A Windows-1252 umlaut is a single byte above 127 followed by an ordinary letter, which
// UTF-8 never allows; so real Windows-1252 texts are never taken for UTF-8.
TEST(CsvDecoding, TellsUtf8FromWindows1252WithoutAMark)
{
    for (const char* real : kRealTexts) {
        const QString text = QString::fromUtf8(real);
        const QByteArray cp1252 = Cp1252::encode(text);
        EXPECT_TRUE(QString::fromUtf8(cp1252).contains(QChar::ReplacementCharacter))
            << real << ": the Windows-1252 bytes are no UTF-8";
        EXPECT_EQ(DecodeImportText(cp1252), text) << real;
        EXPECT_EQ(DecodeImportText(text.toUtf8()), text) << real;
    }
    EXPECT_EQ(DecodeImportText("Plain ASCII;1"), QStringLiteral("Plain ASCII;1"));
}

TEST_F(ExchangeTest, CsvFilesOfEveryOriginArriveWithTheRightLettersAndCounts)
{
    addGruppe(kGruppe, QStringLiteral("Kunden"));
    const QString header = QStringLiteral("Firma;Nachname;Vorname;Straße;PLZ;Ort");
    const QString good1 = QStringLiteral("Müller GmbH;Weiß;Jürgen;Hauptstraße 5;50667;Köln");
    const QString good2 = QStringLiteral("Öztürk;Özlem;;Gänseweg 1;80331;München €");
    const QString shortLine = QStringLiteral("Nur;drei;Felder");
    struct Case
    {
        const char* name;
        QByteArray bytes;
        bool imported;
        QString message;
    };
    const QString lf = header + u'\n' + good1 + u'\n' + shortLine + u'\n' + good2 + u'\n';
    const QString crlf = QString(lf).replace(u'\n', QStringLiteral("\r\n"));
    const QString twoAddresses =
        QStringLiteral("Die Adressen wurden aus der CSV-Datei importiert.\r\n\r\nImportiert: 2 Adressen\r\n"
                       "1 Zeile übersprungen: zu wenige Felder");
    const Case cases[] = {
        {"UTF-8 without mark, LF (LibreOffice)", lf.toUtf8(), true, twoAddresses},
        {"Windows-1252, CR LF", Cp1252::encode(crlf), true, twoAddresses},
        {"UTF-8 with mark", "\xEF\xBB\xBF" + crlf.toUtf8(), true, twoAddresses},
        {"every line too short", Cp1252::encode(header + "\r\n" + shortLine + "\r\nA;B\r\n\r\nC;D;E;F;G;\r\n"), false,
         QStringLiteral("Aus der CSV-Datei wurden keine Adressen importiert.\r\n\r\n3 Zeilen übersprungen: zu wenige "
                        "Felder (eine Zeile braucht 6 durch Semikolon getrennte Felder).")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        db().ExecSQL(QStringLiteral("DELETE FROM tab_adressen"));
        messages.shown.clear();
        EXPECT_EQ(ImportAdressenFile(ctx, kGruppe, dir.write(QStringLiteral("in.csv"), c.bytes)), c.imported);
        ASSERT_EQ(messages.shown.size(), 1);
        EXPECT_EQ(messages.shown[0].text, c.message);
        EXPECT_EQ(messages.shown[0].kind, c.imported ? Msg::Information : Msg::Warning);
        const QList<StoredAdresse> got = adressen();
        if (!c.imported) {
            EXPECT_TRUE(got.isEmpty());
            continue;
        }
        ASSERT_EQ(got.size(), 2);
        EXPECT_EQ(got[0].Line1, QStringLiteral("Müller GmbH"));
        EXPECT_EQ(got[0].Line2, QStringLiteral("Jürgen Weiß"));
        EXPECT_EQ(got[0].Line3, QStringLiteral("Hauptstraße 5"));
        EXPECT_EQ(got[0].Line5, QStringLiteral("50667 Köln"));
        EXPECT_EQ(got[1].Line1, QStringLiteral("Öztürk"));
        EXPECT_EQ(got[1].Line5, QStringLiteral("80331 München €"));
    }
}

TEST(CsvQuotedFields, SplitsAsTheExportAndSpreadsheetsWrite)
{
    const struct
    {
        QString line;
        QStringList fields;
    } cases[] = {
        {"\"a\";\"b\";\"\"", {"a", "b", ""}},
        {"\"Hof 3; Eingang B\";x", {"Hof 3; Eingang B", "x"}},             // a semicolon inside quotes
        {"\"Firma \"Sonne\" GmbH\";x", {"Firma \"Sonne\" GmbH", "x"}},     // quotes as the export writes them
        {"\"Firma \"\"Sonne\"\" GmbH\";x", {"Firma \"Sonne\" GmbH", "x"}}, // doubled, as spreadsheets write them
        {"\"\"Zum Löwen\"\";x", {"\"Zum Löwen\"", "x"}},                     // a value in quotes, written by the export
        {"\"\"\"Zum Löwen\"\"\";x", {"\"Zum Löwen\"", "x"}},                 // the same, doubled
        {"ohne;\"mit\";", {"ohne", "mit", ""}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CsvAdressenSource::SplitQuoted(c.line), c.fields) << c.line.toStdString();
}

// The export of a group imported into an empty group gives the same records: quotes and
// semicolons inside the texts, the sort name and the inactive mark included.
TEST_F(ExchangeTest, OwnExportImportsBackIntoTheSameRecords)
{
    addGruppe(kGruppe, QStringLiteral("Kunden"));
    const QString leer = addGruppe(QStringLiteral("GR00000002"), QStringLiteral("Leer"));
    const QList<QStringList> records = {
        {"Firma \"Sonne\" & Söhne", "\"Zum Löwen\"", "Hof 3; Eingang B", "", "50667 Köln", "Sonne"},
        {"Herrn", "Jürgen Weiß", "Mühlenstraße 3", "c/o Größe", "80331 München", "Weiß, Jürgen"},
        {"Frau", "Änne Öl", "", "", "", ""},
        {"Der \"Alte\"", "Straße;mit;Semikolons", "€ 5", "", "01067 Dresden", "Alt"},
    };
    FakeAdressenRows rows;
    for (qsizetype i = 0; i < records.size(); ++i) {
        const QString id = QStringLiteral("AD%1").arg(i + 1, 8, 10, QLatin1Char('0'));
        const bool active = i != 2;
        addAdresse(id, kGruppe, records[i], active ? 1 : 0);
        rows.SetCell(rows.add(id, records[i].mid(0, 5), records[i][5]), 7, active ? QStringLiteral("X") : QString());
    }
    ScriptedFileDialogs dialogs;
    dialogs.save.fileName = dir.file(QStringLiteral("Adressen.csv"));
    dialogs.save.filterIndex = 1;  // "CSV-Datei"
    ExportAdressen(ctx, nullptr, rows, &dialogs);

    messages.shown.clear();
    ASSERT_TRUE(ImportAdressenFile(ctx, leer, dir.file(QStringLiteral("Adressen.csv"))));
    EXPECT_EQ(messages.texts(),
              QStringList{"Die Adressen wurden aus der CSV-Datei importiert.\r\n\r\nImportiert: 4 Adressen"});
    QList<StoredAdresse> original = adressen(kGruppe), imported = adressen(leer);
    ASSERT_EQ(imported.size(), original.size());
    for (qsizetype i = 0; i < original.size(); ++i) {
        original[i].Adresse_ID = imported[i].Adresse_ID;
        original[i].Gruppe_ID = leer;
    }
    EXPECT_EQ(imported, original);
}

// Names through both imports: letters the code page lacks spelled in Latin, letters it
// has stored as they are.
TEST_F(ExchangeTest, BothImportsSpellNamesThePageLacksInLatin)
{
    addGruppe(kGruppe, QStringLiteral("Kunden"));
    const struct
    {
        const char* name;
        const char* stored;
    } names[] = {
        {"Zoë Łukasiewicz", "Zoë Lukasiewicz"},   // Polish
        {"Antonín Dvořák", "Antonín Dvorák"},     // Czech
        {"Ștefan Țurcanu", "Stefan Turcanu"},     // Romanian
        {"Işık Kılıç", "Isik Kiliç"},             // Turkish
        {"Νίκος Παπαδόπουλος", "Nikos Papadopoulos"},  // Greek
        {"Юрий Жуков", "Urij Zukov"},             // Cyrillic
        {"Weiß & Söhne, 10 €", "Weiß & Söhne, 10 €"},
    };
    QString csv = QStringLiteral("Firma;Name;Vorname;Straße;PLZ;Ort\n");
    QString vcf;
    QStringList expected;
    for (const auto& n : names) {
        const QString name = QString::fromUtf8(n.name);
        csv += name + QStringLiteral(";;;;;Ort\n");
        vcf += QStringLiteral("BEGIN:VCARD\r\nVERSION:3.0\r\nN:%1;;;;\r\nORG:%1\r\nEND:VCARD\r\n").arg(name);
        expected << QString::fromUtf8(n.stored);
    }
    ASSERT_TRUE(ImportAdressenFile(ctx, kGruppe, dir.write(QStringLiteral("namen.csv"), csv.toUtf8())));
    ASSERT_TRUE(ImportVcardFile(ctx, kGruppe, dir.write(QStringLiteral("namen.vcf"), vcf.toUtf8())));
    QStringList line1;
    for (const StoredAdresse& a : adressen())
        line1 << a.Line1;
    EXPECT_EQ(line1, expected + expected);
}
