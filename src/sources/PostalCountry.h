#pragma once
#include <QString>

// How a country writes the line of postal code and town.
enum class LocalityOrder
{
    PostalCodeTown,       // "1010 Wien", "75001 Paris"
    TownRegionPostalCode, // "San Francisco CA 94105", "London SW1A 1AA"
};

struct PostalCountry
{
    const char* Code;    // ISO 3166 alpha-2
    const char* Name;    // in German, as a letter from here names it
    LocalityOrder Order;
    bool GermanSpeaking; // a post office box is a "Postfach" there
};

// The country a card's country text names: its German, English, French or own name, its
// ISO code of two or three letters or a usual abbreviation ("D", "GER", "BRD", "U.S.A."),
// without regard to case. Null for a text the table does not know.
const PostalCountry* FindPostalCountry(QStringView text);

// The country of an ISO 3166 alpha-2 code in any case, as Apple's X-ABADR gives it; or null.
const PostalCountry* PostalCountryOfCode(QStringView code);

bool IsGermany(const PostalCountry& country);
