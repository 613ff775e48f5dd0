#include "printing/ResolutionHint.h"

#include "envelope/UmschlagRenderer.h"

#include <cmath>

namespace {

constexpr int kRuleDpi = 600;
constexpr int kRuleFactor = 10;
constexpr int kMaxFactor = 10;
// A size the settings offer; the ratio is the same for the others but for rounding.
constexpr int kSampleFontSize = 18;

double printedHeight(int dpi, int factor)
{
    const int base = factor > 0 ? dpi / factor : 0;
    if (dpi <= 0 || base <= 0)
        return 0;
    return double(UmschlagPixelSize(UmschlagPointSize(kSampleFontSize, base))) / dpi;
}

bool aboutOne(double scale)
{
    return std::abs(scale - 1.0) < 0.1;
}

QString germanNumber(double value, int decimals)
{
    return QString::number(value, 'f', decimals).replace(QLatin1Char('.'), QLatin1Char(','));
}

// "4-mal so groß", "1,2-mal so groß", "nur 25 % so groß".
QString sizeWords(double scale)
{
    if (scale < 1.0)
        return QStringLiteral("nur %1 % so groß").arg(std::lround(scale * 100));
    const double whole = std::round(scale);
    const QString n = std::abs(scale - whole) < 0.05 ? germanNumber(whole, 0) : germanNumber(scale, 1);
    return QStringLiteral("%1-mal so groß").arg(n);
}

} // namespace

double PrintedTextScale(int dpi, int dpiFactor)
{
    return printedHeight(dpi, dpiFactor) / printedHeight(kRuleDpi, kRuleFactor);
}

int FactorKeepingSize(int dpi)
{
    int best = kRuleFactor;
    double bestDistance = INFINITY;
    for (int f = 1; f <= kMaxFactor; ++f) {
        const double scale = PrintedTextScale(dpi, f);
        if (scale <= 0)
            continue;
        // Nearest as a ratio: 1.2 times is as near as 1 / 1.2.
        const double distance = std::abs(std::log(scale));
        if (distance < bestDistance) {
            best = f;
            bestDistance = distance;
        }
    }
    return best;
}

QString ResolutionHintText(int dpi, int dpiFactor)
{
    if (dpi <= 0 || (dpi == kRuleDpi && dpiFactor == kRuleFactor))
        return QString();
    const double scale = PrintedTextScale(dpi, dpiFactor);
    const int keep = FactorKeepingSize(dpi);
    const double kept = PrintedTextScale(dpi, keep);
    QString text = QStringLiteral("Die Schriftgrößen der Einstellungen gelten für 600 dpi mit dem Umrechnungsfaktor 10. ");
    if (keep == dpiFactor && aboutOne(scale))
        return text + QStringLiteral("Bei %1 dpi hält der Umrechnungsfaktor %2 die Schrift etwa so groß.")
                          .arg(dpi)
                          .arg(dpiFactor);
    if (scale <= 0)
        text += QStringLiteral("Bei %1 dpi ergibt der Umrechnungsfaktor %2 keine Schriftgröße.").arg(dpi).arg(dpiFactor);
    else
        text += QStringLiteral("Bei %1 dpi und dem Umrechnungsfaktor %2 wird die Schrift %3 gedruckt.")
                    .arg(dpi)
                    .arg(dpiFactor)
                    .arg(sizeWords(scale));
    if (keep != dpiFactor) {
        text += aboutOne(kept)
                    ? QStringLiteral(" Mit dem Umrechnungsfaktor %1 bleibt sie etwa so groß wie bei 600 dpi.").arg(keep)
                    : QStringLiteral(" Am nächsten an der Größe bei 600 dpi ist sie mit dem Umrechnungsfaktor %1 (%2).")
                          .arg(keep)
                          .arg(sizeWords(kept));
    } else {
        text += QStringLiteral(" Kein Umrechnungsfaktor bringt sie bei dieser Auflösung näher an die Größe bei 600 dpi.");
    }
    return text;
}
