#pragma once
// What the start-up benchmarks share: a context whose message and help services show
// nothing (the printers are CUPS's own), and the wait until the main window is painted.
#include "app/AppContext.h"
#include "mainwindow/TForm_Tavisto.h"
#include "printing/CupsPrintService.h"
#include "shell/HelpService.h"
#include "shell/MessageService.h"

#include <QCoreApplication>
#include <QWindow>

class QuietMessages : public MessageService
{
public:
    int ShowMessageBox(const QString&, int, int, int, int) override { return Msg::IdOk; }
    void ShowPlainMessage(const QString&) override {}
};

class NoHelp : public HelpService
{
public:
    void ShowHelpTopic(int) override {}
};

struct QuietStart
{
    QuietMessages messages;
    NoHelp help;
    CupsPrintService printer;
    AppContext ctx;
    QuietStart()
    {
        ctx.Messages = &messages;
        ctx.Help = &help;
        ctx.Printer = &printer;
    }
};

// Shows the window as its settings say and returns once it is on the screen and painted.
inline void ShowAndPaint(TForm_Tavisto& window)
{
    window.ShowAsSaved();
    while (!window.windowHandle() || !window.windowHandle()->isExposed())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    window.repaint();
}
