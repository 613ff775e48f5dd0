#pragma once
#include "envelope/PackedAddresses.h"
#include "envelope/SeriendruckInput.h"
#include "envelope/UmschlagRenderer.h"

#include <QImage>
#include <QList>
#include <QString>

#include <functional>
#include <optional>

struct AppContext;
struct PrintSettings;

// What one PDF of a series holds, read once before anything is written.
struct PdfSeries
{
    AddressLines Sender;
    QImage Banner;  // null when the sender has none or it is not printed
    PackedAddresses Addresses;  // the series' addresses in its order
    QString GruppeName;
};

// The sender, its banner when the settings print it, and every address that the series
// print would print for the input, taken by the series' own statement; nothing when the
// sender does not exist. A banner that cannot be decoded is reported and left out.
std::optional<PdfSeries> ReadPdfSeries(AppContext& ctx, const SeriendruckInput& input);

struct PdfWriteOutcome
{
    enum Result { Written, Cancelled, Failed };
    Result Status;
    QString Error;  // why it failed, German
};

// Before page k of n (counted from 0): false ends the export there.
using PdfPageStep = std::function<bool(int k, int n)>;
// While the pages are written into the file, in thousandths: false ends the export there.
using PdfFileStep = std::function<bool(int permille)>;

// Writes one page per address, each the envelope itself, laid out as the printed picture
// at dpi; a standing envelope's page is the lying picture shown turned. The pages go to a
// scratch file as they are made, then into a temporary file beside fileName that replaces
// it only when all of it is written. A cancelled or failed export leaves no file behind and
// an older file as it was.
PdfWriteOutcome WritePdfSeries(const PdfSeries& series, const PrintSettings& settings, int dpi,
                               const QString& fileName, const PdfPageStep& step = {},
                               const PdfFileStep& writing = {});
