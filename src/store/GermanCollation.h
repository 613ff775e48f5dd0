#pragma once
#include <QString>

struct sqlite3;

// German dictionary order (DIN 5007, variant 1) over the Windows-1252 bytes the database
// holds: Ä sorts as A, Ö as O, Ü as U, ß as ss, other accented letters as their base
// letter, and letter case is ignored. Texts equal under that rule are ordered by their
// bytes, so the order is total and the same on every run.
namespace GermanCollation {

// The name under which every connection knows the order ("... COLLATE DIN5007").
inline constexpr const char* kName = "DIN5007";

// Negative, zero or positive, as for memcmp.
int Compare(const void* a, int lengthA, const void* b, int lengthB);

// Registers the order on a connection; true on success.
bool Register(sqlite3* db);

// The ORDER BY line of a list sorted by Line<line>: German order, and addresses with equal
// lines in the order they were stored, as the unsorted list shows them.
QString OrderByLine(int line);

} // namespace GermanCollation
