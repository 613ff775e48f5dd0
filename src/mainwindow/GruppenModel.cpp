#include "mainwindow/GruppenModel.h"

#include "store/TSQLiteTable.h"

#include <QSize>

int GruppenModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_items.size());
}

QVariant GruppenModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole || role == Qt::ToolTipRole)
        return m_items[size_t(index.row())].name;
    if (role == Qt::SizeHintRole)
        return QSize(0, 20);
    return {};
}

void GruppenModel::Load(TSQLiteTable& t)
{
    // Read before the reset: a result without the columns raises and leaves the list as it was.
    std::vector<Item> items;
    if (t.Count() > 0) {
        items.reserve(size_t(t.Count()));
        const int id = t.FieldIndex(QStringLiteral("Gruppe_ID"));
        const int name = t.FieldIndex(QStringLiteral("Name"));
        for (t.First(); !t.Eof(); t.Next())
            items.push_back({t.FieldAsString(name), {t.FieldAsString(id)}});
    }
    beginResetModel();
    m_items = std::move(items);
    endResetModel();
}

void GruppenModel::Clear()
{
    beginResetModel();
    m_items.clear();
    endResetModel();
}

QString GruppenModel::GruppeID(int row) const
{
    return (row >= 0 && row < rowCount()) ? m_items[size_t(row)].data.Gruppe_ID : QString();
}

int GruppenModel::RowOf(const QString& gruppeId) const
{
    for (size_t i = 0; i < m_items.size(); ++i)
        if (m_items[i].data.Gruppe_ID == gruppeId)
            return int(i);
    return -1;
}
