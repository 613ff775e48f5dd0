#include "tools/NewsNotice.h"

#include "app/AppContext.h"
#include "tools/TDLG_Help.h"

QStringList NewsLines()
{
    return {
        QStringLiteral("NEU: Sortieren der Adressen nach Nachnamen"),
        QString(42, u'='),
        QStringLiteral("Ab Version 2.1 bietet Ihnen Lumo Tavisto die Möglichkeit, zusätzliche Namen für das Sortieren "
                       "der Adressen anzugeben. Die Adressen-Übersicht wurde um die Spalte \"Name\" erweitert."),
        QString(),
        QStringLiteral("So können Sie die Adressen in der Übersicht auch nach Nachnamen alphabetisch ordnen lassen, "
                       "was die Suche nach bestimmten Namen wesentlich erleichtert. Sie müssen nur noch in der "
                       "ausklappbaren Liste das Sortieren nach Name wählen."),
        QString(),
        QStringLiteral("Haben Sie bereits viele Adressen in Ihrer Datenbank, so erstellt Ihnen Lumo Tavisto die Namen "
                       "auf Wunsch auch automatisch. Der entsprechende Schalter befindet sich im Adressen-Menü."),
        QString(),
        QStringLiteral("Weitere Informationen zur neuen Funktion finden Sie in Programmhilfe unter \"Adressen\"."),
    };
}

bool ShowNewsIfDue(AppContext& ctx)
{
    if (!ctx.Settings.ShowNews)
        return false;
    // Cleared before showing: closing the notice activates the main window again, and
    // that activation must not show it a second time.
    ctx.Settings.ShowNews = false;
    TDLG_Help::ShowText(NewsLines());
    return true;
}
