#include "MainWindowHarness.h"
#include "support/ModalAnswer.h"
#include "mainwindow/AdressenOptionsBar.h"
#include "mainwindow/AdressenList.h"
#include "mainwindow/GruppenList.h"
#include "uikit/TSnapLine.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QSignalSpy>
#include <QSplitter>
#include <QTimer>
#include <QTest>
#include <gtest/gtest.h>

TEST(MainWindow, DeletingAGroupTakesItsAddressesAndSelectsTheFirstLeft)
{
    MainWindowHarness h;
    h.seed(StandardData());
    TForm_Tavisto& w = h.start();
    w.Commands().TB_Gruppe_DeleteClick();
    EXPECT_EQ(h.messages.texts(), QStringList{kAskGruppe});
    EXPECT_EQ(h.scalar("SELECT COUNT(*) FROM tab_adressen WHERE Gruppe_ID='GR00000001'"), "0");
    EXPECT_EQ(w.GetSelectedGruppeID(), QStringLiteral("GR00000002"));
    EXPECT_EQ(h.caption("VCap_Gruppen"), QStringLiteral("Gruppen (1)"));
    EXPECT_EQ(column(h.adressen(), 1), QStringList{"Oma Hilde"});

    w.Commands().TB_Gruppe_DeleteClick();
    EXPECT_EQ(h.caption("VCap_Gruppen"), QStringLiteral("Gruppen (0)"));
    EXPECT_EQ(h.caption("VCap_Adressen"), QStringLiteral("Adressen (0)"));
    EXPECT_EQ(h.adressen().RowCount(), 0);
}

TEST(MainWindow, DeletingAnAddressUnderASearchKeepsTheSearch)
{
    MainWindowHarness h;
    h.seed(StandardData());
    TForm_Tavisto& w = h.start();
    h.find<QLineEdit>("Edit_Adressen_Suche")->setText(QStringLiteral("e"));
    ASSERT_EQ(w.GetSelectedAdresseID(), QStringLiteral("AD00000001"));
    w.Commands().TB_Adresse_DeleteClick();
    EXPECT_EQ(h.messages.texts(), QStringList{kAskAdresse});
    EXPECT_EQ(column(h.adressen(), 1), QStringList{"Klaus Weber"});
    EXPECT_EQ(h.caption("VCap_Adressen"), QStringLiteral("Adressen (1) - Gefiltert"));
    EXPECT_EQ(w.GetSelectedAdresseID(), QStringLiteral("AD00000003"));
}

TEST(MainWindow, AnsweringNoOrSelectingNothingDeletesNothing)
{
    MainWindowHarness h;
    h.seed(StandardData());
    TForm_Tavisto& w = h.start();
    h.messages.answer({Msg::IdNo, Msg::IdNo, Msg::IdNo});
    w.Commands().TB_Absender_DeleteClick();
    w.Commands().TB_Gruppe_DeleteClick();
    w.Commands().TB_Adresse_DeleteClick();
    EXPECT_EQ(h.messages.texts(), (QStringList{kAskAbsender, kAskGruppe, kAskAdresse}));
    EXPECT_EQ(h.scalar("SELECT COUNT(*) FROM tab_absender"), "3");
    EXPECT_EQ(h.scalar("SELECT COUNT(*) FROM tab_adressen"), "4");

    // Deleting the last sender leaves only the title row; then nothing is asked.
    h.messages.shown.clear();
    h.seed({"DELETE FROM tab_absender WHERE Absender_ID<>'AB00000003'"});
    w.LoadAbsenderList();
    w.Commands().TB_Absender_DeleteClick();
    EXPECT_EQ(h.caption("VCap_Absender"), QStringLiteral("Absender (0)"));
    EXPECT_TRUE(w.GetSelectedAbsenderID().isEmpty());
    w.Commands().TB_Absender_DeleteClick();
    EXPECT_EQ(h.messages.texts(), QStringList{kAskAbsender});
}

TEST(MainWindow, BannerCellRemovesTheBannerOnlyAfterYes)
{
    MainWindowHarness h;
    h.seed(StandardData());
    TForm_Tavisto& w = h.start();
    showActive(w);
    TGridView* grid = h.absenderGrid();
    const QPoint cell = grid->visualRect(grid->model()->index(0, AbsenderModel::ColBanner)).center();
    h.messages.answer({Msg::IdNo});
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell);
    EXPECT_EQ(h.messages.texts(), QStringList{"Soll das Banner zu diesem Absender entfernt werden?"});
    EXPECT_EQ(h.scalar("SELECT COUNT(*) FROM tab_banner WHERE Absender_ID='AB00000001'"), "1");
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell);
    EXPECT_EQ(h.scalar("SELECT COUNT(*) FROM tab_banner WHERE Absender_ID='AB00000001'"), "0");
    EXPECT_EQ(grid->model()->index(0, AbsenderModel::ColBanner).data().toString(), QString());
    // A blank cell asks nothing: it opens the designer.
    h.messages.shown.clear();
    ModalAnswer designer([](QDialog* d) { d->reject(); });
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell);
    designer.settle();
    EXPECT_EQ(designer.dialogName(), QStringLiteral("TDLG_Designer"));
    EXPECT_TRUE(h.messages.shown.isEmpty());
    EXPECT_EQ(h.scalar("SELECT COUNT(*) FROM tab_banner WHERE Absender_ID='AB00000001'"), "0");
}

// Each command opens its own window for the selection; closing it changes nothing.
TEST(MainWindow, EachCommandOpensItsWindow)
{
    MainWindowHarness h;
    // The standard banners are placeholders no picture reader accepts.
    h.seed(StandardData() << "DELETE FROM tab_banner");
    TForm_Tavisto& w = h.start();
    showActive(w);
    MainCommands& c = w.Commands();
    const struct
    {
        const char* command;
        void (MainCommands::*slot)();
        const char* dialog;
    } cases[] = {
        {"Absender neu", &MainCommands::TB_Absender_AddClick, "TDLG_Absender"},
        {"Absender bearbeiten", &MainCommands::TB_Absender_EditClick, "TDLG_Absender"},
        {"Designer", &MainCommands::TB_Absender_DesignerClick, "TDLG_Designer"},
        {"Gruppe neu", &MainCommands::TB_Gruppe_AddClick, "TDLG_Gruppe"},
        {"Gruppe bearbeiten", &MainCommands::TB_Gruppe_EditClick, "TDLG_Gruppe"},
        {"Adresse neu", &MainCommands::TB_Adresse_AddClick, "TDLG_Adresse"},
        {"Adresse bearbeiten", &MainCommands::TB_Adresse_EditClick, "TDLG_Adresse"},
        {"Sortiernamen", &MainCommands::TB_Adresse_AutoNamenClick, "DLG_AutoNamen"},
        {"Vorschau", &MainCommands::TB_VorschauClick, "TDLG_Vorschau"},
        {"Einzeldruck", &MainCommands::TB_EinzeldruckClick, "TDLG_Drucken"},
        {"Seriendruck", &MainCommands::TB_SeriendruckClick, "TDLG_Drucken"},
        {"Einstellungen", &MainCommands::TB_EinstellungenClick, "TDLG_Einstellungen"},
        {"Datensicherung", &MainCommands::TB_BackupClick, "DLG_Backup"},
        {"Info", &MainCommands::TB_InfoClick, "DLG_Info"},
    };
    for (const auto& k : cases) {
        ModalAnswer answer([](QDialog* d) { d->reject(); });
        (c.*k.slot)();
        answer.settle();
        EXPECT_EQ(answer.dialogName(), QString::fromLatin1(k.dialog)) << k.command;
    }
    EXPECT_TRUE(w.isVisible()) << "closing the backup dialog keeps the program";
    EXPECT_TRUE(w.isEnabled()) << "a refused series enables the window again";
    EXPECT_EQ(h.scalar("SELECT COUNT(*) FROM tab_absender"), "3");
    EXPECT_EQ(h.scalar("SELECT COUNT(*) FROM tab_gruppen"), "2");
    EXPECT_EQ(h.scalar("SELECT COUNT(*) FROM tab_adressen"), "4");
    EXPECT_TRUE(h.printer.jobs.isEmpty());
    EXPECT_TRUE(h.messages.shown.isEmpty()) << h.messages.texts().join(" | ").toStdString();
}

TEST(MainWindow, SavedRecordsAreReloadedAndSelectedAgain)
{
    MainWindowHarness h;
    h.seed(StandardData());
    TForm_Tavisto& w = h.start();
    h.seed({"INSERT INTO tab_absender VALUES('AB00000004','Neu','','','','')",
            "INSERT INTO tab_gruppen VALUES('GR00000003','Neu')",
            "INSERT INTO tab_adressen VALUES('AD00000005','GR00000002','Neu','','','','','',1)"});
    w.Commands().AbsenderSaved(QStringLiteral("AB00000004"));
    EXPECT_EQ(w.GetSelectedAbsenderID(), QStringLiteral("AB00000004"));
    EXPECT_EQ(h.caption("VCap_Absender"), QStringLiteral("Absender (4)"));
    w.Commands().GruppeSaved(QStringLiteral("GR00000002"));
    EXPECT_EQ(w.GetSelectedGruppeID(), QStringLiteral("GR00000002"));
    EXPECT_EQ(h.caption("VCap_Gruppen"), QStringLiteral("Gruppen (3)"));
    w.Commands().AdresseSaved(QStringLiteral("AD00000005"));
    EXPECT_EQ(w.GetSelectedAdresseID(), QStringLiteral("AD00000005"));
    // An unknown identifier leaves the reload's selection.
    w.Commands().AbsenderSaved(QStringLiteral("ab00000004"));
    EXPECT_EQ(w.GetSelectedAbsenderID(), QStringLiteral("AB00000001"));
}

// Drags an address row of the real window onto a group row with the mouse and answers
// the drop menu with a key (none: the menu must not open). Returns the menu's name.
static QString dragAdresseToGruppe(MainWindowHarness& h, int adresseRow, int gruppeRow, Qt::Key answer)
{
    TGridView* grid = h.adressenGrid();
    QListView* groups = h.gruppenList();
    QWidget* area = grid->viewport();
    const QPoint start = grid->visualRect(grid->model()->index(adresseRow, 2)).center();
    const QPoint target =
        area->mapFromGlobal(groups->viewport()->mapToGlobal(groups->visualRect(groups->model()->index(gruppeRow, 0)).center()));
    QString shown;
    QTimer answerer;
    answerer.setInterval(5);
    QObject::connect(&answerer, &QTimer::timeout, [&] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            answerer.stop();
            shown = menu->objectName();
            QTest::keyClick(menu, answer);
        }
    });
    answerer.start();
    QTest::mousePress(area, Qt::LeftButton, {}, start);
    QTest::mouseMove(area, start + QPoint(0, 12));
    QTest::mouseMove(area, target);
    QTest::mouseRelease(area, Qt::LeftButton, {}, target);
    QTest::qWait(30);
    return shown;
}

TEST(MainWindow, AddressesAreCopiedAndMovedByDraggingOntoAnotherGroup)
{
    MainWindowHarness h;
    h.seed(StandardData());
    TForm_Tavisto& w = h.start();
    w.resize(1000, 710);
    showActive(w);

    // A drop on the group shown opens no menu and changes nothing.
    EXPECT_EQ(dragAdresseToGruppe(h, 0, 0, Qt::Key_V), QString());
    EXPECT_EQ(h.scalar("SELECT COUNT(*) FROM tab_adressen"), "4");

    // Copying the inactive address gives an inactive copy with its sort name; the list stays.
    EXPECT_EQ(dragAdresseToGruppe(h, 1, 1, Qt::Key_K), QStringLiteral("PopMenu_Adresse_Drag"));
    EXPECT_EQ(h.scalar("SELECT Line1 || '/' || Line6 || '/' || Aktiv FROM tab_adressen "
                       "WHERE Gruppe_ID='GR00000002' AND Adresse_ID<>'AD00000004'"),
              QStringLiteral("Anna Schmidt/Schmidt/0"));
    EXPECT_EQ(h.caption("VCap_Adressen"), QStringLiteral("Adressen (3)"));

    // Moving takes the row out of the list and lowers the count; the group stays selected.
    EXPECT_EQ(dragAdresseToGruppe(h, 0, 1, Qt::Key_V), QStringLiteral("PopMenu_Adresse_Drag"));
    EXPECT_EQ(h.scalar("SELECT Gruppe_ID FROM tab_adressen WHERE Adresse_ID='AD00000001'"),
              QStringLiteral("GR00000002"));
    EXPECT_EQ(h.caption("VCap_Adressen"), QStringLiteral("Adressen (2)"));
    EXPECT_EQ(column(h.adressen(), 1), (QStringList{"Anna Schmidt", "Klaus Weber"}));
    EXPECT_EQ(w.GetSelectedGruppeID(), QStringLiteral("GR00000001"));
    EXPECT_TRUE(h.messages.shown.isEmpty());
}

// The commands know the window only by what it hands them: any MainWindowLists will do.
class ListsWithoutWindow : public MainWindowLists
{
public:
    QWidget* DialogParent() override { return nullptr; }
    QString GetSelectedAbsenderID() const override { return {}; }
    QString GetSelectedGruppeID() const override { return gruppe; }
    QString GetSelectedAdresseID() const override { return {}; }
    void LoadAbsenderList() override { calls << "LoadAbsenderList"; }
    void LoadGruppenList() override { calls << "LoadGruppenList"; }
    void LoadAdressenList() override { calls << "LoadAdressenList"; }
    void SelectAbsenderByID(const QString&) override {}
    void SelectGruppeByID(const QString& id) override { calls << "SelectGruppeByID " + id; }
    void SelectAdresseByID(const QString&) override {}
    void SetBannerMark(const QString&, const QString&) override {}
    AdressenFilter CurrentAdressenFilter() const override { return {}; }
    AdressenRows& AdressenRowsShown() override { return rows; }
    void BuildStatusLine() override {}
    void ReloadAll() override {}
    void CloseWindow() override { calls << "CloseWindow"; }

    QString gruppe;
    QStringList calls;
    AdressenModel rows;
};

TEST(MainCommandsAlone, WorkOnTheListsTheyAreHanded)
{
    MainWindowHarness h;
    h.seed(StandardData());
    h.ctx.Database = std::make_unique<TSQLiteDatabase>(h.databaseFile());
    ListsWithoutWindow lists;
    MainCommands commands(h.ctx, lists);

    commands.TB_Adresse_AddClick();
    EXPECT_EQ(h.messages.texts(), QStringList{"Es wurde keine Gruppe gewählt!"});
    lists.gruppe = QStringLiteral("GR00000002");
    h.messages.answer({Msg::IdYes});
    commands.TB_Gruppe_DeleteClick();
    EXPECT_EQ(h.scalar("SELECT COUNT(*) FROM tab_gruppen"), QStringLiteral("1"));
    commands.GruppeSaved(QStringLiteral("GR00000001"));
    commands.TB_BeendenClick();
    EXPECT_EQ(lists.calls, (QStringList{"LoadGruppenList", "LoadGruppenList", "SelectGruppeByID GR00000001", "CloseWindow"}));
}
