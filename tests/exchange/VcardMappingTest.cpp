#include "exchange/VcardMapping.h"
#include "exchange/VcardReader.h"

#include <gtest/gtest.h>

void PrintTo(const ImportedAdresse& a, std::ostream* os)
{
    *os << QStringList{a.Line1, a.Line2, a.Line3, a.Line4, a.Line5, a.Telefon, a.Fax, a.Handy, a.Mail, a.Bemerkung}
               .join(QStringLiteral(" | "))
               .toStdString();
}

namespace {

struct MapCase
{
    const char* name;
    const char* card; // the lines between BEGIN:VCARD and END:VCARD
    std::optional<ImportedAdresse> expected;
};

void PrintTo(const MapCase& c, std::ostream* os) { *os << c.name; }

std::optional<VcardAdresse> mapCard(const QByteArray& lines)
{
    const std::vector<Vcard> cards = ReadVcards("BEGIN:VCARD\r\n" + lines + "END:VCARD\r\n");
    EXPECT_EQ(cards.size(), 1u);
    return cards.empty() ? std::nullopt : MapVcard(cards.front());
}

class VcardMapTable : public ::testing::TestWithParam<MapCase>
{
};

TEST_P(VcardMapTable, CardBecomesEnvelopeAddress)
{
    const std::optional<VcardAdresse> got = mapCard(GetParam().card);
    ASSERT_EQ(got.has_value(), GetParam().expected.has_value());
    if (got) {
        EXPECT_EQ(got->Adresse, *GetParam().expected);
        EXPECT_FALSE(got->BemerkungGekuerzt);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Names, VcardMapTable,
    ::testing::Values(
        MapCase{"OrganisationFirstSalutationLeavesName", "N:Mustermann;Max;;Herr Dr.;\r\nORG:Muster GmbH;Einkauf\r\n",
                {{.Line1 = "Muster GmbH", .Line2 = "Dr. Max Mustermann"}}},
        MapCase{"SalutationHerrWithoutOrganisation", "N:Mustermann;Max;;Herr Dr.;\r\n",
                {{.Line1 = "Herrn", .Line2 = "Dr. Max Mustermann"}}},
        MapCase{"SalutationHr", "N:Meier;Jan;;Hr.;\r\n", {{.Line1 = "Herrn", .Line2 = "Jan Meier"}}},
        MapCase{"SalutationMr", "N:Smith;John;;Mr.;\r\n", {{.Line1 = "Herrn", .Line2 = "John Smith"}}},
        MapCase{"SalutationFrau", "N:Musterfrau;Erika;;Frau;\r\n", {{.Line1 = "Frau", .Line2 = "Erika Musterfrau"}}},
        MapCase{"SalutationFrDotProf", "N:Lang;Eva;;Fr.,Prof.;\r\n", {{.Line1 = "Frau", .Line2 = "Prof. Eva Lang"}}},
        MapCase{"SalutationMrs", "N:Brown;Ann;;Mrs.;\r\n", {{.Line1 = "Frau", .Line2 = "Ann Brown"}}},
        MapCase{"SalutationMsCaseInsensitive", "N:Brown;Ann;;MS;\r\n", {{.Line1 = "Frau", .Line2 = "Ann Brown"}}},
        MapCase{"GenderMale", "N:Kurz;Tom;;;\r\nGENDER:M\r\n", {{.Line1 = "Herrn", .Line2 = "Tom Kurz"}}},
        MapCase{"GenderFemaleWithText", "N:Kurz;Tina;;;\r\nGENDER:F;weiblich\r\n",
                {{.Line1 = "Frau", .Line2 = "Tina Kurz"}}},
        MapCase{"GenderOtherNoSalutation", "N:Kurz;Kim;;;\r\nGENDER:O\r\n", {{.Line2 = "Kim Kurz"}}},
        MapCase{"PrefixBeforeGender", "N:Kurz;Tina;;Frau;\r\nGENDER:M\r\n", {{.Line1 = "Frau", .Line2 = "Tina Kurz"}}},
        MapCase{"NoSalutation", "N:Kurz;Kim;;Dr.;\r\n", {{.Line2 = "Dr. Kim Kurz"}}},
        MapCase{"MiddleNamesAndLists", "N:Schmidt;Anna;Maria,Luise;;\r\n", {{.Line2 = "Anna Maria Luise Schmidt"}}},
        MapCase{"SuffixLeftOut", "N:Huber;Karl;;;jun.\r\n", {{.Line2 = "Karl Huber"}}},
        MapCase{"EscapedCharactersInName", "N:M\\;ller-L\\\\dtke;Hans;;;\r\n", {{.Line2 = "Hans M;ller-L\\dtke"}}},
        MapCase{"FormattedNameWhenNoN", "FN:Die Nachbarn\r\n", {{.Line2 = "Die Nachbarn"}}},
        MapCase{"FormattedNameWhenNEmpty", "N:;;;Herr;\r\nFN:Herr Unbekannt\r\n",
                {{.Line1 = "Herrn", .Line2 = "Herr Unbekannt"}}},
        MapCase{"CompanyCardNamesCompanyOnce", "N:;;;;\r\nFN:Stadtwerke\r\nORG:Stadtwerke;\r\n",
                {{.Line1 = "Stadtwerke"}}},
        MapCase{"OrganisationOnly", "ORG:Verein e.V.\r\n", {{.Line1 = "Verein e.V."}}},
        MapCase{"EmptyOrganisationComponent", "ORG:;Abteilung\r\nFN:Anna\r\n", {{.Line2 = "Anna"}}},
        MapCase{"NeitherNameNorOrganisation", "N:;;;;\r\nFN: \r\nEMAIL:a@b.example\r\nTEL:1\r\n", std::nullopt},
        MapCase{"NothingAtAll", "VERSION:3.0\r\n", std::nullopt},
        MapCase{"SalutationAloneIsNoName", "N:;;;Herr;\r\n", std::nullopt},
        // Blank means the codes 0 to 32: a non-breaking space is text, a tab is not.
        MapCase{"NonBreakingSpaceIsAName", "FN:\xC2\xA0\r\n", {{.Line2 = "\u00A0"}}},
        MapCase{"TabsAroundTheNameTrimmed", "FN;ENCODING=QUOTED-PRINTABLE:=09Anna=09\r\n", {{.Line2 = "Anna"}}},
        MapCase{"NonBreakingSpaceKeptAtTheEnd", "FN:Anna\xC2\xA0\r\n", {{.Line2 = "Anna\u00A0"}}}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Addresses, VcardMapTable,
    ::testing::Values(
        MapCase{"PreferredWins",
                "FN:A\r\nORG:F\r\nADR;TYPE=work:;;Werk 1;Köln;;50667;\r\nADR;TYPE=home;TYPE=pref:;;Heim 2;Bonn;;53111;\r\n",
                {{.Line2 = "A", .Line3 = "Heim 2", .Line5 = "53111 Bonn"}}},
        MapCase{"Pref4Lowest", "FN:A\r\nADR;PREF=2:;;Zwei;;;;\r\nADR;PREF=1:;;Eins;;;;\r\nADR:;;Ohne;;;;\r\n",
                {{.Line2 = "A", .Line3 = "Eins"}}},
        MapCase{"WorkForOrganisation",
                "FN:A\r\nORG:F\r\nADR;TYPE=home:;;Heim 2;Bonn;;53111;\r\nADR;TYPE=work:;;Werk 1;Köln;;50667;\r\n",
                {{.Line1 = "F", .Line2 = "A", .Line3 = "Werk 1", .Line5 = "50667 Köln"}}},
        MapCase{"HomeWithoutOrganisation",
                "FN:A\r\nADR;TYPE=work:;;Werk 1;Köln;;50667;\r\nADR;TYPE=home:;;Heim 2;Bonn;;53111;\r\n",
                {{.Line2 = "A", .Line3 = "Heim 2", .Line5 = "53111 Bonn"}}},
        MapCase{"FirstWithoutTypes", "FN:A\r\nADR:;;Erste 1;;;;\r\nADR:;;Zweite 2;;;;\r\n",
                {{.Line2 = "A", .Line3 = "Erste 1"}}},
        MapCase{"EmptyAddressPassedOver", "FN:A\r\nADR;TYPE=pref:;;;;;;\r\nADR:;;Weg 1;;;;\r\n",
                {{.Line2 = "A", .Line3 = "Weg 1"}}},
        MapCase{"ExtendedAddressBeforeBox", "FN:A\r\nADR:PF 12;c/o Meier;Weg 1;Berlin;;10115;\r\n",
                {{.Line2 = "A", .Line3 = "Weg 1", .Line4 = "c/o Meier", .Line5 = "10115 Berlin"}}},
        MapCase{"BareBoxNumberNamedPostfach", "FN:A\r\nADR:12 34 56;;;Köln;;50668;Deutschland\r\n",
                {{.Line2 = "A", .Line4 = "Postfach 12 34 56", .Line5 = "50668 Köln"}}},
        MapCase{"BoxWithWordsKept", "FN:A\r\nADR:Postfach 12 34;;;Köln;;50668;\r\n",
                {{.Line2 = "A", .Line4 = "Postfach 12 34", .Line5 = "50668 Köln"}}},
        MapCase{"PostalCodeAlone", "FN:A\r\nADR:;;;;;10115;\r\n", {{.Line2 = "A", .Line5 = "10115"}}},
        MapCase{"StreetOfTwoLines", "FN:A\r\nADR:;;Am See 3\\nHinterhaus;Starnberg;;82319;\r\n",
                {{.Line2 = "A", .Line3 = "Am See 3, Hinterhaus", .Line5 = "82319 Starnberg"}}},
        MapCase{"StreetBrokenByACarriageReturnAlone",
                "FN:A\r\nADR;ENCODING=QUOTED-PRINTABLE:;;Hauptstr. 1=0DHinterhaus;Ort;;1;\r\n",
                {{.Line2 = "A", .Line3 = "Hauptstr. 1, Hinterhaus", .Line5 = "1 Ort"}}},
        MapCase{"ShortAddressOf21", "FN:A\r\nADR;HOME:;;Weg 1;Ort\r\n", {{.Line2 = "A", .Line3 = "Weg 1", .Line5 = "Ort"}}},
        MapCase{"GroupedAddress", "FN:A\r\nitem1.ADR;type=HOME;type=pref:;;Weg 1;Ort;;1;\r\nitem1.X-ABADR:de\r\n",
                {{.Line2 = "A", .Line3 = "Weg 1", .Line5 = "1 Ort"}}}),
    [](const auto& info) { return std::string(info.param.name); });

// A letter abroad ends in the country, in capital letters and in German; the line above
// it is the locality as the country writes it.
INSTANTIATE_TEST_SUITE_P(
    Abroad, VcardMapTable,
    ::testing::Values(
        MapCase{"ViennaWithPostOfficeBox", "FN:A\r\nADR;TYPE=work:Postfach 12;;;Wien;;1010;Österreich\r\n",
                {{.Line2 = "A", .Line3 = "Postfach 12", .Line4 = "1010 Wien", .Line5 = "ÖSTERREICH"}}},
        MapCase{"ViennaStreetBeforeBox", "FN:A\r\nADR:PF 12;c/o Meier;Weg 1;Wien;;1010;Austria\r\n",
                {{.Line2 = "A", .Line3 = "Weg 1, c/o Meier", .Line4 = "1010 Wien", .Line5 = "ÖSTERREICH"}}},
        MapCase{"BareBoxNumberWhereGermanIsSpoken", "FN:A\r\nADR:12;;;Wien;;1010;AT\r\n",
                {{.Line2 = "A", .Line3 = "Postfach 12", .Line4 = "1010 Wien", .Line5 = "ÖSTERREICH"}}},
        MapCase{"BareBoxNumberElsewhere", "FN:A\r\nADR:4711;Etage 2;;Paris;;75001;France\r\n",
                {{.Line2 = "A", .Line3 = "PO Box 4711, Etage 2", .Line4 = "75001 Paris", .Line5 = "FRANKREICH"}}},
        MapCase{"SanFranciscoWithState", "FN:A\r\nADR:;Suite 200;1 Market St;San Francisco;CA;94105;USA\r\n",
                {{.Line2 = "A", .Line3 = "1 Market St, Suite 200", .Line4 = "San Francisco CA 94105", .Line5 = "USA"}}},
        MapCase{"ZurichRegionLeftOut", "FN:A\r\nADR:;;Bahnhofstrasse 1;Zürich;ZH;8001;Schweiz\r\n",
                {{.Line2 = "A", .Line3 = "Bahnhofstrasse 1", .Line4 = "8001 Zürich", .Line5 = "SCHWEIZ"}}},
        MapCase{"ParisNamedInFrench", "FN:A\r\nADR:;;12 rue de la Paix;Paris;;75002;France\r\n",
                {{.Line2 = "A", .Line3 = "12 rue de la Paix", .Line4 = "75002 Paris", .Line5 = "FRANKREICH"}}},
        MapCase{"LondonPostcodeAfterTown", "FN:A\r\nADR:;Flat 3;10 High Street;London;;SW1A 2AA;United Kingdom\r\n",
                {{.Line2 = "A", .Line3 = "10 High Street, Flat 3", .Line4 = "London SW1A 2AA",
                  .Line5 = "VEREINIGTES KÖNIGREICH"}}},
        MapCase{"DublinBoxWithWords", "FN:A\r\nADR:PO Box 77;;;Dublin;;D02 X285;Ireland\r\n",
                {{.Line2 = "A", .Line3 = "PO Box 77", .Line4 = "Dublin D02 X285", .Line5 = "IRLAND"}}},
        MapCase{"SydneyWithState", "FN:A\r\nADR:;;1 George St;Sydney;NSW;2000;Australia\r\n",
                {{.Line2 = "A", .Line3 = "1 George St", .Line4 = "Sydney NSW 2000", .Line5 = "AUSTRALIEN"}}},
        MapCase{"AppleCodeNamesTheCountry",
                "FN:A\r\nitem1.ADR;type=WORK:;;1 Yonge St;Toronto;ON;M5E 1E5;\r\nitem1.X-ABADR:ca\r\n",
                {{.Line2 = "A", .Line3 = "1 Yonge St", .Line4 = "Toronto ON M5E 1E5", .Line5 = "KANADA"}}},
        MapCase{"CountryTextBeforeAppleCode",
                "FN:A\r\nitem1.ADR:;;Weg 1;Wien;;1010;Österreich\r\nitem1.X-ABADR:de\r\n",
                {{.Line2 = "A", .Line3 = "Weg 1", .Line4 = "1010 Wien", .Line5 = "ÖSTERREICH"}}},
        MapCase{"AppleCodeOfAnotherAddressIgnored",
                "FN:A\r\nitem1.ADR:;;Weg 1;Ort;;1;\r\nitem2.ADR;TYPE=home:;;;;;;\r\nitem2.X-ABADR:us\r\n",
                {{.Line2 = "A", .Line3 = "Weg 1", .Line5 = "1 Ort"}}},
        MapCase{"UnknownCountryAsWritten", "FN:A\r\nADR:;;Av. Larco 1;Lima;;15074;Perú\r\n",
                {{.Line2 = "A", .Line3 = "Av. Larco 1", .Line4 = "15074 Lima", .Line5 = "PERÚ"}}},
        MapCase{"OffsetInParameterKeepsTheAddress", "FN:A\r\nADR;TZ=+01:00:;;Weg 1;Wien;;1010;Österreich\r\n",
                {{.Line2 = "A", .Line3 = "Weg 1", .Line4 = "1010 Wien", .Line5 = "ÖSTERREICH"}}},
        // Longer than the dialog lets one type, kept whole as every import keeps it.
        MapCase{"LongStreetLineKeptWhole",
                "FN:A\r\nADR:;Gebäude C\\, Aufgang 3\\, Hinterhof;Avenue des Champs-Élysées 101;Paris;;75008;F\r\n",
                {{.Line2 = "A", .Line3 = "Avenue des Champs-Élysées 101, Gebäude C, Aufgang 3, Hinterhof",
                  .Line4 = "75008 Paris", .Line5 = "FRANKREICH"}}}),
    [](const auto& info) { return std::string(info.param.name); });

// Apple's and Google's personal cards keep the employer; a letter home is a private letter.
INSTANTIATE_TEST_SUITE_P(
    Organisation, VcardMapTable,
    ::testing::Values(
        MapCase{"PreferredHomeAddressGoesToThePerson",
                "N:Schmidt;Anna;;Frau;\r\nORG:Beispiel AG\r\nADR;TYPE=work:;;Werk 1;Köln;;50667;\r\n"
                "ADR;TYPE=home;TYPE=pref:;;Heim 2;Bonn;;53111;\r\n",
                {{.Line1 = "Frau", .Line2 = "Anna Schmidt", .Line3 = "Heim 2", .Line5 = "53111 Bonn"}}},
        MapCase{"OnlyAHomeAddress", "N:Kurz;Tom;;;\r\nGENDER:M\r\nORG:Beispiel AG\r\nADR;HOME:;;Heim 2;Bonn;;53111;\r\n",
                {{.Line1 = "Herrn", .Line2 = "Tom Kurz", .Line3 = "Heim 2", .Line5 = "53111 Bonn"}}},
        MapCase{"WorkAddress", "N:Kurz;Tom;;Herr;\r\nORG:Beispiel AG\r\nADR;TYPE=work:;;Werk 1;Köln;;50667;\r\n",
                {{.Line1 = "Beispiel AG", .Line2 = "Tom Kurz", .Line3 = "Werk 1", .Line5 = "50667 Köln"}}},
        MapCase{"AddressWithoutType", "N:Kurz;Tom;;Herr;\r\nORG:Beispiel AG\r\nADR;TYPE=pref:;;Weg 1;Köln;;50667;\r\n",
                {{.Line1 = "Beispiel AG", .Line2 = "Tom Kurz", .Line3 = "Weg 1", .Line5 = "50667 Köln"}}},
        MapCase{"HomeAndWorkAtOnce", "N:Kurz;Tom;;Herr;\r\nORG:Beispiel AG\r\nADR;TYPE=home,work:;;Weg 1;Köln;;50667;\r\n",
                {{.Line1 = "Beispiel AG", .Line2 = "Tom Kurz", .Line3 = "Weg 1", .Line5 = "50667 Köln"}}},
        MapCase{"NoAddress", "N:Kurz;Tom;;Herr;\r\nORG:Beispiel AG\r\n", {{.Line1 = "Beispiel AG", .Line2 = "Tom Kurz"}}},
        MapCase{"HomeOfACardWithoutName", "ORG:Verein e.V.\r\nADR;TYPE=home:;;Weg 1;Ort;;1;\r\n",
                {{.Line1 = "Verein e.V.", .Line3 = "Weg 1", .Line5 = "1 Ort"}}},
        MapCase{"HomeNamedLikeTheOrganisation", "FN:Stadtwerke\r\nORG:Stadtwerke\r\nADR;TYPE=home:;;Weg 1;Ort;;1;\r\n",
                {{.Line2 = "Stadtwerke", .Line3 = "Weg 1", .Line5 = "1 Ort"}}}),
    [](const auto& info) { return std::string(info.param.name); });

// Every usual spelling of Germany keeps the German lines and names no country.
TEST(VcardMapping, GermanyInEverySpelling)
{
    const char* const countries[] = {"", "Deutschland", "DEUTSCHLAND", "Germany", "germany", "DE", "de", "D", "D.",
                                     "DEU", "GER", "BRD", "Bundesrepublik Deutschland", "Federal Republic of Germany",
                                     "Allemagne", " Deutschland "};
    const ImportedAdresse german{.Line2 = "A", .Line3 = "Weg 1", .Line5 = "10115 Berlin"};
    for (const char* country : countries) {
        SCOPED_TRACE(country);
        const std::optional<VcardAdresse> got =
            mapCard(QByteArray("FN:A\r\nADR:;;Weg 1;Berlin;;10115;") + country + "\r\n");
        ASSERT_TRUE(got);
        EXPECT_EQ(got->Adresse, german);
    }
    // Apple's code says Germany where the country is named in a language the table lacks.
    const std::optional<VcardAdresse> apple =
        mapCard("FN:A\r\nitem1.ADR:;;Weg 1;Berlin;;10115;Niemcy\r\nitem1.X-ABADR:de\r\n");
    ASSERT_TRUE(apple);
    EXPECT_EQ(apple->Adresse, german);
}

INSTANTIATE_TEST_SUITE_P(
    Contacts, VcardMapTable,
    ::testing::Values(
        MapCase{"EachKindItsField", "FN:A\r\nTEL;TYPE=work,voice:1\r\nTEL;TYPE=cell:2\r\nTEL;TYPE=work,fax:3\r\nEMAIL:a@b\r\n",
                {{.Line2 = "A", .Telefon = "1", .Fax = "3", .Handy = "2", .Mail = "a@b"}}},
        MapCase{"Bare21Types", "FN:A\r\nTEL;WORK;VOICE:1\r\nTEL;CELL:2\r\nTEL;HOME;FAX:3\r\nTEL;PAGER:4\r\n",
                {{.Line2 = "A", .Telefon = "1", .Fax = "3", .Handy = "2"}}},
        MapCase{"PreferredFirst",
                "FN:A\r\nTEL:1\r\nTEL;TYPE=pref:2\r\nEMAIL:x@a\r\nEMAIL;PREF=2:y@a\r\nEMAIL;PREF=1:z@a\r\n"
                "TEL;CELL:3\r\nTEL;CELL;PREF:4\r\n",
                {{.Line2 = "A", .Telefon = "2", .Handy = "4", .Mail = "z@a"}}},
        MapCase{"FirstWhenNonePreferred", "FN:A\r\nTEL;TYPE=home:1\r\nTEL;TYPE=work:2\r\n", {{.Line2 = "A", .Telefon = "1"}}},
        MapCase{"UriValues", "FN:A\r\nTEL;VALUE=uri;TYPE=cell:tel:+49-170-1\r\nEMAIL:mailto:a@b\r\n",
                {{.Line2 = "A", .Handy = "+49-170-1", .Mail = "a@b"}}},
        MapCase{"EmptyValuesPassedOver", "FN:A\r\nTEL;TYPE=pref:\r\nTEL:2\r\n", {{.Line2 = "A", .Telefon = "2"}}},
        MapCase{"NotesJoined", "FN:A\r\nNOTE:eins\\nzwei\\, drei\r\nNOTE:vier\r\n",
                {{.Line2 = "A", .Bemerkung = "eins\nzwei, drei\nvier"}}},
        MapCase{"NoteLineBreaksBecomeNewlines", "FN:A\r\nNOTE;ENCODING=QUOTED-PRINTABLE:a=0D=0Ab=0Dc\r\n",
                {{.Line2 = "A", .Bemerkung = "a\nb\nc"}}}),
    [](const auto& info) { return std::string(info.param.name); });

// The remark is cut to what the store keeps; a character outside the code page counts
// once, as the "?" it becomes.
TEST(VcardMapping, RemarkCutToTheLimit)
{
    const struct
    {
        const char* name;
        QString note;
        QString stored;
        bool shortened;
    } cases[] = {
        {"exactly255", QString(255, u'x'), QString(255, u'x'), false},
        {"256", QString(254, u'x') + "yz", QString(254, u'x') + "y", true},
        {"emojiCountsOnce", QString(254, u'x') + QString::fromUtf8("\xF0\x9F\x98\x80"),
         QString(254, u'x') + QString::fromUtf8("\xF0\x9F\x98\x80"), false},
        {"cutAfterReplacement", QString::fromUtf8("\xF0\x9F\x98\x80") + QString(255, u'x'), "?" + QString(254, u'x'),
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<VcardAdresse> got = mapCard("FN:A\r\nNOTE:" + c.note.toUtf8() + "\r\n");
        ASSERT_TRUE(got);
        EXPECT_EQ(got->Adresse.Bemerkung, c.stored);
        EXPECT_EQ(got->BemerkungGekuerzt, c.shortened);
    }
}

} // namespace
