#include "uikit/RibbonIcons.h"
#include "uikit/TCheckColumnDelegate.h"
#include "uikit/TGridView.h"
#include "uikit/TRibbon.h"
#include "uikit/TRibbonGroup.h"
#include "uikit/TSnapLine.h"
#include "uikit/TToolButton.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPainter>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTest>
#include <gtest/gtest.h>

TEST(SnapLine, CollapsesToItsOwnWidthAndRestoresTheFormerWidth)
{
    QWidget panel;
    auto* h = new QHBoxLayout(&panel);
    h->setContentsMargins(0, 0, 0, 0);
    auto* content = new QWidget;
    auto* snap = new TSnapLine(QStringLiteral("Optionen"), &panel, content);
    h->addWidget(snap);
    h->addWidget(content);
    panel.setFixedWidth(192);
    panel.show();
    QSignalSpy spy(snap, &TSnapLine::collapsedChanged);

    EXPECT_EQ(snap->toolTip(), QStringLiteral("Einklappen"));
    QTest::mouseClick(snap, Qt::LeftButton);
    EXPECT_TRUE(snap->isCollapsed());
    EXPECT_EQ(panel.width(), snap->collapsedWidth());
    EXPECT_EQ(snap->collapsedWidth(), 6 + snap->fontMetrics().height());
    EXPECT_FALSE(content->isVisible());
    EXPECT_EQ(snap->toolTip(), QStringLiteral("Ausklappen"));

    QTest::mouseClick(snap, Qt::LeftButton);
    EXPECT_FALSE(snap->isCollapsed());
    EXPECT_EQ(panel.width(), 192);
    EXPECT_TRUE(content->isVisible());
    EXPECT_EQ(snap->toolTip(), QStringLiteral("Einklappen"));
    ASSERT_EQ(spy.size(), 2);
    EXPECT_TRUE(spy[0][0].toBool());
    EXPECT_FALSE(spy[1][0].toBool());
}

TEST(ToolButton, CaptionBreaksIntoTwoBalancedLinesKeepingTheMnemonic)
{
    struct Case
    {
        QString caption;
        QStringList lines;
    };
    const Case cases[] = {
        {QStringLiteral("Banner/ Firmenlogo"), {QStringLiteral("Banner/"), QStringLiteral("Firmenlogo")}},
        {QStringLiteral("&Einzeldruck"), {QStringLiteral("&Einzeldruck")}},
        {QStringLiteral("Daten &sichern und wieder herstellen"),
         {QStringLiteral("Daten &sichern und"), QStringLiteral("wieder herstellen")}},
        {QStringLiteral("&Neue Adresse hinzufügen"), {QStringLiteral("&Neue Adresse"), QStringLiteral("hinzufügen")}},
    };
    for (const Case& c : cases) {
        TToolButton b(c.caption, RibbonIcon(RibbonGlyph::Info), QStringLiteral("hint"));
        EXPECT_EQ(b.captionLines(), c.lines) << c.caption.toStdString();
        // Wide enough for its longest line.
        int widest = 0;
        for (QString line : c.lines)
            widest = std::max(widest, b.fontMetrics().horizontalAdvance(line.remove(u'&')));
        EXPECT_GE(b.sizeHint().width(), widest) << c.caption.toStdString();
    }
    TToolButton b(QStringLiteral("Absender &löschen"), QIcon(), QStringLiteral("Gewählten Absender entfernen (Alt+L)"));
    EXPECT_EQ(b.accessibleName(), QStringLiteral("Absender löschen"));
    EXPECT_EQ(b.toolTip(), QStringLiteral("Gewählten Absender entfernen (Alt+L)"));
}

TEST(RibbonIcons, EveryGlyphDrawsSomethingAndBadgesDiffer)
{
    for (int g = int(RibbonGlyph::Absender); g <= int(RibbonGlyph::Info); ++g) {
        const QImage img = RibbonIcon(RibbonGlyph(g)).pixmap(32, 32).toImage();
        int opaque = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                opaque += qAlpha(img.pixel(x, y)) > 128;
        EXPECT_GT(opaque, 60) << g;
    }
    const QImage plain = RibbonIcon(RibbonGlyph::Absender).pixmap(32, 32).toImage();
    const QImage add = RibbonIcon(RibbonGlyph::Absender, RibbonBadge::Add).pixmap(32, 32).toImage();
    const QImage del = RibbonIcon(RibbonGlyph::Absender, RibbonBadge::Delete).pixmap(32, 32).toImage();
    EXPECT_NE(plain, add);
    EXPECT_NE(add, del);
}

TEST(Ribbon, ShowsOnlyTheToolBarOfTheCurrentTab)
{
    TRibbon ribbon;
    QWidget* first = ribbon.addTab(QStringLiteral("Absender"));
    QWidget* second = ribbon.addTab(QStringLiteral("Adressen"));
    auto* a = ribbon.addGroup(first, QStringLiteral("A"))->addButton(new TToolButton("&Eins", QIcon(), ""));
    auto* b = ribbon.addGroup(second, QStringLiteral("B"))->addButton(new TToolButton("&Zwei", QIcon(), ""));
    ribbon.show();
    EXPECT_EQ(ribbon.height(), 119);
    ribbon.setCurrentIndex(1);
    EXPECT_FALSE(a->isVisible());
    EXPECT_TRUE(b->isVisible());
    ribbon.tabBar()->setCurrentIndex(0);
    EXPECT_EQ(ribbon.currentIndex(), 0);
    EXPECT_TRUE(a->isVisible());
    EXPECT_FALSE(b->isVisible());
}

namespace {
QStandardItemModel* gridModel(QObject* parent)
{
    auto* m = new QStandardItemModel(2, 3, parent);
    m->setHorizontalHeaderLabels({QStringLiteral("Nr"), QStringLiteral("Zeile 1"), QStringLiteral("Aktiv")});
    m->setItem(0, 0, new QStandardItem(QStringLiteral("1")));
    m->setItem(0, 1, new QStandardItem(QStringLiteral("a|b|c")));
    m->setItem(0, 2, new QStandardItem(QStringLiteral("X")));
    m->setItem(1, 0, new QStandardItem(QStringLiteral("2")));
    m->setItem(1, 2, new QStandardItem(QStringLiteral(" ")));
    return m;
}
} // namespace

TEST(GridView, RowHintListsNonEmptyCellsWithTitles)
{
    TGridView grid;
    QStandardItemModel* m = gridModel(&grid);
    EXPECT_EQ(TGridView::RowHint(*m, 0), QStringLiteral("Nr: 1\nZeile 1: a/b/c\nAktiv: X"));
    EXPECT_EQ(TGridView::RowHint(*m, 1), QStringLiteral("Nr: 2\nAktiv:  "));
}

TEST(GridView, KeysAndClicksBecomeSignalsWhateverTheModifiers)
{
    TGridView grid;
    grid.setModel(gridModel(&grid));
    grid.show();
    QSignalSpy ret(&grid, &TGridView::returnPressed);
    QSignalSpy del(&grid, &TGridView::deletePressed);
    QSignalSpy press(&grid, &TGridView::cellPressed);
    QSignalSpy dbl(&grid, &TGridView::gridDoubleClicked);
    for (Qt::KeyboardModifiers mod : {Qt::NoModifier, Qt::ShiftModifier, Qt::AltModifier}) {
        QTest::keyClick(&grid, Qt::Key_Delete, mod);
        QTest::keyClick(&grid, Qt::Key_Return, mod);
    }
    QTest::keyClick(&grid, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(del.size(), 3);
    EXPECT_EQ(ret.size(), 4);

    const QPoint cell = grid.visualRect(grid.model()->index(1, 1)).center();
    QTest::mouseClick(grid.viewport(), Qt::RightButton, {}, cell);
    EXPECT_FALSE(grid.currentIndex().isValid());  // only the primary button moves the current row
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, cell);
    EXPECT_EQ(grid.currentIndex().row(), 1);
    EXPECT_EQ(press.size(), 2);
    QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, cell);
    EXPECT_EQ(dbl.size(), 1);
    // The double click itself is not a cell press.
    EXPECT_EQ(press.size(), 2);
}

TEST(CheckColumnDelegate, DrawsACrossedBoxForAnyTextAndNeverTheText)
{
    QStandardItemModel m(3, 1);
    m.setItem(0, 0, new QStandardItem(QStringLiteral("WWWWWW")));
    m.setItem(1, 0, new QStandardItem(QStringLiteral("  ")));
    m.setItem(2, 0, new QStandardItem(QString()));
    TCheckColumnDelegate delegate;
    auto render = [&](int row) {
        QImage img(60, 20, QImage::Format_RGB32);
        img.fill(Qt::white);
        QPainter p(&img);
        QStyleOptionViewItem opt;
        opt.rect = img.rect();
        opt.state = QStyle::State_Enabled;
        delegate.paint(&p, opt, m.index(row, 0));
        return img;
    };
    auto dark = [](const QImage& img, QRect r) {
        int n = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                n += qGray(img.pixel(x, y)) < 128;
        return n;
    };
    const QImage crossed = render(0);
    const QImage blank = render(1);
    // Inside the box (centre 30,10) the cross is dark; the frame is there in both.
    EXPECT_GT(dark(crossed, QRect(27, 7, 6, 6)), 5);
    EXPECT_EQ(dark(blank, QRect(27, 7, 6, 6)), 0);
    EXPECT_EQ(blank, render(2));
    EXPECT_GT(dark(blank, QRect(20, 0, 20, 20)), 10);
    // No text outside the box.
    EXPECT_EQ(dark(crossed, QRect(0, 0, 20, 20)), 0);
    EXPECT_EQ(dark(crossed, QRect(40, 0, 20, 20)), 0);
}

// A row of its own text colour greys like the others once the grid is disabled (the main
// window is disabled during a series print).
TEST(GridView, DisabledGridGreysRowsOfTheirOwnColourAlike)
{
    TGridView grid;
    QStandardItemModel m(2, 2);
    for (int row = 0; row < 2; ++row)
        m.setItem(row, 1, new QStandardItem(QStringLiteral("WWWWWW")));
    m.item(0, 1)->setData(QColor(112, 111, 119), Qt::ForegroundRole);
    grid.setModel(&m);
    grid.horizontalHeader()->resizeSection(1, 120);
    QPalette pal = grid.palette();
    pal.setColor(QPalette::Disabled, QPalette::Text, QColor(220, 0, 0));
    grid.setPalette(pal);
    grid.resize(200, 100);

    // How many pixels of the row's text cell are mostly red.
    auto redPixels = [&](int row) {
        const QImage img = grid.viewport()->grab().toImage();
        const QRect cell = grid.visualRect(m.index(row, 1));
        int n = 0;
        for (int y = cell.top(); y <= cell.bottom(); ++y)
            for (int x = cell.left(); x <= cell.right(); ++x) {
                const QColor c = img.pixelColor(x, y);
                n += c.red() > 150 && c.green() < 100 && c.blue() < 100;
            }
        return n;
    };
    grid.setCurrentIndex({});
    grid.clearSelection();
    EXPECT_EQ(redPixels(0), 0);
    EXPECT_EQ(redPixels(1), 0);
    grid.setEnabled(false);
    EXPECT_GT(redPixels(0), 10);
    EXPECT_GT(redPixels(1), 10);
}
