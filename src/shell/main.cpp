#include "app/AppContext.h"
#include "mainwindow/TForm_Tavisto.h"
#include "output/CupsPrintService.h"
#include "shell/AppPaths.h"
#include "shell/InstanceGuard.h"
#include "shell/QtMessageService.h"
#include "shell/TavistoApplication.h"
#include "shell/TerminationSignals.h"
#include "tools/ChmHelpService.h"

#include <cstdio>

int main(int argc, char** argv)
{
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
        return 0;
    }
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
    TerminationSignals termination;
    // Open dialogs (the news notice, a question) are closed too, or the program would
    // wait for them.
    QObject::connect(&termination, &TerminationSignals::terminationRequested, &app,
                     [] { QApplication::closeAllWindows(); });
    return app.exec();
}
