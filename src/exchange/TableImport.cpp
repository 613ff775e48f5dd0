#include "exchange/TableImport.h"

#include "app/AppContext.h"
#include "exchange/ExchangeProgressWindow.h"
#include "exchange/TDLG_FelderZuordnen.h"
#include "shell/MessageService.h"
#include "sheets/TableSource.h"
#include "sources/AddressComposer.h"
#include "sources/TableAdressenSource.h"
#include "uikit/TBusyCursor.h"

#include <QFile>

namespace {

QString adressen(int n) { return n == 1 ? QStringLiteral("1 Adresse") : QStringLiteral("%1 Adressen").arg(n); }
QString zeilen(int n) { return n == 1 ? QStringLiteral("1 Zeile") : QStringLiteral("%1 Zeilen").arg(n); }

class TableImportSource : public AdressenImportSource
{
public:
    TableImportSource(sheets::TableSource& table, int sheet, ColumnTargets targets, bool headerRow)
        : m_rows(table, sheet, std::move(targets), headerRow)
    {
    }
    void ReadRecords(const RecordHandler& onRecord) override { m_rows.ReadRecords(onRecord); }
    QString SuccessText(const ImportCounts& counts) const override { return TableImportSuccessText(counts); }

private:
    TableAdressenSource m_rows;
};

} // namespace

bool IsSpreadsheetFile(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(8);
    return head.startsWith("PK\x03\x04") || head == QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
}

QString TableImportSuccessText(const ImportCounts& c)
{
    // A second import of the same list imports nothing, and must not read as if it had.
    QString text = c.Imported > 0 ? QStringLiteral("Die Adressen wurden aus der Tabelle importiert.")
                                  : QStringLiteral("Aus der Tabelle wurde keine Adresse importiert.");
    text += QStringLiteral("\r\n\r\nImportiert: ") + adressen(c.Imported);
    text += QStringLiteral("\r\nÜbersprungen, weil schon in der Gruppe: ") + adressen(c.Duplicates);
    text += QStringLiteral("\r\nÜbersprungen, weil ohne Angaben für den Umschlag: ") + zeilen(c.Empty);
    if (c.Shortened > 0)
        text += QStringLiteral("\r\n\r\nBei %1 wurde die Bemerkung auf %2 Zeichen gekürzt; der Rest wurde nicht "
                               "übernommen.")
                    .arg(adressen(c.Shortened))
                    .arg(kBemerkungLimit);
    return text;
}

bool ImportTableFile(AppContext& ctx, QWidget* parent, const QString& gruppeId, const QString& fileName,
                     const FelderZuordnenRunner& runWindow)
{
    if (!ctx.db().TableExists(QStringLiteral("tab_adressen")))
        return false;
    TDLG_FelderZuordnen::Table table;
    table.fileName = fileName;
    table.text = !IsSpreadsheetFile(fileName);
    std::unique_ptr<TDLG_FelderZuordnen> window;
    try {
        TBusyCursor busy;
        if (table.text) {
            table.textOptions = sheets::GuessTextOptions(fileName);
            table.reopen = [fileName](const sheets::TextOptions& options) {
                return sheets::OpenTableFile(fileName, &options);
            };
        }
        table.source = sheets::OpenTableFile(fileName, table.text ? &table.textOptions : nullptr);
        window = std::make_unique<TDLG_FelderZuordnen>(std::move(table), ctx.Settings.Zuordnungen, *ctx.Messages,
                                                       parent);
    } catch (const sheets::SheetError& e) {
        ctx.Messages->ErrorMessage(e.Message());
        return false;
    }
    const int result = runWindow ? runWindow(*window) : window->exec();
    if (result != QDialog::Accepted)
        return false;
    TableImportSource source(window->Source(), window->Sheet(), window->Targets(), window->HeaderRow());
    window->hide();
    ImportOptions options;
    options.SkipDuplicates = window->SkipDuplicates();
    options.SkipEmpty = true;
    ExchangeProgressWindow progress(parent);
    return ImportAdressenRecords(ctx, gruppeId, source, options, &progress);
}
