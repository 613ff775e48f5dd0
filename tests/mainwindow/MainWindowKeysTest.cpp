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
#include <QTest>
#include <gtest/gtest.h>

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
    ModalRecorder dialogs;
    w.Ribbon().setCurrentIndex(MainRibbon::TabDrucken);
    altKey(w, Qt::Key_N);
    EXPECT_EQ(dialogs.names, QStringList{});
    w.Ribbon().setCurrentIndex(MainRibbon::TabAbsender);
    altKey(w, Qt::Key_N);
    EXPECT_EQ(dialogs.names, QStringList{"TDLG_Absender"});
    // The offscreen platform has no window manager to give the activation back.
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    w.Ribbon().setCurrentIndex(MainRibbon::TabAdressen);
    altKey(w, Qt::Key_N);
    EXPECT_EQ(dialogs.names, (QStringList{"TDLG_Absender", "TDLG_Adresse"}));
    EXPECT_TRUE(h.messages.shown.isEmpty());
    EXPECT_EQ(h.scalar("SELECT COUNT(*) FROM tab_absender"), "3");
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

TEST(MainWindow, F1ShowsTheMainHelpTopicAndF2TheInformationFromAnyControl)
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

    // F2 shows the information window from any control.
    {
        ModalRecorder dialogs;
        QTest::keyClick(search, Qt::Key_F2);
        QTest::qWait(50);
        EXPECT_EQ(dialogs.names, QStringList{"DLG_Info"});
    }

    // Without a help viewer the key does nothing.
    h.ctx.Help = nullptr;
    QTest::keyClick(search, Qt::Key_F1);
}
