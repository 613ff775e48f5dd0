#include "mainwindow/AbsenderModel.h"

#include "store/TSQLiteTable.h"

int AbsenderModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int AbsenderModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant AbsenderModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
        return m_rows[size_t(index.row())].cells[size_t(index.column())];
    if (role == Qt::TextAlignmentRole && index.column() == ColNr)
        return int(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant AbsenderModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    if (section == ColNr)
        return QStringLiteral("Nr");
    if (section == ColBanner)
        return QStringLiteral("Banner");
    return QStringLiteral("Zeile %1").arg(section);
}

void AbsenderModel::Load(TSQLiteTable& t)
{
    beginResetModel();
    m_rows.clear();
    if (t.Count() == 0) {
        // An empty result has no column names to look up.
        endResetModel();
        return;
    }
    m_rows.reserve(size_t(t.Count()));
    const int id = t.FieldIndex(QStringLiteral("Absender_ID"));
    int lines[5];
    for (int i = 0; i < 5; ++i)
        lines[i] = t.FieldIndex(QStringLiteral("Line%1").arg(i + 1));
    const int banner = t.FieldIndex(QStringLiteral("Banner"));
    int k = 0;
    for (t.First(); !t.Eof(); t.Next(), ++k) {
        Row row;
        row.data.Absender_ID = t.FieldAsString(id);
        row.cells[ColNr] = QString::number(k + 1);
        for (int i = 0; i < 5; ++i)
            row.cells[size_t(i + 1)] = t.FieldAsString(lines[i]);
        // Exactly one banner row makes the mark; none or several leave it blank.
        row.cells[ColBanner] = t.FieldAsString(banner) == QLatin1String("1") ? QStringLiteral("x") : QString();
        m_rows.push_back(std::move(row));
    }
    endResetModel();
}

void AbsenderModel::Clear()
{
    beginResetModel();
    m_rows.clear();
    endResetModel();
}

QString AbsenderModel::Cell(int row, int column) const
{
    if (row < 0 || row >= rowCount() || column < 0 || column >= ColumnCount)
        return {};
    return m_rows[size_t(row)].cells[size_t(column)];
}

void AbsenderModel::SetCell(int row, int column, const QString& text)
{
    if (row < 0 || row >= rowCount() || column < 0 || column >= ColumnCount)
        return;
    m_rows[size_t(row)].cells[size_t(column)] = text;
    emit dataChanged(index(row, column), index(row, column));
}

QString AbsenderModel::AbsenderID(int row) const
{
    return (row >= 0 && row < rowCount()) ? m_rows[size_t(row)].data.Absender_ID : QString();
}

int AbsenderModel::RowOf(const QString& absenderId) const
{
    for (size_t i = 0; i < m_rows.size(); ++i)
        if (m_rows[i].data.Absender_ID == absenderId)
            return int(i);
    return -1;
}
