#include "app/AppContext.h"
#include "mainwindow/TForm_Tavisto.h"
#include "printing/CupsPrintService.h"
#include "shell/AppPaths.h"
#include "shell/InstanceChannel.h"
#include "shell/InstanceGuard.h"
#include "shell/QtMessageService.h"
#include "shell/TavistoApplication.h"
#include "shell/TerminationSignals.h"
#include "tools/ChmHelpService.h"

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

// "--version" and "--help" answer on the terminal and end before anything else happens:
// no display is needed, and a running instance is not disturbed. Every other argument is
// left to Qt's own options and otherwise ignored.
bool answeredOnTerminal(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0 || std::strcmp(argv[i], "-v") == 0) {
            std::fputs("Lumo Tavisto " TAVISTO_VERSION "\n", stdout);
            return true;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs("Aufruf: tavisto [Option]\n"
                       "\n"
                       "Lumo Tavisto verwaltet Absender, Gruppen und Adressen und druckt Briefumschläge.\n"
                       "Ohne Option öffnet es sein Hauptfenster.\n"
                       "\n"
                       "Optionen:\n"
                       "  -h, --help      zeigt diese Hilfe und endet\n"
                       "  -v, --version   zeigt die Version und endet\n",
                       stdout);
            return true;
        }
    }
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    if (answeredOnTerminal(argc, argv))
        return 0;

    // Taken before the application exists and held until the process ends.
    InstanceGuard guard;

    TavistoApplication app(argc, argv);
    // The task bar's name. (A display name would be appended to every window title.)
    QApplication::setApplicationName(QStringLiteral("Lumo Tavisto"));

    QtMessageService messages;
    if (guard.alreadyRunning()) {
        const QString text = QStringLiteral("Das Programm wurde bereits gestartet!");
        std::fprintf(stderr, "Tavisto: %s\n", text.toUtf8().constData());
        messages.ShowPlainMessage(text);
        // Then the window the user was looking for comes to the front.
        InstanceChannel::askToRaise(guard.lockFile());
        return 0;
    }
    // Second starts ask for the window through this; only the lock's holder listens.
    std::unique_ptr<InstanceChannel> channel;
    if (guard.held())
        channel = std::make_unique<InstanceChannel>(guard.lockFile());
    app.setMessageService(&messages);

    CupsPrintService printer;
    AppContext ctx;
    ctx.Messages = &messages;
    ctx.Printer = &printer;
    // Reads the help file of ctx.Paths when a topic is asked for, after the start-up resolved it.
    ChmHelpService help(ctx);
    ctx.Help = &help;

    const StartupFolders folders{QApplication::applicationDirPath(), GetKnownFolder(CSIDL_APPDATA),
                                 GetKnownFolder(CSIDL_PERSONAL)};
    TForm_Tavisto window(ctx, folders);
    if (!window.StartedOk())
        return 1;
    window.ShowAsSaved();
    if (channel)
        QObject::connect(channel.get(), &InstanceChannel::raiseRequested, &window,
                         [&window] { InstanceChannel::bringToFront(&window); });
    TerminationSignals termination;
    // Open dialogs (the news notice, a question) are closed too, or the program would
    // wait for them.
    QObject::connect(&termination, &TerminationSignals::terminationRequested, &app,
                     [] { QApplication::closeAllWindows(); });
    return app.exec();
}
