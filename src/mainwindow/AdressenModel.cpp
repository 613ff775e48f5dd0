#include "mainwindow/AdressenModel.h"

#include "app/BlankText.h"
#include "store/TSQLiteTable.h"

#include <QColor>

const QColor& AdressenModel::InactiveColor()
{
    static const QColor grey(112, 111, 119);
    return grey;
}

QVariant AdressenModel::data(const QModelIndex& index, int role) const
{
    if (role == Qt::ForegroundRole && index.isValid() && index.row() < rowCount() &&
        IsBlank(Cell(index.row(), ColAktiv)))
        return InactiveColor();
    return GridRowsModel::data(index, role);
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
    std::vector<Row> rows;
    // An empty result has no column names to look up.
    if (t.Count() > 0) {
        rows.reserve(size_t(t.Count()));
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
            rows.push_back(std::move(row));
        }
    }
    Replace(std::move(rows));
}

QString AdressenModel::RowID(int row) const
{
    const TAdresseData* d = RowData(row);
    return d ? d->Adresse_ID : QString();
}
