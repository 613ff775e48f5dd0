#include "uikit/InstalledFonts.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>

#include <algorithm>

QStringList InstalledFontNames()
{
    QStringList names = QFontDatabase::families();
    const QString arial = QStringLiteral("Arial");
    if (!names.contains(arial, Qt::CaseInsensitive)) {
        // Drawn with one of its metric twins, or at least with another face than a name the
        // system does not know at all.
        const QString resolved = QFontInfo(QFont(arial)).family();
        const QString fallback = QFontInfo(QFont(QStringLiteral("Tavisto-no-such-face"))).family();
        const bool twin = resolved == QLatin1String("Liberation Sans") || resolved == QLatin1String("Arimo");
        if (!resolved.isEmpty() && (twin || resolved != fallback))
            names << arial;
    }
    std::sort(names.begin(), names.end(),
              [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    return names;
}
