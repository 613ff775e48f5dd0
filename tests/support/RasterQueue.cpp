#include "support/RasterQueue.h"

#include "support/CupsQueue.h"

#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <cups/cups.h>
#include <fcntl.h>
#include <unistd.h>

namespace RasterQueue {

QString rasterFile(const QString& queue)
{
    return QStringLiteral("/var/spool/tavisto-raster/%1.pwg").arg(queue);
}

namespace {

bool queueExists(const QString& queue)
{
    cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, queue.toUtf8().constData(), nullptr);
    cupsFreeDests(dest ? 1 : 0, dest);
    return dest != nullptr;
}

// The job's state as the scheduler reports it; 0 when it does not know the job.
int jobState(int jobId)
{
    ipp_t* request = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
    const QByteArray uri = "ipp://localhost/jobs/" + QByteArray::number(jobId);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "job-uri", nullptr, uri.constData());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr, "job-state");
    ipp_t* response = cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/");
    ipp_attribute_t* state = response ? ippFindAttribute(response, "job-state", IPP_TAG_ENUM) : nullptr;
    const int value = state ? ippGetInteger(state, 0) : 0;
    ippDelete(response);
    return value;
}

// One line of samples into 8 bits per sample, 255 meaning white for grey.
// Black (K) counts ink up from 0, grey (W, SW) counts light, hence the inversion.
void lineToImage(const cups_page_header2_t& h, const unsigned char* in, uchar* out)
{
    const unsigned w = h.cupsWidth;
    const bool inkCounts = h.cupsColorSpace == CUPS_CSPACE_K;
    const bool colour = h.cupsNumColors == 3;
    const unsigned samples = colour ? w * 3 : w;
    switch (h.cupsBitsPerColor) {
    case 1:
        for (unsigned x = 0; x < w; ++x) {
            const bool set = in[x / 8] & (0x80 >> (x % 8));
            out[x] = (set != inkCounts) ? 255 : 0;
        }
        break;
    case 8:
        for (unsigned i = 0; i < samples; ++i)
            out[i] = inkCounts ? 255 - in[i] : in[i];
        break;
    case 16: {
        // cupsRasterReadPixels hands 16-bit samples over in the machine's byte order.
        const auto* in16 = reinterpret_cast<const uint16_t*>(in);
        for (unsigned i = 0; i < samples; ++i)
            out[i] = inkCounts ? 255 - (in16[i] >> 8) : (in16[i] >> 8);
        break;
    }
    }
}

// Null when the page's layout is not one this reader knows (why says which).
QImage imageFor(const cups_page_header2_t& h, QString& why)
{
    const bool grey = h.cupsColorSpace == CUPS_CSPACE_K || h.cupsColorSpace == CUPS_CSPACE_W ||
                      h.cupsColorSpace == CUPS_CSPACE_SW;
    const bool rgb = h.cupsColorSpace == CUPS_CSPACE_RGB || h.cupsColorSpace == CUPS_CSPACE_SRGB ||
                     h.cupsColorSpace == CUPS_CSPACE_ADOBERGB;
    const unsigned bits = h.cupsBitsPerColor;
    const bool ok = h.cupsColorOrder == CUPS_ORDER_CHUNKED &&
                    ((grey && (bits == 1 || bits == 8 || bits == 16)) || (rgb && (bits == 8 || bits == 16))) &&
                    h.cupsNumColors == (grey ? 1u : 3u) && h.cupsWidth > 0 && h.cupsHeight > 0 &&
                    h.cupsBytesPerLine >= (h.cupsWidth * h.cupsBitsPerPixel + 7) / 8;
    if (!ok) {
        why = QStringLiteral("unsupported raster page: colour space %1, %2 bits, order %3, %4 colours")
                  .arg(h.cupsColorSpace)
                  .arg(bits)
                  .arg(h.cupsColorOrder)
                  .arg(h.cupsNumColors);
        return {};
    }
    QImage image(int(h.cupsWidth), int(h.cupsHeight), grey ? QImage::Format_Grayscale8 : QImage::Format_RGB888);
    if (image.isNull())
        why = QStringLiteral("no memory for a %1 x %2 page").arg(h.cupsWidth).arg(h.cupsHeight);
    return image;
}

} // namespace

bool queuesReady()
{
    for (const QString& q : kQueues) {
        const QFileInfo file(rasterFile(q));
        if (!queueExists(q) || !file.isReadable() || !file.isWritable())
            return false;
    }
    return true;
}

bool ensureRasterQueues(QString& why)
{
    return CupsQueue::runSetup(QStringLiteral("test-cups-raster.sh"), queuesReady, why);
}

bool clearRaster(const QString& queue)
{
    // Emptied in place, not removed: the scheduler, running as root, would otherwise make a
    // new file that only root may read.
    QFile f(rasterFile(queue));
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate);
}

QList<RasterPage> readRaster(const QString& file, QString* why)
{
    QList<RasterPage> pages;
    QString reason;
    const int fd = ::open(QFile::encodeName(file).constData(), O_RDONLY);
    if (fd < 0) {
        if (why)
            *why = QStringLiteral("cannot open %1").arg(file);
        return pages;
    }
    cups_raster_t* ras = cupsRasterOpen(fd, CUPS_RASTER_READ);
    if (!ras)
        reason = QStringLiteral("%1 is no CUPS or PWG raster file").arg(file);
    cups_page_header2_t header;
    while (ras && cupsRasterReadHeader2(ras, &header)) {
        QImage image = imageFor(header, reason);
        if (image.isNull())
            break;
        QByteArray line(int(header.cupsBytesPerLine), Qt::Uninitialized);
        auto* buffer = reinterpret_cast<unsigned char*>(line.data());
        unsigned y = 0;
        for (; y < header.cupsHeight; ++y) {
            if (cupsRasterReadPixels(ras, buffer, header.cupsBytesPerLine) != header.cupsBytesPerLine)
                break;
            lineToImage(header, buffer, image.scanLine(int(y)));
        }
        if (y < header.cupsHeight) {
            reason = QStringLiteral("page %1 ends after %2 of %3 lines").arg(pages.size() + 1).arg(y).arg(header.cupsHeight);
            break;
        }
        pages.append({header, image});
    }
    if (ras)
        cupsRasterClose(ras);
    ::close(fd);
    if (pages.isEmpty() && reason.isEmpty())
        reason = QStringLiteral("%1 holds no complete page header").arg(file);
    if (why)
        *why = reason;
    return pages;
}

std::optional<RasterPage> readFirstPage(const QString& file, QString* why)
{
    QList<RasterPage> pages = readRaster(file, why);
    if (pages.isEmpty())
        return std::nullopt;
    return pages.first();
}

QList<RasterPage> waitForRaster(const QString& queue, int jobId, QString* why)
{
    // The scheduler writes the device file while the job runs and closes it before it
    // calls the job completed, so only then is every page there.
    int state = 0;
    const bool finished = QTest::qWaitFor(
        [&] {
            state = jobState(jobId);
            return state >= IPP_JSTATE_STOPPED;
        },
        120000);
    if (!finished || state != IPP_JSTATE_COMPLETED) {
        if (why)
            *why = finished ? QStringLiteral("job %1 ended in state %2").arg(jobId).arg(state)
                            : QStringLiteral("job %1 not finished after two minutes (state %2)").arg(jobId).arg(state);
        return {};
    }
    QList<RasterPage> pages;
    QString reason;
    // Completed but the file still short would be a fault of the queue; give it a little time.
    const bool read =
        QTest::qWaitFor([&] { return !(pages = readRaster(rasterFile(queue), &reason)).isEmpty(); }, 5000);
    if (why)
        *why = !read ? QStringLiteral("job %1 completed, but %2 holds no complete page: %3")
                                     .arg(jobId)
                                     .arg(rasterFile(queue), reason)
                               : QString();
    return pages;
}

QRect inkBox(const QImage& image, const QRect& region)
{
    const QRect r = region.isNull() ? image.rect() : region.intersected(image.rect());
    if (r.isEmpty())
        return {};
    const QImage grey =
        image.format() == QImage::Format_Grayscale8 ? image : image.convertToFormat(QImage::Format_Grayscale8);
    int left = INT_MAX, top = INT_MAX, right = -1, bottom = -1;
    for (int y = r.top(); y <= r.bottom(); ++y) {
        const uchar* line = grey.constScanLine(y);
        int first = -1, last = -1;
        for (int x = r.left(); x <= r.right(); ++x)
            if (line[x] < 128) {
                first = x;
                break;
            }
        if (first < 0)
            continue;
        for (int x = r.right(); x >= first; --x)
            if (line[x] < 128) {
                last = x;
                break;
            }
        left = std::min(left, first);
        right = std::max(right, last);
        top = std::min(top, y);
        bottom = y;
    }
    if (right < 0)
        return {};
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

QRectF toMillimetres(const QRect& pixels, const cups_page_header2_t& header)
{
    const double sx = 25.4 / header.HWResolution[0];
    const double sy = 25.4 / header.HWResolution[1];
    // A pixel box covers its last pixel too: right edge is x + width.
    return QRectF(pixels.x() * sx, pixels.y() * sy, pixels.width() * sx, pixels.height() * sy);
}

QRect toPixels(const QRectF& millimetres, const cups_page_header2_t& header)
{
    const double sx = header.HWResolution[0] / 25.4;
    const double sy = header.HWResolution[1] / 25.4;
    return QRect(qRound(millimetres.x() * sx), qRound(millimetres.y() * sy), qRound(millimetres.width() * sx),
                 qRound(millimetres.height() * sy));
}

} // namespace RasterQueue
