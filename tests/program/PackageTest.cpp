// The Debian package as dpkg puts it on a machine: its files and dependencies, the desktop's
// validators on its entry and metadata, and the program started from the unpacked tree.
#include "ProgramHarness.h"
#include "shell/TavistoApplication.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>
#include <csignal>
#include <gtest/gtest.h>

namespace {

const QString kPackage = QStringLiteral(TAVISTO_PACKAGE_DIR "/tavisto.deb");
const QString kRoot = QStringLiteral(TAVISTO_PACKAGE_DIR "/root");
const QString kDesktopEntry = kRoot + "/usr/share/applications/" + kDesktopFileName + ".desktop";
const QString kMetainfo = kRoot + "/usr/share/metainfo/" + kDesktopFileName + ".metainfo.xml";

struct ToolRun
{
    int exitCode = -1;
    QString output;  // standard output and error
};

ToolRun runTool(const QString& program, const QStringList& args, const QProcessEnvironment& env = {})
{
    QProcess p;
    if (!env.isEmpty())
        p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    if (!p.waitForFinished(60000))
        return {-1, program + " did not finish"};
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAll())};
}

// The value of a key in the [Desktop Entry] group (untranslated).
QString desktopValue(const QString& key)
{
    QFile f(kDesktopEntry);
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    for (const QString& line : QString::fromUtf8(f.readAll()).split('\n'))
        if (line.startsWith(key + '='))
            return line.mid(key.size() + 1);
    return QString();
}

} // namespace

TEST(Package, HoldsTheProgramItsHelpFileIconsDesktopEntryAndMetainfo)
{
    ASSERT_TRUE(QFileInfo::exists(kPackage));
    const QFileInfo program(kRoot + "/usr/bin/tavisto");
    EXPECT_TRUE(program.isFile() && program.isExecutable());
    for (const QString& file : {QString("/usr/share/tavisto/Tavisto.chm"),
                                "/usr/share/icons/hicolor/scalable/apps/" + kDesktopFileName + ".svg"})
        EXPECT_TRUE(QFileInfo(kRoot + file).isFile()) << file.toStdString();
    EXPECT_TRUE(QFileInfo(kDesktopEntry).isFile());
    EXPECT_TRUE(QFileInfo(kMetainfo).isFile());

    // Every size of the theme, at its size, and the envelope in it (not an empty picture).
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        const QString file =
            QString("%1/usr/share/icons/hicolor/%2x%2/apps/%3.png").arg(kRoot).arg(size).arg(kDesktopFileName);
        const QImage icon(file);
        EXPECT_EQ(icon.size(), QSize(size, size)) << file.toStdString();
        if (!icon.isNull())
            EXPECT_EQ(qAlpha(icon.pixel(size / 2, size / 2)), 255) << file.toStdString();
    }

    // The entry starts the installed program and names the installed icon.
    EXPECT_EQ(desktopValue("Exec"), "tavisto");
    EXPECT_EQ(desktopValue("Icon"), kDesktopFileName);
}

TEST(Package, DependsOnTheLibrariesTheProgramLinksOnQtsGermanTextsAndTheLabelDatabase)
{
    const ToolRun fields = runTool("dpkg-deb", {"--field", kPackage, "Package", "Version", "Depends"});
    ASSERT_EQ(fields.exitCode, 0) << fields.output.toStdString();
    EXPECT_TRUE(fields.output.contains("Package: tavisto\n")) << fields.output.toStdString();
    EXPECT_TRUE(fields.output.contains("Version: 2.6")) << fields.output.toStdString();
    // Versioned, as only dpkg-shlibdeps writes them from the libraries' symbols.
    for (const char* dependency : {"libc6 (>= ", "libqt6widgets6 (>= ", "libcups2 (>= ", "libsqlite3-0 (>= ",
                                   "libchm1 (>= ", "libwmf-0.2-7 (>= ", "libjpeg62-turbo (>= ", "libpng16-16 (>= ", "qt6-translations-l10n",
                                   "fonts-liberation", "glabels-data"})
        EXPECT_TRUE(fields.output.contains(QLatin1String(dependency))) << dependency << " in " << fields.output.toStdString();
}

TEST(Package, DesktopEntryAndMetainfoPassTheirValidators)
{
    const ToolRun entry = runTool("desktop-file-validate", {kDesktopEntry});
    EXPECT_EQ(entry.exitCode, 0) << entry.output.toStdString();
    EXPECT_EQ(entry.output, "") << "warnings and hints count too";

    const ToolRun metainfo = runTool("appstreamcli", {"validate", "--no-net", kMetainfo});
    EXPECT_EQ(metainfo.exitCode, 0) << metainfo.output.toStdString();
    // The installed tree as the software centre sees it: the metadata finds its entry.
    const ToolRun tree = runTool("appstreamcli", {"validate-tree", "--no-net", kRoot});
    EXPECT_EQ(tree.exitCode, 0) << tree.output.toStdString();
}

// Debian's checker on the package as it is shipped: no error and no warning. A tag that
// must stay is overridden in the package's override file, each with its reason above it.
TEST(Package, DebiansCheckerFindsNoErrorOrWarning)
{
    const ToolRun lintian = runTool("lintian", {"--fail-on", "error,warning", kPackage});
    QStringList complaints;
    for (const QString& line : lintian.output.split('\n'))
        if (line.startsWith("E: ") || line.startsWith("W: "))
            complaints << line;
    EXPECT_EQ(complaints, QStringList()) << lintian.output.toStdString();
    EXPECT_EQ(lintian.exitCode, 0) << lintian.output.toStdString();

    QFile overrides(kRoot + "/usr/share/lintian/overrides/tavisto");
    if (overrides.open(QIODevice::ReadOnly)) {
        bool reasoned = false;
        for (const QString& line : QString::fromUtf8(overrides.readAll()).split('\n')) {
            if (line.startsWith('#')) {
                reasoned = true;
            } else if (!line.trimmed().isEmpty()) {
                EXPECT_TRUE(reasoned) << "no reason written above: " << line.toStdString();
                reasoned = false;
            }
        }
    }
}

// The manual page and the changelog say what the program and the package are: the
// version, the options the program answers, the files it ships.
TEST(Package, ManualPageAndChangelogFollowTheProgram)
{
    const QString program = kRoot + "/usr/bin/tavisto";
    const ToolRun version = runTool(program, {"--version"});
    ASSERT_EQ(version.exitCode, 0) << version.output.toStdString();
    const QString versionNumber = version.output.trimmed().section(' ', -1);
    ASSERT_FALSE(versionNumber.isEmpty());

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("MANWIDTH", "200");
    env.insert("LC_ALL", "C.UTF-8");
    const ToolRun page =
        runTool("man", {"--warnings", "-E", "UTF-8", "-l", kRoot + "/usr/share/man/man1/tavisto.1.gz"}, env);
    ASSERT_EQ(page.exitCode, 0) << page.output.toStdString();
    EXPECT_TRUE(page.output.contains("Tavisto " + versionNumber)) << page.output.toStdString();
    // Every option the program's help names, and nothing the program does not answer.
    const ToolRun help = runTool(program, {"--help"});
    ASSERT_EQ(help.exitCode, 0) << help.output.toStdString();
    static const QRegularExpression option(QStringLiteral("(?<![\\w-])(--?[a-z][a-z-]*)"));
    QStringList helpOptions, pageOptions;
    for (auto m = option.globalMatch(help.output); m.hasNext();)
        helpOptions << m.next().captured(1);
    const QString optionsSection = page.output.section("OPTIONEN", 1).section("DATEIEN", 0, 0);
    for (auto m = option.globalMatch(optionsSection); m.hasNext();)
        pageOptions << m.next().captured(1);
    pageOptions.removeAll("-platform"); // Qt's, named as an example
    pageOptions.removeDuplicates();
    helpOptions.removeDuplicates();
    EXPECT_EQ(pageOptions, helpOptions) << page.output.toStdString();
    // The files it names that the package brings are in the package.
    static const QRegularExpression shipped(QStringLiteral("(/usr/\\S+)"));
    for (auto m = shipped.globalMatch(page.output.section("DATEIEN", 1)); m.hasNext();) {
        const QString file = m.next().captured(1);
        EXPECT_TRUE(QFileInfo(kRoot + file).isFile()) << file.toStdString();
    }

    // The newest entry of the changelog is the package's version.
    const ToolRun changelog = runTool("sh", {"-c", "gzip -dc \"$0\" | dpkg-parsechangelog -l - -S Version",
                                             kRoot + "/usr/share/doc/tavisto/changelog.gz"});
    ASSERT_EQ(changelog.exitCode, 0) << changelog.output.toStdString();
    const ToolRun field = runTool("dpkg-deb", {"--field", kPackage, "Version"});
    EXPECT_EQ(changelog.output.trimmed(), field.output.trimmed());
    EXPECT_EQ(field.output.trimmed(), versionNumber);
}

namespace {

class PackagedProgram : public ProgramHarness
{
protected:
    PackagedProgram() { program = kRoot + "/usr/bin/tavisto"; }

    // What xprop says about a property of a window.
    QString windowProperty(const XvfbSession::Window& w, const QString& property) const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DISPLAY", xvfb.display());
        return runTool("xprop", {"-id", w.id, property}, env).output;
    }

    bool closes(qint64 pid, const QString& title) const
    {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 10000) {
            bool shown = false;
            for (const auto& w : xvfb.windows(pid))
                shown = shown || w.title == title;
            if (!shown)
                return true;
            QThread::msleep(100);
        }
        return false;
    }
};

void expectIcon(const QString& netWmIcon, const QString& window)
{
    // Qt hands the window manager the sizes up to 128 pixels.
    for (const char* size : {"16 x 16", "32 x 32", "128 x 128"})
        EXPECT_TRUE(netWmIcon.contains(QLatin1String(size))) << window.toStdString() << " lacks the icon of " << size;
}

} // namespace

TEST_F(PackagedProgram, FindsItsInstalledHelpOnF1AndMatchesItsDesktopEntry)
{
    QStringList answered;
    auto p = startToMainWindow(&answered);
    EXPECT_FALSE(answered.contains("Fehler")) << "the start found no help file";
    const XvfbSession::Window main = mainWindow(*p);
    ASSERT_FALSE(main.id.isEmpty());

    // The desktop matches the window to the entry by its class, and shows the icon.
    const QString wmClass = windowProperty(main, "WM_CLASS");
    EXPECT_TRUE(wmClass.contains('"' + desktopValue("StartupWMClass") + '"')) << wmClass.toStdString();
    expectIcon(windowProperty(main, "_NET_WM_ICON"), "the main window");

    // A dialog: the news notice of the first start.
    XvfbSession::Window news;
    ASSERT_TRUE(xvfb.waitForWindow(p->processId(), [](const QString& t) { return t == "Hilfe"; }, 30000, &news));
    expectIcon(windowProperty(news, "_NET_WM_ICON"), "the news notice");
    xvfb.pressKey(news, "Return");
    ASSERT_TRUE(closes(p->processId(), "Hilfe"));

    xvfb.pressKey(main, "F1");
    XvfbSession::Window help;
    EXPECT_TRUE(xvfb.waitForWindow(p->processId(), [](const QString& t) { return t == "Lumo Tavisto - Hilfe"; }, 30000,
                                   &help));
    for (const auto& w : xvfb.windows(p->processId()))
        EXPECT_NE(w.title, "Fehler") << "F1 did not find the help file";

    sendSignal(*p, SIGTERM);
    EXPECT_TRUE(p->waitForFinished(30000));
}
