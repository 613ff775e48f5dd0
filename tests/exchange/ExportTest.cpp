#include "ExchangeFixture.h"

#include "app/AdressenRows.h"
#include "exchange/ExchangeError.h"
#include "exchange/Export.h"
#include "exchange/ExportLayout.h"
#include "shell/AppPaths.h"
#include "support/FileSizeLimit.h"

#include <QFile>
#include <QFileInfo>

namespace {

// The address list as the main window shows it: column 0 the running number, 1..5 the
// lines, 6 the sort name, 7 the active mark.
class ShownRows : public AdressenRows
{
public:
    void add(const QStringList& lines, const QString& mark)
    {
        QStringList row{QString::number(m_rows.size() + 1)};
        row << lines << mark;
        m_rows << row;
    }
    int RowCount() const override { return int(m_rows.size()); }
    QString Cell(int row, int column) const override { return m_rows.at(row).value(column); }
    void SetCell(int row, int column, const QString& text) override { m_rows[row][column] = text; }
    std::optional<TAdresseData> Data(int) const override { return std::nullopt; }

private:
    QList<QStringList> m_rows;
};

// The files of the folder, sorted by code point.
QStringList filesIn(const QString& folder)
{
    QStringList names = QDir(folder).entryList(QDir::Files);
    names.sort();
    return names;
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return "<missing>";
    return f.readAll();
}

class ExportTest : public ExchangeTest
{
protected:
    void choose(const QString& name, int filter)
    {
        dialogs.save.fileName = dir.file(name);
        dialogs.save.filterIndex = filter;
    }
    ScriptedFileDialogs dialogs;
};

TEST_F(ExportTest, AddressesAsCsvAreExactlyTheRowsShownInWindows1252)
{
    // The database holds other addresses too; only the rows handed over are written.
    addGruppe("GR00000001", "Kunden");
    addAdresse("AD00000001", "GR00000001", {"Nicht", "gezeigt"});
    ShownRows rows;
    rows.add({"Zoë Łukasz", "Hauptstraße 5", "", "c/o \"Ecke\"", "50667 Köln", "Müller"}, " X ");
    rows.add({" Anna ", "", "Weg 1", "", "€ 5 ő", ""}, "");
    choose("Adressen", 1);
    ExportAdressen(ctx, nullptr, rows, &dialogs);

    EXPECT_EQ(dialogs.lastTitle, QStringLiteral("Adressen exportieren"));
    EXPECT_EQ(dialogs.lastDefaultName, QStringLiteral("Adressen"));
    EXPECT_EQ(dialogs.lastFolder, GetKnownFolder(CSIDL_PERSONAL));
    EXPECT_EQ(dialogs.lastFilters, (QStringList{"Textdatei (*.txt)", "CSV-Datei (*.csv)", "Tabelle (*.ods *.xlsx)",
                                                "CSV-Datei UTF-8 mit allen Feldern (*.csv)"}));
    EXPECT_EQ(dialogs.lastSelectedFilter, 0);
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("Die Adressen wurden als CSV-Datei gespeichert.")});

    // Untrimmed values, the active mark trimmed, quotes doubled, "Ł" and "ő" spelled
    // with the Latin letters the code page has; no byte order mark.
    const QByteArray expected = "\"Zeile 1\";\"Zeile 2\";\"Zeile 3\";\"Zeile 4\";\"Zeile 5\";\"Name\";\"Aktiv\"\r\n"
                                "\"Zo\xEB Lukasz\";\"Hauptstra\xDF" "e 5\";\"\";\"c/o \"\"Ecke\"\"\";\"50667 K\xF6ln\";"
                                "\"M\xFCller\";\"X\"\r\n"
                                "\" Anna \";\"\";\"Weg 1\";\"\";\"\x80 5 o\";\"\";\"\"\r\n";
    EXPECT_EQ(readAll(dir.file("Adressen.csv")), expected);
}

TEST_F(ExportTest, TextLayoutWritesNonBlankLinesAndAnEmptyLinePerRecord)
{
    ShownRows rows;
    rows.add({"Erika Muster", "  ", "Weg 1", "", " 12345 Ort", "Muster Erika"}, "X");
    rows.add({"Zweite", "", "", "", "", ""}, "");
    choose("Adressen.TXT", 0);
    ExportAdressen(ctx, nullptr, rows, &dialogs);
    // The sort name is a line of its own, the active mark is not written.
    EXPECT_EQ(readAll(dir.file("Adressen.TXT")), QByteArray("Erika Muster\r\nWeg 1\r\n 12345 Ort\r\nMuster Erika\r\n\r\n"
                                                            "Zweite\r\n\r\n"));
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("Die Adressen wurden als Textdatei gespeichert.")});
}

TEST(ExportLayoutBlanks, OnlyCodesUpToTheSpaceAreBlank)
{
    const QString nbsp = QStringLiteral("\u00a0");
    const ExportRows rows{{"Erika", nbsp, QStringLiteral("\u0001\u0002"), QStringLiteral("\t\u001f"), "Ort", nbsp,
                           QStringLiteral("\u0001X\t")},
                          {"Zweite", "", "", "", "", "", nbsp + "X" + nbsp}};
    // A line of a non-breaking space is written, a line of control characters is not.
    EXPECT_EQ(ExportLayout::TextLines(rows), (QStringList{"Erika", nbsp, "Ort", nbsp, "", "Zweite", ""}));
    // The mark is trimmed of control characters only.
    const QStringList csv = ExportLayout::CsvLines("Kopf", rows);
    ASSERT_EQ(csv.size(), 3);
    EXPECT_TRUE(csv[1].endsWith(QStringLiteral("\";\"X\""))) << csv[1].toStdString();
    EXPECT_TRUE(csv[2].endsWith(u'"' + nbsp + "X" + nbsp + u'"')) << csv[2].toStdString();
}

TEST_F(ExportTest, SendersFromTheSenderListInBothLayouts)
{
    addAbsender("AB00000001", {"Firma Eins", "", "Straße 1", "", "12345 Ort"});
    addAbsender("AB00000002", {"Zwei \"GmbH\"", "b", "c", "d", "e"});
    addAbsender("AB00000003", {"Drei", "", "", "", ""});
    // One banner gives the mark, two banners give none (as the sender list shows it).
    db().ExecSQL("INSERT INTO tab_banner VALUES ('BN00000001', 'AB00000001', x'FF')");
    db().ExecSQL("INSERT INTO tab_banner VALUES ('BN00000002', 'AB00000003', x'FF')");
    db().ExecSQL("INSERT INTO tab_banner VALUES ('BN00000003', 'AB00000003', x'FF')");

    choose("Absender", 0);
    ExportAbsender(ctx, nullptr, &dialogs);
    EXPECT_EQ(dialogs.lastTitle, QStringLiteral("Absender exportieren"));
    EXPECT_EQ(dialogs.lastDefaultName, QStringLiteral("Absender"));
    EXPECT_EQ(readAll(dir.file("Absender.txt")), QByteArray("Firma Eins\r\nStra\xDF" "e 1\r\n12345 Ort\r\n\r\n"
                                                           "Zwei \"GmbH\"\r\nb\r\nc\r\nd\r\ne\r\n\r\n"
                                                           "Drei\r\n\r\n"));

    choose("Absender", 1);
    ExportAbsender(ctx, nullptr, &dialogs);
    EXPECT_EQ(readAll(dir.file("Absender.csv")),
              QByteArray("\"Zeile 1\";\"Zeile 2\";\"Zeile 3\";\"Zeile 4\";\"Zeile 5\";\"Banner\"\r\n"
                         "\"Firma Eins\";\"\";\"Stra\xDF" "e 1\";\"\";\"12345 Ort\";\"x\"\r\n"
                         "\"Zwei \"\"GmbH\"\"\";\"b\";\"c\";\"d\";\"e\";\"\"\r\n"
                         "\"Drei\";\"\";\"\";\"\";\"\";\"\"\r\n"));
    EXPECT_EQ(messages.texts(), (QStringList{"Die Absender wurden als Textdatei gespeichert.",
                                             "Die Absender wurden als CSV-Datei gespeichert."}));
}

TEST(ExportExtension, FilterDecidesTheExtension)
{
    const struct
    {
        const char* typed;
        int filter;
        const char* written;
    } cases[] = {
        {"/d/Adressen", 0, "/d/Adressen.txt"},
        {"/d/Adressen", 1, "/d/Adressen.csv"},
        {"/d/Adressen.csv", 0, "/d/Adressen.csv.txt"},
        {"/d/Adressen.txt", 1, "/d/Adressen.txt.csv"},
        {"/d/Adressen.TXT", 0, "/d/Adressen.TXT"},
        {"/d/Adressen.Csv", 1, "/d/Adressen.Csv"},
        {"/d/Adressen.", 0, "/d/Adressen..txt"},
        {"/d/alt.v2/Adressen", 0, "/d/alt.v2/Adressen.txt"},
        {"/d/Adressen.txt.bak", 0, "/d/Adressen.txt.bak.txt"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ExportLayout::WithExtension(QString::fromUtf8(c.typed), c.filter), QString::fromUtf8(c.written))
            << c.typed << " filter " << c.filter;
}

TEST_F(ExportTest, CsvNameWithTextFilterIsWrittenAsTextWithSecondExtension)
{
    ShownRows rows;
    rows.add({"A", "B", "", "", "", ""}, "X");
    choose("Adressen.csv", 0);
    ExportAdressen(ctx, nullptr, rows, &dialogs);
    EXPECT_FALSE(QFileInfo::exists(dir.file("Adressen.csv")));
    EXPECT_EQ(readAll(dir.file("Adressen.csv.txt")), QByteArray("A\r\nB\r\n\r\n"));
}

TEST_F(ExportTest, NothingToExportOrCancelledWritesNothing)
{
    ShownRows empty;
    choose("Adressen", 0);
    ExportAdressen(ctx, nullptr, empty, &dialogs);
    ExportAbsender(ctx, nullptr, &dialogs);
    EXPECT_EQ(messages.texts(), (QStringList{"Es sind keine Adressen zum Exportieren vorhanden!",
                                             "Es sind keine Absender zum Exportieren vorhanden!"}));
    EXPECT_EQ(dialogs.saveCalls, 0);

    messages.shown.clear();
    ShownRows rows;
    rows.add({"A", "", "", "", "", ""}, "X");
    dialogs.save = {};
    ExportAdressen(ctx, nullptr, rows, &dialogs);
    EXPECT_EQ(dialogs.saveCalls, 1);
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_TRUE(QDir(dir.path()).entryList({"Adressen*"}).isEmpty());
}

TEST_F(ExportTest, ExistingFileIsReplacedWholeOnlyAfterYes)
{
    ShownRows rows;
    rows.add({"Kurz", "", "", "", "", ""}, "X");
    const QByteArray old(4000, 'o');
    const QString target = dir.write("Adressen.txt", old);
    choose("Adressen", 0);

    messages.answer({Msg::IdNo});
    ExportAdressen(ctx, nullptr, rows, &dialogs);
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].text,
              QStringLiteral("Es existiert bereits eine Datei unter diesem Namen!\nSoll diese Datei überschrieben werden?"));
    EXPECT_EQ(messages.shown[0].kind, Msg::Warning);
    EXPECT_EQ(messages.shown[0].buttons, Msg::Yes | Msg::No);
    EXPECT_EQ(readAll(target), old);

    messages.shown.clear();
    messages.answer({Msg::IdYes});
    ExportAdressen(ctx, nullptr, rows, &dialogs);
    EXPECT_EQ(readAll(target), QByteArray("Kurz\r\n\r\n"));
    EXPECT_EQ(messages.texts().last(), QStringLiteral("Die Adressen wurden als Textdatei gespeichert."));
    // No temporary file is left beside it.
    EXPECT_EQ(filesIn(dir.path()), (QStringList{"Adressen.txt", "Tavisto.dbs"}));
}

TEST_F(ExportTest, UnwritableTargetRaisesGeneralErrorAndLeavesNoFile)
{
    ShownRows rows;
    rows.add({"A", "", "", "", "", ""}, "X");
    // Runs as root in CI, where permissions stop nothing: a regular file stands where the
    // folder must be.
    dir.write("keinOrdner", "file");
    dialogs.save.fileName = dir.file("keinOrdner/Adressen");
    dialogs.save.filterIndex = 1;
    try {
        ExportAdressen(ctx, nullptr, rows, &dialogs);
        ADD_FAILURE() << "no error raised";
    } catch (const ExchangeError& e) {
        EXPECT_TRUE(e.message().contains(dir.file("keinOrdner/Adressen.csv"))) << e.message().toStdString();
    }
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_EQ(readAll(dir.file("keinOrdner")), QByteArray("file"));
    EXPECT_EQ(filesIn(dir.path()), (QStringList{"Tavisto.dbs", "keinOrdner"}));
}

// A write that fails half way (a full disk) must leave the old file as it was. A file
// size limit makes the write fail for root as well.
TEST_F(ExportTest, WriteFailingHalfWayKeepsTheOldFile)
{
    ShownRows rows;
    for (int i = 0; i < 200; ++i)
        rows.add({QStringLiteral("Adresse Nummer %1 mit einer langen ersten Zeile").arg(i), "", "", "", "", ""}, "X");
    const QByteArray old("alter Inhalt\r\n");
    const QString target = dir.write("Adressen.txt", old);
    choose("Adressen", 0);
    messages.answer({Msg::IdYes});

    bool raised = false;
    {
        FileSizeLimit limit(4096);
        try {
            ExportAdressen(ctx, nullptr, rows, &dialogs);
        } catch (const ExchangeError&) {
            raised = true;
        }
    }

    EXPECT_TRUE(raised);
    EXPECT_EQ(readAll(target), old);
    EXPECT_EQ(filesIn(dir.path()), (QStringList{"Adressen.txt", "Tavisto.dbs"}));
    EXPECT_EQ(messages.texts().size(), 1) << "success reported";
}

} // namespace
