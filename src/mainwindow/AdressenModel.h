#pragma once
#include "app/AdressenRows.h"
#include "mainwindow/GridRowsModel.h"
#include "store/TSQLiteTable.h"

#include <QHash>

// The address grid's rows: "Nr", "Zeile 1" .. "Zeile 5", "Name", "Aktiv", each row with
// its identifiers. A blank "Aktiv" mark greys the whole row.
//
// The rows stay in the query's result and each cell is converted when the grid or a
// command reads it: a group of a hundred thousand addresses is listed without building a
// string for every cell of it. Cells changed after loading are kept beside the result.
class AdressenModel : public RecordRowsModel, public AdressenRows
{
public:
    enum Column { ColNr = 0, ColName = 6, ColAktiv = 7 };
    static constexpr int ColumnCount = 8;
    static const QColor& InactiveColor();

    using RecordRowsModel::RecordRowsModel;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Takes over the result of the address query.
    void Load(TSQLiteTable&& table);
    // Takes over the whole result of the query whose first rows are shown: the rows after
    // them are added, and the current row and the changed cells stay.
    void Extend(TSQLiteTable&& whole);
    void Clear();
    QString RowID(int row) const override;
    QString AdresseID(int row) const { return RowID(row); }

    // AdressenRows
    int RowCount() const override { return rowCount(); }
    QString Cell(int row, int column) const override;
    // Changes what the grid shows; the active mark repaints the whole row.
    void SetCell(int row, int column, const QString& text) override;
    std::optional<TAdresseData> Data(int row) const override;

private:
    bool inside(int row, int column) const;
    QString loaded(int row, int column) const;
    static qint64 key(int row, int column) { return qint64(row) * ColumnCount + column; }

    TSQLiteTable m_table;
    // The result's column of "Zeile 1" .. "Name", and of the identifiers and the flag.
    int m_lines[6] = {};
    int m_id = 0;
    int m_gruppe = 0;
    int m_aktiv = 0;
    QHash<qint64, QString> m_changed;
};
