#pragma once
// Raster laser queues that write what the printer would get into a file, and a reader for
// those files. The three queues differ only in which way the spooler turns a landscape page
// (the PPD's *LandscapeOrientation), so a test can check that the ink lands at the same
// place on the sheet whichever way a printer's driver is set up.
// scripts/test-cups-raster.sh makes the queues; their PPD has uneven margins (12 pt left,
// 18 pt bottom, 24 pt right, 30 pt top), A4 by default, DL, 300 and 600 dpi, the trays
// Auto, Main and Manual, and 8-bit grey output.
#include "support/CupsQueue.h"

#include <QImage>
#include <QList>
#include <QRect>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <cups/raster.h>
#include <optional>

namespace RasterQueue {

inline const QString kPlus90 = QStringLiteral("Tavisto_Raster_Plus90");
inline const QString kMinus90 = QStringLiteral("Tavisto_Raster_Minus90");
inline const QString kNone = QStringLiteral("Tavisto_Raster_None");
inline const QStringList kQueues = {kPlus90, kMinus90, kNone};

// The file the queue's device writes (the spooler empties it at the start of each job).
QString rasterFile(const QString& queue);

// True when all three queues exist and their files can be emptied and read by this user.
bool queuesReady();
// Runs scripts/test-cups-raster.sh when the queues are not ready; why holds its output.
bool ensureRasterQueues(QString& why);

// Empties the queue's file, so that a page found afterwards belongs to the next job.
bool clearRaster(const QString& queue);

struct RasterPage
{
    cups_page_header2_t header{};
    // Grayscale8 for grey and black output (white is 255 whichever way the printer counts),
    // RGB888 for colour.
    QImage image;
};

// Every complete page of a CUPS or PWG raster file; a page cut short ends the list. why,
// when given, says what stopped the reading early.
QList<RasterPage> readRaster(const QString& file, QString* why = nullptr);
// The first page of the file, when there is a complete one.
std::optional<RasterPage> readFirstPage(const QString& file, QString* why = nullptr);

// Waits (up to two minutes) until the job has finished and the queue's file holds at least
// one complete page; returns the pages, none when the job failed or nothing came in time.
QList<RasterPage> waitForRaster(const QString& queue, int jobId, QString* why = nullptr);

// The smallest rectangle around every pixel darker than mid grey (grey value below 128),
// in pixels, within region when one is given; empty when there is no ink.
QRect inkBox(const QImage& image, const QRect& region = QRect());
// Pixels of a page turned into millimetres from the sheet's top left corner, at the page's
// HWResolution.
QRectF toMillimetres(const QRect& pixels, const cups_page_header2_t& header);
QRect toPixels(const QRectF& millimetres, const cups_page_header2_t& header);

} // namespace RasterQueue

// Under CI the raster printing tests must run (CupsQueue.h's TAVISTO_REQUIRE_SETUP).
#define TAVISTO_REQUIRE_RASTER_QUEUES()                                                                                \
    TAVISTO_REQUIRE_SETUP(RasterQueue::ensureRasterQueues, "the raster queues of scripts/test-cups-raster.sh")
