#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>
#include <variant>
#include <vector>

// The complete result of one query, held in memory, with a cursor over its rows.
class TSQLiteTable
{
public:
    // Column type codes, fixed when the first row arrives.
    enum ColType { Integer = 1, Float = 2, Text = 3, Blob = 4, Null = 5 };
    // An absent cell is SQL NULL.
    using Cell = std::variant<std::monostate, qint64, double, QString, QByteArray>;

    int Count() const { return m_rowCount; }
    int ColCount() const { return m_colCount; }
    // The cursor is past the last row ("EOF" itself is a C macro).
    bool Eof() const { return m_row >= m_rowCount; }
    bool Next();
    void First() { m_row = 0; }
    int Row() const { return m_row; }

    // Position of the column, found without regard to case.
    int FieldIndex(const QString& name) const;
    QString FieldAsString(int column) const;
    // Nothing for an absent cell; the bytes of a blob cell.
    std::optional<QByteArray> FieldAsBlob(int column) const;
    // FieldAsString(FieldIndex(name)): the program's usual way to read a cell.
    QString Field(const QString& name) const { return FieldAsString(FieldIndex(name)); }

    const QStringList& ColumnNames() const { return m_cols; }
    ColType ColumnType(int column) const { return m_colTypes.at(column); }

private:
    friend class TSQLiteDatabase;
    const Cell& cell(int column) const;

    QStringList m_cols;
    std::vector<ColType> m_colTypes;
    std::vector<Cell> m_cells;
    int m_rowCount = 0;
    int m_colCount = 0;
    int m_row = 0;
};
