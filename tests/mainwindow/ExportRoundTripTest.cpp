// Out and back in through our own commands: the address list of a real database file is
// exported as "Adressen exportieren" does it (.ods, .xlsx, UTF-8 CSV with every field) and
// imported into an empty group as "Adressen importieren" does it, with the columns assigned
// by the window's own guess. Every field of every address must come back as it was.
#include "MainWindowHarness.h"
#include "exchange/AdressenImport.h"
#include "exchange/Export.h"
#include "support/ModalAnswer.h"
#include "support/ScriptedFileDialogs.h"

#include <gtest/gtest.h>

namespace {

const char* const kFields[] = {"Line1", "Line2", "Line3", "Line4",   "Line5", "Line6",    "Aktiv",
                               "Telefon", "Fax", "Handy", "Mail", "Versand", "Bemerkung"};

// Line1..Line6, Aktiv, then Telefon, Fax, Handy, Mail, Versand, Bemerkung ("-" for an
// address without extra data).
const QList<QStringList>& addresses()
{
    static const QString longRemark = [] {
        QString r;
        while (r.size() < 240)
            r += QStringLiteral("Größere Äpfel für Öztürk; ");
        return r.left(240) + QStringLiteral("\nEnde: ßüÖ");
    }();
    static const QList<QStringList> all = {
        {"Müller & Söhne GmbH", "Herrn Jürgen Groß", "Schloßstraße 5", "Hinterhaus", "01067 Dresden", "Groß Jürgen",
         "1", "0351 123456", "0351 123457", "0171 5555555", "j.gross@example.de", "Brief",
         "Mitglied seit 1998; zahlt bar, \"pünktlich\"\nzweite Zeile"},
        {"Frau", "Dr. Eva Öztürk", "Am Ölberg 12", "", "70173 Stuttgart", "", "0", "", "", "", "eva@example.org",
         "E-Mail", longRemark},
        {"Verein „Eintracht“ e.V.", "z. Hd. Kassenwart", "Postfach 10 01 23", "", "04109 Leipzig", "Eintracht", "1",
         "-"},
        {"", "Anna Huber", "Ring  3", " c/o Meier", "1010 Wien", "Huber; Anna", "1", "01701234567", "", "", "", "",
         "Tab\tdanach"},
        {"Nur Firma", "", "", "", "", "", "0", "", "+49 30 1234", "", "", "", ""},
        {"Stadtwerke", "Abt. 3, \"Kasse\"", "12345", "Zimmer 0815", "99084 Erfurt", "0815", "1", "", "", "", "",
         "Kurier", "eins\r\nzwei"},
    };
    return all;
}

struct RoundTripCase
{
    const char* file;
    int saveFilter; // the export dialog's entry: 2 table, 3 UTF-8 CSV with every field
    int openFilter; // the import dialog's entry: 0 CSV, 2 table with headers
};

void PrintTo(const RoundTripCase& c, std::ostream* os) { *os << c.file; }

class ExportRoundTrip : public ::testing::TestWithParam<RoundTripCase>
{
protected:
    void SetUp() override
    {
        h.seed({"INSERT INTO tab_gruppen VALUES('GR00000001','Verein')"});
        TSQLiteDatabase db(h.databaseFile());
        int n = 0;
        for (const QStringList& a : addresses()) {
            const QString id = QStringLiteral("AD%1").arg(++n, 8, 10, QLatin1Char('0'));
            db.ExecSQL(QStringLiteral("INSERT INTO tab_adressen (Adresse_ID, Gruppe_ID, Line1, Line2, Line3, Line4, "
                                      "Line5, Line6, Aktiv) VALUES (?,'GR00000001',?,?,?,?,?,?,?)"),
                       {id, a[0], a[1], a[2], a[3], a[4], a[5], a[6].toInt()});
            if (a.size() > 7 && a[7] != u"-")
                db.ExecSQL(QStringLiteral("INSERT INTO tab_daten (Daten_ID, Adresse_ID, Telefon, Fax, Handy, Mail, "
                                          "Versand, Bemerkung) VALUES (?,?,?,?,?,?,?,?)"),
                           {QStringLiteral("DA%1").arg(n, 8, 10, QLatin1Char('0')), id, a[7], a[8], a[9], a[10], a[11],
                            a[12]});
        }
    }

    // Every field of every address of the group, in the order of their identifiers.
    QList<QStringList> everyField(const QString& gruppe)
    {
        TSQLiteTable t = h.ctx.db().GetTable(
            QStringLiteral("SELECT a.*, d.Daten_ID, d.Telefon, d.Fax, d.Handy, d.Mail, d.Versand, d.Bemerkung "
                           "FROM tab_adressen a LEFT JOIN tab_daten d USING(Adresse_ID) WHERE a.Gruppe_ID = ? "
                           "ORDER BY a.Adresse_ID"),
            {gruppe});
        QList<QStringList> rows;
        for (; !t.Eof(); t.Next()) {
            QStringList row;
            for (const char* f : kFields)
                row << t.Field(f);
            if (t.Field("Daten_ID").isEmpty())
                row = row.mid(0, 7) << QStringLiteral("-");
            rows << row;
        }
        return rows;
    }

    MainWindowHarness h;
    ScriptedFileDialogs dialogs;
};

TEST_P(ExportRoundTrip, EveryFieldOfEveryAddressComesBack)
{
    TForm_Tavisto& w = h.start();
    ASSERT_EQ(w.GetSelectedGruppeID(), QStringLiteral("GR00000001"));
    ASSERT_EQ(h.adressen().RowCount(), addresses().size());
    const QList<QStringList> before = everyField(QStringLiteral("GR00000001"));
    ASSERT_EQ(before, addresses());

    // Out, as "Adressen exportieren" hands the list's rows on.
    const QString file = h.dir.file(QString::fromUtf8(GetParam().file));
    dialogs.save = {file, GetParam().saveFilter};
    ExportAdressen(h.ctx, &w, w.AdressenRowsShown(), &dialogs);
    ASSERT_EQ(h.messages.shown.size(), 1) << h.messages.texts().join(u'\n').toStdString();
    EXPECT_TRUE(h.messages.shown[0].text.startsWith(QStringLiteral("Die Adressen wurden als ")));

    // Back into an empty group, the window accepted as it guessed the columns.
    h.ctx.db().ExecSQL(QStringLiteral("INSERT INTO tab_gruppen VALUES('GR00000002','Leer')"));
    h.messages.shown.clear();
    h.messages.answer({Msg::IdOk}); // the reminder to back up first
    dialogs.openName = file;
    dialogs.openFilter = GetParam().openFilter;
    ModalAnswer accept([](QDialog* d) { d->accept(); });
    ASSERT_TRUE(ImportAdressen(h.ctx, &w, QStringLiteral("GR00000002"), &dialogs))
        << h.messages.texts().join(u'\n').toStdString();
    accept.settle();
    EXPECT_EQ(accept.dialogName(), QStringLiteral("DLG_FelderZuordnen"));
    ASSERT_EQ(h.messages.shown.size(), 2) << h.messages.texts().join(u'\n').toStdString();
    EXPECT_TRUE(h.messages.shown[1].text.contains(QStringLiteral("Importiert: %1 Adressen").arg(addresses().size())))
        << h.messages.shown[1].text.toStdString();

    const QList<QStringList> after = everyField(QStringLiteral("GR00000002"));
    ASSERT_EQ(after.size(), before.size());
    for (qsizetype i = 0; i < before.size(); ++i)
        EXPECT_EQ(after[i], before[i]) << "address " << i + 1;
}

INSTANTIATE_TEST_SUITE_P(Formats, ExportRoundTrip,
                         ::testing::Values(RoundTripCase{"Adressen.ods", 2, 2}, RoundTripCase{"Adressen.xlsx", 2, 2},
                                           RoundTripCase{"Adressen.csv", 3, 0}),
                         [](const auto& info) { return std::string(info.param.file).substr(9); });

} // namespace
