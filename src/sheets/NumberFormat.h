#pragma once
#include <QDateTime>
#include <QString>

// Numbers and dates as a German spreadsheet shows them: "1.234,5", "01067" under the
// format "00000", dates as "31.12.2024". Shared by the readers of .xlsx, .ods and .xls.
namespace sheets {

struct NumberFormat
{
    enum class Kind { General, Text, Number, Date, Time, DateTime };
    Kind kind = Kind::General;
    int minIntegerDigits = 1;
    int minDecimals = 0;
    int maxDecimals = 0;
    bool grouping = false;
    bool percent = false;
    bool scientific = false;
    bool seconds = false; // times show seconds
    QString prefix;
    QString suffix;

    // The number under this format; formatted tells whether the format, not the general
    // rule, made the text (so its digits, leading zeros included, are the sheet's).
    QString Render(double value, bool date1904, bool* formatted = nullptr) const;
    bool IsDateOrTime() const { return kind == Kind::Date || kind == Kind::Time || kind == Kind::DateTime; }
};

// An OOXML number format code such as "00000", "#,##0.00", "dd/mm/yyyy", "[$-407]d. mmmm yyyy".
NumberFormat ParseFormatCode(const QString& code);
// The format of one of the built-in format numbers of OOXML (0 General, 14 a date, ...).
NumberFormat BuiltinFormat(int id);

// A number without a format, as a German sheet shows it: no ".0", a decimal comma.
QString GeneralNumber(double value);

// The day (and time) of a spreadsheet serial number; invalid when out of range.
QDateTime SerialDateTime(double serial, bool date1904);
// "31.12.2024", with " 13:45" (":07") when time is given.
QString GermanDate(const QDate& date);
QString GermanDateTime(const QDateTime& when, bool seconds);
// An ISO 8601 date or date-time text ("2024-12-31", "2024-12-31T13:45:00") as shown in
// German; the text unchanged when it is neither.
QString GermanIsoDate(const QString& iso);

} // namespace sheets
