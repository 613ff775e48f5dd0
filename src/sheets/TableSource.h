#pragma once
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

// A table of rows from a spreadsheet (.ods, .xlsx, .xls) or a delimited text file (.csv,
// .txt), read one row at a time so that a file of any length needs little memory. Cells
// come as the sheet shows them; what the file knows of a cell's kind travels with it, so
// that the import can mend what spreadsheets do to postal codes.
namespace sheets {

struct Cell
{
    QString Text;          // as the sheet shows it: number format applied, dates as shown
    bool Number = false;   // stored as a number (a postal code may have lost a leading zero)
    bool Formatted = false; // Text comes from a number format of the file: trust its digits

    bool operator==(const Cell&) const = default;
};
using Row = std::vector<Cell>;

// A file that cannot be read: damaged, password-protected, far too large once unpacked,
// of a kind we do not know. Message() is German and fit to show the user as it stands.
class SheetError : public std::runtime_error
{
public:
    explicit SheetError(const QString& message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    const QString& Message() const { return m_message; }

private:
    QString m_message;
};

enum class TextEncoding { Utf8, Windows1252 };

// How a delimited text file is cut into cells; guessed from the file, shown and changeable.
struct TextOptions
{
    QChar Delimiter = u';';
    TextEncoding Encoding = TextEncoding::Utf8;

    bool operator==(const TextOptions&) const = default;
};

class TableSource
{
public:
    virtual ~TableSource() = default;

    // The sheets of the file in their order; a text file has one, named after the file.
    virtual QStringList SheetNames() const = 0;

    // Hands every row of one sheet to onRow, in order; an empty row is handed on as an
    // empty Row, so that row numbers stay those of the file. Trailing empty cells are left
    // off. fraction tells how much of the file is read (0 to 1), for the progress window.
    // onRow returns false to stop reading. Raises SheetError.
    using RowHandler = std::function<bool(const Row& row, double fraction)>;
    virtual void ReadRows(int sheet, const RowHandler& onRow) = 0;
};

// The source for a file, chosen by its content (zip of ODF or OOXML, OLE2 of .xls, else
// text). text: how to cut a text file; nothing means guessed (TextSourceOptions tells the
// guess). Raises SheetError.
std::unique_ptr<TableSource> OpenTableFile(const QString& path, const TextOptions* text = nullptr);

// The delimiter and encoding that OpenTableFile guesses for a text file.
TextOptions GuessTextOptions(const QString& path);

// Writes one sheet (a header row, then the rows) as a spreadsheet that LibreOffice and
// Excel open; the kind is taken from the file name's suffix (.ods or .xlsx). Every cell is
// text. rows is called until it returns false. Replaces the file whole. Raises SheetError.
// An exception thrown by rows abandons the file (the target stays as it was) and goes on.
using RowProducer = std::function<bool(QStringList& row)>;
void WriteTableFile(const QString& path, const QString& sheetName, const QStringList& header, const RowProducer& rows);

} // namespace sheets
