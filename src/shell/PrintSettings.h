#pragma once
#include <QString>

// Everything that shapes the printed envelope. Defaults are those of a missing settings file.
struct PrintSettings
{
    int PrinterIndex = -1;
    // The queue's name beside its index: positions in the list change between runs.
    QString PrinterName;
    int FormatIndex = 2;
    int Orientation = 1;  // the envelope's position: 0 lying, 1 standing (envelope/EnvelopeTurn.h)
    int Alignment = 1;    // 0 left, 1 centre, 2 right
    QString FontName = QStringLiteral("Arial");
    int SenderFontSize = 14;
    int AddressFontSize = 18;
    int DpiFactor = 10;
    int SpaceX = 0;
    int SpaceY = 0;
    bool PrintSender = true;
    bool PrintBanner = true;
    bool PrintAddress = true;
    bool PrintBlankLines = true;
    bool Swap = false;
    int BreakCount = 10;
    int MoveMode = 0;     // 0 not moved, 1 left, 2 right
    int MoveSpace = 1;

    bool operator==(const PrintSettings&) const = default;
};
