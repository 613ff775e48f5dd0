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
#include <QFile>
#include <QTest>
#include <gtest/gtest.h>

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
              QStringLiteral("Drucker: Office Laser  |  Format: DL (C5/6) - 110 mm x 220 mm  |  Orientation: Vertikal  |  Ausrichtung: Mitte"));

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

TEST(MainWindow, NewsShowOnceAtTheFirstActivationWithoutASavedFlag)
{
    MainWindowHarness h;
    h.seed(StandardData());
    const QString ini = h.dir.path() + QStringLiteral("/config/Lumo Tavisto/Tavisto.ini");
    ASSERT_TRUE(QFile::remove(ini));
    ModalRecorder dialogs;
    TForm_Tavisto& w = h.start();
    w.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialogs.names.isEmpty(); }, 5000));
    EXPECT_EQ(dialogs.names, QStringList{"DLG_Help"});
    // Activated again in the same run: no second notice.
    QWidget other;
    showActive(other);
    showActive(w);
    QTest::qWait(50);
    EXPECT_EQ(dialogs.names, QStringList{"DLG_Help"});

    // The cleared flag is saved; the next start shows nothing.
    TForm_Tavisto& again = h.restart();
    QFile saved(ini);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_TRUE(saved.readAll().contains("[HELP]\r\nScreen=0\r\n"));
    showActive(again);
    QTest::qWait(50);
    EXPECT_EQ(dialogs.names, QStringList{"DLG_Help"});
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
        {"TB_Gruppe_Online", MainRibbon::TabAdressen, "Mit Online-Adressbuch verbinden …",
         "Gewählte Gruppe mit einem Online-Adressbuch (CardDAV) verbinden"},
        {"TB_Gruppe_Aktualisieren", MainRibbon::TabAdressen, "Aktualisieren",
         "Gewählte Gruppe vom Online-Adressbuch aktualisieren"},
        {"TB_Seriendruck", MainRibbon::TabDrucken, "&Seriendruck", "Mehrere Umschläge drucken (Alt+S)"},
        {"TB_PdfSpeichern", MainRibbon::TabDrucken, "Als PDF speichern", "Umschläge als PDF-Datei speichern"},
        {"TB_Etiketten", MainRibbon::TabDrucken, "Etiketten drucken", "Adressen auf Etikettenbögen drucken"},
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
    EXPECT_EQ(w.Ribbon().Buttons().size(), 27);
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
    // Letters outside Windows-1252 are stored in their Latin spelling.
    EXPECT_EQ(senders->index(0, 1).data().toString(), QStringLiteral("Lódz Zólc"));
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

TEST(MainWindow, OneGroupStaysSelectedAndAClickOnItListsItsAddressesAgain)
{
    MainWindowHarness h;
    h.seed(StandardData());
    TForm_Tavisto& w = h.start();
    showActive(w);
    QListView* groups = h.gruppenList();
    const QPoint kunden = groups->visualRect(groups->model()->index(0, 0)).center();

    // Ctrl+click and Ctrl+Space would take the selection from the selected group.
    QTest::mouseClick(groups->viewport(), Qt::LeftButton, Qt::ControlModifier, kunden);
    EXPECT_EQ(w.GetSelectedGruppeID(), QStringLiteral("GR00000001"));
    groups->setFocus();
    QTest::keyClick(groups, Qt::Key_Space, Qt::ControlModifier);
    EXPECT_EQ(w.GetSelectedGruppeID(), QStringLiteral("GR00000001"));
    EXPECT_EQ(h.caption("VCap_Adressen"), QStringLiteral("Adressen (3)"));

    // An address added behind the window's back shows after a click on the selected group.
    {
        TSQLiteDatabase other(h.databaseFile());
        other.ExecSQL("INSERT INTO tab_adressen VALUES('AD00000009','GR00000001','Neu','','','','','',1)");
    }
    QTest::mouseClick(groups->viewport(), Qt::LeftButton, {}, kunden);
    EXPECT_EQ(h.caption("VCap_Adressen"), QStringLiteral("Adressen (4)"));
    // A click on another group lists that group once.
    QSignalSpy reloads(h.find<GruppenList>("Panel_Gruppen"), &GruppenList::gruppeChanged);
    QTest::mouseClick(groups->viewport(), Qt::LeftButton, {}, groups->visualRect(groups->model()->index(1, 0)).center());
    EXPECT_EQ(w.GetSelectedGruppeID(), QStringLiteral("GR00000002"));
    EXPECT_EQ(reloads.count(), 1);
    EXPECT_EQ(h.caption("VCap_Adressen"), QStringLiteral("Adressen (1)"));
}
