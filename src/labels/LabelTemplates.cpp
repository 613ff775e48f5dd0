#include "labels/LabelTemplates.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QStandardPaths>
#include <QXmlStreamReader>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPointsPerInch = 72.0;

std::optional<QSizeF> paperSize(const QString& id)
{
    if (id == QLatin1String("A4"))
        return QSizeF(210.0 / 25.4 * kPointsPerInch, 297.0 / 25.4 * kPointsPerInch);
    if (id == QLatin1String("US-Letter"))
        return QSizeF(8.5 * kPointsPerInch, 11.0 * kPointsPerInch);
    return std::nullopt;
}

std::optional<double> length(const QXmlStreamAttributes& a, QLatin1StringView name)
{
    return ParseLabelLength(a.value(name));
}

// One <Template>; nothing when it is not a sheet the program offers.
std::optional<LabelTemplate> readTemplate(QXmlStreamReader& xml)
{
    const QXmlStreamAttributes a = xml.attributes();
    LabelTemplate t;
    t.Brand = a.value(QLatin1String("brand")).toString().trimmed();
    t.Part = a.value(QLatin1String("part")).toString().trimmed();
    t.Description = a.value(QLatin1String("_description")).toString();
    if (t.Description.isEmpty())
        t.Description = a.value(QLatin1String("description")).toString();
    t.EquivalentOf = a.value(QLatin1String("equiv")).toString().trimmed();
    t.PaperId = a.value(QLatin1String("size")).toString();
    bool rectangle = false;
    bool otherShape = false;
    bool broken = false;
    while (xml.readNextStartElement()) {
        const auto name = xml.name();
        if (name == QLatin1String("Label-rectangle") && !rectangle) {
            rectangle = true;
            const QXmlStreamAttributes r = xml.attributes();
            const auto w = length(r, QLatin1String("width"));
            const auto h = length(r, QLatin1String("height"));
            const auto round = r.hasAttribute(QLatin1String("round")) ? length(r, QLatin1String("round")) : 0.0;
            if (!w || !h || !round || *w <= 0 || *h <= 0)
                broken = true;
            else {
                t.LabelSize = QSizeF(*w, *h);
                t.Round = *round;
            }
            while (xml.readNextStartElement()) {
                const QXmlStreamAttributes e = xml.attributes();
                if (xml.name() == QLatin1String("Markup-margin")) {
                    if (const auto m = length(e, QLatin1String("size")); m && *m >= 0)
                        t.MarkupMargin = *m;
                } else if (xml.name() == QLatin1String("Layout")) {
                    LabelTemplate::Grid g;
                    bool okX = false, okY = false;
                    g.Nx = e.value(QLatin1String("nx")).toInt(&okX);
                    g.Ny = e.value(QLatin1String("ny")).toInt(&okY);
                    const auto x0 = length(e, QLatin1String("x0"));
                    const auto y0 = length(e, QLatin1String("y0"));
                    const auto dx = e.hasAttribute(QLatin1String("dx")) ? length(e, QLatin1String("dx")) : 0.0;
                    const auto dy = e.hasAttribute(QLatin1String("dy")) ? length(e, QLatin1String("dy")) : 0.0;
                    // A sheet of more than a thousand labels is no sheet anyone prints on.
                    if (!okX || !okY || g.Nx < 1 || g.Ny < 1 || g.Nx * qint64(g.Ny) > 1000 || !x0 || !y0 || !dx ||
                        !dy)
                        broken = true;
                    else {
                        g.X0 = *x0;
                        g.Y0 = *y0;
                        g.Dx = *dx;
                        g.Dy = *dy;
                        t.Grids.append(g);
                    }
                }
                xml.skipCurrentElement();
            }
        } else if (name.startsWith(QLatin1String("Label-"))) {
            otherShape = true;
            xml.skipCurrentElement();
        } else {
            xml.skipCurrentElement();
        }
    }
    if (t.Brand.isEmpty() || t.Part.isEmpty())
        return std::nullopt;
    if (!t.EquivalentOf.isEmpty() && !rectangle && !otherShape)
        return t;  // resolved against its equivalent later
    const auto page = paperSize(t.PaperId);
    if (!page || !rectangle || otherShape || broken || t.Grids.isEmpty())
        return std::nullopt;
    t.PageSize = *page;
    t.EquivalentOf.clear();
    return t;
}

} // namespace

std::optional<double> ParseLabelLength(QStringView text)
{
    text = text.trimmed();
    double factor = 1.0;
    const struct
    {
        const char* unit;
        double points;
    } units[] = {{"pt", 1.0}, {"in", kPointsPerInch}, {"mm", kPointsPerInch / 25.4}, {"cm", kPointsPerInch / 2.54},
                 {"pc", 12.0}};
    for (const auto& u : units) {
        if (text.endsWith(QLatin1String(u.unit))) {
            factor = u.points;
            text.chop(2);
            text = text.trimmed();
            break;
        }
    }
    bool ok = false;
    const double v = text.toDouble(&ok);
    if (!ok || !std::isfinite(v) || std::abs(v) > 1e5)
        return std::nullopt;
    return v * factor;
}

LabelTemplateFile ReadLabelTemplateFile(const QByteArray& bytes, const QString& fileName)
{
    LabelTemplateFile file;
    QXmlStreamReader xml(bytes);
    if (xml.readNextStartElement()) {
        if (xml.name() != QLatin1String("Glabels-templates")) {
            file.Error = QStringLiteral("Die Datei „%1“ enthält keine Etikettenvorlagen.").arg(fileName);
            return file;
        }
        while (xml.readNextStartElement()) {
            if (xml.name() == QLatin1String("Template")) {
                if (auto t = readTemplate(xml))
                    file.Templates.append(std::move(*t));
            } else {
                xml.skipCurrentElement();
            }
        }
    }
    // Reading on to the end also finds what is broken after the root element.
    while (!xml.atEnd() && !xml.hasError())
        xml.readNext();
    if (xml.hasError()) {
        file.Templates.clear();
        file.Error = QStringLiteral("Die Etikettenvorlagen in „%1“ sind fehlerhaft (Zeile %2): %3")
                         .arg(fileName)
                         .arg(xml.lineNumber())
                         .arg(xml.errorString());
    } else if (bytes.trimmed().isEmpty()) {
        file.Error = QStringLiteral("Die Datei „%1“ enthält keine Etikettenvorlagen.").arg(fileName);
    }
    return file;
}

QStringList LabelTemplateFolders()
{
    QStringList folders;
    for (const QString& data : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation))
        folders << QDir(data).filePath(QStringLiteral("libglabels-3.0/templates"));
    folders << QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
                   .filePath(QStringLiteral("libglabels/templates"));
    folders.removeDuplicates();
    return folders;
}

LabelCatalog LoadLabelCatalog(const QStringList& folders, const MoCatalog& translations)
{
    LabelCatalog catalog;
    QList<LabelTemplate> all;
    for (const QString& folder : folders) {
        const QDir dir(folder);
        // The distribution's files end in "-templates.xml"; the user's own in ".template".
        const QStringList names =
            dir.entryList({QStringLiteral("*-templates.xml"), QStringLiteral("*.template")}, QDir::Files, QDir::Name);
        for (const QString& name : names) {
            QFile f(dir.filePath(name));
            if (!f.open(QIODevice::ReadOnly)) {
                catalog.Errors << QStringLiteral("Die Datei „%1“ kann nicht gelesen werden.").arg(f.fileName());
                continue;
            }
            LabelTemplateFile read = ReadLabelTemplateFile(f.readAll(), f.fileName());
            if (!read.Error.isEmpty())
                catalog.Errors << read.Error;
            all += read.Templates;
        }
    }
    QHash<QString, int> byName;
    for (int i = 0; i < all.size(); ++i)
        if (all[i].EquivalentOf.isEmpty())
            byName.insert(all[i].Name().toLower(), i);
    for (LabelTemplate& t : all) {
        if (t.EquivalentOf.isEmpty()) {
            catalog.Templates.append(t);
            continue;
        }
        const auto it = byName.constFind((t.Brand + QLatin1Char(' ') + t.EquivalentOf).toLower());
        if (it == byName.cend())
            continue;  // its equivalent is no sheet the program offers
        LabelTemplate copy = all[*it];
        copy.Brand = t.Brand;
        copy.Part = t.Part;
        copy.EquivalentOf = t.EquivalentOf;
        if (!t.Description.isEmpty())
            copy.Description = t.Description;
        catalog.Templates.append(copy);
    }
    for (LabelTemplate& t : catalog.Templates)
        t.Description = translations.Translate(t.Description);
    std::stable_sort(catalog.Templates.begin(), catalog.Templates.end(), [](const LabelTemplate& a, const LabelTemplate& b) {
        const int c = QString::compare(a.Brand, b.Brand, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : QString::compare(a.Part, b.Part, Qt::CaseInsensitive) < 0;
    });
    // A name found twice (a user's copy of a product) is offered once, as first read.
    auto last = std::unique(catalog.Templates.begin(), catalog.Templates.end(),
                            [](const LabelTemplate& a, const LabelTemplate& b) {
                                return a.Name().compare(b.Name(), Qt::CaseInsensitive) == 0;
                            });
    catalog.Templates.erase(last, catalog.Templates.end());
    return catalog;
}

const LabelTemplate* LabelCatalog::Find(const QString& name) const
{
    for (const LabelTemplate& t : Templates)
        if (t.Name().compare(name, Qt::CaseInsensitive) == 0)
            return &t;
    return nullptr;
}

QStringList LabelCatalog::Brands() const
{
    QStringList brands;
    for (const LabelTemplate& t : Templates)
        if (brands.isEmpty() || brands.last() != t.Brand)
            brands << t.Brand;
    brands.removeDuplicates();
    return brands;
}

QList<const LabelTemplate*> LabelCatalog::Search(const QString& brand, const QString& words) const
{
    const QStringList parts = words.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    QList<const LabelTemplate*> found;
    for (const LabelTemplate& t : Templates) {
        if (!brand.isEmpty() && t.Brand != brand)
            continue;
        const QString text = t.Name() + QLatin1Char(' ') + t.Description;
        if (std::all_of(parts.begin(), parts.end(),
                        [&](const QString& w) { return text.contains(w, Qt::CaseInsensitive); }))
            found << &t;
    }
    return found;
}
