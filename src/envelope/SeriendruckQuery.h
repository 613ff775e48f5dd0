#pragma once
#include <QString>
#include <QStringList>
#include <QVariantList>

// The statement of the series print: the active addresses of a group under the address
// list's search, in the order the list shows them. Values are bound: the
// lines carry "?" where the group or the search pattern goes.
struct SeriendruckQuery
{
    QStringList Lines;
    QVariantList Params;
    // The lines, each followed by CR LF.
    QString Sql() const;
};

SeriendruckQuery BuildSeriendruckQuery(const QString& gruppeId, const QString& searchText, int searchColumn,
                                       int sortChoice);
