#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

// One address read from a line of an import file. Line4 and the sort name stay empty.
struct ImportRecord
{
    QString Line1;
    QString Line2;
    QString Line3;
    QString Line5;

    bool operator==(const ImportRecord&) const = default;

    // The address of one line, or nothing when the line is blank or has fewer than six
    // fields. Fields are cut at every semicolon, quotes or not; a trailing semicolon adds
    // no field. Field 3 and field 2 join into Line2, field 5 and field 6 into Line5.
    static std::optional<ImportRecord> Parse(const QString& line);
};

// The text of an import file: UTF-8, UTF-16 LE or UTF-16 BE when it starts with that
// byte order mark; without one UTF-8 when the bytes are valid UTF-8 (as LibreOffice and
// most Linux programs write), otherwise Windows-1252. A Windows-1252 text with umlauts is
// practically never valid UTF-8: an umlaut byte would have to be followed by just the
// right continuation bytes.
QString DecodeImportText(const QByteArray& bytes);
// CR LF, LF and CR alone each end a line; a final line break adds no empty line.
QStringList SplitImportLines(const QString& text);
