#include "printwindows/Seriendruck.h"

#include "app/AppContext.h"
#include "envelope/SeriendruckQuery.h"
#include "envelope/UmschlagLines.h"
#include "printing/ConfiguredPrinter.h"
#include "printing/EnvelopeJob.h"
#include "printing/EnvelopeWarnings.h"
#include "printwindows/JpegResource.h"
#include "printwindows/SinglePrint.h"
#include "printwindows/TForm_Progress.h"
#include "shell/MessageService.h"
#include "shell/TerminationSignals.h"
#include "store/RecordOperations.h"
#include "store/TSQLiteDatabase.h"
#include "uikit/ProgressScale.h"
#include "uikit/TBusyCursor.h"

#include <QApplication>
#include <QImage>
#include <memory>

namespace {

PrintMovie::Pictures moviePictures()
{
    return {JpegResourceImage(QStringLiteral("PRIMOVIE_TOP")), JpegResourceImage(QStringLiteral("PRIMOVIE_BOT")),
            JpegResourceImage(QStringLiteral("PRIMOVIE_ENV")), JpegResourceImage(QStringLiteral("PRIMOVIE_LED"))};
}

void showOnTop(TForm_Progress& progress)
{
    progress.SetStayOnTop(true);
    progress.show();
    progress.raise();
    progress.repaint();
}

bool reallyCancel(AppContext& ctx)
{
    return ctx.Messages->Confirm(QStringLiteral("Wollen Sie den Seriendruck wirklich abbrechen?")) == Msg::IdYes;
}

// The pause after every BreakCount envelopes; false when the user ends the series.
bool pauseGoesOn(AppContext& ctx, TForm_Progress& progress, int printed, int count)
{
    progress.SetStayOnTop(false);
    progress.hide();
    QApplication::processEvents();
    const int answer = ctx.Messages->InfoCancel(
        QStringLiteral("Es wurden %1 von %2 Adressen gedruckt. Klicken Sie auf OK, um den Seriendruck fortzuführen.")
            .arg(printed)
            .arg(count));
    // The program is asked to end (the session logs out): the box was closed for that.
    if (TerminationSignals::Requested() ||
        (answer == Msg::IdCancel && reallyCancel(ctx))) {
        if (ctx.Printer->Printing())
            ctx.Printer->Abort();
        return false;
    }
    showOnTop(progress);
    return true;
}

AddressLines rowLines(const TSQLiteTable& rows)
{
    AddressLines address;
    for (int i = 1; i <= 5; ++i)
        address << rows.Field(QStringLiteral("Line%1").arg(i));
    return address;
}

// Everything the series would cut off, said once before the first envelope: the paper the
// envelopes do not fit and every address (and the sender) whose lines the envelope's edge
// cuts. False when the user cancels. The rows are back at the first one afterwards.
bool acceptSeriesWarnings(AppContext& ctx, TSQLiteTable& rows, const AddressLines& sender, const QSize& bannerSize)
{
    const PrintSettings& s = ctx.Print();
    const int dpi = ctx.Printer->ResolutionX();
    QString paper;
    bool paperChecked = false;
    QList<CutRecord> cut;
    {
        TBusyCursor busy;
        for (rows.First(); !rows.Eof(); rows.Next()) {
            const AddressLines address = rowLines(rows);
            const UmschlagBlocks blocks = AssignBlocks(sender, address, s.Swap);
            const std::optional<UmschlagLayout> layout =
                LayoutUmschlag(blocks.Upper, blocks.Lower, blocks.WithBanner ? bannerSize : QSize(), s, dpi);
            if (!layout)
                break;  // an unknown format prints nothing to warn about
            if (!paperChecked) {  // every envelope of the series has the same size
                paper = PaperWarning(ctx, layout->PictureSize());
                paperChecked = true;
            }
            cut << CutRecordsOf(CutLines(*layout), sender, address, s.Swap);
        }
        rows.First();
    }
    return AcceptEnvelopeWarnings(ctx, QStringLiteral("Seriendruck"), {paper, CutLinesWarning(cut)});
}

} // namespace

bool RunSeriendruck(AppContext& ctx, const SeriendruckInput& input)
{
    TSQLiteDatabase& db = ctx.db();
    if (!db.TableExists(QStringLiteral("tab_absender")))
        return false;
    // Loaded once for the whole series, also when the swap leaves it out.
    QImage banner;
    const bool hasBanner = LoadBanner(db, input.AbsenderID, banner);
    const auto sender = ReadAbsenderLines(db, input.AbsenderID);
    if (!sender)
        return false;

    const SeriendruckQuery query =
        BuildSeriendruckQuery(input.GruppeID, input.SearchText, input.SearchColumn, input.SortChoice);
    TForm_Progress progress(moviePictures());
    TSQLiteTable rows = db.GetTable(query.Sql(), query.Params);
    const int count = rows.Count();
    if (count == 0)
        return true;

    PrintService& printer = *ctx.Printer;
    const PrintSettings& s = ctx.Print();
    SelectConfiguredPrinter(ctx);
    OrientationGuard orientation(printer);
    printer.SetOrientation(PageOrientationFor(s.Orientation));
    if (!acceptSeriesWarnings(ctx, rows, *sender, hasBanner ? banner.size() : QSize()))
        return true;

    progress.Progress_Scale()->setMinimum(0);
    progress.Progress_Scale()->setMaximum(count);
    progress.Progress_Scale()->setPosition(0);
    showOnTop(progress);

    const int breakCount = s.BreakCount;
    for (int k = 0; !rows.Eof(); rows.Next(), ++k) {
        const AddressLines address = rowLines(rows);
        if (breakCount > 0 && k > breakCount - 2 && (k + 1) % breakCount == 1 && !pauseGoesOn(ctx, progress, k, count))
            break;
        QApplication::processEvents();
        if (TerminationSignals::Requested())
            break;
        // "Abbrechen" pressed while the last envelope was handed over.
        if (progress.TakeCancelRequest() && reallyCancel(ctx))
            break;
        progress.SetStatus(k + 1, count);
        progress.Progress_Scale()->setPosition(k);
        progress.repaint();

        const UmschlagBlocks blocks = AssignBlocks(*sender, address, s.Swap);
        QImage bitmap;
        RenderUmschlag(ctx, &bitmap, blocks.Upper, blocks.Lower,
                       blocks.WithBanner && hasBanner ? &banner : nullptr);
        if (bitmap.isNull())
            continue;  // an unknown format draws nothing: no job
        PrintEnvelopeJob(printer, s.Alignment, bitmap, QStringLiteral("Tavisto_Page_%1").arg(k + 1));
    }
    return true;
}

bool SeriendruckSelectionGiven(AppContext& ctx, const SeriendruckInput& input)
{
    if (input.AbsenderID.isEmpty()) {
        ctx.Messages->InfoMessage(QStringLiteral("Bitte wählen Sie einen Absender!"));
        return false;
    }
    if (input.GruppeID.isEmpty()) {
        ctx.Messages->InfoMessage(QStringLiteral("Bitte wählen Sie eine Gruppe!"));
        return false;
    }
    return true;
}

void SeriendruckCommand(AppContext& ctx, QWidget* mainWindow, const SeriendruckInput& input)
{
    if (!SeriendruckSelectionGiven(ctx, input))
        return;
    if (ConfirmPrint(ctx, mainWindow, DDT_SERIES) != Msg::IdYes)
        return;
    // Enabled again however the series ends, errors included.
    struct Disabled
    {
        QWidget* w;
        ~Disabled()
        {
            if (w)
                w->setEnabled(true);
        }
    } disabled{mainWindow};
    if (mainWindow)
        mainWindow->setEnabled(false);
    RunSeriendruck(ctx, input);
}
