#include "exchange/AdressenImport.h"

#include "app/AppContext.h"
#include "exchange/AdressenImportFrame.h"
#include "exchange/ExchangeFileDialogs.h"
#include "exchange/CsvAdressenSource.h"
#include "exchange/VcardImport.h"
#include "shell/AppPaths.h"
#include "shell/MessageService.h"
#include "store/TSQLiteDatabase.h"

#include <QFileInfo>

namespace {

const QString kCsvFilter = QStringLiteral("CSV-Datei (*.csv)");
const QString kVcardFilter = QStringLiteral("vCard-Datei (*.vcf)");

bool anyGroupExists(TSQLiteDatabase& db)
{
    if (!db.TableExists(QStringLiteral("tab_gruppen")))
        return false;
    return db.GetTable(QStringLiteral("SELECT Gruppe_ID FROM tab_gruppen LIMIT 1")).Count() > 0;
}

// The vCard filter chosen, or a file whose name says it is one. A name ending in .csv
// stays with the CSV import whatever filter was shown.
bool isVcardChoice(const ExchangeFileDialogs::FileChoice& choice)
{
    const QString suffix = QFileInfo(choice.fileName).suffix().toLower();
    if (suffix == u"vcf" || suffix == u"vcard")
        return true;
    if (suffix == u"csv")
        return false;
    return choice.filterIndex == 1;
}

} // namespace

bool ImportAdressen(AppContext& ctx, QWidget* parent, const QString& gruppeId, ExchangeFileDialogs* dialogs)
{
    if (gruppeId.isEmpty()) {
        if (anyGroupExists(ctx.db()))
            ctx.Messages->InfoMessage(QStringLiteral("Bitte wählen Sie eine Gruppe für den Import!"));
        else
            ctx.Messages->InfoMessage(QStringLiteral(
                "Es ist keine Gruppe für den Import vorhanden! Bitte legen Sie eine neue Gruppe an."));
        return false;
    }
    const int answer = ctx.Messages->InfoCancel(QStringLiteral(
        "Bitte sichern Sie vor dem Importieren die Datenbank, um diese bei Bedarf wieder herstellen zu können.\r\n\r\n"
        "Wählen Sie \"Abbrechen\", wenn Sie den Import zu einem späteren Zeitpunkt vornehmen möchten."));
    if (answer != Msg::IdOk)
        return false;
    ExchangeFileDialogs& fileDialogs = dialogs ? *dialogs : ExchangeFileDialogs::Standard();
    const ExchangeFileDialogs::FileChoice choice =
        fileDialogs.OpenFileName(parent, QStringLiteral("Adressen importieren"), GetKnownFolder(CSIDL_PERSONAL),
                                 {kCsvFilter, kVcardFilter});
    if (choice.fileName.isEmpty())
        return false;
    if (isVcardChoice(choice))
        return ImportVcardFile(ctx, gruppeId, choice.fileName);
    return ImportAdressenFile(ctx, gruppeId, choice.fileName);
}

bool ImportAdressenFile(AppContext& ctx, const QString& gruppeId, const QString& fileName)
{
    CsvAdressenSource csv;
    return ImportAdressenFrom(ctx, gruppeId, fileName, csv);
}
