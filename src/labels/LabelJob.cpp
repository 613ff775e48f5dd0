#include "labels/LabelJob.h"

#include "envelope/GlyphTextPainter.h"

#include <QStringList>

#include <algorithm>
#include <cmath>
#include <set>

QList<int> LabelsOutsidePrintable(const LabelRun& run, const PrinterSheet& sheet)
{
    const double perUnit = run.Dpi / kSheetUnitsPerInch;
    const QRectF printable(sheet.margins.left() * perUnit, sheet.margins.top() * perUnit,
                           run.Page.width() - (sheet.margins.left() + sheet.margins.right()) * perUnit,
                           run.Page.height() - (sheet.margins.top() + sheet.margins.bottom()) * perUnit);
    std::set<int> outside;
    for (const auto& labels : run.Sheets)
        for (const LabelBox& box : labels) {
            // What the printer must reach is the label's ink: its text and banner.
            QRect ink = box.Banner;
            for (const UmschlagLine& line : box.Lines)
                ink |= QRect(line.TopLeft,
                             QSize(GlyphTextPainter(UmschlagFont(line.FontFamily, line.PixelSize)).Shape(line.Text).Width,
                                   line.LineHeight));
            ink &= box.Rect;  // what runs past the label is cut off there
            if (!ink.isEmpty() && !printable.contains(QRectF(ink)))
                outside.insert(box.Slot + 1);
        }
    return QList<int>(outside.begin(), outside.end());
}

QString OutsidePrintableText(const QList<int>& labels)
{
    if (labels.isEmpty())
        return QString();
    QStringList numbers;
    for (int n : labels)
        numbers << QString::number(n);
    return QStringLiteral("Die Etiketten %1 liegen außerhalb des bedruckbaren Bereichs des Druckers.")
        .arg(numbers.join(QStringLiteral(", ")));
}

QString TooLongText(const LabelRun& run, const QList<LabelText>& texts)
{
    QStringList lines;
    for (int i : run.TooLong)
        lines << QStringLiteral("Die Adresse „%1“ passt nicht auf das Etikett.").arg(LabelTextName(texts.value(i)));
    return lines.join(QLatin1Char('\n'));
}

