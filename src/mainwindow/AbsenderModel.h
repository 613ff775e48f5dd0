#pragma once
#include "mainwindow/TAbsenderData.h"

#include <QAbstractTableModel>
#include <array>
#include <vector>

class TSQLiteTable;

// The sender grid's rows: "Nr", "Zeile 1" .. "Zeile 5", "Banner", each row with its
// identifier. Model row 0 is the grid's first data row.
class AbsenderModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column { ColNr = 0, ColBanner = 6, ColumnCount = 7 };

    using QAbstractTableModel::QAbstractTableModel;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Replaces the rows by the result of the sender query.
    void Load(TSQLiteTable& table);
    void Clear();

    QString Cell(int row, int column) const;
    void SetCell(int row, int column, const QString& text);
    // Empty for a row outside the list.
    QString AbsenderID(int row) const;
    // The first row with this identifier (compared exactly), or -1.
    int RowOf(const QString& absenderId) const;

private:
    struct Row
    {
        std::array<QString, ColumnCount> cells;
        TAbsenderData data;
    };
    std::vector<Row> m_rows;
};
