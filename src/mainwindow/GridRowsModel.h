#pragma once
#include <QAbstractTableModel>
#include <array>
#include <vector>

// What the record panels need of their grid's model: each row has one identifier.
class RecordRowsModel : public QAbstractTableModel
{
public:
    using QAbstractTableModel::QAbstractTableModel;
    // Empty for a row outside the list.
    virtual QString RowID(int row) const = 0;
    // The first row with this identifier (compared exactly), or -1.
    int RowOf(const QString& id) const;
};

// A grid's rows as loaded: the cells of every column, the first being the running number,
// and the record's identifiers. Column 0 is right-aligned.
template <class Data, int Columns>
class GridRowsModel : public RecordRowsModel
{
public:
    static constexpr int ColumnCount = Columns;
    using RecordRowsModel::RecordRowsModel;

    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : int(m_rows.size()); }
    int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : Columns; }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid() || index.row() >= rowCount())
            return {};
        if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
            return m_rows[size_t(index.row())].cells[size_t(index.column())];
        if (role == Qt::TextAlignmentRole && index.column() == 0)
            return int(Qt::AlignRight | Qt::AlignVCenter);
        return {};
    }

    void Clear() { Replace({}); }

    QString Cell(int row, int column) const
    {
        return inside(row, column) ? m_rows[size_t(row)].cells[size_t(column)] : QString();
    }

    // Changes what the grid shows; a column that colours its row repaints the whole row.
    void SetCell(int row, int column, const QString& text)
    {
        if (!inside(row, column))
            return;
        m_rows[size_t(row)].cells[size_t(column)] = text;
        if (colorsRow(column))
            emit dataChanged(index(row, 0), index(row, Columns - 1));
        else
            emit dataChanged(index(row, column), index(row, column));
    }

    // nullptr for a row outside the list.
    const Data* RowData(int row) const { return row >= 0 && row < rowCount() ? &m_rows[size_t(row)].data : nullptr; }

protected:
    struct Row
    {
        std::array<QString, Columns> cells;
        Data data;
    };

    void Replace(std::vector<Row> rows)
    {
        beginResetModel();
        m_rows = std::move(rows);
        endResetModel();
    }
    virtual bool colorsRow(int column) const { return false; }

    std::vector<Row> m_rows;

private:
    bool inside(int row, int column) const { return row >= 0 && row < rowCount() && column >= 0 && column < Columns; }
};
