#include "exchange/Export.h"

#include "app/AdressenRows.h"
#include "app/AppContext.h"
#include "exchange/ExchangeFileDialogs.h"
#include "exchange/ExportLayout.h"
#include "shell/AppPaths.h"
#include "shell/MessageService.h"
#include "store/Schema.h"
#include "uikit/TBusyCursor.h"

#include <QFileInfo>

namespace {

struct ExportTexts
{
    QString title;
    QString defaultName;
    QString nothingToExport;
    QString savedAsText;
    QString savedAsCsv;
    QString header;
};

void runExport(AppContext& ctx, QWidget* parent, ExchangeFileDialogs* dialogs, const ExportTexts& texts,
               const ExportRows& rows)
{
    if (rows.isEmpty()) {
        ctx.Messages->InfoMessage(texts.nothingToExport);
        return;
    }
    ExchangeFileDialogs& fileDialogs = dialogs ? *dialogs : ExchangeFileDialogs::Standard();
    const ExchangeFileDialogs::SaveChoice choice =
        fileDialogs.SaveFileName(parent, texts.title, GetKnownFolder(CSIDL_PERSONAL),
                                 {QStringLiteral("Textdatei (*.txt)"), QStringLiteral("CSV-Datei (*.csv)")}, 0,
                                 texts.defaultName);
    if (choice.fileName.isEmpty())
        return;
    const bool csv = choice.filterIndex == 1;
    const QString fileName = ExportLayout::WithExtension(choice.fileName, choice.filterIndex);
    if (QFileInfo::exists(fileName) &&
        ctx.Messages->WarningQuestion(QStringLiteral("Es existiert bereits eine Datei unter diesem Namen!\n"
                                                     "Soll diese Datei überschrieben werden?")) != Msg::IdYes)
        return;
    {
        TBusyCursor busy;
        ExportLayout::WriteFile(fileName, csv ? ExportLayout::CsvLines(texts.header, rows) : ExportLayout::TextLines(rows));
    }
    ctx.Messages->InfoMessage(csv ? texts.savedAsCsv : texts.savedAsText);
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
    runExport(ctx, parent, dialogs, texts, shown);
}
