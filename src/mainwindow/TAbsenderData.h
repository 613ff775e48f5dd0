#pragma once
#include <QString>

// Identifier carried by each row of the sender list.
struct TAbsenderData
{
    QString Absender_ID;
};
