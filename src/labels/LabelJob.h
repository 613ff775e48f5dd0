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

