#pragma once
#include "exchange/AdressenImportFrame.h"

#include <optional>

struct Vcard;

// The remark holds at most this many characters, as the address dialog allows.
constexpr int kVcardBemerkungLimit = 255;

struct VcardAdresse
{
    ImportedAdresse Adresse;
    bool BemerkungGekuerzt = false; // the note was longer than the remark may be
};

// A card as a German envelope address:
//   Line1 the organisation, else "Herrn" or "Frau" when the name's prefix or the gender
//         says so;
//   Line2 titles, given, middle and family names, else the formatted name (left empty
//         when it only repeats the organisation);
//   Line3 the street, Line4 the extended address, else the post office box, else the
//         country when it is not Germany, Line5 postal code and locality, all of one
//         address: the preferred one, else work when there is an organisation, else
//         home, else the first;
//   phone, fax, mobile and e-mail the preferred one of each, else the first; the notes
//   as the remark, cut to the characters the store holds.
// Nothing when the card has neither a name nor an organisation.
std::optional<VcardAdresse> MapVcard(const Vcard& card);
