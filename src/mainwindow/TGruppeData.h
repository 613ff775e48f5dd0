#pragma once
#include <QString>

// Identifier carried by each item of the group list.
struct TGruppeData
{
    QString Gruppe_ID;
};
