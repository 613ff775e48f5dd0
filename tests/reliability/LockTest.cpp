// Every command that writes, run while another program holds a write lock on the
// database file (a second connection in BEGIN IMMEDIATE or BEGIN EXCLUSIVE): the command
// fails with a message, leaves every table as it was, leaves no transaction open, and
// works once the lock is gone.
#include "ReliabilitySupport.h"
#include "support/FakeAdressenRows.h"
#include "support/ForeignConnection.h"
#include "tools/ToolsFixture.h"

#include "dialogs/TDLG_Absender.h"
#include "dialogs/TDLG_Adresse.h"
#include "dialogs/TDLG_Gruppe.h"
#include "exchange/AdressenImport.h"
#include "exchange/GroupTransfer.h"
#include "store/ESQLiteException.h"
#include "store/RecordOperations.h"
#include "tools/DatabaseBackup.h"
#include "tools/TDLG_AutoNamen.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <functional>

using namespace Reliability;

namespace {

// Another program's connection holding a lock until it is released.
class ForeignLock : public ForeignConnection
{
public:
    ForeignLock(const QString& file, const char* begin) : ForeignConnection(file)
    {
        EXPECT_TRUE(exec(begin)) << error();
        // IMMEDIATE takes the lock at once; a write makes sure it is really held.
        EXPECT_TRUE(exec("CREATE TABLE fremd (x)")) << error();
    }
};

struct LockEnv
{
    ToolsContext env;
    FakeAdressenRows rows;
    QString csvFile;
    QString backupDir;

    LockEnv()
    {
        TSQLiteDatabase& db = env.ctx.db();
        db.ExecSQL(QStringLiteral("INSERT INTO tab_gruppen VALUES ('GR00000001', 'Kunden'), ('GR00000002', 'Lieferanten')"));
        db.ExecSQL(QStringLiteral("INSERT INTO tab_absender VALUES ('AB00000001', 'Firma', 'Weg 1', '', '', 'Ort')"));
        env.addAddress(QStringLiteral("AD00000001"), QStringLiteral("GR00000001"), {QString(), QStringLiteral("Max Mustermann")});
        env.addAddress(QStringLiteral("AD00000002"), QStringLiteral("GR00000002"), {QStringLiteral("Erika Musterfrau")});
        db.ExecSQL(QStringLiteral("INSERT INTO tab_daten VALUES ('DA00000001', 'AD00000001', '030 1', '', '', '', '', '')"));
        rows.add(QStringLiteral("AD00000001"), {QString(), QStringLiteral("Max Mustermann")});
        csvFile = env.tmp.write(QStringLiteral("import.csv"), "Kopf\r\nA;B;C;D;E;F\r\nG;H;I;J;K;L\r\n");
        // A backup holding one more group than the data.
        backupDir = env.tmp.file(QStringLiteral("Sicherung"));
        db.ExecSQL(QStringLiteral("INSERT INTO tab_gruppen VALUES ('GR00000003', 'Gesichert')"));
        EXPECT_TRUE(RunBackup(env.ctx, backupDir));
        db.ExecSQL(QStringLiteral("DELETE FROM tab_gruppen WHERE Gruppe_ID='GR00000003'"));
        env.messages.shown.clear();
    }
};

// Every row of every table, as the file holds them now.
QString snapshot(const QString& file)
{
    TSQLiteDatabase db(file);
    QString out;
    for (const char* table : {"tab_absender", "tab_adressen", "tab_gruppen", "tab_daten", "tab_banner"}) {
        TSQLiteTable t = db.GetTable(QStringLiteral("SELECT * FROM %1 ORDER BY 1").arg(QLatin1String(table)));
        out += QLatin1String(table) + QStringLiteral(":\n");
        for (; !t.Eof(); t.Next()) {
            for (int c = 0; c < t.ColCount(); ++c)
                out += t.FieldAsString(c) + u'|';
            out += u'\n';
        }
    }
    return out;
}

template <typename Dialog>
bool saveDialog(Dialog& d, const QString& edit, const QString& text)
{
    auto* field = d.template findChild<QLineEdit*>(edit);
    EXPECT_TRUE(field) << edit.toStdString();
    if (field)
        field->setText(text);
    d.Button_SaveClick();
    return d.result() == QDialog::Accepted;
}

struct WriteCommand
{
    const char* name;
    std::function<bool(LockEnv&)> run;  // true when the command reports success
    // The store's deletions answer false and the main window's command shows the message.
    bool messageByCaller = false;
};

const WriteCommand kCommands[] = {
    {"Adresse speichern",
     [](LockEnv& e) {
         TDLG_Adresse d(e.env.ctx, QStringLiteral("AD00000001"), QStringLiteral("GR00000001"));
         return saveDialog(d, QStringLiteral("Edit_Line1"), QStringLiteral("Herrn"));
     }},
    {"Neue Adresse speichern",
     [](LockEnv& e) {
         TDLG_Adresse d(e.env.ctx, QString(), QStringLiteral("GR00000001"));
         return saveDialog(d, QStringLiteral("Edit_Line1"), QStringLiteral("Neu"));
     }},
    {"Absender speichern",
     [](LockEnv& e) {
         TDLG_Absender d(e.env.ctx, QStringLiteral("AB00000001"));
         return saveDialog(d, QStringLiteral("Edit_Line2"), QStringLiteral("Weg 2"));
     }},
    {"Gruppe speichern",
     [](LockEnv& e) {
         TDLG_Gruppe d(e.env.ctx, QString());
         return saveDialog(d, QStringLiteral("Edit_Name"), QStringLiteral("Neue Gruppe"));
     }},
    {"Adresse löschen",
     [](LockEnv& e) { return DeleteAdresse(e.env.ctx.db(), e.env.messages, QStringLiteral("AD00000001")); }, true},
    {"Absender löschen",
     [](LockEnv& e) { return DeleteAbsender(e.env.ctx.db(), e.env.messages, QStringLiteral("AB00000001")); }, true},
    {"Gruppe löschen",
     [](LockEnv& e) { return DeleteGruppe(e.env.ctx.db(), e.env.messages, QStringLiteral("GR00000002")); }, true},
    {"Adressen importieren",
     [](LockEnv& e) { return ImportAdressenFile(e.env.ctx, QStringLiteral("GR00000001"), e.csvFile); }},
    {"Sortiernamen erzeugen",
     [](LockEnv& e) {
         TDLG_AutoNamen d(e.env.ctx, &e.rows);
         d.findChild<QComboBox*>(QStringLiteral("ComboBox_Spalte"))->setCurrentIndex(1);
         QTest::mouseClick(d.findChild<QPushButton*>(QStringLiteral("Button_Start")), Qt::LeftButton);
         return d.result() == QDialog::Accepted;
     }},
    {"Adresse kopieren",
     [](LockEnv& e) {
         return CopyAdresseToGruppe(e.env.ctx, QStringLiteral("AD00000001"), QStringLiteral("GR00000002"));
     }},
    {"Adresse verschieben",
     [](LockEnv& e) {
         return MoveAdresseToGruppe(e.env.ctx, QStringLiteral("AD00000001"), QStringLiteral("GR00000002"));
     }},
    {"Banner speichern",
     [](LockEnv& e) {
         QImage banner(40, 10, QImage::Format_RGB888);
         banner.fill(Qt::red);
         return SaveBanner(e.env.ctx.db(), e.env.messages, QStringLiteral("AB00000001"), banner);
     }},
    {"Wiederherstellen",
     [](LockEnv& e) {
         return RunRestore(e.env.ctx, e.backupDir) && OpenRestoredDatabase(e.env.ctx).isEmpty();
     }},
};

struct LockKind
{
    const char* name;
    const char* begin;
};
const LockKind kLocks[] = {{"IMMEDIATE", "BEGIN IMMEDIATE"}, {"EXCLUSIVE", "BEGIN EXCLUSIVE"}};

class Locked : public ::testing::TestWithParam<std::tuple<WriteCommand, LockKind>>
{
};

TEST_P(Locked, FailsWithAMessageWritesNothingAndWorksAfterwards)
{
    const auto& [command, lock] = GetParam();
    LockEnv e;
    const QString file = e.env.ctx.Paths.DatabaseFile;
    const QString before = snapshot(file);

    bool succeeded = false;
    QString raised;
    {
        ForeignLock foreign(file, lock.begin);
        try {
            succeeded = command.run(e);
        } catch (const ESQLiteException& ex) {
            raised = ex.message();
        } catch (const std::exception& ex) {
            raised = QString::fromStdString(ex.what());
        }
    }
    const QStringList shown = e.env.messages.texts();
    std::printf("[lock] %s | %s | %s | %s\n", command.name, lock.name, qPrintable(shown.join(QStringLiteral(" / "))),
                qPrintable(QString(raised).replace(u'\r', u' ').left(160)));
    EXPECT_FALSE(succeeded) << "the command reported success although it could not write";
    // Either the command's own message or the database's error, which the general
    // error handler shows; the latter names the lock, except for a read that meets an
    // exclusive lock, which the access layer reports with its fixed short text alone.
    const bool layerBusyText = raised == QStringLiteral("Could not prepare SQL statement");
    EXPECT_TRUE(!shown.isEmpty() || raised.contains(QStringLiteral("locked")) || layerBusyText ||
                command.messageByCaller)
        << "messages: " << shown.join(u'/').toStdString() << " raised: " << raised.toStdString();
    EXPECT_EQ(snapshot(file), before) << "written while locked";
    ASSERT_TRUE(e.env.ctx.Database) << "the program has no connection left";
    EXPECT_FALSE(e.env.ctx.db().InTransaction());

    e.env.messages.shown.clear();
    EXPECT_TRUE(command.run(e)) << e.env.messages.texts().join(u'/').toStdString();
    EXPECT_NE(snapshot(e.env.ctx.Paths.DatabaseFile), before) << "nothing written once the lock was gone";
}

INSTANTIATE_TEST_SUITE_P(EveryWrite, Locked, ::testing::Combine(::testing::ValuesIn(kCommands), ::testing::ValuesIn(kLocks)),
                         [](const auto& info) {
                             QString name = QString::fromUtf8(std::get<0>(info.param).name) + u'_' +
                                            QLatin1String(std::get<1>(info.param).name);
                             name.replace(u'ö', QLatin1String("oe"));
                             name.replace(u' ', u'_');
                             return name.toStdString();
                         });

} // namespace
