#include "ExchangeFixture.h"

#include "exchange/AdresseDragController.h"

#include <QAction>
#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QListView>
#include <QMenu>
#include <QStandardItemModel>
#include <QStringListModel>
#include <QTableView>
#include <QTest>
#include <QTimer>

namespace {

// A window with an address grid and a group list over the database, wired the way the
// main window wires them: the list shows the addresses of the selected group.
class DragWindowTest : public ExchangeTest
{
protected:
    void SetUp() override
    {
        ExchangeTest::SetUp();
        gruppeIds = {"GR00000001", "GR00000002", "GR00000003"};
        gruppen.setStringList({"Kunden", "Lieferanten", "Freunde"});
        for (int i = 0; i < 3; ++i)
            addGruppe(gruppeIds[i], gruppen.stringList()[i]);
        addAdresse("AD00000001", "GR00000001", {"Anna"});
        addAdresse("AD00000002", "GR00000001", {"Bernd"}, 0);
        addAdresse("AD00000003", "GR00000001", {"Clara"});
        addDaten("DA00000001", "AD00000002", {"0221"});

        auto* layout = new QHBoxLayout(&window);
        groupView = new QListView;
        groupView->setModel(&gruppen);
        addressView = new QTableView;
        addressView->setModel(&addresses);
        // Row selection as in the address grid: a press on a title does not select a column.
        addressView->setSelectionBehavior(QAbstractItemView::SelectRows);
        addressView->setSelectionMode(QAbstractItemView::SingleSelection);
        layout->addWidget(groupView);
        layout->addWidget(addressView);
        window.resize(700, 400);
        groupView->setCurrentIndex(gruppen.index(0));
        reload();

        AdresseDragController::Hooks hooks;
        hooks.selectedGruppeId = [this] {
            const QModelIndex i = groupView->currentIndex();
            return i.isValid() ? gruppeIds.value(i.row()) : QString();
        };
        hooks.selectedAdresseId = [this] {
            const QModelIndex i = addressView->currentIndex();
            return i.isValid() ? addresses.item(i.row(), 0)->data(Qt::UserRole).toString() : QString();
        };
        hooks.gruppeIdAt = [this](int row) { return row < 0 ? QString() : gruppeIds.value(row); };
        hooks.reloadAdressen = [this] {
            ++reloads;
            reload();
        };
        controller = std::make_unique<AdresseDragController>(ctx, addressView, groupView, hooks);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }

    void TearDown() override
    {
        controller.reset();
        ExchangeTest::TearDown();
    }

    void reload()
    {
        addresses.clear();
        for (const StoredAdresse& a : adressen(gruppeIds[groupView->currentIndex().row()])) {
            auto* item = new QStandardItem(a.Line1);
            item->setData(a.Adresse_ID, Qt::UserRole);
            addresses.appendRow({item, new QStandardItem(a.Aktiv == "1" ? "X" : "")});
        }
    }

    QWidget* grid() { return addressView->viewport(); }
    QPoint addressCell(int row) { return addressView->visualRect(addresses.index(row, 0)).center(); }
    // A point over the group list, in the grid's coordinates (the grid keeps the mouse
    // while its button is held).
    QPoint overGroupList(const QPoint& inList) { return grid()->mapFromGlobal(groupView->viewport()->mapToGlobal(inList)); }
    QPoint overGroup(int row) { return overGroupList(groupView->visualRect(gruppen.index(row)).center()); }

    // Answers the drop menu with a key once it is open; remembers what it offered.
    void answerMenuWith(Qt::Key key)
    {
        menuTimer = std::make_unique<QTimer>();
        menuTimer->setInterval(5);
        QObject::connect(menuTimer.get(), &QTimer::timeout, [this, key] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!menu)
                return;
            menuTimer->stop();
            menuShown = menu->objectName();
            for (QAction* a : menu->actions())
                menuEntries << (a->isSeparator() ? QStringLiteral("-") : a->objectName() + u'=' + a->text());
            QTest::keyClick(menu, key);
        });
        menuTimer->start();
    }

    // Press on the address row, move past the threshold, then over the target and release.
    void dragTo(int addressRow, const QPoint& target)
    {
        const QPoint start = addressCell(addressRow);
        QTest::mousePress(grid(), Qt::LeftButton, {}, start);
        QTest::mouseMove(grid(), start + QPoint(4, 0));
        EXPECT_FALSE(controller->IsDragging()) << "started before 10 pixels";
        QTest::mouseMove(grid(), start + QPoint(0, 10));
        EXPECT_TRUE(controller->IsDragging());
        QTest::mouseMove(grid(), target);
        QTest::mouseRelease(grid(), Qt::LeftButton, {}, target);
        EXPECT_FALSE(controller->IsDragging());
    }

    QWidget window;
    QListView* groupView = nullptr;
    QTableView* addressView = nullptr;
    QStringListModel gruppen;
    QStandardItemModel addresses;
    QStringList gruppeIds;
    std::unique_ptr<AdresseDragController> controller;
    std::unique_ptr<QTimer> menuTimer;
    QString menuShown;
    QStringList menuEntries;
    int reloads = 0;
};

TEST_F(DragWindowTest, MoveByDragAndDropReloadsTheList)
{
    answerMenuWith(Qt::Key_V);
    dragTo(1, overGroup(2));

    EXPECT_EQ(menuShown, QStringLiteral("PopMenu_Adresse_Drag"));
    EXPECT_EQ(menuEntries, (QStringList{"PopMenu_Adresse_Kopieren=&Kopieren", "PopMenu_Adresse_Verschieben=&Verschieben",
                                        "-", "PopMenu_Adresse_Abbrechen=&Abbrechen"}));
    EXPECT_EQ(controller->DragAdresseID(), QStringLiteral("AD00000002"));
    EXPECT_EQ(controller->DragGruppeID(), QStringLiteral("GR00000003"));
    EXPECT_EQ(reloads, 1);
    EXPECT_EQ(addresses.rowCount(), 2);
    // The group list's selection stays; the moved address keeps its extra data.
    EXPECT_EQ(groupView->currentIndex().row(), 0);
    const QList<StoredAdresse> moved = adressen("GR00000003");
    ASSERT_EQ(moved.size(), 1);
    EXPECT_EQ(moved[0].Adresse_ID, QStringLiteral("AD00000002"));
    EXPECT_EQ(count("tab_daten"), 1);
}

TEST_F(DragWindowTest, CopyByDragAndDropLeavesTheListAlone)
{
    answerMenuWith(Qt::Key_K);
    dragTo(1, overGroup(1));
    EXPECT_EQ(reloads, 0);
    EXPECT_EQ(addresses.rowCount(), 3);
    const QList<StoredAdresse> copied = adressen("GR00000002");
    ASSERT_EQ(copied.size(), 1);
    EXPECT_EQ(copied[0], (StoredAdresse{"AD00000004", "GR00000002", "Bernd", "", "", "", "", "", "0"}));
    EXPECT_EQ(count("tab_daten"), 2);
}

TEST_F(DragWindowTest, CancelInTheMenuChangesNothing)
{
    for (Qt::Key key : {Qt::Key_A, Qt::Key_Escape}) {
        menuShown.clear();
        answerMenuWith(key);
        dragTo(0, overGroup(1));
        EXPECT_EQ(menuShown, QStringLiteral("PopMenu_Adresse_Drag"));
        EXPECT_EQ(adressen("GR00000001").size(), 3);
        EXPECT_EQ(count("tab_adressen"), 3);
    }
    EXPECT_EQ(reloads, 0);
}

TEST_F(DragWindowTest, DropOnSelectedGroupOrBelowTheItemsIsRefused)
{
    const QRect last = groupView->visualRect(gruppen.index(2));
    ASSERT_LT(last.bottom() + 20, groupView->viewport()->height());
    const QPoint belowItems = overGroupList({last.center().x(), last.bottom() + 20});
    for (const QPoint& target : {overGroup(0), belowItems, addressCell(2)}) {
        answerMenuWith(Qt::Key_V);
        const QPoint start = addressCell(0);
        QTest::mousePress(grid(), Qt::LeftButton, {}, start);
        QTest::mouseMove(grid(), start + QPoint(12, 0));
        QTest::mouseMove(grid(), target);
        ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::ForbiddenCursor);
        QTest::mouseRelease(grid(), Qt::LeftButton, {}, target);
        QTest::qWait(30);
        EXPECT_TRUE(menuShown.isEmpty()) << "menu opened";
        menuTimer->stop();
    }
    EXPECT_EQ(adressen("GR00000001").size(), 3);
    EXPECT_EQ(count("tab_adressen"), 3);

    // Over another group the drop is offered.
    const QPoint start = addressCell(0);
    QTest::mousePress(grid(), Qt::LeftButton, {}, start);
    QTest::mouseMove(grid(), start + QPoint(12, 0));
    QTest::mouseMove(grid(), overGroup(1));
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::DragCopyCursor);
    QTest::keyClick(addressView, Qt::Key_Escape);
    EXPECT_FALSE(controller->IsDragging());
    QTest::mouseRelease(grid(), Qt::LeftButton, {}, overGroup(1));
    EXPECT_EQ(count("tab_adressen"), 3);
}

TEST_F(DragWindowTest, ShortMovementNeverStartsADrag)
{
    answerMenuWith(Qt::Key_V);
    const QPoint start = addressCell(1);
    QTest::mousePress(grid(), Qt::LeftButton, {}, start);
    QTest::mouseMove(grid(), start + QPoint(9, -9));
    EXPECT_FALSE(controller->IsDragging());
    QTest::mouseRelease(grid(), Qt::LeftButton, {}, start + QPoint(9, -9));
    QTest::qWait(30);
    EXPECT_TRUE(menuShown.isEmpty());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    // The press still made its row the current one, the address a drop would transfer.
    EXPECT_EQ(addressView->currentIndex().row(), 1);
    menuTimer->stop();
}

TEST_F(DragWindowTest, DragFromTheTitleRowTransfersTheSelectedAddress)
{
    addressView->setCurrentIndex(addresses.index(2, 0));
    answerMenuWith(Qt::Key_V);
    QWidget* header = addressView->horizontalHeader()->viewport();
    const QPoint start = header->rect().center();
    const QPoint target = header->mapFromGlobal(groupView->viewport()->mapToGlobal(
        groupView->visualRect(gruppen.index(1)).center()));
    QTest::mousePress(header, Qt::LeftButton, {}, start);
    QTest::mouseMove(header, start + QPoint(0, 15));
    QTest::mouseMove(header, target);
    QTest::mouseRelease(header, Qt::LeftButton, {}, target);
    EXPECT_EQ(controller->DragAdresseID(), QStringLiteral("AD00000003"));
    EXPECT_EQ(adressen("GR00000002").size(), 1);
    EXPECT_EQ(reloads, 1);
}

TEST_F(DragWindowTest, TitleBorderResizesItsColumnAndNeverDrags)
{
    answerMenuWith(Qt::Key_K);
    QHeaderView* header = addressView->horizontalHeader();
    QWidget* titles = header->viewport();
    const int before = header->sectionSize(0);
    // Just inside the first column's right edge: the resize grip.
    const QPoint border(header->sectionViewportPosition(0) + before - 1, titles->height() / 2);
    QTest::mousePress(titles, Qt::LeftButton, {}, border);
    for (int dx = 5; dx <= 40; dx += 5) {
        QTest::mouseMove(titles, border + QPoint(dx, 0));
        EXPECT_FALSE(controller->IsDragging()) << dx;
    }
    QTest::mouseRelease(titles, Qt::LeftButton, {}, border + QPoint(40, 0));
    EXPECT_EQ(header->sectionSize(0), before + 40);

    // A border taken and let go over a group opens no drop menu.
    const QPoint newBorder = border + QPoint(40, 0);
    QTest::mousePress(titles, Qt::LeftButton, {}, newBorder);
    const QPoint overGruppe =
        titles->mapFromGlobal(groupView->viewport()->mapToGlobal(groupView->visualRect(gruppen.index(1)).center()));
    QTest::mouseMove(titles, overGruppe);
    EXPECT_FALSE(controller->IsDragging());
    QTest::mouseRelease(titles, Qt::LeftButton, {}, overGruppe);
    QTest::qWait(30);
    EXPECT_TRUE(menuShown.isEmpty()) << "menu opened";
    EXPECT_EQ(count("tab_adressen"), 3);
    menuTimer->stop();
}

TEST_F(DragWindowTest, SmallMovementBeforeTheDragKeepsTheAddressPressedOn)
{
    answerMenuWith(Qt::Key_K);
    // Pressed near the lower edge of the first row, the mouse crosses into the second row
    // before the drag starts.
    const QRect first = addressView->visualRect(addresses.index(0, 0));
    const QPoint start(first.center().x(), first.bottom() - 2);
    QTest::mousePress(grid(), Qt::LeftButton, {}, start);
    QTest::mouseMove(grid(), start + QPoint(0, 5));
    QTest::mouseMove(grid(), start + QPoint(0, 9));
    EXPECT_EQ(addressView->currentIndex().row(), 0);
    QTest::mouseMove(grid(), start + QPoint(0, 14));
    ASSERT_TRUE(controller->IsDragging());
    QTest::mouseMove(grid(), overGroup(1));
    QTest::mouseRelease(grid(), Qt::LeftButton, {}, overGroup(1));
    EXPECT_EQ(controller->DragAdresseID(), QStringLiteral("AD00000001"));
    const QList<StoredAdresse> copied = adressen("GR00000002");
    ASSERT_EQ(copied.size(), 1);
    EXPECT_EQ(copied[0].Line1, QStringLiteral("Anna"));
    EXPECT_EQ(addressView->currentIndex().row(), 0);
}

} // namespace
