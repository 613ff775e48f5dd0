#pragma once
#include <QString>
#include <optional>

// Identifiers carried by each row of the address list.
struct TAdresseData
{
    QString Adresse_ID;
    QString Gruppe_ID;
};

// The rows the address list shows, in the order shown, for the commands that work on
// exactly those rows (export, sort names). Rows are counted from 0 for the first address;
// columns are those of the list: 0 running number, 1..5 Line1..Line5, 6 Line6 ("Name"),
// 7 the active mark ("X" or blank).
class AdressenRows
{
public:
    virtual ~AdressenRows() = default;
    virtual int RowCount() const = 0;
    virtual QString Cell(int row, int column) const = 0;
    // Changes what the list shows (the caller writes the database itself).
    virtual void SetCell(int row, int column, const QString& text) = 0;
    // Nothing for a row without identifiers.
    virtual std::optional<TAdresseData> Data(int row) const = 0;
};
