#pragma once
#include "app/AdressenRows.h"
#include "mainwindow/GridRowsModel.h"

class TSQLiteTable;

// The address grid's rows: "Nr", "Zeile 1" .. "Zeile 5", "Name", "Aktiv", each row with
// its identifiers. A blank "Aktiv" mark greys the whole row.
class AdressenModel : public GridRowsModel<TAdresseData, 8>, public AdressenRows
{
public:
    enum Column { ColNr = 0, ColName = 6, ColAktiv = 7 };
    static const QColor& InactiveColor();

    using GridRowsModel::GridRowsModel;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void Load(TSQLiteTable& table);
    QString RowID(int row) const override;
    QString AdresseID(int row) const { return RowID(row); }

    // AdressenRows
    int RowCount() const override { return rowCount(); }
    QString Cell(int row, int column) const override { return GridRowsModel::Cell(row, column); }
    void SetCell(int row, int column, const QString& text) override { GridRowsModel::SetCell(row, column, text); }
    const TAdresseData* Data(int row) const override { return RowData(row); }

protected:
    bool colorsRow(int column) const override { return column == ColAktiv; }
};
