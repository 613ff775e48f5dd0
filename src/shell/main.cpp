#include "app/AppContext.h"
#include "mainwindow/TForm_Tavisto.h"
#include "output/QtPrintService.h"
#include "shell/AppPaths.h"
#include "shell/InstanceGuard.h"
#include "shell/QtMessageService.h"
#include "shell/TavistoApplication.h"

#include <cstdio>

int main(int argc, char** argv)
{
    // Taken before the application exists and held until the process ends.
    InstanceGuard guard;

    TavistoApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("Lumo Tavisto"));
    QApplication::setApplicationName(QStringLiteral("Lumo Tavisto"));

    QtMessageService messages;
    if (guard.alreadyRunning()) {
        const QString text = QStringLiteral("Das Programm wurde bereits gestartet!");
        std::fprintf(stderr, "Tavisto: %s\n", text.toUtf8().constData());
        messages.ShowPlainMessage(text);
        return 0;
    }
    app.setMessageService(&messages);

    QtPrintService printer;
    AppContext ctx;
    ctx.Messages = &messages;
    ctx.Printer = &printer;

    const StartupFolders folders{QApplication::applicationDirPath(), GetKnownFolder(CSIDL_APPDATA),
                                 GetKnownFolder(CSIDL_PERSONAL)};
    TForm_Tavisto window(ctx, folders);
    if (!window.StartedOk())
        return 1;
    window.ShowAsSaved();
    return app.exec();
}
