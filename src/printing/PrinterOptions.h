#pragma once
#include <QByteArray>
#include <QList>
#include <QMarginsF>
#include <QSizeF>
#include <QString>

#include <map>
#include <optional>

// One choice of a printer option: the value the spooler understands and its German label.
struct PrinterChoice
{
    QByteArray value;
    QString label;
};

// One option of a queue as its properties dialog shows it ("printer-resolution", "media",
// "media-source", "sides", ...). An empty value means: the program's own default.
struct PrinterOption
{
    QByteArray name;
    QString label;
    QList<PrinterChoice> choices;
    QByteArray current;
    // Whether current is the user's own choice (else the queue's or the instance's default,
    // which stays in charge until the user picks another value).
    bool chosen = false;
};

// What the user set for one printer in its properties dialog: option name to value (empty:
// nothing chosen). It stays with that printer for the run and goes with every job sent to it.
using PrinterChoices = std::map<QByteArray, QByteArray>;

// A sheet of paper and its printable area, in hundredths of a millimetre, portrait.
struct PrinterSheet
{
    QByteArray media;
    QSizeF size;
    QMarginsF margins;  // left, top, right, bottom
};
constexpr double kSheetUnitsPerInch = 2540.0;

// The job resolution unless the user chose another of the queue's resolutions: the
// renderer's font sizes are made for it.
constexpr int kDefaultJobResolution = 600;
// Finer choices ("2880x1440dpi") go to the driver as they are, but the picture stays at
// this: a C4 envelope at 2880 dpi would need gigabytes for nothing a reader can see.
constexpr int kMaxPictureResolution = 1200;

// The resolution the picture is rendered at for a "printer-resolution" value ("300dpi",
// "600x300dpi"): the smaller of its two figures, at most kMaxPictureResolution; 0 when the
// value is none.
int ResolutionOfChoice(const QByteArray& value);

// The host and port of a network printer's device URI (ipp, ipps, http, https, socket,
// lpd); none for local devices and for URIs that need a discovery service to resolve.
struct DeviceAddress
{
    QByteArray host;
    int port = 0;
};
std::optional<DeviceAddress> NetworkDevice(const QByteArray& deviceUri);
// How long a network printer may take to accept a connection before a job.
constexpr int kDeviceProbeMs = 4000;

// The options a job is sent with: the queue's own (the instance's and the user's defaults
// included; its state and description left out), what the user chose on top, the paper the
// page was made for, a portrait page that the spooler must neither turn nor scale, and one
// side unless the user chose duplex.
PrinterChoices JobOptions(const PrinterChoices& queueOptions, const PrinterChoices& chosen, const QByteArray& media);
