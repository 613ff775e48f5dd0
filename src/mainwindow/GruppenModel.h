#pragma once
#include "mainwindow/TGruppeData.h"

#include <QAbstractListModel>
#include <vector>

class TSQLiteTable;

// The group list's items: the group's name, with its identifier, in the order the
// database returns them.
class GruppenModel : public QAbstractListModel
{
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;
    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    void Load(TSQLiteTable& table);
    void Clear();
    // Empty for a negative or too large index.
    QString GruppeID(int row) const;
    int RowOf(const QString& gruppeId) const;

private:
    struct Item
    {
        QString name;
        TGruppeData data;
    };
    std::vector<Item> m_items;
};
