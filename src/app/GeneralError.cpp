#include "app/GeneralError.h"

#include "shell/MessageService.h"

#include <QtGlobal>

namespace GeneralError {

void Show(MessageService* messages, const std::exception& error)
{
    // The program's own errors carry German texts in UTF-8.
    const QString text = QString::fromUtf8(error.what());
    if (messages)
        messages->ErrorMessage(text);
    else
        qWarning("Tavisto: %s", error.what());
}

void ShowUnknown(MessageService* messages)
{
    const QString text = QStringLiteral("Es ist ein unbekannter Fehler aufgetreten.");
    if (messages)
        messages->ErrorMessage(text);
    else
        qWarning("Tavisto: %s", qPrintable(text));
}

} // namespace GeneralError
