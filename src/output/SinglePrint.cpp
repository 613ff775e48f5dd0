#include "output/SinglePrint.h"

#include "app/AppContext.h"
#include "output/EnvelopeJob.h"
#include "output/OutputSettings.h"
#include "output/PrintService.h"
#include "output/TDLG_Einstellungen.h"
#include "output/UmschlagLines.h"
#include "output/UmschlagRenderer.h"
#include "shell/MessageService.h"
#include "store/RecordOperations.h"
#include "store/TSQLiteDatabase.h"

#include <QImage>
#include <QRect>

#include <algorithm>

bool CheckRememberedPrinter(AppContext& ctx, QWidget* parent)
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
    if (answer != Msg::IdOk || !ShowEinstellungen(ctx, parent))
        return false;
    // Saved there, the printer shown is the user's choice, also when it is the neighbour.
    const QStringList now = ctx.Printer->Printers();
    if (s.PrinterIndex < 0 || s.PrinterIndex >= now.size())
        return false;
    s.PrinterName = now[s.PrinterIndex];
    return true;
}

int ConfirmPrint(AppContext& ctx, QWidget* parent, TDLGDruckTyp kind)
{
    if (!CheckRememberedPrinter(ctx, parent))
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
    QImage bitmap;
    RenderUmschlag(ctx, &bitmap, blocks.Upper, blocks.Lower, banner.isNull() ? nullptr : &banner);
    if (bitmap.isNull())
        return false;  // unknown format: no job

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
