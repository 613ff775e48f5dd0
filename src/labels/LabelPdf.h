#pragma once
#include "labels/LabelPainter.h"

#include <QByteArray>
#include <QString>

// The run's sheets as one PDF, a page of the sheet's size per sheet, nothing scaled: the
// text as real text, set as on the printed page. The same document goes to the printer.
QByteArray LabelRunPdf(const LabelRun& run, const QImage* banner, const LabelPaintOptions& options,
                       const QString& title);

// Writes it into fileName, replacing the file whole; false with the reason when that fails.
bool SaveLabelRunPdf(const QByteArray& pdf, const QString& fileName, QString* error);
