#include "printwindows/SinglePrint.h"

#include "app/AppContext.h"
#include "envelope/UmschlagLines.h"
#include "envelope/UmschlagRenderer.h"
#include "printing/ConfiguredPrinter.h"
#include "printing/EnvelopeJob.h"
#include "printing/EnvelopeWarnings.h"
#include "printing/PrintService.h"
#include "printwindows/TDLG_Einstellungen.h"
#include "shell/MessageService.h"
#include "store/RecordOperations.h"
#include "store/TSQLiteDatabase.h"

#include <QImage>
#include <QRect>

#include <algorithm>

int ConfirmPrint(AppContext& ctx, QWidget* parent, TDLGDruckTyp kind)
{
    if (!CheckRememberedPrinter(ctx, parent, ShowEinstellungen))
        return Msg::IdCancel;
    if (ctx.Print().Swap) {
        const int answer = ctx.Messages->InfoCancel(
            QStringLiteral("Absender und Empfänger werden getauscht (Rückumschlag)! Sie können diese Druckoption im "
                           "Dialog Einstellungen ändern."));
        if (answer != Msg::IdOk)
            return Msg::IdCancel;
    }
    TDLG_Drucken dialog(ctx, kind, parent);
    return dialog.exec();
}


bool RunEinzeldruck(AppContext& ctx, const QString& absenderId, const QString& adresseId)
{
    TSQLiteDatabase& db = ctx.db();
    if (!db.TableExists(QStringLiteral("tab_absender")))
        return false;
    const auto sender = ReadAbsenderLines(db, absenderId);
    if (!sender)
        return false;
    const AddressLines address = ReadAdresseLines(db, adresseId).value_or(AddressLines{});

    PrintService& printer = *ctx.Printer;
    const PrintSettings& s = ctx.Print();
    SelectConfiguredPrinter(ctx);

    const UmschlagBlocks blocks = AssignBlocks(*sender, address, s.Swap);
    QImage banner;
    if (blocks.WithBanner)
        LoadBanner(db, absenderId, banner);
    const bool withBanner = s.PrintBanner && !banner.isNull();
    const std::optional<UmschlagLayout> layout =
        LayoutUmschlag(blocks.Upper, blocks.Lower, withBanner ? banner.size() : QSize(), s, printer.ResolutionX());
    if (!layout)
        return false;  // unknown format: no job
    // What the paper or the envelope's edge would cut off, said before anything is printed.
    const QStringList warnings{PaperWarning(ctx, layout->PictureSize()),
                               CutLinesWarning(CutRecordsOf(CutLines(*layout), *sender, address, s.Swap))};
    if (!AcceptEnvelopeWarnings(ctx, QStringLiteral("Einzeldruck"), warnings))
        return false;
    QImage bitmap;
    PaintUmschlag(bitmap, *layout, withBanner ? &banner : nullptr);

    OrientationGuard orientation(printer);
    printer.SetOrientation(PageOrientationFor(s.Orientation));
    PrintEnvelopeJob(printer, s.Alignment, bitmap, QStringLiteral("Tavisto"));
    return true;
}

void EinzeldruckCommand(AppContext& ctx, QWidget* parent, const QString& absenderId, const QString& adresseId)
{
    if (absenderId.isEmpty()) {
        ctx.Messages->InfoMessage(QStringLiteral("Bitte wählen Sie einen Absender!"));
        return;
    }
    if (adresseId.isEmpty()) {
        ctx.Messages->InfoMessage(QStringLiteral("Bitte wählen Sie eine Adresse!"));
        return;
    }
    if (ConfirmPrint(ctx, parent, DDT_SINGLE) == Msg::IdYes)
        RunEinzeldruck(ctx, absenderId, adresseId);
}
