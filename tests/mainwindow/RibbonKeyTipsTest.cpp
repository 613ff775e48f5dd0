#include "MainWindowHarness.h"
#include "support/ModalAnswer.h"
#include "uikit/TRibbonKeyTips.h"

#include <QLabel>
#include <QMenu>
#include <QTabBar>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// A key as the user types it: to the control that has the focus.
void type(TForm_Tavisto& w, Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    QWidget* focus = QApplication::focusWidget();
    QTest::keyClick(focus ? focus : &w, key, mods);
}

// A lone Alt: pressed and released with nothing between.
void loneAlt(TForm_Tavisto& w)
{
    QWidget* focus = QApplication::focusWidget();
    QTest::keyPress(focus ? focus : &w, Qt::Key_Alt);
    QTest::keyRelease(focus ? focus : &w, Qt::Key_Alt, Qt::AltModifier);
}

QStringList tipTexts(TRibbonKeyTips* tips)
{
    QStringList letters;
    for (QLabel* l : tips->visibleTips())
        letters << l->text();
    letters.sort();
    return letters;
}

// The name of the modal window that a typed key opens, closed again.
QString windowOpenedBy(const std::function<void()>& keys)
{
    QString name;
    AnswerWhenShown<QDialog> answer([&](QDialog* d) {
        name = d->objectName();
        d->reject();
    }, 5000);
    keys();
    for (int i = 0; i < 300 && name.isEmpty(); ++i)
        QTest::qWait(10);
    return name;
}

class RibbonKeyTips : public ::testing::Test
{
protected:
    RibbonKeyTips()
    {
        h.seed(StandardData() << "DELETE FROM tab_banner");
        h.start();
        w().Ribbon().setCurrentIndex(MainRibbon::TabAbsender);
    }
    void SetUp() override { showActive(w()); }
    TForm_Tavisto& w() { return *h.window; }
    TRibbonKeyTips* tips() { return w().Ribbon().keyTips(); }
    MainWindowHarness h;
};

} // namespace

TEST_F(RibbonKeyTips, StartWithTheFocusInTheSenderList)
{
    EXPECT_EQ(QApplication::focusWidget(), h.absenderGrid());
}

TEST_F(RibbonKeyTips, F10LetterLetterOpensThePreviewAndLoneAltTheSettings)
{
    type(w(), Qt::Key_F10);
    EXPECT_EQ(tips()->level(), TRibbonKeyTips::Level::Tabs);
    // One letter per tab and one for "Menü", all different.
    EXPECT_EQ(tipTexts(tips()), (QStringList{"A", "D", "H", "M", "O", "R"}));
    type(w(), Qt::Key_R);
    EXPECT_EQ(w().Ribbon().currentIndex(), int(MainRibbon::TabDrucken));
    EXPECT_EQ(tips()->level(), TRibbonKeyTips::Level::Commands);
    EXPECT_EQ(tipTexts(tips()), (QStringList{"A", "D", "E", "S", "T"}));
    EXPECT_EQ(windowOpenedBy([&] { type(w(), Qt::Key_D); }), QStringLiteral("TDLG_Vorschau"));
    EXPECT_EQ(tips()->level(), TRibbonKeyTips::Level::Off);
    EXPECT_TRUE(tipTexts(tips()).isEmpty());

    // From the start again, with a lone Alt: "Optionen", "Einstellungen (Druckausgabe)".
    w().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w()));
    w().Ribbon().setCurrentIndex(MainRibbon::TabAbsender);
    h.absenderGrid()->setFocus();
    loneAlt(w());
    EXPECT_EQ(tips()->level(), TRibbonKeyTips::Level::Tabs);
    EXPECT_EQ(windowOpenedBy([&] {
                  type(w(), Qt::Key_O);
                  type(w(), Qt::Key_E);
              }),
              QStringLiteral("TDLG_Einstellungen"));
    EXPECT_TRUE(h.messages.shown.isEmpty()) << h.messages.texts().join(" | ").toStdString();
}

TEST_F(RibbonKeyTips, EscapeStepsBackAndGivesTheFocusBack)
{
    h.adressenGrid()->setFocus();
    type(w(), Qt::Key_F10);
    type(w(), Qt::Key_D);
    EXPECT_EQ(w().Ribbon().currentIndex(), int(MainRibbon::TabAdressen));
    EXPECT_EQ(tips()->level(), TRibbonKeyTips::Level::Commands);
    type(w(), Qt::Key_Escape);
    EXPECT_EQ(tips()->level(), TRibbonKeyTips::Level::Tabs);
    EXPECT_EQ(tipTexts(tips()).size(), 6);
    type(w(), Qt::Key_Escape);
    EXPECT_EQ(tips()->level(), TRibbonKeyTips::Level::Off);
    EXPECT_EQ(QApplication::focusWidget(), h.adressenGrid());
    // The letters were the tips', none went into the list or deleted anything.
    EXPECT_TRUE(h.messages.shown.isEmpty());

    // F10 again ends the tips as well; a letter that names nothing is swallowed.
    type(w(), Qt::Key_F10);
    type(w(), Qt::Key_Q);
    EXPECT_EQ(tips()->level(), TRibbonKeyTips::Level::Tabs);
    type(w(), Qt::Key_F10);
    EXPECT_EQ(tips()->level(), TRibbonKeyTips::Level::Off);
}

TEST_F(RibbonKeyTips, AltWithALetterPressesTheButtonAndShowsNoTips)
{
    h.messages.answer({Msg::IdNo});
    QWidget* focus = QApplication::focusWidget();
    QTest::keyPress(focus, Qt::Key_Alt);
    QTest::keyClick(focus, Qt::Key_L, Qt::AltModifier);
    QTest::keyRelease(focus, Qt::Key_Alt, Qt::AltModifier);
    QTest::qWait(250);
    EXPECT_EQ(h.messages.texts(), QStringList{kAskAbsender});
    EXPECT_EQ(tips()->level(), TRibbonKeyTips::Level::Off);
}

TEST_F(RibbonKeyTips, CtrlTabAndArrowsMoveBetweenTabsWhileTheRibbonHasTheFocus)
{
    // In a list, Ctrl+Tab is not the ribbon's.
    type(w(), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(w().Ribbon().currentIndex(), int(MainRibbon::TabAbsender));

    // The tabs take the focus with Shift+Tab from the first list, as any control does.
    QTabBar* tabs = w().Ribbon().tabBar();
    tabs->setFocus(Qt::TabFocusReason);
    ASSERT_EQ(QApplication::focusWidget(), tabs);
    type(w(), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(w().Ribbon().currentIndex(), int(MainRibbon::TabAdressen));
    type(w(), Qt::Key_Tab, Qt::ControlModifier | Qt::ShiftModifier);
    type(w(), Qt::Key_Tab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(w().Ribbon().currentIndex(), int(MainRibbon::TabHilfe)) << "wraps round";
    type(w(), Qt::Key_Left);
    EXPECT_EQ(w().Ribbon().currentIndex(), int(MainRibbon::TabOptionen));

    // With the tips shown, the arrows move too, and Down shows the commands of the tab.
    h.absenderGrid()->setFocus();
    type(w(), Qt::Key_F10);
    type(w(), Qt::Key_Right);
    EXPECT_EQ(w().Ribbon().currentIndex(), int(MainRibbon::TabHilfe));
    type(w(), Qt::Key_Right);
    EXPECT_EQ(w().Ribbon().currentIndex(), int(MainRibbon::TabAbsender));
    type(w(), Qt::Key_Down);
    EXPECT_EQ(tips()->level(), TRibbonKeyTips::Level::Commands);
    EXPECT_EQ(tipTexts(tips()), (QStringList{"B", "F", "K", "L", "N", "X"}));
}

TEST_F(RibbonKeyTips, EveryCommandHasALetterOfItsOwnOnItsTabAndKeepsItsMarkedOne)
{
    const QList<TToolButton*> buttons = w().Ribbon().Buttons();
    for (int tab = 0; tab < w().Ribbon().count(); ++tab) {
        QStringList letters;
        for (TToolButton* b : buttons) {
            if (!w().Ribbon().toolBar(tab)->isAncestorOf(b))
                continue;
            const QString tip = tips()->commandTip(b);
            EXPECT_FALSE(tip.isEmpty()) << b->objectName().toStdString();
            EXPECT_FALSE(letters.contains(tip)) << b->objectName().toStdString() << " " << tip.toStdString();
            letters << tip;
            const qsizetype amp = b->text().indexOf(u'&');
            if (amp >= 0) {
                EXPECT_EQ(tip, b->text().mid(amp + 1, 1).toUpper()) << b->objectName().toStdString();
            }
        }
    }
    EXPECT_EQ(tips()->commandTip(w().Ribbon().Button("TB_PdfSpeichern")), QStringLiteral("A"));
    EXPECT_EQ(tips()->commandTip(w().Ribbon().Button("TB_Etiketten")), QStringLiteral("T"));
    EXPECT_EQ(tips()->commandTip(w().Ribbon().Button("TB_Hilfe")), QStringLiteral("P"));
}

TEST_F(RibbonKeyTips, ADisabledCommandsLetterDoesNothingAndTheMenuOpensWithItsLetter)
{
    h.seed({"DELETE FROM tab_absender"});
    w().LoadAbsenderList();
    w().Timer1Timer();
    ASSERT_FALSE(w().Ribbon().Button("TB_Absender_Delete")->isEnabled());
    type(w(), Qt::Key_F10);
    type(w(), Qt::Key_A);
    type(w(), Qt::Key_L);
    QTest::qWait(50);
    EXPECT_EQ(tips()->level(), TRibbonKeyTips::Level::Commands);
    EXPECT_TRUE(h.messages.shown.isEmpty());
    type(w(), Qt::Key_Escape);
    // The menu runs its own loop: a timer looks at it from inside that loop and closes it.
    QMenu* menu = w().Ribbon().Menu();
    bool fired = false;
    bool seen = false;
    QTimer::singleShot(200, menu, [&] {
        fired = true;
        seen = menu->isVisible();
        menu->close();
    });
    type(w(), Qt::Key_M);
    for (int i = 0; i < 200 && !fired; ++i)
        QTest::qWait(10);
    EXPECT_TRUE(seen);
}
