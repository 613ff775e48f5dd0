#include "shell/TavistoApplication.h"

#include "shell/MessageService.h"

#include <QFont>

#include <exception>

TavistoApplication::TavistoApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    // One typeface for every window: dialogs are windows of their own and would not take
    // the main window's font.
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(13);
    setFont(font);
}

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
