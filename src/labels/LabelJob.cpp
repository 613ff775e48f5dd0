#include "labels/LabelJob.h"

#include "envelope/GlyphTextPainter.h"

#include <QDir>
#include <QLocale>
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


namespace {

// The paper as people call it: "A4", "Letter", else its size.
QString paperName(const QByteArray& media, const QSizeF& size)
{
    const struct
    {
        const char* prefix;
        const char* name;
    } known[] = {{"iso_a4_", "A4"}, {"na_letter_", "Letter"}, {"na_legal_", "Legal"}, {"iso_a5_", "A5"},
                 {"iso_a3_", "A3"}, {"A4", "A4"}, {"Letter", "Letter"}};
    for (const auto& k : known)
        if (media.startsWith(k.prefix))
            return QString::fromLatin1(k.name);
    const QLocale de(QLocale::German);
    return QStringLiteral("%1 × %2 mm")
        .arg(de.toString(size.width() / 100.0, 'f', 0), de.toString(size.height() / 100.0, 'f', 0));
}

QString templatePaper(const LabelTemplate& t)
{
    return t.PaperId == QLatin1String("US-Letter") ? QStringLiteral("Letter") : t.PaperId;
}

int labelCount(const LabelRun& run)
{
    int n = 0;
    for (const auto& sheet : run.Sheets)
        n += int(sheet.size());
    return n;
}

QString labelsOnSheets(const LabelRun& run)
{
    const int labels = labelCount(run);
    const int sheets = std::max<int>(1, int(run.Sheets.size()));
    return QStringLiteral("%1 %2 auf %3 %4")
        .arg(labels)
        .arg(labels == 1 ? QStringLiteral("Etikett") : QStringLiteral("Etiketten"))
        .arg(sheets)
        .arg(sheets == 1 ? QStringLiteral("Bogen") : QStringLiteral("Bögen"));
}

} // namespace

QString MissingPaperText(const QString& printer, const LabelTemplate& t, const PrinterSheet& sheet)
{
    // A queue that knows the paper names it as asked; one that does not gives its default.
    const QSizeF own = t.PageSize * (kSheetUnitsPerInch / 72.0);
    const bool sameSize = std::abs(sheet.size.width() - own.width()) <= 100 &&
                          std::abs(sheet.size.height() - own.height()) <= 100;
    if (sheet.media == t.Media() || sameSize)
        return QString();
    const QString wanted = templatePaper(t);
    return QStringLiteral("Der Drucker „%1“ kennt das Papier „%2“ nicht. Er würde die Etiketten auf sein Papier „%3“ "
                          "drucken; dort liegen sie verschoben oder werden abgeschnitten.\n\n"
                          "Wählen Sie einen Drucker, der %2 kennt, oder ein Etikettenprodukt auf %3.")
        .arg(printer, wanted, paperName(sheet.media, sheet.size));
}

QString LabelPrintQuestion(const QString& printer, const LabelTemplate& t, const LabelRun& run)
{
    return QStringLiteral("Drucker: %1\n%2 „%3“ (%4)\n\nSollen die Etiketten gedruckt werden?")
        .arg(printer, labelsOnSheets(run), t.Name(), templatePaper(t));
}

QString LabelPdfSavedText(const LabelRun& run, const QString& fileName)
{
    return QStringLiteral("%1 %2 als PDF-Datei gespeichert:\n%3")
        .arg(labelsOnSheets(run), labelCount(run) == 1 ? QStringLiteral("wurde") : QStringLiteral("wurden"),
             QDir::toNativeSeparators(fileName));
}
