#include "shell/TavistoApplication.h"

#include "shell/MessageService.h"

#include <exception>

TavistoApplication::TavistoApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TavistoApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        if (m_messages)
            m_messages->ErrorMessage(QString::fromUtf8(e.what()));
    }
    return false;
}
