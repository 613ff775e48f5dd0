#pragma once
#include <QByteArray>
#include <QList>
#include <QMarginsF>
#include <QSizeF>
#include <QString>

#include <map>

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
};

// What the user set for one printer in its properties dialog: option name to value. It
// stays with that printer for the run and goes with every job sent to it.
using PrinterChoices = std::map<QByteArray, QByteArray>;

// A sheet of paper and its printable area, in hundredths of a millimetre, portrait.
struct PrinterSheet
{
    QByteArray media;
    QSizeF size;
    QMarginsF margins;  // left, top, right, bottom
};

// The job resolution unless the user chose another of the queue's resolutions: the
// renderer's font sizes are made for it.
constexpr int kDefaultJobResolution = 600;

// The horizontal resolution of a "printer-resolution" value ("300dpi", "600x300dpi"),
// 0 when it is none.
int ResolutionOfChoice(const QByteArray& value);
