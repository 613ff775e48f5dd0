#include "ToolsFixture.h"

#include "support/FakeAdressenRows.h"
#include "tools/ChmBrowser.h"
#include "tools/ChmFile.h"
#include "tools/ChmHelpService.h"
#include "tools/HelpWindow.h"
#include "tools/TDLG_AutoNamen.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QWindow>

namespace {
const QString kBuiltHelp = QStringLiteral(TAVISTO_BIN_DIR "/Tavisto.chm");

struct Topic
{
    int context;
    const char* page;
    const char* heading;
};
// One page per context number the program passes.
const Topic kTopics[] = {
    {1000, "/hauptfenster.htm", "Das Hauptfenster"}, {1002, "/absender.htm", "Absender"},
    {1003, "/gruppen.htm", "Gruppen"},               {1004, "/adressen.htm", "Adressen"},
    {1005, "/vorschau.htm", "Druckvorschau"},        {1008, "/einstellungen.htm", "Einstellungen"},
    {1009, "/datensicherung.htm", "Datensicherung"}, {1013, "/bannerdesigner.htm", "Banner-Designer"},
    {1014, "/etiketten.htm", "Etiketten drucken"},   {1015, "/pdfspeichern.htm", "Als PDF speichern"},
    {1016, "/vcardimport.htm", "vCard-Import"},      {1017, "/querformat.htm", "Querformat drehen"},
    {1018, "/wieimdrucker.htm", "Wie im Drucker"},
};

TEST(ChmFile, BuiltHelpFileMapsEveryContextNumberToItsPage)
{
    ChmFile chm(kBuiltHelp);
    ASSERT_TRUE(chm.IsOpen()) << kBuiltHelp.toStdString();
    EXPECT_EQ(chm.Contexts().size(), int(std::size(kTopics)));
    for (const Topic& t : kTopics) {
        EXPECT_EQ(chm.PageForContext(t.context), QLatin1String(t.page)) << t.context;
        const QString html = QString::fromUtf8(chm.Read(QLatin1String(t.page)));
        EXPECT_TRUE(html.contains(QStringLiteral("<h1>%1</h1>").arg(QLatin1String(t.heading)))) << t.page;
    }
    EXPECT_EQ(chm.PageForContext(1001), QString());
    EXPECT_EQ(chm.DefaultPage(), QStringLiteral("/hauptfenster.htm"));

    // The news notice sends the reader to "Adressen" in the contents.
    bool adressen = false;
    for (const ChmFile::TocEntry& e : chm.Contents())
        adressen |= e.Name == QStringLiteral("Adressen") && e.Local == QStringLiteral("/adressen.htm") && e.Level == 1;
    EXPECT_TRUE(adressen);
}

TEST(ChmFile, EveryPageOfTheContentsAndEveryLinkIsInTheBuiltFile)
{
    ChmFile chm(kBuiltHelp);
    ASSERT_TRUE(chm.IsOpen());
    ASSERT_GE(chm.Contents().size(), 15);
    const QRegularExpression href(QStringLiteral("href=\"([^\"]+)\""));
    for (const ChmFile::TocEntry& e : chm.Contents()) {
        const QByteArray page = chm.Read(e.Local);
        EXPECT_FALSE(page.isNull()) << e.Name.toStdString() << " " << e.Local.toStdString();
        const QString html = QString::fromUtf8(page);
        // A book opens the page of its first topic; every other entry names its own page.
        const bool book = std::count_if(chm.Contents().begin(), chm.Contents().end(),
                                        [&](const ChmFile::TocEntry& o) { return o.Local == e.Local; }) > 1;
        EXPECT_TRUE(book || html.contains(QStringLiteral("<title>%1</title>").arg(e.Name))) << e.Local.toStdString();
        // Every link of the page leads to a page of the file.
        for (auto m = href.globalMatch(html); m.hasNext();) {
            const QString target = ChmFile::Resolve(e.Local, m.next().captured(1));
            EXPECT_TRUE(chm.Contains(target)) << e.Local.toStdString() << " -> " << target.toStdString();
        }
    }
}

TEST(ChmFile, OtherFilesDoNotOpen)
{
    TempDir tmp;
    EXPECT_FALSE(ChmFile(tmp.file(QStringLiteral("fehlt.chm"))).IsOpen());
    const QString text = tmp.write(QStringLiteral("Tavisto.chm"), QByteArray(4096, 'x'));
    ChmFile junk(text);
    EXPECT_FALSE(junk.IsOpen() && !junk.DefaultPage().isEmpty());
}

TEST(ChmFile, LinksResolveAgainstTheirPage)
{
    struct Case
    {
        const char *from, *link, *path;
    };
    for (const Case& c : {Case{"/hauptfenster.htm", "absender.htm", "/absender.htm"},
                          Case{"/teil/seite.htm", "bild.png", "/teil/bild.png"},
                          Case{"/teil/seite.htm", "../adressen.htm#sortieren", "/adressen.htm"},
                          Case{"/teil/seite.htm", "#oben", "/teil/seite.htm"},
                          Case{"/teil/seite.htm", "/hilfe.css", "/hilfe.css"},
                          Case{"/seite.htm", "./a\\b.htm", "/a/b.htm"}})
        EXPECT_EQ(ChmFile::Resolve(QLatin1String(c.from), QLatin1String(c.link)), QLatin1String(c.path))
            << c.from << " + " << c.link;
}

class HelpServiceTest : public ::testing::Test
{
protected:
    HelpServiceTest() { env.ctx.Paths.HelpFile = kBuiltHelp; }
    ToolsContext env;
    ChmHelpService service{env.ctx};
};

TEST_F(HelpServiceTest, ShowsTheTopicOfEachContextNumber)
{
    for (const Topic& t : kTopics) {
        service.ShowHelpTopic(t.context);
        ASSERT_NE(service.Window(), nullptr);
        EXPECT_TRUE(service.Window()->isVisible());
        EXPECT_EQ(service.Window()->CurrentPage(), QLatin1String(t.page)) << t.context;
        auto* browser = service.Window()->findChild<ChmBrowser*>(QStringLiteral("Browser_Topic"));
        EXPECT_TRUE(browser->toPlainText().startsWith(QLatin1String(t.heading))) << t.context;
        // The contents mark the topic itself, not the book that opens on the same page.
        auto* tree = service.Window()->findChild<QTreeWidget*>(QStringLiteral("TreeView_Inhalt"));
        ASSERT_NE(tree->currentItem(), nullptr);
        EXPECT_EQ(tree->currentItem()->data(0, Qt::UserRole).toString(), QLatin1String(t.page));
        EXPECT_EQ(tree->currentItem()->text(0), QLatin1String(t.heading));
    }
    EXPECT_TRUE(env.messages.shown.isEmpty());
    // An unknown number shows the start page.
    service.ShowHelpTopic(4711);
    EXPECT_EQ(service.Window()->CurrentPage(), QStringLiteral("/hauptfenster.htm"));
    service.Window()->close();
}

TEST_F(HelpServiceTest, LinksAndContentsNavigateInsideTheFile)
{
    service.ShowHelpTopic(1000);
    HelpWindow* window = service.Window();
    auto* browser = window->findChild<ChmBrowser*>(QStringLiteral("Browser_Topic"));
    // The first link of the start page, followed with the keyboard.
    browser->setFocus();
    QTest::keyClick(browser, Qt::Key_Tab);
    QTest::keyClick(browser, Qt::Key_Return);
    EXPECT_EQ(window->CurrentPage(), QStringLiteral("/absender.htm"));
    EXPECT_TRUE(browser->toPlainText().startsWith(QStringLiteral("Absender")));

    auto* tree = window->findChild<QTreeWidget*>(QStringLiteral("TreeView_Inhalt"));
    const QList<QTreeWidgetItem*> found = tree->findItems(QStringLiteral("Datensicherung"), Qt::MatchRecursive);
    ASSERT_EQ(found.size(), 1);
    const QRect rect = tree->visualItemRect(found.first());
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, rect.center());
    EXPECT_EQ(window->CurrentPage(), QStringLiteral("/datensicherung.htm"));

    window->findChild<QPushButton*>(QStringLiteral("Button_Back"))->click();
    EXPECT_EQ(window->CurrentPage(), QStringLiteral("/absender.htm"));

    // Escape closes the window from wherever the focus is in it.
    for (QWidget* focus : {static_cast<QWidget*>(browser), static_cast<QWidget*>(tree)}) {
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
        window->activateWindow();
        focus->setFocus();
        QTest::keyClick(focus, Qt::Key_Escape);
        EXPECT_FALSE(window->isVisible()) << focus->objectName().toStdString();
    }
}

TEST_F(HelpServiceTest, MissingFileIsReported)
{
    env.ctx.Paths.HelpFile = env.tmp.file(QStringLiteral("bin/Tavisto.chm"));
    service.ShowHelpTopic(1000);
    EXPECT_EQ(service.Window(), nullptr);
    EXPECT_EQ(env.messages.texts(), QStringList{QStringLiteral("Die Hilfedatei wurde nicht gefunden!")});
}

// A click as the window system delivers it: a window that a modal one blocks ignores it.
void clickThroughWindow(QAbstractButton* button)
{
    QWidget* window = button->window();
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, button->mapTo(window, button->rect().center()));
}

TEST_F(HelpServiceTest, HelpFromAModalDialogBlocksNeitherTheDialogNorItself)
{
    QWidget mainWindow;
    mainWindow.show();
    QDialog dialog(&mainWindow);
    auto* dialogButton = new QPushButton(QStringLiteral("Weiter"), &dialog);
    int dialogClicks = 0;
    QObject::connect(dialogButton, &QPushButton::clicked, [&] { ++dialogClicks; });
    QWidget* modalWhileHelpShown = nullptr;
    QString pageAfterHome;
    bool helpVisibleAfterDialog = false;
    QTimer::singleShot(0, [&] {
        service.ShowHelpTopic(1009);
        EXPECT_TRUE(QTest::qWaitForWindowExposed(service.Window()));
        modalWhileHelpShown = QApplication::activeModalWidget();
        EXPECT_EQ(service.Window()->windowModality(), Qt::NonModal);
        // Both windows take clicks while the dialog runs.
        clickThroughWindow(dialogButton);
        clickThroughWindow(service.Window()->findChild<QPushButton*>(QStringLiteral("Button_Home")));
        pageAfterHome = service.Window()->CurrentPage();
        dialog.reject();
    });
    dialog.exec();
    helpVisibleAfterDialog = service.Window()->isVisible();
    EXPECT_EQ(modalWhileHelpShown, &dialog);
    EXPECT_EQ(dialogClicks, 1);
    EXPECT_EQ(pageAfterHome, QStringLiteral("/hauptfenster.htm"));
    EXPECT_TRUE(helpVisibleAfterDialog);
    // From the main window it is a window of its own, with no dialog behind it.
    service.ShowHelpTopic(1000);
    EXPECT_EQ(service.Window()->windowModality(), Qt::NonModal);
    EXPECT_EQ(service.Window()->windowHandle()->transientParent(), nullptr);
    service.Window()->close();
}

TEST(HelpStart, MissingHelpFileWarnsOnceAndHelpButtonsStillPassTheirNumbers)
{
    TempDir tmp;
    FakeMessageService messages;
    RecordingHelpService help;
    AppContext ctx;
    ctx.Messages = &messages;
    ctx.Help = &help;
    const StartupFolders folders{tmp.file(QStringLiteral("bin")), tmp.file(QStringLiteral("config")),
                                 tmp.file(QStringLiteral("Dokumente"))};
    ASSERT_TRUE(OpenDataStore(ctx, folders).isEmpty());
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("Die Hilfedatei wurde nicht gefunden!")});
    EXPECT_FALSE(QFile::exists(ctx.Paths.HelpFile));

    FakeAdressenRows rows;
    TDLG_AutoNamen dialog(ctx, &rows);
    dialog.findChild<QPushButton*>(QStringLiteral("Button_Help"))->click();
    EXPECT_EQ(help.topics, QList<int>{1004});
    EXPECT_EQ(messages.shown.size(), 1);
}
} // namespace
