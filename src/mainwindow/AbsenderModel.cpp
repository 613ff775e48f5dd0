#include "mainwindow/AbsenderModel.h"

#include "store/TSQLiteTable.h"

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
    std::vector<Row> rows;
    // An empty result has no column names to look up.
    if (t.Count() > 0) {
        rows.reserve(size_t(t.Count()));
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
            rows.push_back(std::move(row));
        }
    }
    Replace(std::move(rows));
}

QString AbsenderModel::RowID(int row) const
{
    const TAbsenderData* d = RowData(row);
    return d ? d->Absender_ID : QString();
}
