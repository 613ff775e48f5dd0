#include "ToolsFixture.h"

#include "shell/IniFile.h"
#include "shell/Settings.h"
#include "tools/NewsNotice.h"
#include "tools/TDLG_Help.h"
#include "tools/TDLG_Info.h"

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {
// Answers the next modal window with a key and records what it showed.
struct ModalProbe
{
    QString className;
    QStringList texts;
    int shown = 0;

    void pressOnNext(Qt::Key key)
    {
        QTimer::singleShot(0, [this, key] {
            QWidget* w = QApplication::activeModalWidget();
            if (!w)
                return;
            ++shown;
            className = QString::fromLatin1(w->metaObject()->className());
            if (auto* memo = w->findChild<QPlainTextEdit*>(QStringLiteral("Memo_HelpText")))
                texts = memo->toPlainText().split(u'\n');
            QTest::keyClick(w, key);
        });
    }
};

TEST(InfoWindow, LayoutOnThePicture)
{
    ToolsContext env;
    TDLG_Info info(env.ctx);
    EXPECT_EQ(info.size(), QSize(460, 400));
    EXPECT_TRUE(info.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(info.windowTitle(), QStringLiteral("Information"));
    auto* version = info.findChild<QLabel*>(QStringLiteral("Label_Version"));
    ASSERT_NE(version, nullptr);
    EXPECT_EQ(version->text(), QStringLiteral("Version 2.6 (64-bit)"));
    EXPECT_EQ(version->pos(), QPoint(24, 114));
    EXPECT_EQ(version->font().pixelSize(), 13);
    auto* platform = info.findChild<QLabel*>(QStringLiteral("Label_Platform"));
    EXPECT_EQ(platform->text(), QStringLiteral("Für Linux"));
    EXPECT_EQ(platform->x() + platform->width(), 439);
    EXPECT_EQ(platform->y(), 114);
    auto* ok = info.findChild<QPushButton*>(QStringLiteral("Button_OK"));
    EXPECT_EQ(ok->geometry(), QRect(333, 266, 82, 31));
    EXPECT_TRUE(ok->isDefault());
    auto* background = info.findChild<QLabel*>(QStringLiteral("Image_Background"));
    ASSERT_FALSE(background->pixmap().isNull());
    EXPECT_EQ(background->pixmap().size(), QSize(460, 400));
}

TEST(InfoWindow, OkEnterEscAndAClickOnThePictureClose)
{
    ToolsContext env;
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
        TDLG_Info info(env.ctx);
        ModalProbe probe;
        probe.pressOnNext(key);
        info.exec();
        EXPECT_EQ(probe.shown, 1);
        EXPECT_FALSE(info.isVisible());
    }
    TDLG_Info info(env.ctx);
    info.show();
    QTest::mouseClick(info.findChild<QLabel*>(QStringLiteral("Image_Background")), Qt::LeftButton, {},
                      QPoint(100, 300));
    EXPECT_FALSE(info.isVisible());
    EXPECT_EQ(info.result(), QDialog::Accepted);
}

TEST(HelpTextWindow, LayoutAndText)
{
    const QStringList lines{QStringLiteral("Zeile eins"), QString(), QStringLiteral("Zeile drei")};
    TDLG_Help window(nullptr, lines);
    EXPECT_EQ(window.size(), QSize(460, 260));
    EXPECT_TRUE(window.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Hilfe"));
    auto* memo = window.findChild<QPlainTextEdit*>(QStringLiteral("Memo_HelpText"));
    EXPECT_EQ(memo->geometry(), QRect(32, 32, 393, 161));
    EXPECT_EQ(memo->toPlainText().split(u'\n'), lines);
    EXPECT_EQ(memo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_FALSE(memo->isReadOnly());
    auto* ok = window.findChild<QPushButton*>(QStringLiteral("Button_OK"));
    EXPECT_EQ(ok->geometry(), QRect(189, 216, 82, 24));
    EXPECT_TRUE(ok->isDefault());
    EXPECT_EQ(window.findChild<QLabel*>(QStringLiteral("Image_Background"))->pixmap().size(), QSize(460, 260));
}

TEST(NewsNotice, NineLinesWithTheUnderlineAsLongAsTheHeading)
{
    const QStringList lines = NewsLines();
    ASSERT_EQ(lines.size(), 9);
    EXPECT_EQ(lines[0], QStringLiteral("NEU: Sortieren der Adressen nach Nachnamen"));
    EXPECT_EQ(lines[1], QString(42, u'='));
    EXPECT_EQ(lines[1].size(), lines[0].size());
    EXPECT_TRUE(lines[3].isEmpty() && lines[5].isEmpty() && lines[7].isEmpty());
    EXPECT_EQ(lines[8],
              QStringLiteral("Weitere Informationen zur neuen Funktion finden Sie in Programmhilfe unter \"Adressen\"."));
}

TEST(NewsNotice, ShownOnceAfterAStartWithoutTheKeyAndClearedInTheFile)
{
    ToolsContext env;
    IniFile ini;
    ini.loadFromBytes("[HELP]\r\n[WINDOW]\r\nWidth=900\r\n");
    env.ctx.Settings = LoadSettings(ini, QSize(1920, 1080), PrinterFacts{1, 0}, [] {});
    ASSERT_TRUE(env.ctx.Settings.ShowNews);

    ModalProbe probe;
    probe.pressOnNext(Qt::Key_Return);  // Enter presses OK
    EXPECT_TRUE(ShowNewsIfDue(env.ctx));
    EXPECT_EQ(probe.shown, 1);
    EXPECT_EQ(probe.className, QStringLiteral("TDLG_Help"));
    EXPECT_EQ(probe.texts, NewsLines());

    // Every later activation in the run shows nothing.
    ModalProbe later;
    later.pressOnNext(Qt::Key_Escape);
    EXPECT_FALSE(ShowNewsIfDue(env.ctx));
    EXPECT_FALSE(ShowNewsIfDue(env.ctx));
    QApplication::processEvents();
    EXPECT_EQ(later.shown, 0);

    SaveSettings(ini, env.ctx.Settings);
    EXPECT_EQ(ini.value(QStringLiteral("HELP"), QStringLiteral("Screen")), QStringLiteral("0"));
    EXPECT_FALSE(LoadSettings(ini, QSize(1920, 1080), PrinterFacts{1, 0}, [] {}).ShowNews);
}
} // namespace
