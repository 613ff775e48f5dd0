#include "printing/EnvelopeJob.h"

#include "printing/ConfiguredPrinter.h"

#include <QImage>
#include <QRect>

void PrintEnvelopeJob(PrintService& printer, int alignment, const QImage& bitmap, const QString& title)
{
    printer.SetTitle(title);
    // The job decides its sheet when it begins: the page width is that sheet's.
    printer.BeginDoc();
    try {
        const int x = PageOffset(alignment, printer.PageWidth(), bitmap.width());
        DrawBitmapOnPage(printer, QRect(x, 0, bitmap.width(), bitmap.height()), bitmap);
        printer.EndDoc();
    } catch (...) {
        if (printer.Printing())
            printer.Abort();
        throw;
    }
}

void DrawBitmapOnPage(PrintService& page, const QRect& rectangle, const QImage& bitmap)
{
    page.DrawImage(rectangle, bitmap);
}

OrientationGuard::~OrientationGuard()
{
    try {
        m_service.SetOrientation(m_saved);
    } catch (...) {
        // The job's own error is the one to report.
    }
}
