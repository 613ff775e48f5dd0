#include "tools/ChmHelpService.h"

#include "app/AppContext.h"
#include "app/Startup.h"
#include "shell/MessageService.h"
#include "tools/HelpWindow.h"

#include <QApplication>

ChmHelpService::ChmHelpService(AppContext& ctx) : m_ctx(ctx) {}

ChmHelpService::~ChmHelpService() = default;

void ChmHelpService::ShowHelpTopic(int context)
{
    const QString file = m_ctx.Paths.HelpFile;
    if (!m_window || m_window->FileName() != file) {
        auto window = std::make_unique<HelpWindow>();
        if (!window->Open(file)) {
            if (m_ctx.Messages)
                m_ctx.Messages->ErrorMessage(StartupText::HelpMissing);
            return;
        }
        m_window = std::move(window);
    }
    m_window->ShowContext(context);

    // Called from a modal dialog the help window must take part in the modal chain, or
    // it would show but ignore every click; from the main window it stays independent.
    const Qt::WindowModality wanted = QApplication::activeModalWidget() && QApplication::activeModalWidget() != m_window.get()
                                          ? Qt::ApplicationModal
                                          : Qt::NonModal;
    if (m_window->windowModality() != wanted) {
        m_window->hide();
        m_window->setWindowModality(wanted);
    }
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}
