#include "mainwindow/GridRowsModel.h"

int RecordRowsModel::RowOf(const QString& id) const
{
    for (int row = 0; row < rowCount(); ++row)
        if (RowID(row) == id)
            return row;
    return -1;
}
