#include "printing/ConfiguredPrinter.h"

#include "app/AppContext.h"
#include "app/GeneralError.h"
#include "app/HelpKey.h"
#include "envelope/UmschlagFormat.h"
#include "shell/HelpService.h"
#include "shell/MessageService.h"

#include <QImage>

#include <algorithm>

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

int ShowPrinterProperties(AppContext& ctx, int index, QWidget* parent, int dpiFactor)
{
    int taken = 0;
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
        const int shown = dpiFactor > 0 ? dpiFactor : ctx.Print().DpiFactor;
        int factor = shown;
        const HelpTopicScope help(ctx, HelpContext::Querformat);
        service.ShowProperties(parent, turn, factor);
        if (turn != before)
            SetLandscapeTurnOf(ctx.Settings.Turns, name, int(turn));
        // Goes with the resolution it was taken for, which stays with the printer.
        if (factor != shown && factor >= 1 && factor <= 10) {
            ctx.Print().DpiFactor = factor;
            taken = factor;
        }
    });
    return taken;
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

void RenderUmschlag(AppContext& ctx, QImage* bitmap, const AddressLines& upperLines, const AddressLines& lowerLines,
                    const QImage* banner)
{
    if (!bitmap)
        return;
    RenderUmschlag(bitmap, upperLines, lowerLines, banner, ctx.Print(), ctx.Printer->ResolutionX());
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

bool CheckRememberedPrinter(AppContext& ctx, QWidget* parent, const PrinterChooser& choose)
{
    PrintSettings& s = ctx.Print();
    const QStringList printers = ctx.Printer->Printers();
    const auto same = [&](const QString& name) { return name.compare(s.PrinterName, Qt::CaseInsensitive) == 0; };
    if (s.PrinterName.isEmpty() || printers.isEmpty() || std::any_of(printers.begin(), printers.end(), same))
        return true;
    const QString instead =
        s.PrinterIndex >= 0 && s.PrinterIndex < printers.size()
            ? QStringLiteral("Gedruckt würde jetzt auf „%1“, der an seiner Stelle in der Druckerliste steht.")
                  .arg(printers[s.PrinterIndex])
            : QStringLiteral("An seiner Stelle in der Druckerliste steht kein Drucker mehr.");
    const int answer = ctx.Messages->ShowMessageBox(
        QStringLiteral("Der zuletzt gewählte Drucker „%1“ ist nicht mehr vorhanden. %2\n\n"
                       "Mit „OK“ wählen Sie den Drucker in den Einstellungen; mit „Abbrechen“ wird nichts gedruckt.")
            .arg(s.PrinterName, instead),
        Msg::Warning, Msg::SoundExclamation, Msg::Ok | Msg::Cancel);
    if (answer != Msg::IdOk || !choose || !choose(ctx, parent))
        return false;
    // Saved there, the printer shown is the user's choice, also when it is the neighbour.
    const QStringList now = ctx.Printer->Printers();
    if (s.PrinterIndex < 0 || s.PrinterIndex >= now.size())
        return false;
    s.PrinterName = now[s.PrinterIndex];
    return true;
}
