#pragma once
#include "app/AdressenRows.h"

#include <QStringList>
#include <optional>
#include <vector>

// An address list in memory: each row its cells (0 running number .. 7 active mark) and
// optionally its identifiers.
class FakeAdressenRows : public AdressenRows
{
public:
    struct Row
    {
        QStringList cells;
        std::optional<TAdresseData> data;
    };

    // Adds a row with the five lines and the sort name; returns its index.
    int add(const QString& adresseId, const QStringList& lines, const QString& line6 = QString(),
            const QString& gruppeId = QStringLiteral("GR00000001"));
    // A row the list shows without identifiers.
    int addWithoutData(const QStringList& lines, const QString& line6 = QString());

    int RowCount() const override { return int(rows.size()); }
    QString Cell(int row, int column) const override { return rows.at(row).cells.value(column); }
    void SetCell(int row, int column, const QString& text) override { rows.at(row).cells[column] = text; }
    std::optional<TAdresseData> Data(int row) const override { return rows.at(row).data; }

    std::vector<Row> rows;
};
