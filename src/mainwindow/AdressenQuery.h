#pragma once
#include "store/TSQLiteDatabase.h"

#include <QString>
#include <QStringList>

// What the address list shows: the group and the options bar's state.
struct AdressenFilter
{
    QString GruppeID;
    int ViewMode = 0;    // 0 all, 1 only active, 2 only inactive
    QString SearchText;  // as typed, not trimmed; empty means no search
    int SearchLine = 0;  // 0..4 Line1..Line5, 5 all five lines
    int SortIndex = 0;   // 0 none, 1..5 Line1..Line5, 6 Line6 ("Name")

    // The caption says " - Gefiltert" for a view mode or a search.
    bool IsFiltered() const { return ViewMode != 0 || !SearchText.isEmpty(); }
};

// A statement as its lines (each followed by CR LF in sql) and the values bound to its "?".
struct SqlStatement
{
    QStringList Lines;
    SqlParams Params;
    QString Sql() const;
};

// The address query of a filter, line by line; the group and the search pattern travel
// as bound values, so a search text with quotes, "%" or "_" reaches LIKE unchanged.
SqlStatement BuildAdressenQuery(const AdressenFilter& filter);
