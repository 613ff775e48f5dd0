#include "MainWindowHarness.h"
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
#include <QMimeData>
#include <QTest>
#include <gtest/gtest.h>

namespace {
const QString kAskAbsender = QStringLiteral("Sind Sie sicher, dass der gewählte Absender gelöscht werden soll?");
const QString kAskGruppe = QStringLiteral("Sind Sie sicher, dass die gewählte Gruppe gelöscht werden soll?");
const QString kAskAdresse = QStringLiteral("Sind Sie sicher, dass die gewählte Adresse gelöscht werden sollen?");

QStringList column(const AdressenModel& m, int col)
{
    QStringList r;
    for (int i = 0; i < m.RowCount(); ++i)
        r << m.Cell(i, col);
    return r;
}

// A mnemonic presses its button the way a click would: animated, after a short moment.
void altKey(QWidget& w, Qt::Key key)
{
    QTest::keyClick(&w, key, Qt::AltModifier);
    QTest::qWait(250);
}

void showActive(QWidget& w)
{
    w.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
}
} // namespace

TEST(MainWindow, StartShowsFirstTabFirstSenderFirstGroupWithCounts)
{
    MainWindowHarness h;
    h.seed(StandardData());
    TForm_Tavisto& w = h.start();
    EXPECT_EQ(w.Ribbon().currentIndex(), MainRibbon::TabAbsender);
    EXPECT_EQ(h.caption("VCap_Absender"), QStringLiteral("Absender (3)"));
    EXPECT_EQ(h.caption("VCap_Gruppen"), QStringLiteral("Gruppen (2)"));
    EXPECT_EQ(h.caption("VCap_Adressen"), QStringLiteral("Adressen (3)"));
    EXPECT_EQ(w.GetSelectedAbsenderID(), QStringLiteral("AB00000001"));
    EXPECT_EQ(w.GetSelectedGruppeID(), QStringLiteral("GR00000001"));
    EXPECT_EQ(w.GetSelectedAdresseID(), QStringLiteral("AD00000001"));
    EXPECT_EQ(h.caption("VGradPanel_Status"),
              QStringLiteral("Drucker: [Unbekannt]  |  Format: [Unbekannt]  |  Orientation: Vertikal  |  Ausrichtung: Mitte"));

    // Running numbers, and the banner mark only for exactly one banner row.
    auto* senders = static_cast<AbsenderModel*>(h.absenderGrid()->model());
    EXPECT_EQ(senders->Cell(2, AbsenderModel::ColNr), QStringLiteral("3"));
    EXPECT_EQ(senders->Cell(0, AbsenderModel::ColBanner), QStringLiteral("x"));
    EXPECT_EQ(senders->Cell(1, AbsenderModel::ColBanner), QString());
    EXPECT_EQ(senders->Cell(2, AbsenderModel::ColBanner), QString());

    // The inactive address is grey, the others keep the normal colour.
    const AdressenModel& a = h.adressen();
    EXPECT_EQ(column(a, AdressenModel::ColAktiv), (QStringList{"X", "", "X"}));
    EXPECT_EQ(a.data(a.index(1, 3), Qt::ForegroundRole).value<QColor>(), QColor(112, 111, 119));
    EXPECT_FALSE(a.data(a.index(0, 3), Qt::ForegroundRole).isValid());
    EXPECT_TRUE(h.messages.shown.isEmpty());
}

TEST(MainWindow, EmptyDatabaseShowsEmptyListsAndDisablesSelectionCommands)
{
    MainWindowHarness h;
    TForm_Tavisto& w = h.start();
    EXPECT_EQ(h.caption("VCap_Absender"), QStringLiteral("Absender (0)"));
    EXPECT_EQ(h.caption("VCap_Gruppen"), QStringLiteral("Gruppen (0)"));
    EXPECT_EQ(h.caption("VCap_Adressen"), QStringLiteral("Adressen (0)"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !w.Ribbon().Button("TB_Adresse_Add")->isEnabled(); }, 1000));
    for (const char* name : {"TB_Absender_Edit", "TB_Absender_Delete", "TB_Absender_Designer", "TB_Absender_Copy",
                             "TB_Gruppe_Edit", "TB_Gruppe_Delete", "TB_Adresse_Edit", "TB_Adresse_Delete",
                             "TB_Adresse_Copy"})
        EXPECT_FALSE(w.Ribbon().Button(name)->isEnabled()) << name;
    for (const char* name : {"TB_Absender_Add", "TB_Gruppe_Add", "TB_Adresse_Import", "TB_Einzeldruck", "TB_Hilfe"})
        EXPECT_TRUE(w.Ribbon().Button(name)->isEnabled()) << name;

    // The menu entry stays enabled and answers with the message.
    QAction* entry = w.Ribbon().MenuAction(QStringLiteral("PM_MenuButton_Adresse"));
    ASSERT_TRUE(entry);
    EXPECT_TRUE(entry->isEnabled());
    entry->trigger();
    EXPECT_EQ(h.messages.texts(), QStringList{QStringLiteral("Es wurde keine Gruppe gewählt!")});
    EXPECT_EQ(h.messages.shown.first().kind, Msg::Error);
}

TEST(MainWindow, AltLetterPressesOnlyTheEnabledButtonOfTheTabShown)
{
    MainWindowHarness h;
    h.seed(StandardData());
    TForm_Tavisto& w = h.start();
    showActive(w);
    struct Case
    {
        int tab;
        QStringList asked;
    };
    const Case cases[] = {
        {MainRibbon::TabAbsender, {kAskAbsender}},
        {MainRibbon::TabAdressen, {kAskAdresse}},
        {MainRibbon::TabDrucken, {}},
        {MainRibbon::TabHilfe, {}},
    };
    for (const Case& c : cases) {
        w.Ribbon().setCurrentIndex(c.tab);
        h.messages.shown.clear();
        h.messages.answer({Msg::IdNo});
        altKey(w, Qt::Key_L);
        EXPECT_EQ(h.messages.texts(), c.asked) << c.tab;
        h.messages.shown.clear();
    }
    // Alt+E means "Gruppe &entfernen" on "Adressen" only.
    w.Ribbon().setCurrentIndex(MainRibbon::TabAdressen);
    h.messages.answer({Msg::IdNo});
    altKey(w, Qt::Key_E);
    EXPECT_EQ(h.messages.texts(), QStringList{kAskGruppe});
    EXPECT_EQ(h.scalar("SELECT COUNT(*) FROM tab_absender"), "3");
    EXPECT_EQ(h.scalar("SELECT COUNT(*) FROM tab_gruppen"), "2");
}

TEST(MainWindow, AltNMeansANewSenderOrANewAddressOrNothingByTab)
{
    MainWindowHarness h;
    h.seed(StandardData());
    TForm_Tavisto& w = h.start();
    showActive(w);
    QSignalSpy sender(w.Ribbon().Button("TB_Absender_Add"), &QAbstractButton::clicked);
    QSignalSpy address(w.Ribbon().Button("TB_Adresse_Add"), &QAbstractButton::clicked);
    w.Ribbon().setCurrentIndex(MainRibbon::TabDrucken);
    altKey(w, Qt::Key_N);
    EXPECT_EQ(sender.size() + address.size(), 0);
    w.Ribbon().setCurrentIndex(MainRibbon::TabAbsender);
    altKey(w, Qt::Key_N);
    EXPECT_EQ(sender.size(), 1);
    EXPECT_EQ(address.size(), 0);
    w.Ribbon().setCurrentIndex(MainRibbon::TabAdressen);
    altKey(w, Qt::Key_N);
    EXPECT_EQ(sender.size(), 1);
    EXPECT_EQ(address.size(), 1);
    EXPECT_TRUE(h.messages.shown.isEmpty());
}

TEST(MainWindow, DisabledButtonIgnoresItsAltLetter)
{
    MainWindowHarness h;
    h.seed({"INSERT INTO tab_gruppen VALUES('GR00000001','Leer')"});
    TForm_Tavisto& w = h.start();
    showActive(w);
    w.Timer1Timer();
    ASSERT_FALSE(w.Ribbon().Button("TB_Absender_Delete")->isEnabled());
    altKey(w, Qt::Key_L);
    EXPECT_TRUE(h.messages.shown.isEmpty());
}

TEST(MainWindow, DeleteKeyActsInTheListsOnlyWhateverTheModifiers)
{
    MainWindowHarness h;
    h.seed(StandardData());
    TForm_Tavisto& w = h.start();
    showActive(w);

    auto* search = h.find<QLineEdit>("Edit_Adressen_Suche");
    search->setFocus();
    QTest::keyClicks(search, "Be");
    QTest::keyClick(search, Qt::Key_Home);
    QTest::keyClick(search, Qt::Key_Delete);
    EXPECT_EQ(search->text(), QStringLiteral("e"));
    EXPECT_TRUE(h.messages.shown.isEmpty());
    search->clear();

    struct Case
    {
        QWidget* target;
        QString asked;
    };
    const Case cases[] = {
        {h.adressenGrid(), kAskAdresse},
        {h.absenderGrid(), kAskAbsender},
        {h.gruppenList(), kAskGruppe},
    };
    for (const Case& c : cases) {
        for (Qt::KeyboardModifiers mod : {Qt::NoModifier, Qt::ShiftModifier, Qt::ControlModifier}) {
            h.messages.shown.clear();
            h.messages.answer({Msg::IdNo});
            c.target->setFocus();
            QTest::keyClick(c.target, Qt::Key_Delete, mod);
            EXPECT_EQ(h.messages.texts(), QStringList{c.asked});
        }
    }
    EXPECT_EQ(h.scalar("SELECT COUNT(*) FROM tab_adressen"), "4");
}

TEST(MainWindow, F1ShowsTheMainHelpTopicFromAnyControlOnce)
{
    MainWindowHarness h;
    h.seed(StandardData());
    TForm_Tavisto& w = h.start();
    showActive(w);
    auto* search = h.find<QLineEdit>("Edit_Adressen_Suche");
    search->setFocus();
    QTest::keyClick(search, Qt::Key_F1);
    h.adressenGrid()->setFocus();
    QTest::keyClick(h.adressenGrid(), Qt::Key_F1, Qt::ShiftModifier);
    EXPECT_EQ(h.help.topics, (QList<int>{1000, 1000}));

    // Without a help viewer the key does nothing.
    h.ctx.Help = nullptr;
    QTest::keyClick(search, Qt::Key_F1);
}

TEST(MainWindow, ActiveCellPressGreysTheRowKeepsItAndWritesTheFile)
{
    MainWindowHarness h;
    h.seed(StandardData());
    TForm_Tavisto& w = h.start();
    showActive(w);
    h.find<QComboBox>("ComboBox_Adressen_Ansicht")->setCurrentIndex(1);
    EXPECT_EQ(h.caption("VCap_Adressen"), QStringLiteral("Adressen (2) - Gefiltert"));
    TGridView* grid = h.adressenGrid();
    const QRect cell = grid->visualRect(grid->model()->index(1, AdressenModel::ColAktiv));
    ASSERT_TRUE(cell.isValid());
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());

    const AdressenModel& a = h.adressen();
    EXPECT_EQ(a.RowCount(), 2);
    EXPECT_EQ(a.Data(1)->Adresse_ID, QStringLiteral("AD00000003"));
    EXPECT_EQ(a.Cell(1, AdressenModel::ColAktiv), QString());
    EXPECT_EQ(a.data(a.index(1, 1), Qt::ForegroundRole).value<QColor>(), QColor(112, 111, 119));
    EXPECT_EQ(w.GetSelectedAdresseID(), QStringLiteral("AD00000003"));
    EXPECT_EQ(h.scalar("SELECT Aktiv FROM tab_adressen WHERE Adresse_ID='AD00000003'"), "0");
    EXPECT_EQ(h.caption("VCap_Adressen"), QStringLiteral("Adressen (2) - Gefiltert"));

    // A press on another cell changes nothing; a second press on the mark sets it again.
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(grid->model()->index(0, 2)).center());
    EXPECT_EQ(h.scalar("SELECT Aktiv FROM tab_adressen WHERE Adresse_ID='AD00000001'"), "1");
    QTest::mouseClick(grid->viewport(), Qt::RightButton, {}, cell.center());
    EXPECT_EQ(h.scalar("SELECT Aktiv FROM tab_adressen WHERE Adresse_ID='AD00000003'"), "1");
    EXPECT_FALSE(h.ctx.db().InTransaction());
}

TEST(MainWindow, SearchSortAndViewReloadTheList)
{
    MainWindowHarness h;
    h.seed(StandardData());
    TForm_Tavisto& w = h.start();
    auto* search = h.find<QLineEdit>("Edit_Adressen_Suche");
    QTest::keyClicks(search, "e");
    EXPECT_EQ(column(h.adressen(), 1), (QStringList{"Becker KG", "Klaus Weber"}));
    EXPECT_EQ(h.caption("VCap_Adressen"), QStringLiteral("Adressen (2) - Gefiltert"));
    QTest::keyClicks(search, "c");
    EXPECT_EQ(column(h.adressen(), 1), QStringList{"Becker KG"});
    h.find<QComboBox>("ComboBox_Adressen_Spalte")->setCurrentIndex(5);
    EXPECT_EQ(column(h.adressen(), 1), QStringList{"Becker KG"});
    search->clear();
    EXPECT_EQ(h.caption("VCap_Adressen"), QStringLiteral("Adressen (3)"));
    h.find<QComboBox>("ComboBox_Sort")->setCurrentIndex(6);
    EXPECT_EQ(column(h.adressen(), AdressenModel::ColName), (QStringList{"Becker", "Schmidt", "Weber"}));
    h.find<QComboBox>("ComboBox_Sort")->setCurrentIndex(2);
    EXPECT_EQ(column(h.adressen(), 2), (QStringList{"Bernd", "Garten", "Lindenweg"}));
    h.find<QComboBox>("ComboBox_Adressen_Ansicht")->setCurrentIndex(2);
    EXPECT_EQ(column(h.adressen(), 1), QStringList{"Anna Schmidt"});

    // Another group keeps the filter state.
    w.SelectGruppeByID(QStringLiteral("GR00000002"));
    EXPECT_EQ(h.caption("VCap_Adressen"), QStringLiteral("Adressen (0) - Gefiltert"));
    EXPECT_EQ(w.CurrentAdressenFilter().GruppeID, QStringLiteral("GR00000002"));
}

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
    // A blank cell asks nothing (it opens the designer).
    h.messages.shown.clear();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell);
    EXPECT_TRUE(h.messages.shown.isEmpty());
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

TEST(MainWindow, WindowStateSurvivesARestart)
{
    MainWindowHarness h;
    h.seed(StandardData());
    TForm_Tavisto& w = h.start();
    w.resize(1000, 710);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    auto* lower = h.find<QSplitter>("Splitter_Absender");
    auto* groups = h.find<QSplitter>("Splitter_Gruppen");
    EXPECT_EQ(lower->sizes().value(1), 370);
    EXPECT_EQ(groups->sizes().value(0), 220);

    lower->setSizes({lower->sizes()[0] + 70, 300});
    groups->setSizes({260, groups->sizes()[1] - 40});
    auto* bar = h.find<AdressenOptionsBar>("Panel_Adressen_Ansicht");
    auto* snap = h.find<TSnapLine>("SnapLine_Adressen_Ansicht");
    QTest::mouseClick(snap, Qt::LeftButton);
    EXPECT_TRUE(bar->IsCollapsed());
    EXPECT_EQ(bar->width(), snap->collapsedWidth());
    h.absenderGrid()->horizontalHeader()->resizeSection(2, 40);
    h.adressenGrid()->horizontalHeader()->resizeSection(3, 210);
    // Hidden "Name" column is saved as 100 and hidden again.
    ASSERT_TRUE(h.find<QCheckBox>("CheckBox_SpalteName")->isChecked());

    TForm_Tavisto& again = h.restart();
    again.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&again));
    EXPECT_EQ(h.ctx.Settings.Window.AbsenderColumns[1], 100);
    EXPECT_EQ(h.ctx.Settings.Window.AdressenColumns[5], 100);
    EXPECT_EQ(h.find<QSplitter>("Splitter_Absender")->sizes().value(1), 300);
    EXPECT_EQ(h.find<QSplitter>("Splitter_Gruppen")->sizes().value(0), 260);
    auto* bar2 = h.find<AdressenOptionsBar>("Panel_Adressen_Ansicht");
    EXPECT_TRUE(bar2->IsCollapsed());
    EXPECT_EQ(h.find<TSnapLine>("SnapLine_Adressen_Ansicht")->toolTip(), QStringLiteral("Ausklappen"));
    EXPECT_EQ(h.absenderGrid()->horizontalHeader()->sectionSize(2), 100);
    EXPECT_EQ(h.adressenGrid()->horizontalHeader()->sectionSize(3), 210);
    EXPECT_TRUE(h.adressenGrid()->isColumnHidden(AdressenModel::ColName));

    // Showing the name column gives it 120, whatever it had.
    h.find<QCheckBox>("CheckBox_SpalteName")->setChecked(false);
    EXPECT_FALSE(h.adressenGrid()->isColumnHidden(AdressenModel::ColName));
    EXPECT_EQ(h.adressenGrid()->horizontalHeader()->sectionSize(AdressenModel::ColName), 120);
    // Opening the bar again restores its width.
    QTest::mouseClick(h.find<TSnapLine>("SnapLine_Adressen_Ansicht"), Qt::LeftButton);
    EXPECT_EQ(bar2->width(), AdressenOptionsBar::kWidth);
}

TEST(MainWindow, CannotBeMadeSmallerThan800By500)
{
    MainWindowHarness h;
    TForm_Tavisto& w = h.start();
    w.show();
    w.resize(600, 300);
    EXPECT_GE(w.width(), 800);
    EXPECT_GE(w.height(), 500);
}

TEST(MainWindow, EveryRibbonButtonHasItsCaptionHintAndTab)
{
    MainWindowHarness h;
    TForm_Tavisto& w = h.start();
    struct Case
    {
        const char* name;
        int tab;
        const char* caption;
        const char* hint;
    };
    const Case cases[] = {
        {"TB_Absender_Designer", MainRibbon::TabAbsender, "Banner/ Firmenlogo", "Banner für gewählten Absender gestalten"},
        {"TB_Gruppe_Edit", MainRibbon::TabAdressen, "Gruppe &umbenennen", "Gewählte Gruppe umbennen (Alt+U)"},
        {"TB_Adresse_Import", MainRibbon::TabAdressen, "Adressen i&mportieren", "Adressen aus CSV-Datei importieren (Alt+I)"},
        {"TB_Seriendruck", MainRibbon::TabDrucken, "&Seriendruck", "Mehrere Umschläge drucken (Alt+S)"},
        {"TB_Backup", MainRibbon::TabOptionen, "Daten &sichern und wieder herstellen", "Datensicherung (Alt+S)"},
        {"TB_Info", MainRibbon::TabHilfe, "Informationen zum Programm", "Information (F2)"},
    };
    for (const Case& c : cases) {
        TToolButton* b = w.Ribbon().Button(QString::fromLatin1(c.name));
        ASSERT_TRUE(b) << c.name;
        EXPECT_EQ(b->text(), QString::fromUtf8(c.caption));
        EXPECT_EQ(b->toolTip(), QString::fromUtf8(c.hint));
        EXPECT_TRUE(w.Ribbon().toolBar(c.tab)->isAncestorOf(b)) << c.name;
    }
    EXPECT_EQ(w.Ribbon().Buttons().size(), 23);
    EXPECT_EQ(w.Ribbon().tabBar()->tabText(4), QStringLiteral("Hilfe"));
}

TEST(MainWindow, AwkwardDataLoadsAndShows)
{
    MainWindowHarness h;
    const QString fifty = QString(50, u'W');
    h.seed({});
    {
        TSQLiteDatabase db(h.databaseFile());
        db.ExecSQL(QStringLiteral("INSERT INTO tab_absender VALUES('AB00000001', ?, ?, '', '', '')"),
                   {QStringLiteral("Łódź Żółć"), fifty});
        db.ExecSQL(QStringLiteral("INSERT INTO tab_gruppen VALUES('GR00000001','G')"));
        db.ExecSQL(QStringLiteral("INSERT INTO tab_adressen VALUES('AD00000002','GR00000001',?, 'a|b', '', '', '', NULL, 1)"),
                   {fifty});
        db.ExecSQL(QStringLiteral("INSERT INTO tab_adressen VALUES('AD00000001','GR00000001','Zeta', NULL, NULL, NULL, NULL, NULL, NULL)"));
    }
    TForm_Tavisto& w = h.start();
    auto* senders = h.absenderGrid()->model();
    // Characters outside Windows-1252 become their base letter or "?".
    EXPECT_EQ(senders->index(0, 1).data().toString(), QStringLiteral("?ódz Zó?c"));
    EXPECT_EQ(senders->index(0, 2).data().toString(), fifty);
    h.find<QComboBox>("ComboBox_Sort")->setCurrentIndex(6);
    const AdressenModel& a = h.adressen();
    ASSERT_EQ(a.RowCount(), 2);
    const int full = a.RowOf(QStringLiteral("AD00000002"));
    const int bare = a.RowOf(QStringLiteral("AD00000001"));
    EXPECT_EQ(a.Cell(full, AdressenModel::ColName), QString());
    EXPECT_EQ(a.Cell(full, AdressenModel::ColAktiv), QStringLiteral("X"));
    EXPECT_EQ(a.Cell(bare, AdressenModel::ColAktiv), QString());
    EXPECT_EQ(TGridView::RowHint(a, full),
              QStringLiteral("Nr: %1\nZeile 1: %2\nZeile 2: a/b\nAktiv: X").arg(full + 1).arg(fifty));
    EXPECT_EQ(w.GetSelectedAdresseID().size(), 10);
}

TEST(MainWindow, AnAddressDropsOnlyOnAnotherGroupAndRemembersBoth)
{
    MainWindowHarness h;
    h.seed(StandardData());
    TForm_Tavisto& w = h.start();
    w.resize(1000, 710);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    auto* groups = h.find<GruppenList>("Panel_Gruppen");
    QListView* view = h.gruppenList();
    const QPoint selected = view->visualRect(view->model()->index(0, 0)).center();
    const QPoint other = view->visualRect(view->model()->index(1, 0)).center();
    EXPECT_EQ(groups->DropRowAt(selected), -1);
    EXPECT_EQ(groups->DropRowAt(other), 1);
    EXPECT_EQ(groups->DropRowAt(QPoint(5, view->viewport()->height() - 5)), -1);

    w.SelectAdresseByID(QStringLiteral("AD00000003"));
    w.Commands().AdresseDropped(1, view->viewport()->mapToGlobal(other));
    EXPECT_EQ(w.Commands().FDragAdresseID, QStringLiteral("AD00000003"));
    EXPECT_EQ(w.Commands().FDragGruppeID, QStringLiteral("GR00000002"));
    QMenu* menu = w.Commands().DropMenu();
    EXPECT_TRUE(menu->isVisible());
    QStringList entries;
    for (QAction* a : menu->actions())
        entries << (a->isSeparator() ? QStringLiteral("-") : a->text());
    EXPECT_EQ(entries, (QStringList{"&Kopieren", "&Verschieben", "-", "&Abbrechen"}));
    menu->close();
    // The drop leaves the group selection as it was.
    EXPECT_EQ(w.GetSelectedGruppeID(), QStringLiteral("GR00000001"));
}

TEST(MainWindow, AddressDragIsAcceptedOverAnotherGroupAndItsDropOpensTheMenu)
{
    MainWindowHarness h;
    h.seed(StandardData());
    TForm_Tavisto& w = h.start();
    w.resize(1000, 710);
    showActive(w);
    TGridView* grid = h.adressenGrid();
    QWidget* lv = h.gruppenList()->viewport();
    auto* groups = h.find<GruppenList>("Panel_Gruppen");
    const QPoint selected = h.gruppenList()->visualRect(h.gruppenList()->model()->index(0, 0)).center();
    const QPoint other = h.gruppenList()->visualRect(h.gruppenList()->model()->index(1, 0)).center();
    const QPoint below(5, lv->height() - 5);
    w.SelectAdresseByID(QStringLiteral("AD00000002"));

    QMimeData fromGrid;
    fromGrid.setData(AdressenList::kDragMime, TGridView::DragToken(grid));
    QMimeData fromElsewhere;
    fromElsewhere.setData(AdressenList::kDragMime, TGridView::DragToken(h.absenderGrid()));
    fromElsewhere.setText(QStringLiteral("x"));
    auto accepted = [&](const QMimeData& mime, QPoint pos) {
        QDragMoveEvent e(pos, Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton, {});
        groups->DragEvent(&e);
        return e.isAccepted();
    };
    EXPECT_TRUE(accepted(fromGrid, other));
    EXPECT_FALSE(accepted(fromGrid, selected));
    EXPECT_FALSE(accepted(fromGrid, below));
    EXPECT_FALSE(accepted(fromElsewhere, other));

    QDropEvent refused(selected, Qt::CopyAction | Qt::MoveAction, &fromGrid, Qt::LeftButton, {});
    groups->DragEvent(&refused);
    EXPECT_FALSE(w.Commands().DropMenu()->isVisible());
    EXPECT_TRUE(w.Commands().FDragAdresseID.isEmpty());

    QDropEvent drop(other, Qt::CopyAction | Qt::MoveAction, &fromGrid, Qt::LeftButton, {});
    groups->DragEvent(&drop);
    EXPECT_TRUE(w.Commands().DropMenu()->isVisible());
    EXPECT_EQ(w.Commands().FDragAdresseID, QStringLiteral("AD00000002"));
    EXPECT_EQ(w.Commands().FDragGruppeID, QStringLiteral("GR00000002"));
    w.Commands().DropMenu()->close();
    EXPECT_EQ(w.GetSelectedGruppeID(), QStringLiteral("GR00000001"));
}
