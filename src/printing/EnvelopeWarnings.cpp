#include "printing/EnvelopeWarnings.h"

#include "app/AppContext.h"
#include "app/BlankText.h"
#include "printing/CupsDestination.h"
#include "printing/ConfiguredPrinter.h"
#include "printing/PrintService.h"
#include "envelope/UmschlagFormat.h"
#include "shell/MessageService.h"

#include <cmath>

namespace {

// A series names this many records; the rest are counted.
constexpr int kNamedRecords = 15;

QString recordName(const AddressLines& lines)
{
    for (const QString& line : lines)
        if (!IsBlank(line))
            return TrimBlanks(line);
    return QString();
}

QString quoted(const QString& text)
{
    return QStringLiteral("„") + text + QStringLiteral("“");
}

QString recordText(const CutRecord& r)
{
    QStringList lines;
    for (const QString& line : r.Lines)
        lines << quoted(TrimBlanks(line));
    const QString cut = lines.size() == 1
                            ? QStringLiteral("Die Zeile %1 wird am rechten Rand abgeschnitten.").arg(lines.first())
                            : QStringLiteral("Die Zeilen %1 werden am rechten Rand abgeschnitten.")
                                  .arg(lines.join(QStringLiteral(", ")));
    return (r.Sender ? QStringLiteral("Der Absender %1 passt nicht auf den Umschlag. ")
                     : QStringLiteral("Die Adresse %1 passt nicht auf den Umschlag. "))
               .arg(quoted(r.Name)) +
           cut;
}

QString paperName(const PrinterSheet& sheet)
{
    const QString label = MediaLabel(sheet.media);
    if (label.endsWith(QLatin1String("mm)")))
        return label;
    const QString size = QStringLiteral("%1 × %2 mm")
                             .arg(std::lround(sheet.size.width() / 100.0))
                             .arg(std::lround(sheet.size.height() / 100.0));
    return label.isEmpty() ? size : label + QStringLiteral(" (") + size + QLatin1Char(')');
}

} // namespace

QList<CutRecord> CutRecordsOf(const std::vector<CutLine>& cut, const AddressLines& sender,
                              const AddressLines& address, bool swap)
{
    CutRecord s{true, recordName(sender), {}};
    CutRecord a{false, recordName(address), {}};
    for (const CutLine& line : cut)
        (line.Lower != swap ? a : s).Lines << line.Text;
    QList<CutRecord> records;
    if (!s.Lines.isEmpty())
        records << s;
    if (!a.Lines.isEmpty())
        records << a;
    return records;
}

QString CutLinesWarning(const QList<CutRecord>& records)
{
    QStringList texts;
    bool senderNamed = false;
    int left = 0;
    for (const CutRecord& r : records) {
        if (r.Sender) {
            if (senderNamed)
                continue;
            senderNamed = true;
        } else if (texts.size() >= kNamedRecords) {
            ++left;
            continue;
        }
        texts << recordText(r);
    }
    if (left == 1)
        texts << QStringLiteral("Dazu eine weitere Adresse.");
    else if (left > 1)
        texts << QStringLiteral("Dazu %1 weitere Adressen.").arg(left);
    return texts.join(QLatin1Char('\n'));
}

QString PaperWarning(AppContext& ctx, const QSize& picture)
{
    PrintService& printer = *ctx.Printer;
    const QString name = printer.Printers().value(printer.PrinterIndex());
    const PageTurn turn = PageTurnFor(PageOrientationFor(ctx.Print().Orientation), LandscapeTurnFor(ctx, name));
    const PrinterSheet sheet = printer.Sheet();
    if (sheet.size.isEmpty() || FitsOnSheet(picture, printer.ResolutionX(), sheet, turn))
        return QString();
    return QStringLiteral("Der Umschlag %1 ist größer als das Papier %2, das der Drucker %3 für den Auftrag "
                          "nimmt. Was über das Papier hinausragt, wird nicht gedruckt.\n"
                          "Das Papier stellen Sie unter „Druckereigenschaften ändern...“ ein, das Umschlagformat "
                          "in den Einstellungen.")
        .arg(quoted(FormatLabel(ctx.Print().FormatIndex)), quoted(paperName(sheet)), quoted(name));
}

bool AcceptEnvelopeWarnings(AppContext& ctx, const QString& title, const QStringList& warnings)
{
    QStringList texts;
    for (const QString& w : warnings)
        if (!w.isEmpty())
            texts << w;
    if (texts.isEmpty())
        return true;
    return ctx.Messages->PrintAnyway(title, texts.join(QStringLiteral("\n\n")));
}
