#pragma once
#include <QIcon>

// The program's own 32 x 32 pictures for the ribbon, drawn with QPainter: a subject
// (the glyph) and, for record commands, a small badge in the lower right corner.
enum class RibbonGlyph {
    Absender, Gruppe, Adresse, Banner, Kopieren, Export, Import, Namen,
    Vorschau, Einzeldruck, Seriendruck, Einstellungen, Backup, Hilfe, Info
};
enum class RibbonBadge { None, Add, Edit, Delete };

QIcon RibbonIcon(RibbonGlyph glyph, RibbonBadge badge = RibbonBadge::None);
