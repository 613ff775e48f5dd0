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
