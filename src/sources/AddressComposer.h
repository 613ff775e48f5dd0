#pragma once
#include "sources/AddressRecord.h"
#include "sources/ImportedAdresse.h"

#include <QStringList>

#include <initializer_list>

// The remark holds at most this many characters, as the address dialog allows.
inline constexpr int kBemerkungLimit = 255;

// The envelope address of a record, one rule for every source:
//   Line1 the company (with its department after a comma), else the salutation ("Herrn"
//         for Herr, Hr., Mr.; "Frau" for Frau, Fr., Mrs., Ms.);
//   Line2 the name: the other words of the salutation field ("Dr.", "Familie"), title,
//         given and family name (left empty when it only repeats the company);
//   in Germany (no country, or Germany in any usual spelling): Line3 street and house
//   number, Line4 the address supplement, else the post office box, Line5 postal code
//   and town;
//   abroad: Line3 street and house number (the post office box when there is no street)
//   and after a comma the supplement, Line4 the town line in the country's order, Line5
//   the country in capital letters, named in German where the table knows it;
//   a direct line (Zeile 1 to 5) replaces the composed line of its number as it stands;
//   the sort name, contact data, dispatch method and remark as they stand; active unless
//   the record's Aktiv says no ("", "0", "nein", "no", "false").
// Parts of a line are taken without the blanks around them, lines inside joined by ", ".
ImportedAdresse ComposeAdresse(const AddressRecord& record);

// The words of a salutation field: "Herrn" or "Frau" (the first salutation word, in the
// form an envelope writes it) and the rest (titles such as "Dr.", in order). Words are cut
// at blanks and commas.
struct Salutation
{
    QString salutation;
    QStringList titles;
};
Salutation SplitSalutation(const QString& words);

// The value on one line: without the blanks at both ends, its lines joined by ", ".
QString OneLine(QString value);
// The words that are not empty, joined by one blank.
QString JoinWords(std::initializer_list<QString> words);

// Cuts the remark to what the store holds, counted as the store keeps it (characters the
// code page lacks become one each). True when something was cut off.
bool CutBemerkung(QString& bemerkung);
