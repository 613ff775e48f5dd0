#pragma once
#include <QByteArray>
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

    const QStringList& ColumnNames() const { return m_cols; }
    ColType ColumnType(int column) const { return m_colTypes.at(column); }

private:
    friend class TSQLiteDatabase;

    // Each row is one record of bytes: per column a kind byte, then the 8 bytes of an
    // integer or a double, or the length (2 bytes, or 0xFFFF and 4 bytes) and the bytes of
    // a text or a blob. Texts stay as SQLite gave them and are converted when read, so a
    // result takes a few large allocations and about the size of its data.
    enum Kind : quint8 { Absent = 0, IntegerCell, FloatCell, TextCell, BlobCell };
    struct CellView
    {
        Kind kind = Absent;
        const char* data = nullptr;  // the value's 8 bytes, or the text's or blob's bytes
        quint32 size = 0;
    };

    void appendAbsent() { m_record.push_back(char(Absent)); }
    void appendInteger(qint64 v);
    void appendFloat(double v);
    void appendBytes(Kind kind, const char* data, qsizetype size);
    void endRow();

    CellView cellAt(int row, int column) const;
    CellView cell(int column) const;
    static QString asString(const CellView& c);

    // Records lie in fixed blocks, so that reading more rows never moves what is already
    // read, and each block is small enough to come from the heap rather than from a
    // mapping of its own; a record larger than a block gets a block of its own size.
    static constexpr size_t kBytesPerBlock = 64 * 1024;
    std::vector<std::vector<char>> m_blocks;
    std::vector<quint64> m_rows;  // each row's block (high 32 bits) and offset
    std::vector<char> m_record;   // the row being read

    QStringList m_cols;
    std::vector<ColType> m_colTypes;
    int m_rowCount = 0;
    int m_colCount = 0;
    int m_row = 0;
};
