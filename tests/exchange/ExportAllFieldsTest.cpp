// "Adressen exportieren" as a table or a UTF-8 CSV file: every line and every extra field
// of the rows the list shows, in the order shown, under the header the import knows.
#include "ExchangeFixture.h"

#include "exchange/ExchangeError.h"
#include "exchange/ExchangeProgressWindow.h"
#include "exchange/Export.h"
#include "exchange/ExportAllFields.h"
#include "sheets/TableSource.h"
#include "support/FakeAdressenRows.h"
#include "support/QtPrint.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>

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

// ---- the progress window ----

struct ProgressCase
{
    const char* file;
    int filter; // the dialog's entry: 2 table, 3 UTF-8 CSV
};

void PrintTo(const ProgressCase& c, std::ostream* os) { *os << c.file; }

class ExportProgressTest : public ExportAllFieldsTest, public ::testing::WithParamInterface<ProgressCase>
{
protected:
    static constexpr int kRows = 60;

    void SetUp() override
    {
        ExportAllFieldsTest::SetUp();
        for (int i = 0; i < kRows; ++i)
            shown.addWithoutData({QStringLiteral("Firma %1").arg(i), QStringLiteral("Anna Groß"), QStringLiteral("Weg 1"),
                                  QString(), QStringLiteral("01067 Dresden")});
    }

    QString target() const { return dir.file(QString::fromUtf8(GetParam().file)); }

    bool write(ImportProgress& progress)
    {
        const ExportRows rows = ExportAllFields::Rows(db(), shown);
        return GetParam().filter == 2 ? ExportAllFields::WriteTable(target(), rows, &progress)
                                      : ExportAllFields::WriteUtf8Csv(target(), rows, &progress);
    }

    QByteArray bytesOf(const QString& path) const
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }

    const QByteArray oldBytes = QByteArray("die alte Datei, nicht anzurühren\r\n");
};

TEST_P(ExportProgressTest, ProgressCountsEveryRowUpToTheTotal)
{
    CancelAfter progress;
    ASSERT_TRUE(write(progress));
    const int total = kRows + 2;
    ASSERT_EQ(progress.steps.size(), total);
    for (int i = 0; i < total; ++i)
        EXPECT_EQ(progress.steps[i], i + 1);
    EXPECT_DOUBLE_EQ(progress.fractions.last(), 1.0);
    EXPECT_EQ(readBack(target()).size(), total + 1);
}

TEST_P(ExportProgressTest, CancelMidwayKeepsTheExistingFileByteForByte)
{
    dir.write(QString::fromUtf8(GetParam().file), oldBytes);
    CancelAfter progress(25);
    EXPECT_FALSE(write(progress));
    EXPECT_EQ(progress.steps.size(), 26); // cancelled at the 26th row
    EXPECT_EQ(bytesOf(target()), oldBytes);
    // No half-written temporary file is left beside it.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files),
              (QStringList{QString::fromUtf8(GetParam().file), QStringLiteral("Tavisto.dbs")}));

    // Without an old file there is none afterwards.
    QFile::remove(target());
    CancelAfter again(25);
    EXPECT_FALSE(write(again));
    EXPECT_FALSE(QFileInfo::exists(target()));
}

// "Abbrechen" in the command's own window: the old file stays, the message says so.
TEST_P(ExportProgressTest, AbbrechenInTheWindowOfTheCommand)
{
    dir.write(QString::fromUtf8(GetParam().file), oldBytes);
    messages.answer({Msg::IdYes}); // replace the existing file
    QString seenTitle;
    QTimer::singleShot(0, [&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* d = qobject_cast<QProgressDialog*>(w); d && d->objectName() == u"Form_ExportProgress") {
                seenTitle = d->windowTitle();
                d->findChild<QPushButton*>(QStringLiteral("Button_Abbrechen"))->click();
            }
    });
    dialogs.save.fileName = target();
    dialogs.save.filterIndex = GetParam().filter;
    ExportAdressen(ctx, nullptr, shown, &dialogs);
    EXPECT_EQ(seenTitle, QStringLiteral("Adressen exportieren"));
    ASSERT_EQ(messages.shown.size(), 2);
    EXPECT_EQ(messages.shown[1].text, QStringLiteral("Der Export wurde abgebrochen. Es wurde keine Datei geschrieben."));
    EXPECT_EQ(bytesOf(target()), oldBytes);
}

INSTANTIATE_TEST_SUITE_P(Kinds, ExportProgressTest,
                         ::testing::Values(ProgressCase{"Adressen.ods", 2}, ProgressCase{"Adressen.xlsx", 2},
                                           ProgressCase{"Adressen.csv", 3}),
                         [](const auto& info) { return std::string(info.param.file).substr(9); });

TEST(ExchangeProgressWindow, ExportCountsUpToTheTotalAndTakesAbbrechen)
{
    ExchangeProgressWindow progress(nullptr, QStringLiteral("Adressen exportieren"), 3);
    QProgressDialog* d = progress.Dialog();
    EXPECT_EQ(d->objectName(), QStringLiteral("Form_ExportProgress"));
    EXPECT_EQ(d->windowTitle(), QStringLiteral("Adressen exportieren"));
    EXPECT_TRUE(progress.Step(1, 1.0 / 3));
    EXPECT_EQ(d->labelText(), QStringLiteral("1 von 3 Adressen geschrieben..."));
    EXPECT_TRUE(progress.Step(2, 2.0 / 3));
    // The last row shows at once, whatever time has passed.
    EXPECT_TRUE(progress.Step(3, 1.0));
    EXPECT_EQ(d->labelText(), QStringLiteral("3 von 3 Adressen geschrieben..."));
    d->findChild<QPushButton*>(QStringLiteral("Button_Abbrechen"))->click();
    EXPECT_FALSE(progress.Step(3, 1.0));
    progress.Done();
    EXPECT_FALSE(d->isVisible());
}

} // namespace
