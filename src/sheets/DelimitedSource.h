#pragma once
#include "sheets/TableSource.h"

#include <QIODevice>

#include <memory>

namespace sheets {

// A delimited text file (.csv, .txt): one sheet, cut by the delimiter into cells, with
// fields in double quotes that may hold the delimiter, doubled quotes and line breaks.
// CR LF, LF and CR end a record. A field that is all digits and not quoted is marked as a
// number: it may be a postal code that a spreadsheet wrote without its leading zero.
// A UTF-16 byte order mark (Excel's "Unicode text") is followed whatever the encoding.
class DelimitedSource : public TableSource
{
public:
    DelimitedSource(std::unique_ptr<QIODevice> device, const QString& sheetName, const TextOptions& options);
    ~DelimitedSource() override;

    QStringList SheetNames() const override { return {m_sheetName}; }
    void ReadRows(int sheet, const RowHandler& onRow) override;

private:
    std::unique_ptr<QIODevice> m_device;
    QString m_sheetName;
    TextOptions m_options;
};

// The delimiter and encoding of a text that begins with head: UTF-8 when it has a byte
// order mark or is valid UTF-8, else Windows-1252; the one of ";", "," and tab that cuts
// most of the first records into the same number of fields.
TextOptions GuessTextOptionsOf(const QByteArray& head);

} // namespace sheets
