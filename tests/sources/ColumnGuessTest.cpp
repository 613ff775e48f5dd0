#include "sources/ColumnGuess.h"

#include <gtest/gtest.h>

namespace {

using F = AddressField;

// The header row and what each column should be guessed as ("-" for none).
struct GuessCase
{
    const char* name;
    QStringList headers;
    QStringList expected; // captions of the targets
    std::vector<QStringList> samples = {};
};

void PrintTo(const GuessCase& c, std::ostream* os) { *os << c.name; }

QStringList captions(const ColumnTargets& targets)
{
    QStringList out;
    for (const std::optional<F>& t : targets)
        out << (t ? AddressFieldCaption(*t) : QStringLiteral("-"));
    return out;
}

class GuessTable : public ::testing::TestWithParam<GuessCase>
{
};

TEST_P(GuessTable, HeadersNameTheirTargets)
{
    std::vector<sheets::Row> samples;
    for (const QStringList& texts : GetParam().samples) {
        sheets::Row row;
        for (const QString& t : texts)
            row.push_back({t});
        samples.push_back(row);
    }
    EXPECT_EQ(captions(GuessTargets(GetParam().headers, samples)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Files, GuessTable,
    ::testing::Values(
        GuessCase{"ClubList",
                  {"Name", "Vorname", "Straße", "PLZ", "Ort", "Eintritt"},
                  {"Nachname", "Vorname", "Straße", "PLZ", "Ort", "-"}},
        GuessCase{"LibreOfficeList",
                  {"Firma", "Anrede", "Vorname", "Nachname", "Straße", "PLZ", "Ort", "Land", "Telefon", "E-Mail",
                   "Bemerkung"},
                  {"Firma", "Anrede", "Vorname", "Nachname", "Straße", "PLZ", "Ort", "Land", "Telefon", "E-Mail",
                   "Bemerkung"}},
        // Thunderbird's English export: a person at home, so the home address and no company.
        GuessCase{"ThunderbirdEnglishHome",
                  {"First Name", "Last Name", "Display Name", "Nickname", "Primary Email", "Secondary Email",
                   "Screen Name", "Work Phone", "Home Phone", "Fax Number", "Pager Number", "Mobile Number",
                   "Home Address", "Home Address 2", "Home City", "Home State", "Home ZipCode", "Home Country",
                   "Work Address", "Work Address 2", "Work City", "Work State", "Work ZipCode", "Work Country",
                   "Job Title", "Department", "Organization", "Web Page 1", "Notes"},
                  {"Vorname", "Nachname", "-", "-", "E-Mail", "E-Mail", "-", "Telefon", "Telefon", "Fax", "-",
                   "Handy", "Straße", "Zusatz", "Ort", "Region", "PLZ", "Land", "-", "-", "-", "-", "-", "-", "-",
                   "-", "-", "-", "Bemerkung"},
                  {{"Max", "Muster", "", "", "", "", "", "", "", "", "", "", "Weg 1", "", "Berlin", "", "10115"}}},
        // The same file where the rows fill the work address: work address and company.
        GuessCase{"ThunderbirdEnglishWork",
                  {"First Name", "Last Name", "Home Address", "Home City", "Home ZipCode", "Work Address",
                   "Work City", "Work ZipCode", "Department", "Organization"},
                  {"Vorname", "Nachname", "-", "-", "-", "Straße", "Ort", "PLZ", "Abteilung", "Firma"},
                  {{"Max", "Muster", "", "", "", "Allee 2", "Köln", "50667", "", "Muster AG"},
                   {"Eva", "Lang", "", "", "", "Ring 3", "Bonn", "53111", "", "Lang KG"}}},
        GuessCase{"ThunderbirdGerman",
                  {"Vorname", "Nachname", "Anzeigename", "Primäre E-Mail-Adresse", "Tel. dienstlich", "Tel. privat",
                   "Fax-Nummer", "Mobil-Tel.-Nr.", "Privat: Adresse", "Privat: Adresse 2", "Privat: Ort",
                   "Privat: PLZ", "Privat: Land", "Notizen"},
                  {"Vorname", "Nachname", "-", "E-Mail", "Telefon", "Telefon", "Fax", "Handy", "Straße", "Zusatz",
                   "Ort", "PLZ", "Land", "Bemerkung"}},
        GuessCase{"OutlookGermanBusiness",
                  {"Anrede", "Vorname", "Weitere Vornamen", "Nachname", "Suffix", "Firma", "Abteilung", "Position",
                   "Straße geschäftlich", "Straße geschäftlich 2", "Ort geschäftlich", "Region geschäftlich",
                   "Postleitzahl geschäftlich", "Land/Region geschäftlich", "Straße privat", "Ort privat",
                   "Postleitzahl privat", "Land/Region privat", "Fax geschäftlich", "Telefon geschäftlich",
                   "Telefon privat", "Mobiltelefon", "E-Mail-Adresse", "E-Mail 2: Adresse", "Notizen"},
                  {"Anrede", "Vorname", "Vorname", "Nachname", "-", "Firma", "Abteilung", "-", "Straße", "Zusatz",
                   "Ort", "Region", "PLZ", "Land", "-", "-", "-", "-", "Fax", "Telefon", "Telefon", "Handy", "E-Mail",
                   "E-Mail", "Bemerkung"}},
        GuessCase{"OutlookEnglish",
                  {"Title", "First Name", "Middle Name", "Last Name", "Company", "Business Street", "Business City",
                   "Business Postal Code", "Business Country/Region", "Business Phone", "Mobile Phone",
                   "E-mail Address"},
                  {"Anrede", "Vorname", "Vorname", "Nachname", "Firma", "Straße", "Ort", "PLZ", "Land", "Telefon",
                   "Handy", "E-Mail"}},
        GuessCase{"GoogleContacts",
                  {"First Name", "Middle Name", "Last Name", "Name Prefix", "Organization Name", "E-mail 1 - Value",
                   "Phone 1 - Value", "Address 1 - Street", "Address 1 - City", "Address 1 - PO Box",
                   "Address 1 - Postal Code", "Address 1 - Country", "Address 2 - Street", "Address 2 - City"},
                  {"Vorname", "Vorname", "Nachname", "Anrede", "Firma", "E-Mail", "Telefon", "Straße", "Ort",
                   "Postfach", "PLZ", "Land", "-", "-"}},
        GuessCase{"OurExport",
                  {"Zeile 1", "Zeile 2", "Zeile 3", "Zeile 4", "Zeile 5", "Name", "Telefon", "Fax", "Handy", "E-Mail",
                   "Versandart", "Bemerkung", "Aktiv", "Gruppe"},
                  {"Zeile 1", "Zeile 2", "Zeile 3", "Zeile 4", "Zeile 5", "Name zum Sortieren", "Telefon", "Fax",
                   "Handy", "E-Mail", "Versandart", "Bemerkung", "Aktiv", "-"}},
        GuessCase{"NameAloneIsTheWholeName", {"Name", "Straße", "PLZ", "Ort"}, {"Nachname", "Straße", "PLZ", "Ort"}},
        GuessCase{"NameBesideFamilyNameIsLeft", {"Name", "Given Name", "Family Name"}, {"-", "Vorname", "Nachname"}},
        GuessCase{"DisplayNameOnlyWithoutOtherName", {"Display Name", "Email"}, {"Nachname", "E-Mail"}},
        GuessCase{"CaseAndPunctuation", {"  VORNAME ", "nach-name", "E_MAIL", "plz:"},
                  {"Vorname", "-", "E-Mail", "PLZ"}},
        GuessCase{"EmptyAndUnknown", {"", "Mitgliedsnummer", "Nr."}, {"-", "-", "-"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(KnownHeaders, AsTheFileWritesThem)
{
    EXPECT_EQ(KnownHeaders({"Nr", " Vorname ", "Nachname", "Geburtstag"}), (QStringList{"Vorname", "Nachname"}));
    EXPECT_TRUE(KnownHeaders({"a", "b"}).isEmpty());
}

} // namespace
