#pragma once
#include "labels/LabelTemplate.h"
#include "labels/MoCatalog.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// A length of the label database ("70mm", "2.5in", "36pt", "1cm", "3pc", or points without
// a unit) in points; nothing for anything else.
std::optional<double> ParseLabelLength(QStringView text);

struct LabelTemplateFile
{
    QList<LabelTemplate> Templates;  // also the ones that only name an equivalent
    QString Error;                   // German; empty when the file was read
};

// Reads one template file of the label database. Only rectangular and round-cornered labels
// on A4 and Letter sheets are kept; other shapes, roll labels and other papers are passed
// over. A file that is no well-formed template XML gives an error and no templates.
LabelTemplateFile ReadLabelTemplateFile(const QByteArray& xml, const QString& fileName);

// The label database as the program offers it.
struct LabelCatalog
{
    QList<LabelTemplate> Templates;  // equivalents resolved, sorted by maker and part
    QStringList Errors;              // one per file that could not be read

    const LabelTemplate* Find(const QString& name) const;
    QStringList Brands() const;
    // The templates of a maker (all when empty) whose maker, part and description hold
    // every word of the search, without regard to case.
    QList<const LabelTemplate*> Search(const QString& brand, const QString& words) const;
};

// The folders searched: the distribution's templates and the user's own.
QStringList LabelTemplateFolders();

// Reads every "*-templates.xml" and every user template file of the folders; a template
// that names an equivalent takes that one's sheet. Descriptions are shown in German where
// the translations have them ("Address Labels" is "Adressaufkleber"), else as written.
LabelCatalog LoadLabelCatalog(const QStringList& folders = LabelTemplateFolders(),
                              const MoCatalog& translations = LabelDescriptionsCatalog());

inline const QString kNoLabelTemplates =
    QStringLiteral("Es sind keine Etikettenvorlagen installiert (Paket glabels-data).");
