// The readers of .xlsx, .ods, .xls and delimited text, on files made by openpyxl, odfpy
// and xlwt (make_sheets.py): what the sheet shows arrives, cell by cell.
#include "SheetFiles.h"
#include "sheets/DelimitedSource.h"
#include "sheets/TableSource.h"
#include "support/QtPrint.h"

#include <gtest/gtest.h>

using namespace sheets;
using SheetFiles::File;
using SheetFiles::FileTexts;

namespace {

const QStringList kHeader{"Name", "Vorname", "Straße", "PLZ", "Ort", "Eintritt", "Aktiv", "Beitrag"};

struct CellCase
{
    const char* file;
    int row;
    int column;
    const char* text;
    bool number;
    bool formatted;
};

class SheetCells : public ::testing::TestWithParam<CellCase>
{
};

// What each kind of cell becomes: postal codes with and without the "00000" format, dates,
// booleans, general numbers, shared, inline and rich strings, formulas' cached values.
TEST_P(SheetCells, ArriveAsTheSheetShowsThem)
{
    const CellCase& c = GetParam();
    std::unique_ptr<TableSource> source = OpenTableFile(File(QString::fromUtf8(c.file)));
    const std::vector<Row> rows = SheetFiles::Rows(*source);
    ASSERT_LT(size_t(c.row), rows.size());
    ASSERT_LT(size_t(c.column), rows[size_t(c.row)].size()) << c.file << " row " << c.row;
    const Cell& cell = rows[size_t(c.row)][size_t(c.column)];
    EXPECT_EQ(cell.Text, QString::fromUtf8(c.text)) << c.file << " row " << c.row << " column " << c.column;
    EXPECT_EQ(cell.Number, c.number) << c.file << " row " << c.row << " column " << c.column;
    EXPECT_EQ(cell.Formatted, c.formatted) << c.file << " row " << c.row << " column " << c.column;
}

INSTANTIATE_TEST_SUITE_P(
    Files, SheetCells,
    ::testing::Values(
        // .xlsx (openpyxl)
        CellCase{"table.xlsx", 1, 0, "Müller", false, false},                 // shared string
        CellCase{"table.xlsx", 1, 1, "Jürgen", false, false},                 // inline string
        CellCase{"table.xlsx", 1, 3, "01067", true, true},                    // 1067 under "00000"
        CellCase{"table.xlsx", 2, 3, "1067", true, false},                    // 1067 without a format
        CellCase{"table.xlsx", 1, 5, "01.03.2024", false, true},              // custom date format
        CellCase{"table.xlsx", 2, 5, "31.12.1999", false, true},              // built-in date format 14
        CellCase{"table.xlsx", 1, 6, "WAHR", false, false},
        CellCase{"table.xlsx", 2, 6, "FALSCH", false, false},
        CellCase{"table.xlsx", 1, 7, "3,5", true, false},
        CellCase{"table.xlsx", 2, 7, "12", true, false},                      // no ".0"
        CellCase{"table.xlsx", 3, 7, "1.234,50", true, true},                 // "#,##0.00"
        CellCase{"table.xlsx", 6, 1, "Formel!", false, false},                // a formula's cached value
        CellCase{"table.xlsx", 7, 1, "Fett und dünn", false, false},          // rich text runs
        CellCase{"table.xlsx", 8, 1, "  frei\rstehend", false, false},        // blanks and _x000D_ kept
        CellCase{"table.xlsx", 9, 1, "4930123456", true, false},
        CellCase{"table.xlsx", 9, 2, "25%", true, true},
        CellCase{"table.xlsx", 9, 3, "WAHR", false, false},                   // a cell without a reference
        // .ods (odfpy)
        CellCase{"table.ods", 1, 0, "Müller", false, false},                  // text with a span
        CellCase{"table.ods", 1, 1, "Jürgen   Karl", false, false},           // text:s c="3"
        CellCase{"table.ods", 1, 2, "Haupt\tstraße\n5", false, false},        // tab and line break
        CellCase{"table.ods", 1, 3, "01067", true, true},                     // shown with its format
        CellCase{"table.ods", 2, 3, "1067", true, false},
        CellCase{"table.ods", 3, 3, "01067", true, true},                     // data style, no shown text
        CellCase{"table.ods", 1, 5, "01.03.2024", false, false},
        CellCase{"table.ods", 2, 5, "31.12.1999", false, false},              // date without shown text
        CellCase{"table.ods", 1, 6, "WAHR", false, false},
        CellCase{"table.ods", 2, 6, "FALSCH", false, false},
        CellCase{"table.ods", 1, 7, "3,5", true, false},
        CellCase{"table.ods", 2, 7, "12", true, false},
        // .xls (xlwt)
        CellCase{"table.xls", 1, 0, "Müller", false, false},
        CellCase{"table.xls", 1, 2, "1067", true, false},
        CellCase{"table.xls", 1, 4, "01.03.2024", false, false},
        CellCase{"table.xls", 1, 5, "3,5", true, false},
        // delimited text: unquoted digits may be a postal code that lost its zero
        CellCase{"utf8-comma.csv", 1, 3, "01067", true, false},
        CellCase{"utf8-comma.csv", 2, 3, "1067", true, false},
        CellCase{"utf8-comma.csv", 1, 0, "Müller", false, false}));

TEST(SheetReaders, GapsAndEmptyRowsKeepTheFilesRowAndColumnNumbers)
{
    const QList<QStringList> xlsx = FileTexts(File("table.xlsx"));
    ASSERT_EQ(xlsx.size(), 10);
    EXPECT_EQ(xlsx[0], kHeader);
    EXPECT_EQ(xlsx[3], (QStringList{"Schmidt", "", "", "70173", "Stuttgart", "", "", "1.234,50"}));
    EXPECT_EQ(xlsx[4], QStringList());                                   // row 5 is not in the file
    EXPECT_EQ(xlsx[5], (QStringList{"Lücke", "", "", "", "Ende"}));      // B6 to D6 left out

    // Repeated cells and rows expand where content follows them, and the sheet's tail of
    // a million empty, formatted rows and a thousand empty columns costs nothing.
    const QList<QStringList> ods = FileTexts(File("table.ods"));
    ASSERT_EQ(ods.size(), 8);
    EXPECT_EQ(ods[0], kHeader);
    EXPECT_EQ(ods[3], (QStringList{"Schmidt", "", "", "01067", "Stuttgart"}));
    EXPECT_EQ(ods[4], QStringList());
    EXPECT_EQ(ods[5], QStringList());
    EXPECT_EQ(ods[6], (QStringList{"x", "x", "x", "verbunden", "", "Ende"})); // covered cell stays empty
    EXPECT_EQ(ods[7], QStringList{" führend und  "});

    const QList<QStringList> xls = FileTexts(File("table.xls"));
    ASSERT_EQ(xls.size(), 4);
    EXPECT_EQ(xls[2], QStringList());
    EXPECT_EQ(xls[3], (QStringList{"Nach Leerzeile", "", "", "Lücke"}));
}

TEST(SheetReaders, EverySheetInTheWorkbooksOrder)
{
    for (const char* name : {"table.xlsx", "table.ods", "table.xls"}) {
        std::unique_ptr<TableSource> source = OpenTableFile(File(name));
        EXPECT_EQ(source->SheetNames(), (QStringList{"Mitglieder", "Zweite Tabelle"})) << name;
        const QList<QStringList> second = SheetFiles::Texts(SheetFiles::Rows(*source, 1));
        ASSERT_GE(second.size(), 1) << name;
        EXPECT_EQ(second[0], (QStringList{"Nur", "hier"})) << name;
        // The first sheet can be read again after the second.
        EXPECT_EQ(SheetFiles::Texts(SheetFiles::Rows(*source, 0)).value(0).value(2), name == std::string("table.xls") ? "PLZ" : "Straße") << name;
    }
}

TEST(SheetReaders, StopsWhenTheCallerSaysSoAndTellsHowFarItGot)
{
    for (const char* name : {"table.xlsx", "table.ods", "table.xls", "quoted.csv"}) {
        std::unique_ptr<TableSource> source = OpenTableFile(File(name));
        int calls = 0;
        double last = -1;
        source->ReadRows(0, [&](const Row&, double fraction) {
            EXPECT_GE(fraction, last) << name;
            EXPECT_LE(fraction, 1.0) << name;
            last = fraction;
            return ++calls < 2;
        });
        EXPECT_EQ(calls, 2) << name;
    }
}

struct TextCase
{
    const char* file;
    char16_t delimiter;
    TextEncoding encoding;
};

class TextFiles : public ::testing::TestWithParam<TextCase>
{
};

// Delimiter and encoding are guessed from the content, whatever the file is called.
TEST_P(TextFiles, AreGuessedAndRead)
{
    const TextCase& c = GetParam();
    const TextOptions guessed = GuessTextOptions(File(QString::fromUtf8(c.file)));
    EXPECT_EQ(guessed.Delimiter, QChar(c.delimiter));
    EXPECT_EQ(guessed.Encoding, c.encoding);
    const QList<QStringList> rows = FileTexts(File(QString::fromUtf8(c.file)));
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[0], (QStringList{"Name", "Vorname", "Straße", "PLZ", "Ort"})); // no byte order mark in "Name"
    EXPECT_EQ(rows[2], (QStringList{"Öztürk", "Ömer", "Schloßstraße 5", "1067", "Köln"}));
}

INSTANTIATE_TEST_SUITE_P(Files, TextFiles,
                         ::testing::Values(TextCase{"utf8-comma.csv", u',', TextEncoding::Utf8},
                                           TextCase{"utf8-bom-semicolon.csv", u';', TextEncoding::Utf8},
                                           TextCase{"cp1252-semicolon.csv", u';', TextEncoding::Windows1252},
                                           TextCase{"tab.txt", u'\t', TextEncoding::Utf8},
                                           TextCase{"unicode.txt", u'\t', TextEncoding::Utf8}));

TEST(SheetReaders, QuotedFieldsHoldDelimitersQuotesAndLineBreaks)
{
    const QList<QStringList> rows = FileTexts(File("quoted.csv"));
    ASSERT_EQ(rows.size(), 5);
    EXPECT_EQ(rows[0], (QStringList{"Name", "Bemerkung", "Ort"}));
    EXPECT_EQ(rows[1], (QStringList{"Müller; Söhne", "sagt \"Hallo\"", "Köln"}));
    EXPECT_EQ(rows[2], (QStringList{"Zwei\r\nZeilen", "a\nb"}));
    EXPECT_EQ(rows[3], QStringList());
    EXPECT_EQ(rows[4], (QStringList{"Letzte", "ohne", "Zeilenende"}));
}

TEST(SheetReaders, AChosenDelimiterAndEncodingOverrideTheGuess)
{
    const TextOptions options{u',', TextEncoding::Windows1252};
    std::unique_ptr<TableSource> source = OpenTableFile(File("utf8-bom-semicolon.csv"), &options);
    const QList<QStringList> rows = SheetFiles::Texts(SheetFiles::Rows(*source));
    ASSERT_EQ(rows.size(), 3);
    // Read as Windows-1252 the UTF-8 umlauts fall apart, and nothing is cut at ";".
    EXPECT_EQ(rows[1], (QStringList{"MÃ¼ller;JÃ¼rgen;HauptstraÃŸe 5;01067;Dresden"}));
    EXPECT_EQ(source->SheetNames(), QStringList{"utf8-bom-semicolon"});
}

TEST(SheetReaders, GuessPrefersTheDelimiterThatCutsEveryRecordAlike)
{
    // Commas inside addresses do not outvote the semicolons that cut every record.
    const QByteArray text = "Name;Straße;Ort\nMüller, Max;Hauptstr. 1, Hinterhaus;Köln\nSchmidt;Weg 2;Bonn\n";
    EXPECT_EQ(GuessTextOptionsOf(text).Delimiter, u';');
    EXPECT_EQ(GuessTextOptionsOf(text).Encoding, TextEncoding::Utf8);
    EXPECT_EQ(GuessTextOptionsOf("a\tb,c\td\n1\t2,3\t4\n").Delimiter, u'\t');
    EXPECT_EQ(GuessTextOptionsOf("K\xf6ln;Stra\xdf" "e\n").Encoding, TextEncoding::Windows1252);
}

struct ErrorCase
{
    const char* file;
    const char* words;
};

class BrokenFiles : public ::testing::TestWithParam<ErrorCase>
{
};

// A file that cannot be read says why, in German, and hands on no row.
TEST_P(BrokenFiles, GiveAClearMessageAndNoRows)
{
    const ErrorCase& c = GetParam();
    const QString path = File(QString::fromUtf8(c.file));
    int rows = 0;
    try {
        std::unique_ptr<TableSource> source = OpenTableFile(path);
        for (int s = 0; s < source->SheetNames().size(); ++s)
            source->ReadRows(s, [&](const Row&, double) { return ++rows, true; });
        FAIL() << c.file << " was read";
    } catch (const SheetError& e) {
        EXPECT_TRUE(e.Message().contains(QString::fromUtf8(c.words))) << e.Message().toStdString();
        EXPECT_TRUE(e.Message().contains(QStringLiteral("„%1“").arg(QString::fromUtf8(c.file)))) << e.Message().toStdString();
    }
    if (QString::fromUtf8(c.words) != QStringLiteral("beschädigt"))
        EXPECT_EQ(rows, 0) << c.file;
}

INSTANTIATE_TEST_SUITE_P(Files, BrokenFiles,
                         ::testing::Values(ErrorCase{"truncated.xlsx", "beschädigt"},
                                           ErrorCase{"badxml.xlsx", "beschädigt"},
                                           ErrorCase{"badcrc.ods", "beschädigt"},
                                           ErrorCase{"encrypted.ods", "mit einem Kennwort geschützt"},
                                           ErrorCase{"encrypted.xlsx", "mit einem Kennwort geschützt"},
                                           ErrorCase{"bomb.xlsx", "beim Entpacken viel zu groß"},
                                           ErrorCase{"notatable.ods", "keine Tabelle"},
                                           ErrorCase{"binary.csv", "keine Tabelle"},
                                           ErrorCase{"missing.xlsx", "kann nicht geöffnet werden"}));

} // namespace
