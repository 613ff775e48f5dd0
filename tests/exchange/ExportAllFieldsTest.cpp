// "Adressen exportieren" as a table or a UTF-8 CSV file: every line and every extra field
// of the rows the list shows, in the order shown, under the header the import knows.
#include "ExchangeFixture.h"

#include "exchange/ExchangeError.h"
#include "exchange/Export.h"
#include "exchange/ExportAllFields.h"
#include "sheets/TableSource.h"
#include "support/FakeAdressenRows.h"
#include "support/QtPrint.h"

#include <QFile>

namespace {

const QStringList kHeader{"Zeile 1", "Zeile 2", "Zeile 3", "Zeile 4",    "Zeile 5",   "Name",  "Telefon",
                          "Fax",     "Handy",   "E-Mail",  "Versandart", "Bemerkung", "Aktiv", "Gruppe"};

class ExportAllFieldsTest : public ExchangeTest
{
protected:
    void SetUp() override
    {
        ExchangeTest::SetUp();
        addGruppe("GR00000001", "Verein \"Eintracht\"");
        addGruppe("GR00000002", "Kunden");
        addAdresse("AD00000001", "GR00000001", {"Herrn", "Jürgen Müller", "Hauptstraße 5", "", "01067 Dresden", "Müller Jürgen"});
        addDaten("DA00000001", "AD00000001",
                 {"0351 123", "0351 124", "0171 55", "jm@example.de", "Post", "sagt \"Hallo\"; zweite\nZeile"});
        addAdresse("AD00000002", "GR00000002", {"Öztürk GmbH", "", "Weg 1", "", "70173 Stuttgart", ""}, 0);
        // The list shows the rows (here the second one first, inactive without a mark).
        shown.add("AD00000002", {"Öztürk GmbH", "", "Weg 1", "", "70173 Stuttgart"}, "", "GR00000002");
        shown.rows.back().cells[7] = " ";
        shown.add("AD00000001", {"Herrn", "Jürgen Müller", "Hauptstraße 5", "", "01067 Dresden"}, "Müller Jürgen");
    }

    QList<QStringList> expectedRows() const
    {
        return {kHeader,
                {"Öztürk GmbH", "", "Weg 1", "", "70173 Stuttgart", "", "", "", "", "", "", "", "", "Kunden"},
                {"Herrn", "Jürgen Müller", "Hauptstraße 5", "", "01067 Dresden", "Müller Jürgen", "0351 123", "0351 124",
                 "0171 55", "jm@example.de", "Post", "sagt \"Hallo\"; zweite\nZeile", "X", "Verein \"Eintracht\""}};
    }

    void exportAs(const QString& name, int filter)
    {
        dialogs.save.fileName = dir.file(name);
        dialogs.save.filterIndex = filter;
        ExportAdressen(ctx, nullptr, shown, &dialogs);
    }

    FakeAdressenRows shown;
    ScriptedFileDialogs dialogs;
};

// Every cell read back, trailing empty ones filled up to the header's width.
QList<QStringList> readBack(const QString& path, const sheets::TextOptions* options = nullptr)
{
    std::unique_ptr<sheets::TableSource> source = sheets::OpenTableFile(path, options);
    QList<QStringList> rows;
    source->ReadRows(0, [&](const sheets::Row& row, double) {
        QStringList cells;
        for (const sheets::Cell& c : row)
            cells << c.Text;
        while (cells.size() < kHeader.size())
            cells << QString();
        rows << cells;
        return true;
    });
    return rows;
}

TEST_F(ExportAllFieldsTest, TheHeaderIsTheContractWithTheImport)
{
    EXPECT_EQ(ExportAllFields::Header(), kHeader);
}

TEST_F(ExportAllFieldsTest, Utf8CsvQuotesEveryValueBehindAByteOrderMark)
{
    exportAs("Adressen", 3);
    EXPECT_EQ(messages.texts(), QStringList{"Die Adressen wurden als CSV-Datei mit allen Feldern gespeichert."});
    QFile f(dir.file("Adressen.csv"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    const QByteArray expected =
        "\xEF\xBB\xBF"
        "\"Zeile 1\";\"Zeile 2\";\"Zeile 3\";\"Zeile 4\";\"Zeile 5\";\"Name\";\"Telefon\";\"Fax\";\"Handy\";\"E-Mail\";"
        "\"Versandart\";\"Bemerkung\";\"Aktiv\";\"Gruppe\"\r\n"
        "\"Öztürk GmbH\";\"\";\"Weg 1\";\"\";\"70173 Stuttgart\";\"\";\"\";\"\";\"\";\"\";\"\";\"\";\"\";\"Kunden\"\r\n"
        "\"Herrn\";\"Jürgen Müller\";\"Hauptstraße 5\";\"\";\"01067 Dresden\";\"Müller Jürgen\";\"0351 123\";"
        "\"0351 124\";\"0171 55\";\"jm@example.de\";\"Post\";\"sagt \"\"Hallo\"\"; zweite\nZeile\";\"X\";"
        "\"Verein \"\"Eintracht\"\"\"\r\n";
    EXPECT_EQ(bytes, expected);
    // Our own reader of any-column files takes it back whole, guessing ";" and UTF-8.
    EXPECT_EQ(readBack(dir.file("Adressen.csv")), expectedRows());
}

TEST_F(ExportAllFieldsTest, TablesAsOdsOrXlsxAfterTheNamesSuffix)
{
    struct Case
    {
        const char* typed;
        const char* written;
    };
    for (const Case& c : {Case{"Adressen", "Adressen.ods"}, Case{"Liste.XLSX", "Liste.XLSX"}, Case{"Mitglieder.ods", "Mitglieder.ods"},
                          Case{"Adressen.csv", "Adressen.csv.ods"}}) {
        messages.shown.clear();
        exportAs(c.typed, 2);
        EXPECT_EQ(messages.texts(), QStringList{"Die Adressen wurden als Tabelle gespeichert."}) << c.typed;
        const QString path = dir.file(c.written);
        ASSERT_TRUE(QFileInfo::exists(path)) << c.written;
        EXPECT_EQ(readBack(path), expectedRows()) << c.written;
        EXPECT_EQ(sheets::OpenTableFile(path)->SheetNames(), QStringList{"Adressen"});
    }
}

TEST_F(ExportAllFieldsTest, TheTwoOldLayoutsStayAsTheyWere)
{
    exportAs("Adressen", 1);
    QFile f(dir.file("Adressen.csv"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().startsWith("\"Zeile 1\";\"Zeile 2\";\"Zeile 3\";\"Zeile 4\";\"Zeile 5\";\"Name\";\"Aktiv\"\r\n"));
    EXPECT_EQ(messages.texts(), QStringList{"Die Adressen wurden als CSV-Datei gespeichert."});
}

TEST_F(ExportAllFieldsTest, AFileThatCannotBeWrittenIsAnErrorAndNoSuccess)
{
    for (int filter : {2, 3}) {
        messages.shown.clear();
        dialogs.save.fileName = dir.file("fehlt/Adressen");
        dialogs.save.filterIndex = filter;
        EXPECT_THROW(ExportAdressen(ctx, nullptr, shown, &dialogs), ExchangeError) << filter;
        EXPECT_TRUE(messages.texts().isEmpty()) << filter;
    }
}

TEST_F(ExportAllFieldsTest, AnExistingFileIsReplacedOnlyAfterYes)
{
    exportAs("Adressen.xlsx", 2);
    messages.shown.clear();
    messages.answer({Msg::IdNo});
    shown.rows.pop_back();
    exportAs("Adressen.xlsx", 2);
    EXPECT_EQ(readBack(dir.file("Adressen.xlsx")).size(), 3); // unchanged
    messages.answer({Msg::IdYes});
    exportAs("Adressen.xlsx", 2);
    EXPECT_EQ(readBack(dir.file("Adressen.xlsx")).size(), 2);
}

} // namespace
