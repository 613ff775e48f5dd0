#pragma once
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

// The complete result of one query, held in memory, with a cursor over its rows.
class TSQLiteTable
{
public:
    // Column type codes, fixed when the first row arrives.
    enum ColType { Integer = 1, Float = 2, Text = 3, Blob = 4, Null = 5 };

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

    // Any row's cell, the cursor left where it is: what a list reads when it shows a row.
    QString CellAsString(int row, int column) const;
    // A text cell's bytes as SQLite gave them (Windows-1252); empty for any other cell.
    QByteArrayView CellBytes(int row, int column) const;

    const QStringList& ColumnNames() const { return m_cols; }
    ColType ColumnType(int column) const { return m_colTypes.at(column); }

private:
    friend class TSQLiteDatabase;

    // A cell is 16 bytes: the integer, the double's bits, or where its bytes lie. Texts are
    // kept as SQLite gave them and converted when read, so a result is read with a few
    // large allocations instead of one per cell.
    enum Kind : quint8 { Absent = 0, IntegerCell, FloatCell, TextCell, BlobCell };
    struct Cell
    {
        qint64 value = 0;  // the integer, the double's bits, or the bytes' block (high) and offset (low)
        quint32 size = 0;
        Kind kind = Absent;
    };

    void appendAbsent() { appendCell(Cell{}); }
    void appendInteger(qint64 v) { appendCell(Cell{v, 0, IntegerCell}); }
    void appendFloat(double v);
    void appendBytes(Kind kind, const char* data, qsizetype size);
    void appendCell(const Cell& c);

    const Cell& cellAt(int row, int column) const;
    const Cell& cell(int column) const;
    QString asString(const Cell& c) const;
    QByteArrayView bytes(const Cell& c) const;

    // Fixed blocks, so that reading more rows never moves what is already read, and each
    // block is small enough to come from the heap rather than from a mapping of its own.
    static constexpr size_t kCellsPerBlock = 4096;
    static constexpr size_t kBytesPerBlock = 64 * 1024;
    std::vector<std::vector<Cell>> m_cellBlocks;
    std::vector<std::vector<char>> m_byteBlocks;
    size_t m_cellCount = 0;

    QStringList m_cols;
    std::vector<ColType> m_colTypes;
    int m_rowCount = 0;
    int m_colCount = 0;
    int m_row = 0;
};
