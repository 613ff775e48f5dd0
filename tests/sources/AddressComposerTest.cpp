#include "sources/AddressComposer.h"

#include <gtest/gtest.h>

namespace {

using F = AddressField;

struct ComposeCase
{
    const char* name;
    std::vector<std::pair<F, QString>> fields;
    QStringList lines; // Line1 to Line5
};

void PrintTo(const ComposeCase& c, std::ostream* os) { *os << c.name; }

class ComposeTable : public ::testing::TestWithParam<ComposeCase>
{
};

TEST_P(ComposeTable, RecordBecomesEnvelopeLines)
{
    AddressRecord r;
    for (const auto& [f, v] : GetParam().fields)
        r.Set(f, v);
    const ImportedAdresse a = ComposeAdresse(r);
    EXPECT_EQ((QStringList{a.Line1, a.Line2, a.Line3, a.Line4, a.Line5}), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ComposeTable,
    ::testing::Values(
        ComposeCase{"NameAloneWithoutCompany",
                    {{F::Vorname, "Max"}, {F::Nachname, "Mustermann"}, {F::Strasse, "Hauptstraße"},
                     {F::Hausnummer, "5"}, {F::Plz, "10115"}, {F::Ort, "Berlin"}},
                    {"", "Max Mustermann", "Hauptstraße 5", "", "10115 Berlin"}},
        ComposeCase{"CompanyAboveTheName",
                    {{F::Firma, "Muster GmbH"}, {F::Anrede, "Herr"}, {F::Vorname, "Max"}, {F::Nachname, "Mustermann"},
                     {F::Strasse, "Weg 1"}, {F::Plz, "50667"}, {F::Ort, "Köln"}},
                    {"Muster GmbH", "Max Mustermann", "Weg 1", "", "50667 Köln"}},
        ComposeCase{"CompanyWithDepartment",
                    {{F::Firma, "Muster GmbH"}, {F::Abteilung, "Einkauf"}, {F::Nachname, "Meier"}},
                    {"Muster GmbH, Einkauf", "Meier", "", "", ""}},
        ComposeCase{"CompanyOnlyNotRepeated",
                    {{F::Firma, "Muster GmbH"}, {F::Nachname, "muster gmbh"}},
                    {"Muster GmbH", "", "", "", ""}},
        ComposeCase{"SalutationAndTitles",
                    {{F::Anrede, "Frau Dr."}, {F::Titel, "Prof."}, {F::Vorname, "Eva"}, {F::Nachname, "Lang"}},
                    {"Frau", "Dr. Prof. Eva Lang", "", "", ""}},
        ComposeCase{"HerrBecomesHerrn", {{F::Anrede, "Hr."}, {F::Nachname, "Kurz"}}, {"Herrn", "Kurz", "", "", ""}},
        ComposeCase{"FamilieStaysWithTheName", {{F::Anrede, "Familie"}, {F::Nachname, "Kurz"}},
                    {"", "Familie Kurz", "", "", ""}},
        ComposeCase{"PostOfficeBoxInGermany",
                    {{F::Firma, "Verein e.V."}, {F::Postfach, "12 34"}, {F::Plz, "10001"}, {F::Ort, "Berlin"}},
                    {"Verein e.V.", "", "", "Postfach 12 34", "10001 Berlin"}},
        ComposeCase{"SupplementBeforeTheBox",
                    {{F::Nachname, "Kurz"}, {F::Strasse, "Weg 1"}, {F::Zusatz, "c/o Meier"}, {F::Postfach, "99"},
                     {F::Plz, "10115"}, {F::Ort, "Berlin"}, {F::Land, "Deutschland"}},
                    {"", "Kurz", "Weg 1", "c/o Meier", "10115 Berlin"}},
        ComposeCase{"AbroadCountryInCapitals",
                    {{F::Vorname, "Anna"}, {F::Nachname, "Huber"}, {F::Strasse, "Ring 3"}, {F::Plz, "1010"},
                     {F::Ort, "Wien"}, {F::Land, "Austria"}},
                    {"", "Anna Huber", "Ring 3", "1010 Wien", "ÖSTERREICH"}},
        ComposeCase{"AbroadTownFirst",
                    {{F::Nachname, "Smith"}, {F::Strasse, "1 Main St"}, {F::Zusatz, "Apt 4"}, {F::Ort, "Boston"},
                     {F::Region, "MA"}, {F::Plz, "02108"}, {F::Land, "United States"}},
                    {"", "Smith", "1 Main St, Apt 4", "Boston MA 02108", "USA"}},
        ComposeCase{"AbroadBoxInEnglish",
                    {{F::Nachname, "Smith"}, {F::Postfach, "77"}, {F::Ort, "London"}, {F::Plz, "SW1A 1AA"},
                     {F::Land, "UK"}},
                    {"", "Smith", "PO Box 77", "London SW1A 1AA", "VEREINIGTES KÖNIGREICH"}},
        ComposeCase{"UnknownCountryAsWritten",
                    {{F::Nachname, "Ng"}, {F::Ort, "Singapur"}, {F::Plz, "018956"}, {F::Land, "Singapur"}},
                    {"", "Ng", "", "018956 Singapur", "SINGAPUR"}},
        ComposeCase{"PartsTrimmedAndOnOneLine",
                    {{F::Vorname, "  Max "}, {F::Nachname, "Muster\nmann"}, {F::Ort, " Berlin "}},
                    {"", "Max Muster, mann", "", "", "Berlin"}},
        ComposeCase{"DirectLinesAsTheyStand",
                    {{F::Zeile1, " Herrn "}, {F::Zeile2, "Max  Muster"}, {F::Zeile3, ""}, {F::Zeile4, "x"},
                     {F::Zeile5, "12345 Ort"}, {F::Vorname, "ignored"}},
                    {" Herrn ", "Max  Muster", "", "x", "12345 Ort"}},
        ComposeCase{"DirectLineReplacesOnlyItsOwn",
                    {{F::Firma, "Muster GmbH"}, {F::Nachname, "Meier"}, {F::Zeile2, "z. Hd. Meier"}},
                    {"Muster GmbH", "z. Hd. Meier", "", "", ""}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ComposeAdresse, ExtraDataSortNameAndActiveMark)
{
    AddressRecord r;
    r.Set(F::Nachname, "Kurz");
    r.Set(F::Telefon, " 030 1 ");
    r.Set(F::Fax, "030 2");
    r.Set(F::Handy, "0170 3");
    r.Set(F::Mail, "k@example.org");
    r.Set(F::Versand, "Kurier");
    r.Set(F::Bemerkung, "zwei\nZeilen");
    r.Set(F::Sortname, "Kurz Karl");
    ImportedAdresse a = ComposeAdresse(r);
    EXPECT_EQ(a.Telefon, " 030 1 ");
    EXPECT_EQ(a.Fax, "030 2");
    EXPECT_EQ(a.Handy, "0170 3");
    EXPECT_EQ(a.Mail, "k@example.org");
    EXPECT_EQ(a.Versand, "Kurier");
    EXPECT_EQ(a.Bemerkung, "zwei\nZeilen");
    EXPECT_EQ(a.Line6, "Kurz Karl");
    EXPECT_TRUE(a.Aktiv) << "no Aktiv column means active";
    EXPECT_TRUE(a.HasDaten());

    for (const char* no : {"", " ", "0", "nein", "No", "FALSE", "falsch"}) {
        r.Set(F::Aktiv, QString::fromUtf8(no));
        EXPECT_FALSE(ComposeAdresse(r).Aktiv) << no;
    }
    for (const char* yes : {"X", "x", "1", "ja", "yes", "wahr"}) {
        r.Set(F::Aktiv, QString::fromUtf8(yes));
        EXPECT_TRUE(ComposeAdresse(r).Aktiv) << yes;
    }
}

TEST(ComposeAdresse, OnlyTheDispatchMethodStillMakesExtraData)
{
    AddressRecord r;
    r.Set(F::Nachname, "Kurz");
    EXPECT_FALSE(ComposeAdresse(r).HasDaten());
    r.Set(F::Versand, "Biberpost");
    EXPECT_TRUE(ComposeAdresse(r).HasDaten());
}

TEST(CutBemerkung, CountsAsTheStoreKeepsIt)
{
    QString fits(255, u'a');
    EXPECT_FALSE(CutBemerkung(fits));
    // 255 characters of which one the code page lacks and the store keeps as one: fits.
    QString emoji = QString(254, u'a') + QString::fromUtf8("\xF0\x9F\x98\x80");
    ASSERT_EQ(emoji.size(), 256);
    EXPECT_FALSE(CutBemerkung(emoji));
    QString tooLong(300, u'b');
    EXPECT_TRUE(CutBemerkung(tooLong));
    EXPECT_EQ(tooLong, QString(255, u'b'));
}

} // namespace
