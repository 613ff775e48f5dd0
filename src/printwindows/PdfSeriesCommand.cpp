#include "printwindows/PdfSeriesCommand.h"

#include "app/AppContext.h"
#include "envelope/PrintError.h"
#include "envelope/UmschlagFormat.h"
#include "pdf/PdfSeriesExport.h"
#include "printing/PrinterOptions.h"
#include "printing/PrintService.h"
#include "printwindows/Seriendruck.h"
#include "shell/AppPaths.h"
#include "shell/MessageService.h"
#include "shell/TerminationSignals.h"
#include "uikit/TBusyCursor.h"

#include <QDir>
#include <QFileInfo>
#include <QProgressDialog>
#include <QPushButton>

namespace {

// The resolution the printed picture would have; the usual one when no printer answers.
int outputDpi(AppContext& ctx)
{
    if (!ctx.Printer)
        return kDefaultJobResolution;
    try {
        const int dpi = ctx.Printer->ResolutionX();
        return dpi > 0 ? dpi : kDefaultJobResolution;
    } catch (const PrintError&) {
        return kDefaultJobResolution;
    }
}

// The group's name as a file name: no folder separators, and a name when it has none.
QString proposedName(const QString& gruppe)
{
    QString name = gruppe.trimmed();
    name.replace(QLatin1Char('/'), QLatin1Char('-')).replace(QLatin1Char('\\'), QLatin1Char('-'));
    return name.isEmpty() ? QStringLiteral("Umschläge") : name;
}

QString withPdfExtension(const QString& fileName)
{
    return QFileInfo(fileName).suffix().compare(QLatin1String("pdf"), Qt::CaseInsensitive) == 0
               ? fileName
               : fileName + QStringLiteral(".pdf");
}

QString failureText(const QString& fileName, const QString& reason)
{
    return QStringLiteral("Die PDF-Datei \"%1\" konnte nicht gespeichert werden.\n%2").arg(QDir::toNativeSeparators(fileName), reason);
}

} // namespace

void PdfSeriesCommand(AppContext& ctx, QWidget* parent, const SeriendruckInput& input, const SaveFileChooser& chooseFile)
{
    if (!SeriendruckSelectionGiven(ctx, input))
        return;
    std::optional<PdfSeries> series;
    {
        TBusyCursor busy;
        series = ReadPdfSeries(ctx, input);
    }
    if (!series) {
        ctx.Messages->ErrorMessage(QStringLiteral("Der gewählte Absender wurde nicht gefunden."));
        return;
    }
    if (series->Addresses.isEmpty()) {
        ctx.Messages->InfoMessage(QStringLiteral("Die gewählte Gruppe enthält keine aktiven Adressen, die der Suche "
                                                 "entsprechen. Es wurde keine PDF-Datei gespeichert."));
        return;
    }
    const PrintSettings& s = ctx.Print();
    const int dpi = outputDpi(ctx);
    if (!UmschlagFormatAt(s.FormatIndex)) {
        ctx.Messages->ErrorMessage(QStringLiteral("Das eingestellte Umschlagformat ist unbekannt. Bitte wählen Sie "
                                                  "unter \"Einstellungen (Druckausgabe)\" ein Format."));
        return;
    }

    QString fileName = chooseFile(parent, QStringLiteral("Als PDF speichern"), GetKnownFolder(CSIDL_PERSONAL),
                                  QStringLiteral("PDF-Datei (*.pdf)"), proposedName(series->GruppeName));
    if (fileName.isEmpty())
        return;
    fileName = withPdfExtension(fileName);
    if (QFileInfo::exists(fileName) &&
        ctx.Messages->WarningQuestion(QStringLiteral("Es existiert bereits eine Datei unter diesem Namen!\n"
                                                     "Soll diese Datei überschrieben werden?")) != Msg::IdYes)
        return;

    const int count = int(series->Addresses.size());
    QProgressDialog progress(parent);
    progress.setObjectName(QStringLiteral("Form_PdfProgress"));
    progress.setWindowTitle(QStringLiteral("Als PDF speichern"));
    progress.setWindowModality(Qt::ApplicationModal);
    auto* cancel = new QPushButton(QStringLiteral("Abbrechen"), &progress);
    cancel->setObjectName(QStringLiteral("Button_Cancel"));
    progress.setCancelButton(cancel);
    progress.setRange(0, count);
    progress.setMinimumDuration(0);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    progress.show();
    const PdfWriteOutcome outcome = WritePdfSeries(*series, s, dpi, fileName, [&](int k, int n) {
        progress.setLabelText(QStringLiteral("Umschlag %1 von %2 wird gespeichert...").arg(k + 1).arg(n));
        // A modal progress window lets pending events in here, "Abbrechen" among them.
        progress.setValue(k);
        return !progress.wasCanceled() && !TerminationSignals::Requested();
    }, [&, writingShown = false](int permille) mutable {
        if (!writingShown) {
            writingShown = true;
            progress.setLabelText(QStringLiteral("Die PDF-Datei wird geschrieben"));
            progress.setRange(0, 1000);
        }
        if (permille != progress.value())
            progress.setValue(permille);
        return !progress.wasCanceled() && !TerminationSignals::Requested();
    });
    progress.hide();

    switch (outcome.Status) {
    case PdfWriteOutcome::Written:
        ctx.Messages->InfoMessage(count == 1 ? QStringLiteral("1 Umschlag wurde als PDF-Datei gespeichert.")
                                             : QStringLiteral("%1 Umschläge wurden als PDF-Datei gespeichert.").arg(count));
        break;
    case PdfWriteOutcome::Cancelled:
        if (!TerminationSignals::Requested())
            ctx.Messages->InfoMessage(
                QStringLiteral("Das Speichern wurde abgebrochen. Die Datei \"%1\" wurde nicht geschrieben.")
                    .arg(QDir::toNativeSeparators(fileName)));
        break;
    case PdfWriteOutcome::Failed:
        ctx.Messages->ErrorMessage(failureText(fileName, outcome.Error));
        break;
    }
}
