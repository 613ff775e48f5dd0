#pragma once
#include "mainwindow/GridRowsModel.h"
#include "mainwindow/TAbsenderData.h"

class TSQLiteTable;

// The sender grid's rows: "Nr", "Zeile 1" .. "Zeile 5", "Banner", each row with its
// identifier. Model row 0 is the grid's first data row.
class AbsenderModel : public GridRowsModel<TAbsenderData, 7>
{
public:
    enum Column { ColNr = 0, ColBanner = 6 };

    using GridRowsModel::GridRowsModel;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Replaces the rows by the result of the sender query.
    void Load(TSQLiteTable& table);

    QString RowID(int row) const override;
    QString AbsenderID(int row) const { return RowID(row); }
};
