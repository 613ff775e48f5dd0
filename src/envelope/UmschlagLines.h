#pragma once
#include "envelope/UmschlagRenderer.h"

#include <optional>

class TSQLiteDatabase;

// Line1..Line5 of a sender or an address; nothing when there is no such record. The
// identifier travels as a bound value. A missing table is the database's error.
std::optional<AddressLines> ReadAbsenderLines(TSQLiteDatabase& db, const QString& absenderId);
std::optional<AddressLines> ReadAdresseLines(TSQLiteDatabase& db, const QString& adresseId);

// Which record goes where: with the return-envelope swap the address is the upper block
// and the sender the lower one, and no banner is printed.
struct UmschlagBlocks
{
    AddressLines Upper;
    AddressLines Lower;
    bool WithBanner;
};
UmschlagBlocks AssignBlocks(const AddressLines& sender, const AddressLines& address, bool swap);
