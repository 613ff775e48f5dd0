#pragma once
#include "exchange/AdressenImportFrame.h"
#include "sources/AddressComposer.h"

#include <optional>

struct Vcard;

// The remark holds at most this many characters, as the address dialog allows.
constexpr int kVcardBemerkungLimit = kBemerkungLimit;

struct VcardAdresse
{
    ImportedAdresse Adresse;
    bool BemerkungGekuerzt = false; // the note was longer than the remark may be
};

// A card as an envelope address:
//   Line1 the organisation, else "Herrn" or "Frau" when the name's prefix or the gender
//         says so; the organisation only for a work address or one of no type: with a
//         home address the letter goes to the person;
//   Line2 titles, given, middle and family names, else the formatted name (left empty
//         when it only repeats the organisation in Line1);
//   of one address (the preferred one, else work when there is an organisation, else
//   home, else the first), in Germany (no country, or Germany in any usual spelling or
//   Apple's code "de"): Line3 the street, Line4 the extended address, else the post
//   office box, Line5 postal code and locality;
//   abroad: Line3 the street and after a comma the extended address (the post office box
//   when there is no street), Line4 the locality line in the order of the country,
//   Line5 the country in capital letters;
//   phone, fax, mobile and e-mail the preferred one of each, else the first; the notes
//   as the remark, cut to the characters the store holds. Address lines are kept whole,
//   as the CSV import keeps them: the address dialog shows what is longer than it lets
//   one type.
// Nothing when the card has neither a name nor an organisation.
std::optional<VcardAdresse> MapVcard(const Vcard& card);

// The card as the record that MapVcard composes: the chosen address, the preferred contact
// data, the organisation only where the letter goes to it. Nothing as above.
std::optional<AddressRecord> VcardRecord(const Vcard& card);
