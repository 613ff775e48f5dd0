#include "sources/AdresseKey.h"

#include <gtest/gtest.h>

namespace {

struct KeyCase
{
    const char* name;
    QStringList a, b;
    bool same;
};

void PrintTo(const KeyCase& c, std::ostream* os) { *os << c.name; }

class AdresseKeyTable : public ::testing::TestWithParam<KeyCase>
{
};

TEST_P(AdresseKeyTable, SameOrNot)
{
    EXPECT_EQ(AdresseKey(GetParam().a) == AdresseKey(GetParam().b), GetParam().same);
}

INSTANTIATE_TEST_SUITE_P(
    Pairs, AdresseKeyTable,
    ::testing::Values(
        KeyCase{"Equal", {"", "Max Müller", "Weg 1", "", "12345 Ort"}, {"", "Max Müller", "Weg 1", "", "12345 Ort"}, true},
        KeyCase{"CaseAndBlanks", {"", "max  MÜLLER ", "Weg\t1", "", "12345 ort"}, {"", "Max Müller", "Weg 1", "", "12345 Ort"}, true},
        KeyCase{"MuellerIsNotMueller", {"", "Max Mueller", "Weg 1", "", "12345 Ort"}, {"", "Max Müller", "Weg 1", "", "12345 Ort"}, false},
        KeyCase{"EmptyLinesMoveNothing", {"Max Müller", "Weg 1", "12345 Ort", "", ""}, {"", "Max Müller", "Weg 1", "", "12345 Ort"}, true},
        KeyCase{"SalutationLineDoesNotCount", {"Herrn", "Max Müller", "Weg 1", "", "12345 Ort"}, {"", "Max Müller", "Weg 1", "", "12345 Ort"}, true},
        KeyCase{"CompanyCounts", {"Muster AG", "Max Müller", "Weg 1", "", "12345 Ort"}, {"Lang KG", "Max Müller", "Weg 1", "", "12345 Ort"}, false},
        KeyCase{"OtherPersonSameHouse", {"", "Eva Müller", "Weg 1", "", "12345 Ort"}, {"", "Max Müller", "Weg 1", "", "12345 Ort"}, false},
        KeyCase{"OtherTown", {"", "Max Müller", "Weg 1", "", "12345 Ort"}, {"", "Max Müller", "Weg 1", "", "54321 Ort"}, false},
        KeyCase{"CaseBeyondAscii", {"", "ÉLODIE ØSTERGÅRD", "Rue 1", "", "Paris"}, {"", "élodie østergård", "rue 1", "", "paris"}, true},
        KeyCase{"CaseOutsideTheBasicPlane", {"", "\U00010400", "", "", ""}, {"", "\U00010428", "", "", ""}, true},
        KeyCase{"SalutationOnlyWhenFirst", {"", "Max Müller", "Frau", "", ""}, {"", "Max Müller", "", "", ""}, false},
        KeyCase{"LinesDoNotRunTogether", {"", "Max", "Müller Weg 1", "", ""}, {"", "Max Müller", "Weg 1", "", ""}, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(StoredAdresseKey, ComparesWhatTheStoreKeeps)
{
    // The store keeps Windows-1252: a character it lacks becomes its base letter, so the
    // address read back equals the one about to be stored.
    ImportedAdresse a{.Line2 = QStringLiteral("Ana Ţepeş"), .Line3 = "Weg 1"};
    EXPECT_EQ(StoredAdresseKey(a), AdresseKey({"", "Ana Tepes", "Weg 1", "", ""}));
}

} // namespace
