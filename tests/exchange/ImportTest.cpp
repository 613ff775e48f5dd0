#include "ExchangeFixture.h"

#include "exchange/AdressenImport.h"
#include "exchange/ExchangeError.h"
#include "exchange/ImportRecord.h"
#include "shell/AppPaths.h"
#include "shell/Cp1252.h"

#include <QStringEncoder>

namespace {

const QString kSuccess = QStringLiteral("Die Adressen wurden aus der CSV-Datei importiert.");
const QString kGruppe = QStringLiteral("GR00000001");

// The message after an import that took addresses: the success and the counts.
QString success(const char* counts)
{
    return kSuccess + QStringLiteral("\r\n\r\n") + QString::fromUtf8(counts);
}

// The lines an imported record should get: Line1, Line2, Line3, Line5 (Line4 and Line6
// are always empty, Aktiv always 1).
struct ImportCase
{
    const char* name;
    QString record; // the line after the header
    QList<QStringList> expected;
    bool tooFewFields = false;  // the line is counted as skipped
};

void PrintTo(const ImportCase& c, std::ostream* os)
{
    *os << c.record.toStdString();
}

class ImportTableTest : public ExchangeTest, public ::testing::WithParamInterface<ImportCase>
{
};

TEST_P(ImportTableTest, RecordBecomesExpectedAddress)
{
    addGruppe(kGruppe, QStringLiteral("Kunden"));
    const QString file = dir.write(QStringLiteral("in.csv"), Cp1252::encode(QStringLiteral("Kopf;Zeile\r\n") +
                                                                            GetParam().record + QStringLiteral("\r\n")));
    // A file whose only record has too few fields imports nothing and says why.
    EXPECT_EQ(ImportAdressenFile(ctx, kGruppe, file), !GetParam().tooFewFields);
    const QString message = GetParam().tooFewFields
                                ? QStringLiteral("Aus der CSV-Datei wurden keine Adressen importiert.\r\n\r\n1 Zeile "
                                                 "übersprungen: zu wenige Felder (eine Zeile braucht 6 durch Semikolon "
                                                 "getrennte Felder).")
                                : success(GetParam().expected.isEmpty() ? "Importiert: 0 Adressen" : "Importiert: 1 Adresse");
    EXPECT_EQ(messages.texts(), QStringList{message});

    QList<StoredAdresse> expected;
    int n = 1;
    for (const QStringList& l : GetParam().expected)
        expected.append({QStringLiteral("AD%1").arg(n++, 8, 10, QLatin1Char('0')), kGruppe, l[0], l[1], l[2], QString(),
                         l[3], QString(), QStringLiteral("1")});
    EXPECT_EQ(adressen(), expected);
    EXPECT_EQ(count(QStringLiteral("tab_daten")), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Records, ImportTableTest,
    ::testing::Values(
        ImportCase{"AllSix", "U;V;W;X;Y;Z", {{"U", "W V", "X", "Y Z"}}},
        ImportCase{"ThirdBlank", "U;V;;X;Y;Z", {{"U", "V", "X", "Y Z"}}},
        ImportCase{"SecondBlank", "U;;W;X;Y;Z", {{"U", "", "X", "Y Z"}}},
        ImportCase{"TrailingSemicolonAndBlank", "U;V;W;X;Y; ", {{"U", "W V", "X", " "}}},
        ImportCase{"TrailingSemicolonFiveFields", "U;V;W;X;Y;", {}, true},
        ImportCase{"TrailingSemicolonSixFields", "U;V;W;X;Y;Z;", {{"U", "W V", "X", "Y Z"}}},
        ImportCase{"FieldsAfterSixthIgnored", "U;V;W;X;Y;Z;extra;more", {{"U", "W V", "X", "Y Z"}}},
        ImportCase{"OnlySixth", ";;;;;Z", {{"", "", "", "Z"}}},
        ImportCase{"FiveSemicolons", ";;;;;", {}, true},
        ImportCase{"BlanksOnly", "     ", {}},
        ImportCase{"FiveFields", "U;V;W;X;Y", {}, true},
        ImportCase{"QuotesKept", "\"U\";V;W;X;Y;\"Z\"", {{"\"U\"", "W V", "X", "Y \"Z\""}}},
        ImportCase{"SemicolonInsideQuotesSplits", "\"A;B\";V;W;X;Y", {{"\"A", "V B\"", "W", "X Y"}}},
        ImportCase{"BlanksKeptUntrimmed", " U ; V ; W ;X;Y;Z", {{" U ", " W   V ", "X", "Y Z"}}},
        ImportCase{"ValueNamedLikeColumn", "Line2;Line3;;Aktiv;Y;Z", {{"Line2", "Line3", "Aktiv", "Y Z"}}},
        // Blank means the codes 0 to 32 only: a non-breaking space is text, a control
        // character is blank.
        ImportCase{"NonBreakingSpaceLineIsARecord", QStringLiteral("\u00a0;\u00a0;W;X;\u00a0;Z"),
                   {{QStringLiteral("\u00a0"), QStringLiteral("W \u00a0"), "X", QStringLiteral("\u00a0 Z")}}},
        ImportCase{"ControlCharactersAreBlank", QStringLiteral("U;\u0001\t;W;X;Y;\u001f"),
                   {{"U", QStringLiteral("\u0001\t"), "X", QStringLiteral("\u001f")}}},
        ImportCase{"ControlLineIsSkipped", QStringLiteral("\u0001\u0002 \t\u001f"), {}},
        ImportCase{"HeaderOnly", "", {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ExchangeTest, ImportSkipsBlankLinesAndHonoursEveryLineEnd)
{
    addGruppe(kGruppe, QStringLiteral("Kunden"));
    // CR LF, LF and CR alone; the first line is a header even when it looks like a record.
    const QString file = dir.write(QStringLiteral("in.csv"), "H1;H2;H3;H4;H5;H6\r\n\r\nA;;;;;1\n   \nB;;;;;2\rC;;;;;3");
    ASSERT_TRUE(ImportAdressenFile(ctx, kGruppe, file));
    QStringList line1, line5;
    for (const StoredAdresse& a : adressen()) {
        line1 << a.Line1;
        line5 << a.Line5;
    }
    EXPECT_EQ(line1, (QStringList{"A", "B", "C"}));
    EXPECT_EQ(line5, (QStringList{"1", "2", "3"}));
}

TEST_F(ExchangeTest, ImportCountsIdentifiersOnFromTheGreatestInUse)
{
    addGruppe(kGruppe, QStringLiteral("Kunden"));
    addGruppe(QStringLiteral("GR00000002"), QStringLiteral("Andere"));
    addAdresse(QStringLiteral("AD00000041"), QStringLiteral("GR00000002"), {"alt"});
    addAdresse(QStringLiteral("AD00000007"), kGruppe, {"alt"});
    const QString file = dir.write(QStringLiteral("in.csv"), "h\nA;;;;;1\nB;;;;;2\nC;;;;;3\n");
    ASSERT_TRUE(ImportAdressenFile(ctx, kGruppe, file));
    // Twice the same file gives every address twice, numbered on.
    ASSERT_TRUE(ImportAdressenFile(ctx, kGruppe, file));
    QStringList ids;
    for (const StoredAdresse& a : adressen(kGruppe))
        ids << a.Adresse_ID + u'=' + a.Line1;
    EXPECT_EQ(ids, (QStringList{"AD00000007=alt", "AD00000042=A", "AD00000043=B", "AD00000044=C", "AD00000045=A",
                                "AD00000046=B", "AD00000047=C"}));
}

TEST_F(ExchangeTest, ImportedAddressesInheritNoExtraDataOfDeletedOnes)
{
    // Left behind by an address deleted in an older version, under the next free number.
    addGruppe(kGruppe, QStringLiteral("Kunden"));
    addAdresse(QStringLiteral("AD00000001"), kGruppe, {"bleibt"});
    ctx.db().ExecSQL(QStringLiteral("INSERT INTO tab_daten (Daten_ID, Adresse_ID, Telefon, Bemerkung) "
                                    "VALUES ('DA00000001', 'AD00000002', '030 666', 'gelöschte Person')"));
    const QString file = dir.write(QStringLiteral("in.csv"), "h\nNeu;;;;;1\n");
    ASSERT_TRUE(ImportAdressenFile(ctx, kGruppe, file));
    EXPECT_EQ(ctx.db().GetTable(QStringLiteral("SELECT * FROM tab_daten")).Count(), 0);
}

// The same record in every encoding the import understands.
TEST_F(ExchangeTest, ImportDetectsByteOrderMarks)
{
    addGruppe(kGruppe, QStringLiteral("Kunden"));
    const QString text = QStringLiteral("Name;Vorname\r\nMüller GmbH;Weiß;Jürgen;Hauptstraße 5;50667;Köln €\r\n");
    auto encoded = [&](QStringConverter::Encoding e, bool bom) {
        QStringEncoder enc(e, bom ? QStringConverter::Flag::WriteBom : QStringConverter::Flag::Default);
        return QByteArray(enc(text));
    };
    const struct
    {
        const char* name;
        QByteArray bytes;
    } files[] = {
        {"utf8bom", encoded(QStringConverter::Utf8, true)},
        {"utf16le", encoded(QStringConverter::Utf16LE, true)},
        {"utf16be", encoded(QStringConverter::Utf16BE, true)},
        {"cp1252", Cp1252::encode(text)},
        {"utf8", encoded(QStringConverter::Utf8, false)},  // as LibreOffice and Linux tools write it
    };
    for (const auto& f : files) {
        SCOPED_TRACE(f.name);
        db().ExecSQL(QStringLiteral("DELETE FROM tab_adressen"));
        ASSERT_TRUE(ImportAdressenFile(ctx, kGruppe, dir.write(QString::fromLatin1(f.name) + ".csv", f.bytes)));
        const QList<StoredAdresse> got = adressen();
        ASSERT_EQ(got.size(), 1);
        EXPECT_EQ(got[0].Line1, QStringLiteral("Müller GmbH"));
        EXPECT_EQ(got[0].Line2, QStringLiteral("Jürgen Weiß"));
        EXPECT_EQ(got[0].Line3, QStringLiteral("Hauptstraße 5"));
        EXPECT_EQ(got[0].Line5, QStringLiteral("50667 Köln €"));
    }
}

// tests/fixtures/csv_libreoffice.csv was written by LibreOffice Calc 7.4 (Debian bookworm,
// libreoffice-calc-nogui) from csv_libreoffice_source.fods with
//   soffice --headless --convert-to 'csv:Text - txt - csv (StarCalc):59,34,1,1' csv_libreoffice_source.fods
// (separator ";", text in double quotes, Windows-1252). Calc quotes every text cell, and the
// import keeps quotes, splits at the ";" inside a quoted cell and skips rows that end in an
// empty cell, exactly as it does for hand-written files.
TEST_F(ExchangeTest, ImportsFileWrittenByLibreOfficeCalc)
{
    addGruppe(kGruppe, QStringLiteral("Kunden"));
    ASSERT_TRUE(ImportAdressenFile(ctx, kGruppe, QStringLiteral(TAVISTO_FIXTURES "/csv_libreoffice.csv")));
    QList<QStringList> got;
    for (const StoredAdresse& a : adressen())
        got << QStringList{a.Line1, a.Line2, a.Line3, a.Line4, a.Line5, a.Line6, a.Aktiv};
    const QList<QStringList> expected{
        {"\"Müller GmbH\"", "\"Jürgen\" \"Müller\"", "\"Hauptstraße 5\"", "", "\"50667\" \"Köln\"", "", "1"},
        {"\"Café \"\"Zur Ecke\"\"\"", "\"Änne\" \"Weiß\"", "\"Am Markt 1\"", "", "\"80331\" \"München\"", "", "1"},
        {"", "\"Schmidt\"", "\"Gartenweg 2\"", "", "\"01067\" \"Dresden\"", "", "1"},
        {"\"Meier", "\"Meier\"  Söhne\"", "\"Tom\"", "", "\"Weg 3\" \"10115\"", "", "1"},
    };
    EXPECT_EQ(got, expected);
}

TEST_F(ExchangeTest, ImportFailingStatementKeepsEarlierRecordsAndEndsTransaction)
{
    addGruppe(kGruppe, QStringLiteral("Kunden"));
    db().ExecSQL(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON tab_adressen WHEN NEW.Line1 = 'BAD' "
                                "BEGIN SELECT RAISE(ABORT, 'refused'); END"));
    const QString file = dir.write(QStringLiteral("in.csv"), "h\nA;;;;;1\nB;;;;;2\nBAD;;;;;3\nC;;;;;4\n");
    EXPECT_FALSE(ImportAdressenFile(ctx, kGruppe, file));
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("Fehler beim Einlesen der Adressdaten!")});
    EXPECT_EQ(messages.shown.value(0).kind, Msg::Error);
    QStringList line1;
    for (const StoredAdresse& a : adressen())
        line1 << a.Line1;
    EXPECT_EQ(line1, (QStringList{"A", "B"}));
    // The transaction was committed: the next write starts its own.
    EXPECT_FALSE(db().InTransaction());
    EXPECT_NO_THROW(addGruppe(QStringLiteral("GR00000009"), QStringLiteral("danach")));
}

TEST_F(ExchangeTest, ImportAsksForGroupReminderAndFile)
{
    ScriptedFileDialogs dialogs;
    dialogs.openName = dir.write(QStringLiteral("in.csv"), "h\nA;;;;;1\n");

    // No groups at all.
    EXPECT_FALSE(ImportAdressen(ctx, nullptr, QString(), &dialogs));
    // Groups, none selected.
    addGruppe(kGruppe, QStringLiteral("Kunden"));
    EXPECT_FALSE(ImportAdressen(ctx, nullptr, QString(), &dialogs));
    EXPECT_EQ(messages.texts(),
              (QStringList{"Es ist keine Gruppe für den Import vorhanden! Bitte legen Sie eine neue Gruppe an.",
                           "Bitte wählen Sie eine Gruppe für den Import!"}));
    EXPECT_EQ(dialogs.openCalls, 0);

    // The reminder answered with Cancel: no dialog.
    messages.shown.clear();
    messages.answer({Msg::IdCancel});
    EXPECT_FALSE(ImportAdressen(ctx, nullptr, kGruppe, &dialogs));
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].text,
              QStringLiteral("Bitte sichern Sie vor dem Importieren die Datenbank, um diese bei Bedarf wieder "
                             "herstellen zu können.\r\n\r\nWählen Sie \"Abbrechen\", wenn Sie den Import zu einem "
                             "späteren Zeitpunkt vornehmen möchten."));
    EXPECT_EQ(messages.shown[0].kind, Msg::Information);
    EXPECT_EQ(messages.shown[0].buttons, Msg::Ok | Msg::Cancel);
    EXPECT_EQ(dialogs.openCalls, 0);

    // The dialog cancelled: nothing imported, nothing said.
    messages.shown.clear();
    const QString chosen = dialogs.openName;
    dialogs.openName.clear();
    EXPECT_FALSE(ImportAdressen(ctx, nullptr, kGruppe, &dialogs));
    EXPECT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(dialogs.lastTitle, QStringLiteral("Adressen importieren"));
    EXPECT_EQ(dialogs.lastFolder, GetKnownFolder(CSIDL_PERSONAL));
    EXPECT_EQ(dialogs.lastFilters, (QStringList{QStringLiteral("CSV-Datei (*.csv)"), QStringLiteral("vCard-Datei (*.vcf)"),
                           QStringLiteral("Tabelle mit Spaltenüberschriften (*.ods *.xlsx *.xls *.csv *.txt)")}));
    EXPECT_EQ(count(QStringLiteral("tab_adressen")), 0);

    // OK and a file: imported into the given group, the list must be reloaded.
    messages.shown.clear();
    dialogs.openName = chosen;
    EXPECT_TRUE(ImportAdressen(ctx, nullptr, kGruppe, &dialogs));
    EXPECT_EQ(messages.texts().last(), success("Importiert: 1 Adresse"));
    ASSERT_EQ(adressen(kGruppe).size(), 1);
}

TEST_F(ExchangeTest, ImportOfUnreadableFileReachesGeneralErrorAndChangesNothing)
{
    addGruppe(kGruppe, QStringLiteral("Kunden"));
    EXPECT_THROW(ImportAdressenFile(ctx, kGruppe, dir.file(QStringLiteral("fehlt.csv"))), ExchangeError);
    EXPECT_EQ(count(QStringLiteral("tab_adressen")), 0);
    EXPECT_FALSE(db().InTransaction());
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(ExchangeTest, ImportWithoutAddressTableStopsSilently)
{
    addGruppe(kGruppe, QStringLiteral("Kunden"));
    db().ExecSQL(QStringLiteral("DROP TABLE tab_adressen"));
    EXPECT_FALSE(ImportAdressenFile(ctx, kGruppe, dir.write(QStringLiteral("in.csv"), "h\nA;;;;;1\n")));
    EXPECT_TRUE(messages.shown.isEmpty());
}

} // namespace
