#pragma once
#include <QString>

// Which addresses a series takes, as the main window's lists show them when it starts:
// the series print, the series PDF and the group's labels all read it.
struct SeriendruckInput
{
    QString AbsenderID;
    QString GruppeID;
    QString SearchText;     // untrimmed
    int SearchColumn = 5;   // 0..4 Line1..Line5, 5 all five
    int SortChoice = 0;     // 0 none, 1..5 Line1..Line5, 6 the sort name (Line6)
};
