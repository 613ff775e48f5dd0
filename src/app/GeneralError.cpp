#include "app/GeneralError.h"

#include "shell/MessageService.h"
#include "store/ESQLiteException.h"

#include <QtGlobal>

namespace GeneralError {

void Show(MessageService* messages, const std::exception& error)
{
    // The program's own errors carry German texts in UTF-8.
    QString text = QString::fromUtf8(error.what());
    // SQLite says a lock in its own words; the user needs to know what to do about it.
    const auto* database = dynamic_cast<const ESQLiteException*>(&error);
    if (database && database->Busy())
        text = QStringLiteral("Die Datenbank wird gerade von einem anderen Programm verwendet. Es wurde nichts "
                              "geändert. Bitte versuchen Sie es erneut, wenn das andere Programm fertig ist.\n\n") +
               text;
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
