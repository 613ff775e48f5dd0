#pragma once
#include "labels/LabelLayout.h"
#include "labels/LabelTemplates.h"

#include <QImage>
#include <QList>
#include <QString>

// The installed label database, read once for all tests.
const LabelCatalog& InstalledCatalog();
// A template of the installed database; the test fails when it is missing.
const LabelTemplate& InstalledTemplate(const QString& name);

// n addresses, each five lines with the number in the first ("Empfänger 7").
QList<LabelText> NumberedAddresses(int n);

// Every page of a PDF as a picture of dpi pixels per inch (pdftoppm).
QList<QImage> RasterisePdf(const QString& pdf, int dpi);

// Dark pixels of page that lie outside every filled label of the sheet (with tolerance dots of
// anti-aliasing), and the filled labels with no ink at all.
struct InkCheck
{
    int Stray = 0;
    QList<int> Empty;  // slots
};
InkCheck CheckInk(const QImage& page, const LabelRun& run, int sheet, int tolerance = 0);
