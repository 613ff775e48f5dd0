// The main window's commands carried through to the other windows and back: what a user
// does in a dialog must show in the lists and in the file.
#include "MainWindowHarness.h"
#include "app/ReverseWords.h"
#include "printwindows/Seriendruck.h"
#include "store/Schema.h"
#include "support/ModalAnswer.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

namespace {

template <class T> T* child(QWidget* dialog, const char* name)
{
    T* c = dialog->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(c, nullptr) << name;
    return c;
}

void click(QWidget* dialog, const char* button)
{
    if (auto* b = child<QAbstractButton>(dialog, button))
        b->click();
}

} // namespace

TEST(MainWindowWiring, NewAddressFromItsDialogIsListedAndSelected)
{
    MainWindowHarness h;
    h.seed(StandardData());
    TForm_Tavisto& w = h.start();
    ModalAnswer dialog([](QDialog* d) {
        child<QLineEdit>(d, "Edit_Line1")->setText(QStringLiteral("Zacharias Zange"));
        child<QLineEdit>(d, "Edit_Line2")->setText(QStringLiteral("Line2"));
        click(d, "Button_Save");
    });
    w.Commands().TB_Adresse_AddClick();
    dialog.settle();
    ASSERT_EQ(dialog.dialogName(), QStringLiteral("TDLG_Adresse"));

    const QString id = w.GetSelectedAdresseID();
    EXPECT_EQ(id, QStringLiteral("AD00000005"));
    EXPECT_EQ(h.caption("VCap_Adressen"), QStringLiteral("Adressen (4)"));
    EXPECT_EQ(h.scalar("SELECT Gruppe_ID || '/' || Line1 || '/' || Line2 FROM tab_adressen WHERE Adresse_ID='" + id + "'"),
              QStringLiteral("GR00000001/Zacharias Zange/Line2"));
    EXPECT_TRUE(h.messages.shown.isEmpty());
}

TEST(MainWindowWiring, DesignedBannerIsStoredAndMarked)
{
    MainWindowHarness h;
    h.seed(StandardData());
    TForm_Tavisto& w = h.start();
    w.SelectAbsenderByID(QStringLiteral("AB00000003"));
    ModalAnswer designer([](QDialog* d) { click(d, "Button_OK"); });
    w.Commands().TB_Absender_DesignerClick();
    designer.settle();
    ASSERT_EQ(designer.dialogName(), QStringLiteral("TDLG_Designer"));

    EXPECT_EQ(h.scalar("SELECT COUNT(*) FROM tab_banner WHERE Absender_ID='AB00000003'"), "1");
    // The stored banner is a JPEG, so it starts with the JPEG marker.
    EXPECT_EQ(h.scalar("SELECT hex(substr(Banner, 1, 3)) FROM tab_banner WHERE Absender_ID='AB00000003'"),
              QStringLiteral("FFD8FF"));
    const QAbstractItemModel* senders = h.absenderGrid()->model();
    EXPECT_EQ(senders->index(2, AbsenderModel::ColBanner).data().toString(), QStringLiteral("X"));
    EXPECT_TRUE(h.messages.shown.isEmpty());
}

// The series prints the active addresses of the group under the list's search, whatever
// the view shows.
TEST(MainWindowWiring, SeriesTakesTheSearchOfTheListButOnlyActiveAddresses)
{
    const struct
    {
        const char* search;
        int view;  // 0 all, 1 active, 2 inactive
        int jobs;
    } cases[] = {
        {"", 0, 2},
        {"", 2, 2},
        {"Klaus", 0, 1},
        {"Anna", 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.search);
        MainWindowHarness h;
        h.seed(StandardData() << "DELETE FROM tab_banner");
        TForm_Tavisto& w = h.start();
        h.find<QComboBox>("ComboBox_Adressen_Ansicht")->setCurrentIndex(c.view);
        h.find<QLineEdit>("Edit_Adressen_Suche")->setText(QString::fromUtf8(c.search));
        ModalAnswer confirm([](QDialog* d) { d->done(Msg::IdYes); });
        w.Commands().TB_SeriendruckClick();
        confirm.settle();
        EXPECT_EQ(confirm.dialogName(), QStringLiteral("TDLG_Drucken"));
        EXPECT_EQ(h.printer.jobs.size(), c.jobs);
        EXPECT_TRUE(w.isEnabled());
    }
}

TEST(MainWindowWiring, CopyPutsTheSelectedRecordsLinesOnTheClipboard)
{
    MainWindowHarness h;
    h.seed(StandardData());
    TForm_Tavisto& w = h.start();
    w.SelectAdresseByID(QStringLiteral("AD00000002"));
    w.Commands().TB_Adresse_CopyClick();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("Anna Schmidt\r\nLindenweg\r\n10115 B\r\n"));
    w.Commands().TB_Absender_CopyClick();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("Lumo GmbH\r\nWeg 1\r\n12345 Ort\r\n"));
    EXPECT_EQ(h.messages.texts(), (QStringList{"Die Adressdaten wurden in die Zwischenablage kopiert.",
                                               "Die Absenderdaten wurden in die Zwischenablage kopiert."}));
}

// Sort names are made for the rows shown only, written to the file and into the shown
// cells, without a reload that would lose the selection.
TEST(MainWindowWiring, SortNamesReachTheShownRowsAndTheFile)
{
    MainWindowHarness h;
    h.seed(StandardData());
    TForm_Tavisto& w = h.start();
    h.find<QLineEdit>("Edit_Adressen_Suche")->setText(QStringLiteral("K"));  // Becker KG, Klaus Weber
    w.SelectAdresseByID(QStringLiteral("AD00000003"));
    ModalAnswer dialog([](QDialog* d) {
        child<QComboBox>(d, "ComboBox_Spalte")->setCurrentIndex(0);  // Zeile 1
        click(d, "Button_Start");
    });
    w.Commands().TB_Adresse_AutoNamenClick();
    dialog.settle();
    ASSERT_EQ(dialog.dialogName(), QStringLiteral("DLG_AutoNamen"));

    const QString weber = ReverseWords(QStringLiteral("Klaus Weber"));
    ASSERT_NE(weber, QStringLiteral("Weber"));
    EXPECT_EQ(h.scalar("SELECT Line6 FROM tab_adressen WHERE Adresse_ID='AD00000003'"), weber);
    EXPECT_EQ(h.scalar("SELECT Line6 FROM tab_adressen WHERE Adresse_ID='AD00000001'"), ReverseWords("Becker KG"));
    // Filtered out, and another group: untouched.
    EXPECT_EQ(h.scalar("SELECT Line6 FROM tab_adressen WHERE Adresse_ID='AD00000002'"), QStringLiteral("Schmidt"));
    EXPECT_EQ(h.scalar("SELECT Line6 FROM tab_adressen WHERE Adresse_ID='AD00000004'"), QString());
    EXPECT_EQ(h.adressen().Cell(1, AdressenModel::ColName), weber);
    EXPECT_EQ(w.GetSelectedAdresseID(), QStringLiteral("AD00000003"));
}

// A backup made before the sort-name column existed: after the restore the program works
// on it, with the column added and every list showing the restored records.
TEST(MainWindowWiring, RestoreOfAnOlderBackupShowsItsDataAndGainsTheNameColumn)
{
    MainWindowHarness h;
    h.seed(StandardData());
    const QString backupDir = h.dir.path() + QStringLiteral("/sicherung/");
    QDir().mkpath(backupDir);
    {
        TSQLiteDatabase old(backupDir + QStringLiteral("Tavisto.dbs"));
        for (const char* sql :
             {"CREATE TABLE tab_absender (Absender_ID VARCHAR(10) PRIMARY KEY, Line1 VARCHAR(50), Line2 VARCHAR(50), "
              "Line3 VARCHAR(50), Line4 VARCHAR(50), Line5 VARCHAR(50))",
              "CREATE TABLE tab_adressen (Adresse_ID VARCHAR(10) PRIMARY KEY, Gruppe_ID VARCHAR(10), Line1 VARCHAR(50), "
              "Line2 VARCHAR(50), Line3 VARCHAR(50), Line4 VARCHAR(50), Line5 VARCHAR(50), Aktiv TINYINT)",
              "CREATE TABLE tab_gruppen (Gruppe_ID VARCHAR(10) PRIMARY KEY, Name VARCHAR(50))",
              "CREATE TABLE tab_daten (Daten_ID VARCHAR(10) PRIMARY KEY, Adresse_ID VARCHAR(10), Telefon VARCHAR(30), "
              "Fax VARCHAR(30), Handy VARCHAR(30), Mail VARCHAR(50), Versand VARCHAR(50), Bemerkung VARCHAR(255))",
              "CREATE TABLE tab_banner (Banner_ID VARCHAR(10) PRIMARY KEY, Absender_ID VARCHAR(10), "
              "Banner BLOB COLLATE NOCASE)",
              "INSERT INTO tab_absender VALUES('AB00000007','Alt GmbH','','','','')",
              "INSERT INTO tab_gruppen VALUES('GR00000007','Archiv')",
              "INSERT INTO tab_adressen VALUES('AD00000007','GR00000007','Altkunde','','','','',1)"})
            old.ExecSQL(QString::fromLatin1(sql));
    }
    TForm_Tavisto& w = h.start();
    h.ctx.Settings.BackupPath = backupDir;
    h.messages.answer({Msg::IdOk});
    ModalAnswer dialog([](QDialog* d) { click(d, "Button_Restore"); });
    w.Commands().TB_BackupClick();
    dialog.settle();
    ASSERT_EQ(dialog.dialogName(), QStringLiteral("DLG_Backup"));

    EXPECT_TRUE(h.ctx.Database != nullptr);
    EXPECT_EQ(h.caption("VCap_Absender"), QStringLiteral("Absender (1)"));
    EXPECT_EQ(h.caption("VCap_Gruppen"), QStringLiteral("Gruppen (1)"));
    EXPECT_EQ(h.caption("VCap_Adressen"), QStringLiteral("Adressen (1)"));
    EXPECT_EQ(w.GetSelectedAdresseID(), QStringLiteral("AD00000007"));
    EXPECT_EQ(h.scalar("SELECT COUNT(*) FROM pragma_table_info('tab_adressen') WHERE name='Line6'"), "1");
    // The program goes on with the restored file.
    w.Commands().TB_Gruppe_DeleteClick();
    EXPECT_EQ(h.scalar("SELECT COUNT(*) FROM tab_gruppen"), "0");
}
