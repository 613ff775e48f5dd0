#pragma once
#include "envelope/UmschlagRenderer.h"
#include "printing/PrintService.h"

#include <QString>

#include <functional>

struct AppContext;
class MessageService;
class QImage;
class QWidget;

// The printer the settings name, as the print commands and the labels use it: its
// selection, name, properties and turn, and where the envelope goes on its page.

// The no-printer warning, an information message.
void WarnNoPrinter(MessageService& messages);
extern const char* const kNoPrinterText;

// The configured printer's name, "[Unbekannt]" when the index is outside the list (or
// above 255). An empty printer list shows the no-printer warning first.
QString PrinterDisplayName(AppContext& ctx);

// The printer's properties dialog for the printer at index; the printing service's
// selection is back to what it was afterwards, also on failure, which is shown as an error.
// The dialog offers the font-size factor that keeps the text's size at the resolution
// chosen there, starting from dpiFactor (the settings' when none is given); a factor the
// user takes is set in the settings and returned (0 when none was taken).
int ShowPrinterProperties(AppContext& ctx, int index, QWidget* parent = nullptr, int dpiFactor = 0);

// The main window's status line from the output settings.
QString StatusLineText(AppContext& ctx);

// Draws one envelope as RenderUmschlag does, with the configured settings at the
// resolution of the printer selected in the printing service.
void RenderUmschlag(AppContext& ctx, QImage* bitmap, const AddressLines& upperLines,
                    const AddressLines& lowerLines, const QImage* banner);

// Which way the named printer takes a landscape envelope, as the settings keep it.
LandscapeTurn LandscapeTurnFor(AppContext& ctx, const QString& printer);

// Selects the configured printer in the printing service, with the way it takes a
// landscape envelope.
void SelectConfiguredPrinter(AppContext& ctx);

// 0 selects landscape; 1 and anything else portrait.
PageOrientation PageOrientationFor(int orientation);

// Left edge of the picture on the page: 0 left, 1 centred (both halves truncated),
// 2 right; anything else left. Negative when the picture is wider than the page.
int PageOffset(int alignment, int pageWidth, int pictureWidth);

// When the printer remembered by name is no longer installed, the index would print on
// whatever queue now sits at its place: says so, naming both, and offers choose (the settings
// window) to pick one. True to go on (nothing missing, or a printer chosen there); false prints
// nothing. Asks until the user chose a printer.
using PrinterChooser = std::function<bool(AppContext& ctx, QWidget* parent)>;
bool CheckRememberedPrinter(AppContext& ctx, QWidget* parent, const PrinterChooser& choose);
