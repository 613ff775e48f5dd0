#pragma once
#include "app/AdressenRows.h"

#include <QAbstractTableModel>
#include <array>
#include <vector>

class TSQLiteTable;

// The address grid's rows: "Nr", "Zeile 1" .. "Zeile 5", "Name", "Aktiv", each row with
// its identifiers. A blank "Aktiv" mark greys the whole row.
class AdressenModel : public QAbstractTableModel, public AdressenRows
{
    Q_OBJECT
public:
    enum Column { ColNr = 0, ColName = 6, ColAktiv = 7, ColumnCount = 8 };
    static const QColor& InactiveColor();

    using QAbstractTableModel::QAbstractTableModel;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void Load(TSQLiteTable& table);
    void Clear();
    QString AdresseID(int row) const;
    int RowOf(const QString& adresseId) const;

    // AdressenRows
    int RowCount() const override { return int(m_rows.size()); }
    QString Cell(int row, int column) const override;
    void SetCell(int row, int column, const QString& text) override;
    const TAdresseData* Data(int row) const override;

private:
    struct Row
    {
        std::array<QString, ColumnCount> cells;
        TAdresseData data;
    };
    std::vector<Row> m_rows;
};
