#include "pdf/PdfSeriesExport.h"

#include "app/AppContext.h"
#include "envelope/SeriendruckQuery.h"
#include "envelope/UmschlagLines.h"
#include "pdf/PdfObjectStreams.h"
#include "pdf/PdfUmschlagPage.h"
#include "shell/FileWrite.h"
#include "shell/MessageService.h"
#include "store/RecordOperations.h"
#include "store/TSQLiteDatabase.h"

#include <QDir>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryFile>

namespace {

QString gruppeName(TSQLiteDatabase& db, const QString& gruppeId)
{
    if (!db.TableExists(QStringLiteral("tab_gruppen")))
        return QString();
    const TSQLiteTable t = db.GetTable(QStringLiteral("SELECT Name FROM tab_gruppen WHERE Gruppe_ID = ?"), {gruppeId});
    return t.Count() > 0 ? t.Field(QStringLiteral("Name")) : QString();
}

} // namespace

std::optional<PdfSeries> ReadPdfSeries(AppContext& ctx, const SeriendruckInput& input)
{
    TSQLiteDatabase& db = ctx.db();
    if (!db.TableExists(QStringLiteral("tab_absender")))
        return std::nullopt;
    PdfSeries series;
    const auto sender = ReadAbsenderLines(db, input.AbsenderID);
    if (!sender)
        return std::nullopt;
    series.Sender = *sender;
    const PrintSettings& s = ctx.Print();
    if (!s.Swap && s.PrintBanner)
        LoadBannerOrReport(db, *ctx.Messages, input.AbsenderID, series.Banner);
    series.GruppeName = gruppeName(db, input.GruppeID);

    const SeriendruckQuery query =
        BuildSeriendruckQuery(input.GruppeID, input.SearchText, input.SearchColumn, input.SortChoice);
    // Row by row into the packed list: a large group is never held twice.
    db.EachRow(query.Sql(), query.Params,
               {QStringLiteral("Line1"), QStringLiteral("Line2"), QStringLiteral("Line3"), QStringLiteral("Line4"),
                QStringLiteral("Line5")},
               [&](const QStringList& lines) { series.Addresses << lines; });
    return series;
}

PdfWriteOutcome WritePdfSeries(const PdfSeries& series, const PrintSettings& s, int dpi, const QString& fileName,
                               const PdfPageStep& step, const PdfFileStep& writing)
{
    const QPageLayout page = PdfUmschlagPageLayout(s.FormatIndex);
    if (!page.isValid())
        return {PdfWriteOutcome::Failed, QStringLiteral("Das eingestellte Umschlagformat ist unbekannt.")};
    // The pages go to a scratch file as they are made and are then repacked into a file
    // beside fileName that replaces it only when all of it is written: memory stays flat,
    // and a cancelled or failed export leaves the old file as it was.
    PdfPackOptions options;
    options.TurnPages = s.Orientation == 1;
    options.ShareRepeatedContent = true;
    const double pageHeightDots = page.fullRectPoints().height() * dpi / 72.0;
    QTemporaryFile pages(QDir::temp().filePath(QStringLiteral("tavisto-XXXXXX.pdf")));
    if (!pages.open())
        return {PdfWriteOutcome::Failed,
                QStringLiteral("Im Ordner für temporäre Dateien kann nichts angelegt werden (%1).").arg(pages.errorString())};
    // A full disk or a file size limit shows first here: the scratch file is the larger one.
    auto scratchFailure = [&] {
        return QStringLiteral("Die temporäre Datei konnte nicht geschrieben werden (%1).").arg(pages.errorString());
    };
    {
        QPdfWriter writer(&pages);
        writer.setResolution(dpi);
        writer.setPageLayout(page);
        writer.setCreator(QStringLiteral("Tavisto"));
        writer.setTitle(series.GruppeName);
        // One picture for every page: the writer keeps a picture it has seen once and only
        // refers to it again.
        const QImage banner = series.Banner.isNull() ? QImage() : series.Banner.convertToFormat(QImage::Format_RGB888);

        QPainter painter;
        if (!painter.begin(&writer))
            return {PdfWriteOutcome::Failed, QStringLiteral("Die PDF-Ausgabe konnte nicht beginnen.")};
        // Ends the export before its last page.
        auto stop = [&](PdfWriteOutcome::Result result, const QString& why) {
            painter.end();
            return PdfWriteOutcome{result, why};
        };
        const int n = int(series.Addresses.size());
        for (int k = 0; k < n; ++k) {
            if (step && !step(k, n))
                return stop(PdfWriteOutcome::Cancelled, QString());
            const UmschlagBlocks blocks = AssignBlocks(series.Sender, series.Addresses[k], s.Swap);
            const QImage* pageBanner = blocks.WithBanner && !banner.isNull() ? &banner : nullptr;
            const auto layout =
                LayoutUmschlag(blocks.Upper, blocks.Lower, pageBanner ? pageBanner->size() : QSize(), s, dpi);
            if (!layout)
                return stop(PdfWriteOutcome::Failed,
                            QStringLiteral("Bei dieser Auflösung (%1 dpi) und dem Umrechnungsfaktor %2 ergibt sich keine "
                                           "Schriftgröße.")
                                .arg(dpi)
                                .arg(s.DpiFactor));
            if (k > 0 && !writer.newPage())
                return stop(PdfWriteOutcome::Failed, pages.error() != QFileDevice::NoError
                                                         ? scratchFailure()
                                                         : QStringLiteral("Seite %1 konnte nicht angelegt werden.").arg(k + 1));
            painter.save();
            // A page shown turned has the lying page's bottom edge on its left; the picture's
            // bottom goes there, as on the printed envelope, whatever the page's rounding to
            // whole points added.
            if (options.TurnPages)
                painter.translate(0, pageHeightDots - layout->Size.height());
            DrawPdfUmschlagPage(painter, *layout, pageBanner);
            painter.restore();
        }
        painter.end();
    }
    if (!pages.flush() || pages.error() != QFileDevice::NoError)
        return {PdfWriteOutcome::Failed, scratchFailure()};

    PdfPackResult packed = PdfPackResult::Packed;
    QString reason;
    const bool replaced = ReplaceFileWith(
        fileName,
        [&](QIODevice& out, QString&) {
            packed = PackPdfObjects(pages, out, options, [&](qint64 done, qint64 total) {
                return !writing || writing(int(total > 0 ? done * 1000 / total : 1000));
            });
            return packed == PdfPackResult::Packed;
        },
        &reason);
    if (packed == PdfPackResult::Stopped)
        return {PdfWriteOutcome::Cancelled, QString()};
    if (packed == PdfPackResult::Unreadable)
        return {PdfWriteOutcome::Failed, QStringLiteral("Die erzeugten Seiten konnten nicht gelesen werden.")};
    if (!replaced)
        return {PdfWriteOutcome::Failed, reason};
    return {PdfWriteOutcome::Written, QString()};
}
