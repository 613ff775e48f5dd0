#include "sources/AddressComposer.h"
#include "sources/TableAdressenSource.h"
#include "support/MemoryTableSource.h"

#include <gtest/gtest.h>

namespace {

using F = AddressField;

sheets::Cell number(const char* text) { return {QString::fromUtf8(text), true, false}; }
sheets::Cell formatted(const char* text) { return {QString::fromUtf8(text), true, true}; }
sheets::Cell text(const char* t) { return {QString::fromUtf8(t)}; }

// A four-digit number in the postal code column gets its zero back only where nothing
// says the digits are right: no format of the file, an address in Germany.
struct PostalCase
{
    const char* name;
    sheets::Cell plz;
    const char* land;
    const char* expected;
};

void PrintTo(const PostalCase& c, std::ostream* os) { *os << c.name; }

class PostalCodeTable : public ::testing::TestWithParam<PostalCase>
{
};

TEST_P(PostalCodeTable, LeadingZero)
{
    const ColumnTargets targets{F::Nachname, F::Plz, F::Ort, F::Land};
    const std::optional<AddressRecord> r = TableAdressenSource::RecordOf(
        {text("Kurz"), GetParam().plz, text("Dresden"), text(GetParam().land)}, targets);
    ASSERT_TRUE(r);
    EXPECT_EQ((*r)[F::Plz], QString::fromUtf8(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Cells, PostalCodeTable,
    ::testing::Values(PostalCase{"NumberWithoutCountry", number("1067"), "", "01067"},
                      PostalCase{"NumberInGermany", number("1067"), "Deutschland", "01067"},
                      PostalCase{"NumberSpelledGermany", number("1067"), "germany", "01067"},
                      PostalCase{"FormattedNumberTrusted", formatted("01067"), "", "01067"},
                      PostalCase{"FormattedFourDigitsTrusted", formatted("1067"), "", "1067"},
                      PostalCase{"TextStaysText", text("1067"), "", "1067"},
                      PostalCase{"AustriaHasFourDigits", number("1010"), "Österreich", "1010"},
                      PostalCase{"SwissToo", number("8001"), "CH", "8001"},
                      PostalCase{"FiveDigitsUntouched", number("10115"), "", "10115"},
                      PostalCase{"ThreeDigitsUntouched", number("999"), "", "999"},
                      PostalCase{"UnknownCountryUntouched", number("1234"), "Narnia", "1234"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TableAdressenSource, ColumnsSharingATargetJoinOrTakeTheFirst)
{
    const ColumnTargets targets{F::Vorname, F::Vorname, F::Nachname, F::Telefon, F::Telefon, F::Bemerkung,
                                F::Bemerkung, std::nullopt};
    const std::optional<AddressRecord> r = TableAdressenSource::RecordOf(
        MemoryTableSource::Texts({"Max", "Otto", "Muster", "", "030 2", "eins", "zwei", "ungenutzt"}), targets);
    ASSERT_TRUE(r);
    EXPECT_EQ((*r)[F::Vorname], "Max Otto");
    EXPECT_EQ((*r)[F::Telefon], "030 2");
    EXPECT_EQ((*r)[F::Bemerkung], "eins\nzwei");
    EXPECT_FALSE(r->Has(F::Firma));
}

TEST(TableAdressenSource, ShortRowsAndBlankRows)
{
    const ColumnTargets targets{F::Nachname, F::Ort, F::Zeile2};
    // A row whose trailing cells were left off still has every mapped field, empty.
    std::optional<AddressRecord> r = TableAdressenSource::RecordOf(MemoryTableSource::Texts({"Kurz"}), targets);
    ASSERT_TRUE(r);
    EXPECT_TRUE(r->Has(F::Zeile2));
    EXPECT_EQ(ComposeAdresse(*r).Line2, "") << "a mapped line column replaces the composed line, also when empty";
    EXPECT_FALSE(TableAdressenSource::RecordOf(MemoryTableSource::Texts({" ", "", "\t"}), targets));
    EXPECT_FALSE(TableAdressenSource::RecordOf({}, targets));
}

TEST(TableAdressenSource, HeaderRowSkippedBlankRowsLeftOutStopsWhenAsked)
{
    MemoryTableSource table = MemoryTableSource::OfTexts(
        {{"Vorname", "Nachname"}, {"Max", "Muster"}, {}, {"", ""}, {"Eva", "Lang"}, {"Tom", "Kurz"}});
    const ColumnTargets targets{F::Vorname, F::Nachname};
    QStringList names;
    QList<double> fractions;
    TableAdressenSource withHeader(table, 0, targets, true);
    withHeader.ReadRecords([&](const AddressRecord& r, double fraction) {
        names << r[F::Vorname];
        fractions << fraction;
        return names.size() < 2;
    });
    EXPECT_EQ(names, (QStringList{"Max", "Eva"}));
    EXPECT_DOUBLE_EQ(fractions.last(), 5.0 / 6.0);

    names.clear();
    TableAdressenSource withoutHeader(table, 0, targets, false);
    withoutHeader.ReadRecords([&](const AddressRecord& r, double) {
        names << r[F::Vorname];
        return true;
    });
    EXPECT_EQ(names, (QStringList{"Vorname", "Max", "Eva", "Tom"}));
}

} // namespace
