#pragma once
#include "sheets/TableSource.h"
#include "sources/AddressRecord.h"

#include <QStringList>

#include <optional>
#include <vector>

// The target of each column of a table; nothing for a column that is not taken.
using ColumnTargets = std::vector<std::optional<AddressField>>;

// The targets that the headers name, in German or English as address books, mail programs
// and club lists write them ("Vorname", "Last Name", "Home ZipCode", "Straße geschäftlich",
// "Address 1 - City", "E-Mail-Adresse"). "Name" is the family name beside a "Vorname", the
// sort name beside the lines of our own export, else the whole name. Where a file has
// several addresses per person (home and work), the one filled in most of the sample rows
// is taken; with the home address the company is left out, as the letter goes to the person.
ColumnTargets GuessTargets(const QStringList& headers, const std::vector<sheets::Row>& samples = {});

// The headers that GuessTargets assigns, as the file writes them.
QStringList KnownHeaders(const QStringList& headers);
