#include "labels/LabelPdf.h"

#include "pdf/PdfObjectStreams.h"
#include "shell/FileWrite.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

QByteArray LabelRunPdf(const LabelRun& run, const QImage* banner, const LabelPaintOptions& options, const QString& title)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setTitle(title);
        writer.setCreator(QStringLiteral("Tavisto"));
        writer.setResolution(run.Dpi);
        const QSizeF points(run.Page.width() * 72.0 / run.Dpi, run.Page.height() * 72.0 / run.Dpi);
        writer.setPageLayout(QPageLayout(QPageSize(points, QPageSize::Point, QString(), QPageSize::ExactMatch),
                                         QPageLayout::Portrait, QMarginsF()));
        QPainter painter(&writer);
        const int sheets = std::max<int>(1, int(run.Sheets.size()));
        for (int k = 0; k < sheets; ++k) {
            if (k > 0)
                writer.newPage();
            PaintLabelSheet(painter, run, k, banner, options);
        }
    }
    return PackPdfObjects(buffer.data());
}

bool SaveLabelRunPdf(const QByteArray& pdf, const QString& fileName, QString* error)
{
    return ReplaceFileWhole(fileName, pdf, error);
}
