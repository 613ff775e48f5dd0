#include "tools/ChmHelpService.h"

#include "app/AppContext.h"
#include "app/Startup.h"
#include "shell/MessageService.h"
#include "tools/HelpWindow.h"

#include <QApplication>
#include <QWindow>

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

    // Help never blocks: it stays a window without modality. Asked for from a modal
    // dialog it belongs to that dialog's window, so the dialog does not block it either;
    // it is not the dialog's child and stays open when the dialog closes.
    QWidget* modal = QApplication::activeModalWidget();
    QWindow* owner = modal && modal != m_window.get() ? modal->window()->windowHandle() : nullptr;
    m_window->winId();
    QWindow* handle = m_window->windowHandle();
    if (handle && handle->transientParent() != owner) {
        // Taken over while hidden, so that the new owner decides what blocks the window.
        m_window->hide();
        handle->setTransientParent(owner);
    }
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}
