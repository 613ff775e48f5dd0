#include "sources/PostalCountry.h"

#include "app/BlankText.h"

#include <QHash>
#include <QStringList>

namespace {

struct Entry
{
    PostalCountry country;
    const char* alpha3;
    const char* spellings; // lower case, "|" between them, dots left out
};

constexpr auto kFirst = LocalityOrder::PostalCodeTown;
constexpr auto kLast = LocalityOrder::TownRegionPostalCode;

// The countries letters from here mostly go to. A country not listed still gets its own
// name as the last line, with the postal code before the town.
const Entry kCountries[] = {
    {{"DE", "Deutschland", kFirst, true}, "DEU",
     "deutschland|germany|d|ger|brd|bundesrepublik deutschland|federal republic of germany|allemagne|alemania|"
     "germania"},
    {{"AT", "Österreich", kFirst, true}, "AUT", "österreich|oesterreich|austria|autriche|a"},
    {{"CH", "Schweiz", kFirst, true}, "CHE", "schweiz|switzerland|suisse|svizzera|confoederatio helvetica"},
    {{"LI", "Liechtenstein", kFirst, true}, "LIE", "liechtenstein|fl"},
    {{"LU", "Luxemburg", kFirst, false}, "LUX", "luxemburg|luxembourg|lëtzebuerg"},
    {{"FR", "Frankreich", kFirst, false}, "FRA", "frankreich|france|f"},
    {{"BE", "Belgien", kFirst, false}, "BEL", "belgien|belgium|belgique|belgië|belgie"},
    {{"NL", "Niederlande", kFirst, false}, "NLD", "niederlande|netherlands|the netherlands|pays-bas|nederland|holland"},
    {{"DK", "Dänemark", kFirst, false}, "DNK", "dänemark|daenemark|denmark|danemark|danmark"},
    {{"PL", "Polen", kFirst, false}, "POL", "polen|poland|pologne|polska"},
    {{"CZ", "Tschechien", kFirst, false}, "CZE",
     "tschechien|tschechische republik|czech republic|czechia|république tchèque|tchéquie|česko|česká republika"},
    {{"IT", "Italien", kFirst, false}, "ITA", "italien|italy|italie|italia|i"},
    {{"ES", "Spanien", kFirst, false}, "ESP", "spanien|spain|espagne|españa|espana"},
    {{"PT", "Portugal", kFirst, false}, "PRT", "portugal"},
    {{"SE", "Schweden", kFirst, false}, "SWE", "schweden|sweden|suède|suede|sverige"},
    {{"NO", "Norwegen", kFirst, false}, "NOR", "norwegen|norway|norvège|norvege|norge"},
    {{"FI", "Finnland", kFirst, false}, "FIN", "finnland|finland|finlande|suomi"},
    {{"GR", "Griechenland", kFirst, false}, "GRC", "griechenland|greece|grèce|grece|ellada"},
    {{"HU", "Ungarn", kFirst, false}, "HUN", "ungarn|hungary|hongrie|magyarország|magyarorszag"},
    {{"HR", "Kroatien", kFirst, false}, "HRV", "kroatien|croatia|croatie|hrvatska"},
    {{"TR", "Türkei", kFirst, false}, "TUR", "türkei|tuerkei|turkey|türkiye|turkiye|turquie"},
    {{"GB", "Vereinigtes Königreich", kLast, false}, "GBR",
     "vereinigtes königreich|großbritannien|grossbritannien|united kingdom|great britain|uk|england|scotland|"
     "schottland|wales|northern ireland|nordirland|royaume-uni|grande-bretagne|angleterre"},
    {{"IE", "Irland", kLast, false}, "IRL", "irland|ireland|republic of ireland|irlande|éire|eire"},
    {{"US", "USA", kLast, false}, "USA",
     "usa|united states|united states of america|vereinigte staaten|vereinigte staaten von amerika|amerika|"
     "états-unis|etats-unis"},
    {{"CA", "Kanada", kLast, false}, "CAN", "kanada|canada"},
    {{"AU", "Australien", kLast, false}, "AUS", "australien|australia|australie"},
};

// Lower case, dots left out, blanks between words made one: "U.S.A." and " Vereinigte  Staaten".
QString normalised(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : TrimBlanks(text)) {
        if (c == u'.')
            continue;
        if (IsBlankChar(c)) {
            if (!out.endsWith(u' '))
                out += u' ';
            continue;
        }
        out += c.toLower();
    }
    return out.trimmed();
}

} // namespace

const PostalCountry* FindPostalCountry(QStringView text)
{
    // Built once: an address book of thousands of cards asks for every card.
    static const QHash<QString, const PostalCountry*> bySpelling = [] {
        QHash<QString, const PostalCountry*> map;
        for (const Entry& e : kCountries) {
            map.insert(QString::fromLatin1(e.country.Code).toLower(), &e.country);
            map.insert(QString::fromLatin1(e.alpha3).toLower(), &e.country);
            for (const QString& spelling : QString::fromUtf8(e.spellings).split(u'|'))
                map.insert(spelling, &e.country);
        }
        return map;
    }();
    return bySpelling.value(normalised(text), nullptr);
}

const PostalCountry* PostalCountryOfCode(QStringView code)
{
    const QString key = TrimBlanks(code);
    for (const Entry& e : kCountries)
        if (key.compare(QLatin1StringView(e.country.Code), Qt::CaseInsensitive) == 0)
            return &e.country;
    return nullptr;
}

bool IsGermany(const PostalCountry& country) { return qstrcmp(country.Code, "DE") == 0; }
