#include "exchange/Export.h"

#include "app/AdressenRows.h"
#include "app/AppContext.h"
#include "exchange/ExchangeFileDialogs.h"
#include "exchange/ExchangeProgressWindow.h"
#include "exchange/ExportAllFields.h"
#include "exchange/ExportLayout.h"
#include "shell/AppPaths.h"
#include "shell/MessageService.h"
#include "store/Schema.h"
#include "uikit/TBusyCursor.h"

#include <QFileInfo>

#include <functional>

namespace {

// The filter entries of the export dialog; addresses have the last two as well.
enum ExportFilter { TextFilter, CsvFilter, TableFilter, Utf8CsvFilter };

struct ExportTexts
{
    QString title;
    QString defaultName;
    QString nothingToExport;
    QString savedAsText;
    QString savedAsCsv;
    QString header;
};

// ".ods" unless the name already ends in ".ods" or ".xlsx" (any case).
QString withTableExtension(const QString& fileName)
{
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    return suffix == QLatin1String("ods") || suffix == QLatin1String("xlsx") ? fileName : fileName + QStringLiteral(".ods");
}

// allFields: the rows with every field, for the table and the UTF-8 CSV (addresses only).
void runExport(AppContext& ctx, QWidget* parent, ExchangeFileDialogs* dialogs, const ExportTexts& texts,
               const ExportRows& rows, const std::function<ExportRows()>& allFields = {})
{
    if (rows.isEmpty()) {
        ctx.Messages->InfoMessage(texts.nothingToExport);
        return;
    }
    ExchangeFileDialogs& fileDialogs = dialogs ? *dialogs : ExchangeFileDialogs::Standard();
    QStringList filters{QStringLiteral("Textdatei (*.txt)"), QStringLiteral("CSV-Datei (*.csv)")};
    if (allFields)
        filters << QStringLiteral("Tabelle (*.ods *.xlsx)") << QStringLiteral("CSV-Datei UTF-8 mit allen Feldern (*.csv)");
    const ExchangeFileDialogs::SaveChoice choice =
        fileDialogs.SaveFileName(parent, texts.title, GetKnownFolder(CSIDL_PERSONAL), filters, 0, texts.defaultName);
    if (choice.fileName.isEmpty())
        return;
    const int filter = choice.filterIndex >= 0 && choice.filterIndex < filters.size() ? choice.filterIndex : TextFilter;
    const QString fileName = filter == TableFilter     ? withTableExtension(choice.fileName)
                             : filter == Utf8CsvFilter ? ExportLayout::WithExtension(choice.fileName, CsvFilter)
                                                       : ExportLayout::WithExtension(choice.fileName, filter);
    if (QFileInfo::exists(fileName) &&
        ctx.Messages->WarningQuestion(QStringLiteral("Es existiert bereits eine Datei unter diesem Namen!\n"
                                                     "Soll diese Datei überschrieben werden?")) != Msg::IdYes)
        return;
    bool written = true;
    {
        TBusyCursor busy;
        switch (filter) {
        case TableFilter:
        case Utf8CsvFilter: {
            const ExportRows all = allFields();
            ExchangeProgressWindow progress(parent, texts.title, int(all.size()));
            written = filter == TableFilter ? ExportAllFields::WriteTable(fileName, all, &progress)
                                            : ExportAllFields::WriteUtf8Csv(fileName, all, &progress);
            progress.Done();
            break;
        }
        case CsvFilter:
            ExportLayout::WriteFile(fileName, ExportLayout::CsvLines(texts.header, rows));
            break;
        default:
            ExportLayout::WriteFile(fileName, ExportLayout::TextLines(rows));
        }
    }
    if (!written) {
        ctx.Messages->InfoMessage(
            QStringLiteral("Der Export wurde abgebrochen. Es wurde keine Datei geschrieben."));
        return;
    }
    switch (filter) {
    case TableFilter:
        ctx.Messages->InfoMessage(QStringLiteral("Die Adressen wurden als Tabelle gespeichert."));
        break;
    case Utf8CsvFilter:
        ctx.Messages->InfoMessage(QStringLiteral("Die Adressen wurden als CSV-Datei mit allen Feldern gespeichert."));
        break;
    default:
        ctx.Messages->InfoMessage(filter == CsvFilter ? texts.savedAsCsv : texts.savedAsText);
    }
}

// The sender list's rows: lines 1 to 5 and the banner mark, "x" for exactly one banner.
ExportRows absenderRows(TSQLiteDatabase& db)
{
    ExportRows rows;
    if (!db.TableExists(QStringLiteral("tab_absender")))
        return rows;
    TBusyCursor busy;
    TSQLiteTable t = db.GetTable(AbsenderListQuery());
    for (; !t.Eof(); t.Next()) {
        QStringList row;
        for (int n = 1; n <= 5; ++n)
            row << t.Field(QStringLiteral("Line%1").arg(n));
        row << (t.Field(QStringLiteral("Banner")) == QLatin1String("1") ? QStringLiteral("x") : QString());
        rows << row;
    }
    return rows;
}

} // namespace

void ExportAbsender(AppContext& ctx, QWidget* parent, ExchangeFileDialogs* dialogs)
{
    const ExportTexts texts{QStringLiteral("Absender exportieren"),
                            QStringLiteral("Absender"),
                            QStringLiteral("Es sind keine Absender zum Exportieren vorhanden!"),
                            QStringLiteral("Die Absender wurden als Textdatei gespeichert."),
                            QStringLiteral("Die Absender wurden als CSV-Datei gespeichert."),
                            ExportLayout::kAbsenderHeader};
    runExport(ctx, parent, dialogs, texts, absenderRows(ctx.db()));
}

void ExportAdressen(AppContext& ctx, QWidget* parent, const AdressenRows& rows, ExchangeFileDialogs* dialogs)
{
    ExportRows shown;
    for (int r = 0; r < rows.RowCount(); ++r) {
        QStringList row;
        for (int c = 1; c <= 7; ++c)
            row << rows.Cell(r, c);
        shown << row;
    }
    const ExportTexts texts{QStringLiteral("Adressen exportieren"),
                            QStringLiteral("Adressen"),
                            QStringLiteral("Es sind keine Adressen zum Exportieren vorhanden!"),
                            QStringLiteral("Die Adressen wurden als Textdatei gespeichert."),
                            QStringLiteral("Die Adressen wurden als CSV-Datei gespeichert."),
                            ExportLayout::kAdressenHeader};
    runExport(ctx, parent, dialogs, texts, shown, [&] { return ExportAllFields::Rows(ctx.db(), rows); });
}
