#include "output/OutputSettings.h"

#include "app/AppContext.h"
#include "app/GeneralError.h"
#include "app/HelpKey.h"
#include "shell/HelpService.h"
#include "output/UmschlagFormat.h"
#include "shell/MessageService.h"

#include <QImage>

const char* const kNoPrinterText =
    "Es wurde kein Drucker gefunden! Ohne Drucker können Probleme während der Programmausführung auftreten.\n\n"
    "Bitte richten Sie in den Druckereinstellungen Ihres Systems (zum Beispiel \"Einstellungen\" > \"Drucker\" "
    "oder im Browser unter http://localhost:631) einen Drucker ein und legen Sie ihn als Standarddrucker fest. "
    "Um in PDF-Dateien zu drucken, installieren Sie das Paket \"printer-driver-cups-pdf\" (zum Beispiel mit "
    "\"sudo apt install printer-driver-cups-pdf\"); damit legt der Drucker jeden Druck als PDF-Datei im "
    "Ordner \"PDF\" Ihres Benutzerordners ab.";

namespace {
const QString kUnknown = QStringLiteral("[Unbekannt]");
// Only the first 256 printers of a system can be chosen.
constexpr int kMaxPrinterIndex = 255;
} // namespace

void WarnNoPrinter(MessageService& messages)
{
    messages.InfoMessage(QString::fromUtf8(kNoPrinterText));
}

QString FormatLabel(AppContext& ctx)
{
    return FormatLabel(ctx.Print().FormatIndex);
}

QString PrinterDisplayName(AppContext& ctx)
{
    const QStringList printers = ctx.Printer->Printers();
    if (printers.isEmpty()) {
        WarnNoPrinter(*ctx.Messages);
        return kUnknown;
    }
    const int index = ctx.Print().PrinterIndex;
    if (index >= 0 && index < printers.size() && index <= kMaxPrinterIndex)
        return printers[index];
    return kUnknown;
}

void ShowPrinterProperties(AppContext& ctx, int index, QWidget* parent)
{
    PrintService& service = *ctx.Printer;
    const int remembered = service.PrinterIndex();
    struct Reselect
    {
        PrintService& service;
        int index;
        ~Reselect()
        {
            try {
                service.SetPrinterIndex(index);
            } catch (...) {
                // The original failure, if any, is the one worth reporting.
            }
        }
    } reselect{service, remembered};
    // Called from the dialogs' own buttons: the queue's error (gone, unreadable) is shown
    // here rather than left to unwind through the dialog's event handling.
    RunGuarded(ctx.Messages, [&] {
        service.SetPrinterIndex(index);
        const QString name = service.Printers().value(service.PrinterIndex());
        const LandscapeTurn before = LandscapeTurnFor(ctx, name);
        LandscapeTurn turn = before;
        const HelpTopicScope help(ctx, HelpContext::Querformat);
        service.ShowProperties(parent, turn);
        if (turn != before)
            SetLandscapeTurnOf(ctx.Settings.Turns, name, int(turn));
    });
}

QString StatusLineText(AppContext& ctx)
{
    const PrintSettings& p = ctx.Print();
    const QString sep = QStringLiteral("  |  ");
    QString orientation = kUnknown;
    if (p.Orientation == 0)
        orientation = QStringLiteral("Horizontal");
    else if (p.Orientation == 1)
        orientation = QStringLiteral("Vertikal");
    QString alignment = kUnknown;
    if (p.Alignment == 0)
        alignment = QStringLiteral("Links");
    else if (p.Alignment == 1)
        alignment = QStringLiteral("Mitte");
    else if (p.Alignment == 2)
        alignment = QStringLiteral("Rechts");

    QString text = QStringLiteral("Drucker: ") + PrinterDisplayName(ctx);
    text += sep + QStringLiteral("Format: ") + FormatLabel(p.FormatIndex);
    text += sep + QStringLiteral("Orientation: ") + orientation;
    text += sep + QStringLiteral("Ausrichtung: ") + alignment;
    if (p.Swap)
        text += QStringLiteral(" | Rückumschlag");
    return text;
}

bool SizeUmschlagBitmap(AppContext& ctx, QImage* bitmap)
{
    if (!bitmap)
        return false;
    const int dpi = ctx.Printer->ResolutionX();
    return SizeUmschlagBitmap(bitmap, ctx.Print().FormatIndex, dpi);
}

LandscapeTurn LandscapeTurnFor(AppContext& ctx, const QString& printer)
{
    return LandscapeTurnOf(ctx.Settings.Turns, printer) == 1 ? LandscapeTurn::Right : LandscapeTurn::Left;
}

void SelectConfiguredPrinter(AppContext& ctx)
{
    PrintService& printer = *ctx.Printer;
    printer.SetPrinterIndex(ctx.Print().PrinterIndex);
    printer.SetLandscapeTurn(LandscapeTurnFor(ctx, printer.Printers().value(printer.PrinterIndex())));
}

PageOrientation PageOrientationFor(int orientation)
{
    return orientation == 0 ? PageOrientation::Landscape : PageOrientation::Portrait;
}

int PageOffset(int alignment, int pageWidth, int pictureWidth)
{
    switch (alignment) {
    case 1:
        return pageWidth / 2 - pictureWidth / 2;
    case 2:
        return pageWidth - pictureWidth;
    default:
        return 0;
    }
}
