#include "exchange/AdressenImport.h"

#include "app/AppContext.h"
#include "exchange/AdressenImportFrame.h"
#include "exchange/ExchangeFileDialogs.h"
#include "exchange/CsvAdressenSource.h"
#include "exchange/ExportLayout.h"
#include "exchange/TableImport.h"
#include "exchange/VcardImport.h"
#include "app/BlankText.h"
#include "sheets/TableSource.h"
#include "sources/ColumnGuess.h"
#include "shell/AppPaths.h"
#include "shell/MessageService.h"
#include "store/TSQLiteDatabase.h"

#include <QFileInfo>

namespace {

const QString kCsvFilter = QStringLiteral("CSV-Datei (*.csv)");
const QString kVcardFilter = QStringLiteral("vCard-Datei (*.vcf)");
const QString kTableFilter = QStringLiteral("Tabelle mit Spaltenüberschriften (*.ods *.xlsx *.xls *.csv *.txt)");
constexpr int kTableFilterIndex = 2;

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

bool isSpreadsheetName(const QString& fileName)
{
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    return suffix == u"ods" || suffix == u"xlsx" || suffix == u"xls";
}

// The texts of a text file's first row, cut as the table import would cut it; empty when
// the file cannot be read that way.
QStringList firstRow(const QString& fileName)
{
    QStringList texts;
    try {
        const sheets::TextOptions options = sheets::GuessTextOptions(fileName);
        std::unique_ptr<sheets::TableSource> table = sheets::OpenTableFile(fileName, &options);
        table->ReadRows(0, [&](const sheets::Row& row, double) {
            for (const sheets::Cell& cell : row)
                texts << TrimBlanks(cell.Text);
            return false;
        });
    } catch (const sheets::SheetError&) {
        texts.clear();
    }
    return texts;
}

// What the first line of a file chosen under the CSV filter says about its columns.
enum class CsvKind { ByPosition, Named, OurTable };

CsvKind csvKindOf(const QStringList& header)
{
    const QStringList exportHeader = CsvAdressenSource::SplitQuoted(ExportLayout::kAdressenHeader);
    if (header == exportHeader)
        return CsvKind::ByPosition; // the address export reads back by its own columns
    const ColumnTargets targets = GuessTargets(header);
    int lines = 0, known = 0;
    for (const std::optional<AddressField>& t : targets) {
        if (!t)
            continue;
        ++known;
        if (DirectLineOf(*t))
            ++lines;
    }
    if (lines == 5)
        return CsvKind::OurTable; // every line and field by name: nothing to ask
    return known >= 2 ? CsvKind::Named : CsvKind::ByPosition;
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
                                 {kCsvFilter, kVcardFilter, kTableFilter});
    if (choice.fileName.isEmpty())
        return false;
    // A spreadsheet goes to the table import whatever filter it was chosen under.
    if (isSpreadsheetName(choice.fileName) || IsSpreadsheetFile(choice.fileName))
        return ImportTableFile(ctx, parent, gruppeId, choice.fileName);
    if (isVcardChoice(choice))
        return ImportVcardFile(ctx, gruppeId, choice.fileName);
    if (choice.filterIndex == kTableFilterIndex)
        return ImportTableFile(ctx, parent, gruppeId, choice.fileName);
    const QStringList header = firstRow(choice.fileName);
    switch (csvKindOf(header)) {
    case CsvKind::ByPosition:
        break;
    case CsvKind::OurTable:
        return ImportTableFile(ctx, parent, gruppeId, choice.fileName);
    case CsvKind::Named: {
        const QStringList known = KnownHeaders(header);
        QString names = known.at(0) + QStringLiteral(", ") + known.at(1);
        if (header.size() > 2)
            names += QStringLiteral(", …");
        const int answer = ctx.Messages->ShowChoice(
            QStringLiteral("Die Datei hat Spaltenüberschriften (%1). Felder zuordnen?").arg(names),
            QStringLiteral("Zuordnen"), QStringLiteral("Nach Position importieren"));
        if (answer < 0)
            return false;
        if (answer == 0)
            return ImportTableFile(ctx, parent, gruppeId, choice.fileName);
        break;
    }
    }
    return ImportAdressenFile(ctx, gruppeId, choice.fileName);
}

bool ImportAdressenFile(AppContext& ctx, const QString& gruppeId, const QString& fileName)
{
    CsvAdressenSource csv;
    return ImportAdressenFrom(ctx, gruppeId, fileName, csv);
}
