#include "mainwindow/AdressenModel.h"

#include "app/BlankText.h"

#include <QColor>

const QColor& AdressenModel::InactiveColor()
{
    static const QColor grey(112, 111, 119);
    return grey;
}

int AdressenModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_table.Count();
}

int AdressenModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant AdressenModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || !inside(index.row(), index.column()))
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return Cell(index.row(), index.column());
    case Qt::TextAlignmentRole:
        if (index.column() == ColNr)
            return int(Qt::AlignRight | Qt::AlignVCenter);
        return {};
    case Qt::ForegroundRole:
        if (IsBlank(Cell(index.row(), ColAktiv)))
            return InactiveColor();
        return {};
    default:
        return {};
    }
}

QVariant AdressenModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case ColNr:
        return QStringLiteral("Nr");
    case ColName:
        return QStringLiteral("Name");
    case ColAktiv:
        return QStringLiteral("Aktiv");
    default:
        return QStringLiteral("Zeile %1").arg(section);
    }
}

void AdressenModel::Load(TSQLiteTable&& t)
{
    beginResetModel();
    // An empty result has no column names to look up.
    if (t.Count() > 0) {
        m_id = t.FieldIndex(QStringLiteral("Adresse_ID"));
        m_gruppe = t.FieldIndex(QStringLiteral("Gruppe_ID"));
        m_aktiv = t.FieldIndex(QStringLiteral("Aktiv"));
        for (int i = 0; i < 6; ++i)
            m_lines[i] = t.FieldIndex(QStringLiteral("Line%1").arg(i + 1));
    }
    m_table = std::move(t);
    m_changed.clear();
    endResetModel();
}

void AdressenModel::Extend(TSQLiteTable&& whole)
{
    const int shown = rowCount();
    // Fewer rows than shown: the group changed in between, so the list starts afresh.
    if (whole.Count() < shown) {
        Load(std::move(whole));
        return;
    }
    if (whole.Count() == shown) {
        m_table = std::move(whole);
        return;
    }
    beginInsertRows({}, shown, whole.Count() - 1);
    m_table = std::move(whole);
    endInsertRows();
}

void AdressenModel::Clear()
{
    Load(TSQLiteTable());
}

bool AdressenModel::inside(int row, int column) const
{
    return row >= 0 && row < rowCount() && column >= 0 && column < ColumnCount;
}

QString AdressenModel::loaded(int row, int column) const
{
    switch (column) {
    case ColNr:
        return QString::number(row + 1);
    case ColAktiv:
        return m_table.CellAsString(row, m_aktiv) == QLatin1String("1") ? QStringLiteral("X") : QString();
    default:
        return m_table.CellAsString(row, m_lines[column - 1]);
    }
}

QString AdressenModel::Cell(int row, int column) const
{
    if (!inside(row, column))
        return QString();
    if (!m_changed.isEmpty()) {
        const auto it = m_changed.constFind(key(row, column));
        if (it != m_changed.constEnd())
            return *it;
    }
    return loaded(row, column);
}

void AdressenModel::SetCell(int row, int column, const QString& text)
{
    if (!inside(row, column))
        return;
    m_changed.insert(key(row, column), text);
    if (column == ColAktiv)
        emit dataChanged(index(row, 0), index(row, ColumnCount - 1));
    else
        emit dataChanged(index(row, column), index(row, column));
}

std::optional<TAdresseData> AdressenModel::Data(int row) const
{
    if (row < 0 || row >= rowCount())
        return std::nullopt;
    return TAdresseData{m_table.CellAsString(row, m_id), m_table.CellAsString(row, m_gruppe)};
}

QString AdressenModel::RowID(int row) const
{
    return row >= 0 && row < rowCount() ? m_table.CellAsString(row, m_id) : QString();
}
