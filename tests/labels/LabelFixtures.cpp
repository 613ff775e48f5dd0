#include "LabelFixtures.h"

#include "support/InkProbe.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

const LabelCatalog& InstalledCatalog()
{
    static const LabelCatalog catalog = LoadLabelCatalog({QStringLiteral("/usr/share/libglabels-3.0/templates")});
    return catalog;
}

const LabelTemplate& InstalledTemplate(const QString& name)
{
    const LabelTemplate* t = InstalledCatalog().Find(name);
    if (!t) {
        ADD_FAILURE() << "template " << name.toStdString() << " is not installed (glabels-data)";
        static const LabelTemplate none;
        return none;
    }
    return *t;
}

QList<LabelText> NumberedAddresses(int n)
{
    QList<LabelText> texts;
    for (int i = 1; i <= n; ++i)
        texts << LabelText{{QStringLiteral("Empfänger %1").arg(i), QStringLiteral("Gartenstraße %1").arg(i),
                            QString(), QStringLiteral("%1 Köln").arg(50000 + i), QString()},
                           false};
    return texts;
}

QList<QImage> RasterisePdf(const QString& pdf, int dpi)
{
    QTemporaryDir dir;
    QProcess::execute(QStringLiteral("pdftoppm"),
                      {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-gray"), QStringLiteral("-png"), pdf, dir.filePath("p")});
    // An A4 page at 600 dpi is beyond the reader's default limit.
    QImageReader::setAllocationLimit(1024);
    QList<QImage> pages;
    QStringList files = QDir(dir.path()).entryList({QStringLiteral("p*.png")}, QDir::Files, QDir::Name);
    for (const QString& f : files)
        pages << QImage(dir.filePath(f)).convertToFormat(QImage::Format_RGB32);
    return pages;
}

InkCheck CheckInk(const QImage& page, const LabelRun& run, int sheet, int tolerance)
{
    InkCheck check;
    // Only the filled labels may hold ink: text in a neighbour or an empty label is stray too.
    QList<QRect> allowed;
    if (sheet < int(run.Sheets.size()))
        for (const LabelBox& box : run.Sheets[size_t(sheet)])
            allowed << box.Rect.adjusted(-tolerance, -tolerance, tolerance, tolerance);
    for (int y = 0; y < page.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(page.constScanLine(y));
        for (int x = 0; x < page.width(); ++x)
            if (InkProbe::isDark(row[x]) &&
                std::none_of(allowed.begin(), allowed.end(), [&](const QRect& r) { return r.contains(x, y); }))
                ++check.Stray;
    }
    if (sheet < int(run.Sheets.size()))
        for (const LabelBox& box : run.Sheets[size_t(sheet)])
            if (InkProbe::inkBox(page, box.Rect.intersected(page.rect())).isEmpty())
                check.Empty << box.Slot;
    return check;
}
