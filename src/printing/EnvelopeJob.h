#pragma once
#include "printing/PrintService.h"

class QImage;
class QRect;
class QString;

// Prints the picture as one job of one page, placed by the alignment at the top of the
// printable area. A failure while the job is open abandons it, so a half-drawn page never
// reaches the printer, and passes on.
void PrintEnvelopeJob(PrintService& printer, int alignment, const QImage& bitmap, const QString& title);

// Copies the whole picture into the rectangle of the open page.
void DrawBitmapOnPage(PrintService& page, const QRect& rectangle, const QImage& bitmap);

// Remembers the printer's orientation and sets it back on every way out.
class OrientationGuard
{
public:
    explicit OrientationGuard(PrintService& service) : m_service(service), m_saved(service.Orientation()) {}
    ~OrientationGuard();
    OrientationGuard(const OrientationGuard&) = delete;
    OrientationGuard& operator=(const OrientationGuard&) = delete;

private:
    PrintService& m_service;
    PageOrientation m_saved;
};
