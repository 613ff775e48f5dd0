#pragma once
#include "labels/LabelLayout.h"
#include "printing/PrinterOptions.h"

#include <QByteArray>
#include <QList>
#include <QString>

// The labels (numbered from 1 on their sheet) that hold text and reach beyond the printable
// area of the sheet; each number once.
QList<int> LabelsOutsidePrintable(const LabelRun& run, const PrinterSheet& sheet);

// The warning that names them; empty when there are none.
QString OutsidePrintableText(const QList<int>& labels);

// The warning that names the addresses too long for their label; empty when there are none.
QString TooLongText(const LabelRun& run, const QList<LabelText>& texts);


// The paper a printer gives the sheet when it does not know the template's own paper
// (its default instead), the warning that names both; empty when the printer knows it.
QString MissingPaperText(const QString& printer, const LabelTemplate& t, const PrinterSheet& sheet);

// The question before a print: the printer, the labels and the sheets they take.
QString LabelPrintQuestion(const QString& printer, const LabelTemplate& t, const LabelRun& run);

// The message after the PDF was saved: how many labels on how many sheets, and where.
QString LabelPdfSavedText(const LabelRun& run, const QString& fileName);
