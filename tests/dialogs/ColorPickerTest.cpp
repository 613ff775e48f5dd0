#include "uikit/ColorPicker.h"
#include "uikit/ColorPickerWindow.h"

#include <QApplication>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

TEST(ColorPickerWindow, SwatchesLieInEightRowsOfSixteen)
{
    const auto& colours = ColorPickerWindow::Swatches();
    // Spot checks of the table, one per row, against the colour chart.
    const struct
    {
        int row, column;
        QRgb rgb;
    } cases[] = {{0, 0, 0x003366}, {1, 15, 0x6666FF}, {2, 13, 0x006600}, {3, 3, 0xCCECFF},
                 {4, 11, 0xFFFFCC}, {5, 1, 0x800080},  {6, 3, 0xFF7C80},  {7, 14, 0xA50021}, {7, 15, 0x000000}};
    for (const auto& c : cases)
        EXPECT_EQ(colours[size_t(c.row * 16 + c.column)], c.rgb) << c.row << "," << c.column;

    EXPECT_EQ(ColorPickerWindow::SwatchRect(0), QRect(3, 3, 14, 14));
    EXPECT_EQ(ColorPickerWindow::SwatchRect(17), QRect(18, 18, 14, 14));
    EXPECT_EQ(ColorPickerWindow::SwatchRect(127), QRect(228, 108, 14, 14));
    const struct
    {
        QPoint at;
        int swatch;
    } hits[] = {{{2, 2}, -1}, {{3, 3}, 0}, {{16, 16}, 0}, {{17, 3}, -1}, {{18, 3}, 1}, {{241, 121}, 127}, {{242, 121}, -1}};
    for (const auto& h : hits)
        EXPECT_EQ(ColorPickerWindow::SwatchAt(h.at), h.swatch) << h.at.x() << "," << h.at.y();
}

TEST(ColorPickerWindow, OpensBelowThePanelOrAboveNearTheScreensBottom)
{
    const struct
    {
        QRect panel;
        int screenHeight;
        QPoint topLeft;
    } cases[] = {
        {{300, 100, 50, 20}, 768, {105, 120}},
        {{300, 622, 50, 20}, 768, {105, 642}},  // 642 + 125 = 767: still below
        {{300, 623, 50, 20}, 768, {105, 498}},  // 643 + 125 = 768: above
        {{300, 700, 50, 20}, 768, {105, 575}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ColorPickerWindow::Placement(c.panel, c.screenHeight), c.topLeft) << c.panel.y();
}

TEST(ColorPicker, ButtonOpensTheWindowAndASwatchIsChosen)
{
    ColorPicker picker;
    picker.resize(50, 20);
    picker.show();
    EXPECT_EQ(picker.button()->geometry(), QRect(50 - 1 - 17, 2, 17, 17));
    EXPECT_EQ(picker.button()->toolTip(), QStringLiteral("Farbe wählen..."));
    QSignalSpy chosen(&picker, &ColorPicker::colorChosen);
    QTest::mouseClick(picker.button(), Qt::LeftButton);
    ColorPickerWindow* w = picker.window();
    ASSERT_TRUE(w);
    EXPECT_EQ(w->size(), QSize(245, 125));
    const QPoint over = ColorPickerWindow::SwatchRect(20).center();
    QMouseEvent move(QEvent::MouseMove, over, w->mapToGlobal(over), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &move);
    EXPECT_EQ(w->HotSwatch(), 20);
    QTest::mouseClick(w, Qt::LeftButton, {}, ColorPickerWindow::SwatchRect(20).center());
    ASSERT_EQ(chosen.count(), 1);
    EXPECT_EQ(chosen[0][0].value<QColor>(), QColor(0x0066FF));
    EXPECT_EQ(picker.color(), QColor(0x0066FF));
    QCoreApplication::processEvents();
    EXPECT_FALSE(picker.window());
}

TEST(ColorPicker, KeysCloseTheWindowWithoutAChoice)
{
    for (Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter, Qt::Key_Tab, Qt::Key_F4}) {
        ColorPicker picker;
        picker.setColor(Qt::green);
        picker.resize(50, 20);
        picker.show();
        QSignalSpy chosen(&picker, &ColorPicker::colorChosen);
        picker.openWindow();
        ASSERT_TRUE(picker.window());
        QTest::keyClick(picker.window(), key);
        QCoreApplication::processEvents();
        EXPECT_FALSE(picker.window()) << key;
        EXPECT_EQ(chosen.count(), 0);
        EXPECT_EQ(picker.color(), QColor(Qt::green));
    }
}
