// The table import with files made by real writers (make_address_tables.py: openpyxl,
// odfpy, xlwt, CSV as Thunderbird, Outlook and LibreOffice save it), through the command.
#include "ExchangeFixture.h"

#include "exchange/AdressenImport.h"
#include "exchange/TableImport.h"
#include "exchange/TDLG_FelderZuordnen.h"
#include "sheets/TableSource.h"
#include "support/ModalAnswer.h"

#include <QComboBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QStandardPaths>
#include <QStringEncoder>
#include <QTemporaryDir>

namespace {

const QString kGruppe = QStringLiteral("GR00000001");

// Debian's python3 holds openpyxl, odfpy and xlwt; a python3 of one's own may not.
QString python()
{
    const QString system = QStandardPaths::findExecutable(QStringLiteral("python3"), {QStringLiteral("/usr/bin")});
    return system.isEmpty() ? QStandardPaths::findExecutable(QStringLiteral("python3")) : system;
}

QString tables()
{
    static QTemporaryDir dir;
    static const bool made = [] {
        QProcess p;
        p.start(python(), {QStringLiteral(TAVISTO_FIXTURES "/../exchange/make_address_tables.py"), dir.path()});
        p.waitForFinished(120000);
        if (p.exitCode() != 0)
            ADD_FAILURE() << p.readAllStandardError().toStdString();
        return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    }();
    EXPECT_TRUE(made);
    return dir.path();
}

struct FileCase
{
    const char* file;
    int sheet; // the sheet the user picks
    QStringList lines; // Line1|..|Line5 per address
    QStringList daten; // Telefon|Fax|Handy|Mail|Bemerkung per address, "-" without extra data
};

void PrintTo(const FileCase& c, std::ostream* os) { *os << c.file; }

class TableFilesTest : public ExchangeTest
{
protected:
    void SetUp() override
    {
        ExchangeTest::SetUp();
        addGruppe(kGruppe, QStringLiteral("Verein"));
    }

    QStringList storedLines()
    {
        QStringList out;
        for (const StoredAdresse& a : adressen(kGruppe))
            out << QStringList{a.Line1, a.Line2, a.Line3, a.Line4, a.Line5}.join(u'|');
        return out;
    }

    QStringList storedDaten()
    {
        TSQLiteTable t = db().GetTable(QStringLiteral(
            "SELECT d.Daten_ID, d.Telefon, d.Fax, d.Handy, d.Mail, d.Bemerkung FROM tab_adressen a "
            "LEFT JOIN tab_daten d USING(Adresse_ID) ORDER BY a.Adresse_ID"));
        QStringList out;
        for (; !t.Eof(); t.Next())
            out << (t.Field("Daten_ID").isEmpty()
                        ? QStringLiteral("-")
                        : QStringList{t.Field("Telefon"), t.Field("Fax"), t.Field("Handy"), t.Field("Mail"),
                                      t.Field("Bemerkung")}
                              .join(u'|'));
        return out;
    }

    // The window accepted as guessed, on the given sheet.
    bool importFile(const QString& file, int sheet = 0)
    {
        return ImportTableFile(ctx, nullptr, kGruppe, file, [sheet](TDLG_FelderZuordnen& w) {
            if (sheet > 0)
                w.findChild<QComboBox*>(QStringLiteral("ComboBox_Tabellenblatt"))->setCurrentIndex(sheet);
            w.accept();
            return int(QDialog::Accepted);
        });
    }
};

class TableFilesTable : public TableFilesTest, public ::testing::WithParamInterface<FileCase>
{
};

TEST_P(TableFilesTable, FileBecomesAddresses)
{
    ASSERT_TRUE(importFile(tables() + u'/' + QString::fromUtf8(GetParam().file), GetParam().sheet))
        << messages.texts().join(u'\n').toStdString();
    EXPECT_EQ(storedLines(), GetParam().lines);
    EXPECT_EQ(storedDaten(), GetParam().daten);
    ASSERT_FALSE(messages.shown.isEmpty());
    EXPECT_TRUE(messages.texts().last().startsWith("Die Adressen wurden aus der Tabelle importiert."));

    // A second import of the same file skips every address.
    messages.shown.clear();
    ASSERT_TRUE(importFile(tables() + u'/' + QString::fromUtf8(GetParam().file), GetParam().sheet));
    EXPECT_EQ(storedLines(), GetParam().lines);
    EXPECT_TRUE(messages.texts().last().contains(
        QStringLiteral("Importiert: 0 Adressen\r\nÜbersprungen, weil schon in der Gruppe: %1 Adresse")
            .arg(GetParam().lines.size())))
        << messages.texts().last().toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Files, TableFilesTable,
    ::testing::Values(
        // A note sheet first; postal codes as numbers with and without a format; an empty row.
        FileCase{"verein.xlsx", 1,
                 {"|Jürgen Müller|Hauptstraße 5||01067 Dresden", "|Ömer Öztürk|Schloßstraße 5||70173 Stuttgart",
                  "|Eva Schulz|Ring 3||01307 Dresden"},
                 {"-", "-", "-"}},
        // An empty column and an empty row; Austria keeps its four digits.
        FileCase{"kunden.ods", 0,
                 {"Muster GmbH|Max Mustermann|Allee 1||01067 Dresden", "Frau|Anna Huber|Ring 3|1010 Wien|ÖSTERREICH"},
                 {"0351 1|||m@example.org|", "-"}},
        FileCase{"verein.xls", 0,
                 {"|Jürgen Müller|Hauptstraße 5||01067 Dresden", "|Ömer Öztürk|Schloßstraße 5||70173 Stuttgart"},
                 {"-", "-"}},
        // UTF-8 with commas; the home address of a person, so no company; a quoted remark
        // over two lines.
        FileCase{"thunderbird.csv", 0,
                 {"|Max Müller|Hauptstraße 5|Hinterhaus|10115 Berlin", "|John Smith|1 Main St|Boston MA 02108|USA"},
                 {"030 1||0170 2|max@example.org|zwei\nZeilen", "-"}},
        // Windows-1252 with semicolons, every field quoted.
        FileCase{"outlook.csv", 0,
                 {"Bäckerei Weiß, Verkauf|Erika Weiß|Marktplatz 1||50667 Köln"},
                 {"0221 1|0221 2|0171 3|erika@example.org|Stammkundin"}},
        FileCase{"libreoffice.csv", 0,
                 {"Herrn|Ömer Öztürk|Schloßstraße 5||70173 Stuttgart"},
                 {"0711 1|||oe@example.org|Kassenwart"}}),
    [](const auto& info) {
        std::string name = info.param.file;
        for (char& c : name)
            if (!isalnum(static_cast<unsigned char>(c)))
                c = '_';
        return name;
    });

TEST_F(TableFilesTest, DamagedFileSaysSoAndImportsNothing)
{
    const QString file = dir.write(QStringLiteral("kaputt.xlsx"), QByteArray("PK\x03\x04", 4) + QByteArray(200, 'x'));
    EXPECT_FALSE(importFile(file));
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].kind, Msg::Error);
    EXPECT_FALSE(messages.shown[0].text.isEmpty());
    EXPECT_EQ(count(QStringLiteral("tab_adressen")), 0);
}

// ---- the command: filters and the question for CSV files with column names ----

class CsvQuestionTest : public TableFilesTest
{
protected:
    bool choose(const QString& file, int filter)
    {
        dialogs.openName = file;
        dialogs.openFilter = filter;
        messages.answer({Msg::IdOk}); // the reminder
        return ImportAdressen(ctx, nullptr, kGruppe, &dialogs);
    }
    ScriptedFileDialogs dialogs;
};

TEST_F(CsvQuestionTest, NamedColumnsUnderTheCsvFilterAskOnceAndByPositionKeepsThePartsImport)
{
    const QString file = tables() + QStringLiteral("/libreoffice.csv");
    messages.answer({Msg::IdOk, Msg::IdNo}); // the reminder, then "Nach Position importieren"
    dialogs.openName = file;
    ASSERT_TRUE(ImportAdressen(ctx, nullptr, kGruppe, &dialogs));
    ASSERT_EQ(messages.shown.size(), 3);
    EXPECT_EQ(messages.shown[1].text,
              QStringLiteral("Die Datei hat Spaltenüberschriften (Firma, Anrede, …). Felder zuordnen?"));
    EXPECT_TRUE(messages.shown[2].text.startsWith("Die Adressen wurden aus der CSV-Datei importiert."));
    EXPECT_EQ(storedLines(), QStringList{"|Ömer Herr|Öztürk||Schloßstraße 5 70173"});
}

TEST_F(CsvQuestionTest, ZuordnenOpensTheWindow)
{
    const QString file = tables() + QStringLiteral("/libreoffice.csv");
    messages.answer({Msg::IdOk, Msg::IdYes}); // the reminder, then "Zuordnen"
    dialogs.openName = file;
    ModalAnswer accept([](QDialog* d) { d->accept(); });
    ASSERT_TRUE(ImportAdressen(ctx, nullptr, kGruppe, &dialogs));
    accept.settle();
    EXPECT_EQ(accept.dialogName(), QStringLiteral("DLG_FelderZuordnen"));
    EXPECT_EQ(storedLines(), QStringList{"Herrn|Ömer Öztürk|Schloßstraße 5||70173 Stuttgart"});
}

TEST_F(CsvQuestionTest, NoQuestionForOurExportOrAPositionalFile)
{
    // The address export's header reads back by its columns, without a question.
    const QString exported = dir.write(
        QStringLiteral("export.csv"),
        "\"Zeile 1\";\"Zeile 2\";\"Zeile 3\";\"Zeile 4\";\"Zeile 5\";\"Name\";\"Aktiv\"\r\n\"A\";\"B\";\"C\";\"\";\"D\";\"N\";\"X\"\r\n");
    ASSERT_TRUE(choose(exported, 0));
    EXPECT_EQ(messages.shown.size(), 2);
    EXPECT_EQ(storedLines(), QStringList{"A|B|C||D"});

    // One known name is no header to ask about.
    messages.shown.clear();
    const QString positional = dir.write(QStringLiteral("liste.csv"), "Kopf;Name;x;y;z;w\r\nU;V;W;X;Y;Z\r\n");
    ASSERT_TRUE(choose(positional, 0));
    EXPECT_EQ(messages.shown.size(), 2);
    EXPECT_EQ(storedLines().last(), "U|W V|X||Y Z");
}

TEST_F(CsvQuestionTest, SpreadsheetUnderAnyFilterGoesToTheWindow)
{
    for (int filter : {0, 1, 2}) {
        SCOPED_TRACE(filter);
        ModalAnswer cancel([](QDialog* d) { d->reject(); });
        EXPECT_FALSE(choose(tables() + QStringLiteral("/verein.xls"), filter));
        cancel.settle();
        EXPECT_EQ(cancel.dialogName(), QStringLiteral("DLG_FelderZuordnen"));
    }
    EXPECT_EQ(count(QStringLiteral("tab_adressen")), 0);
}

// ---- the round trip of every field ----

const QStringList kExportHeader{"Zeile 1", "Zeile 2", "Zeile 3", "Zeile 4", "Zeile 5", "Name", "Telefon",
                                "Fax", "Handy", "E-Mail", "Versandart", "Bemerkung", "Aktiv", "Gruppe"};

// Every stored field of every address: lines, sort name, flag, extra data.
QList<QStringList> everyField(TSQLiteDatabase& db, const QString& gruppe)
{
    TSQLiteTable t = db.GetTable(
        QStringLiteral("SELECT a.*, d.Telefon, d.Fax, d.Handy, d.Mail, d.Versand, d.Bemerkung FROM tab_adressen a "
                       "LEFT JOIN tab_daten d USING(Adresse_ID) WHERE a.Gruppe_ID = ? ORDER BY a.Adresse_ID"),
        {gruppe});
    QList<QStringList> rows;
    for (; !t.Eof(); t.Next()) {
        QStringList row;
        for (const char* f : {"Line1", "Line2", "Line3", "Line4", "Line5", "Line6", "Aktiv", "Telefon", "Fax",
                              "Handy", "Mail", "Versand", "Bemerkung"})
            row << t.Field(f);
        rows << row;
    }
    return rows;
}

TEST_F(TableFilesTest, RoundTripThroughEveryTableKindKeepsEveryField)
{
    const QList<QStringList> addresses = {
        {"Muster GmbH", "Herrn Max Mustermann", "Allee 1", "", "01067 Dresden", "Mustermann Max", "1", "0351 1",
         "0351 2", "0170 3", "m@example.org", "Kurier", "zwei\nZeilen; mit \"Anführung\", Komma"},
        {"", "Eva Lang", "Ring 3", "Hinterhaus", "53111 Bonn", "", "0", "", "", "", "", "", ""},
        {"Frau", "Anna Huber", "Ring 3", "1010 Wien", "ÖSTERREICH", "Huber", "1", "", "", "", "", "Biberpost", ""},
    };
    QList<QStringList> rows;
    for (const QStringList& a : addresses)
        rows << QStringList{a[0], a[1], a[2], a[3], a[4], a[5], a[7], a[8], a[9], a[10], a[11], a[12],
                            a[6] == u"1" ? QStringLiteral("X") : QString(), QStringLiteral("Verein")};
    QString csv = u'"' + kExportHeader.join(QStringLiteral("\",\"")) + QStringLiteral("\"\r\n");
    for (const QStringList& r : rows) {
        QStringList quoted;
        for (QString v : r)
            quoted << u'"' + v.replace(u'"', QStringLiteral("\"\"")) + u'"';
        csv += quoted.join(u',') + QStringLiteral("\r\n");
    }
    // The spreadsheets by LibreOffice's and Excel's stand-ins, every cell text as our
    // export writes it.
    QJsonArray table{QJsonArray::fromStringList(kExportHeader)};
    for (const QStringList& r : rows)
        table.append(QJsonArray::fromStringList(r));
    const QString json = dir.write(QStringLiteral("rows.json"), QJsonDocument(table).toJson());
    const QStringList files{dir.file(QStringLiteral("alle.ods")), dir.file(QStringLiteral("alle.xlsx")),
                            dir.write(QStringLiteral("alle.csv"), csv.toUtf8())};
    QProcess p;
    p.start(python(), {QStringLiteral(TAVISTO_FIXTURES "/../exchange/make_address_tables.py"), QStringLiteral("--rows"),
                       json, files[0], files[1]});
    ASSERT_TRUE(p.waitForFinished(120000));
    ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    int n = 2;
    for (const QString& file : files) {
        SCOPED_TRACE(file.toStdString());
        const QString gruppe = QStringLiteral("GR%1").arg(n++, 8, 10, QLatin1Char('0'));
        addGruppe(gruppe, QStringLiteral("Leer"));
        ASSERT_TRUE(ImportTableFile(ctx, nullptr, gruppe, file, [](TDLG_FelderZuordnen& w) {
            w.accept();
            return int(QDialog::Accepted);
        })) << messages.texts().join(u'\n').toStdString();
        QList<QStringList> expected;
        for (const QStringList& a : addresses)
            expected << a;
        EXPECT_EQ(everyField(db(), gruppe), expected);
    }
}

} // namespace
