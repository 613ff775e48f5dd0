#include "mainwindow/AdressenModel.h"

#include "store/TSQLiteTable.h"

#include <QColor>

const QColor& AdressenModel::InactiveColor()
{
    static const QColor grey(112, 111, 119);
    return grey;
}

int AdressenModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int AdressenModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant AdressenModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const Row& row = m_rows[size_t(index.row())];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return row.cells[size_t(index.column())];
    case Qt::ForegroundRole:
        if (row.cells[ColAktiv].trimmed().isEmpty())
            return InactiveColor();
        return {};
    case Qt::TextAlignmentRole:
        if (index.column() == ColNr)
            return int(Qt::AlignRight | Qt::AlignVCenter);
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

void AdressenModel::Load(TSQLiteTable& t)
{
    beginResetModel();
    m_rows.clear();
    if (t.Count() == 0) {
        // An empty result has no column names to look up.
        endResetModel();
        return;
    }
    m_rows.reserve(size_t(t.Count()));
    const int id = t.FieldIndex(QStringLiteral("Adresse_ID"));
    const int gruppe = t.FieldIndex(QStringLiteral("Gruppe_ID"));
    const int aktiv = t.FieldIndex(QStringLiteral("Aktiv"));
    int lines[6];
    for (int i = 0; i < 6; ++i)
        lines[i] = t.FieldIndex(QStringLiteral("Line%1").arg(i + 1));
    int k = 0;
    for (t.First(); !t.Eof(); t.Next(), ++k) {
        Row row;
        row.data.Adresse_ID = t.FieldAsString(id);
        row.data.Gruppe_ID = t.FieldAsString(gruppe);
        row.cells[ColNr] = QString::number(k + 1);
        for (int i = 0; i < 6; ++i)
            row.cells[size_t(i + 1)] = t.FieldAsString(lines[i]);
        row.cells[ColAktiv] = t.FieldAsString(aktiv) == QLatin1String("1") ? QStringLiteral("X") : QString();
        m_rows.push_back(std::move(row));
    }
    endResetModel();
}

void AdressenModel::Clear()
{
    beginResetModel();
    m_rows.clear();
    endResetModel();
}

QString AdressenModel::AdresseID(int row) const
{
    return (row >= 0 && row < rowCount()) ? m_rows[size_t(row)].data.Adresse_ID : QString();
}

int AdressenModel::RowOf(const QString& adresseId) const
{
    for (size_t i = 0; i < m_rows.size(); ++i)
        if (m_rows[i].data.Adresse_ID == adresseId)
            return int(i);
    return -1;
}

QString AdressenModel::Cell(int row, int column) const
{
    if (row < 0 || row >= RowCount() || column < 0 || column >= ColumnCount)
        return {};
    return m_rows[size_t(row)].cells[size_t(column)];
}

void AdressenModel::SetCell(int row, int column, const QString& text)
{
    if (row < 0 || row >= RowCount() || column < 0 || column >= ColumnCount)
        return;
    m_rows[size_t(row)].cells[size_t(column)] = text;
    // The mark changes the colour of the whole row.
    if (column == ColAktiv)
        emit dataChanged(index(row, 0), index(row, ColumnCount - 1));
    else
        emit dataChanged(index(row, column), index(row, column));
}

const TAdresseData* AdressenModel::Data(int row) const
{
    return (row >= 0 && row < RowCount()) ? &m_rows[size_t(row)].data : nullptr;
}
