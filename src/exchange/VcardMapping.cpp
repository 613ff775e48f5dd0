#include "exchange/VcardMapping.h"

#include "app/BlankText.h"
#include "exchange/VcardReader.h"
#include "sources/AddressComposer.h"
#include "sources/PostalCountry.h"

#include <climits>

namespace {

using F = AddressField;

// A component of N may list several values ("Dr.,Prof."); they stand side by side.
QString listedWords(const QString& component)
{
    if (!component.contains(u','))
        return OneLine(component);
    QStringList words;
    for (const QString& w : OneLine(component).split(u',', Qt::SkipEmptyParts))
        if (!IsBlank(w))
            words.append(TrimBlanks(w));
    return words.join(u' ');
}

QString component(const QStringList& parts, int index) { return parts.value(index); }

QString salutationOfGender(const Vcard& card)
{
    const VcardProperty* gender = card.First(u"GENDER");
    if (!gender)
        return QString();
    const QString sex = TrimBlanks(component(gender->Components(), 0)).toUpper();
    if (sex == u"M")
        return QStringLiteral("Herrn");
    if (sex == u"F")
        return QStringLiteral("Frau");
    return QString();
}

// N: family;given;additional;prefixes;suffixes. Salutation words leave the prefix for
// Line1, titles such as "Dr." stay with the name. Without any part of N the formatted
// name stands for the whole name.
void mapName(const Vcard& card, AddressRecord& r)
{
    QString salutation;
    if (const VcardProperty* n = card.First(u"N")) {
        const QStringList parts = n->Components();
        const Salutation prefix = SplitSalutation(component(parts, 3));
        salutation = prefix.salutation;
        const QString given = listedWords(component(parts, 1));
        const QString middle = listedWords(component(parts, 2));
        const QString family = listedWords(component(parts, 0));
        if (!given.isEmpty() || !middle.isEmpty() || !family.isEmpty()) {
            r.Set(F::Titel, prefix.titles.join(u' '));
            r.Set(F::Vorname, JoinWords({given, middle}));
            r.Set(F::Nachname, family);
        }
    }
    if (r[F::Titel].isEmpty() && r[F::Vorname].isEmpty() && r[F::Nachname].isEmpty())
        if (const VcardProperty* fn = card.First(u"FN"))
            r.Set(F::Nachname, OneLine(fn->Text()));
    if (salutation.isEmpty())
        salutation = salutationOfGender(card);
    r.Set(F::Anrede, salutation);
}

bool isEmptyAddress(const QStringList& parts)
{
    for (const QString& p : parts)
        if (!IsBlank(p))
            return false;
    return true;
}

// A preference rank: 1 to 100 for preferred entries, above them the others.
int rank(const VcardProperty& p)
{
    const int pref = p.Preference();
    return pref > 0 ? pref : 101;
}

// The address the letter goes to: preferred first; then work for an organisation; then
// home; then file order. Null when the card has none that is not empty.
const VcardProperty* chooseAddress(const Vcard& card, bool hasOrganisation)
{
    const VcardProperty* chosen = nullptr;
    int chosenScore = INT_MAX;
    for (const VcardProperty& p : card.Properties) {
        if (p.Name != u"ADR" || isEmptyAddress(p.Components()))
            continue;
        int score = 1000;
        if (p.Preference() > 0)
            score = p.Preference();
        else if (hasOrganisation && p.HasType(u"work"))
            score = 200;
        else if (p.HasType(u"home"))
            score = 300;
        if (score < chosenScore) {
            chosen = &p;
            chosenScore = score;
        }
    }
    return chosen;
}

// Apple names the country of an address by its code in X-ABADR of the address's group.
QString appleCountryCode(const Vcard& card, const VcardProperty& address)
{
    if (address.Group.isEmpty())
        return QString();
    for (const VcardProperty& p : card.Properties)
        if (p.Name == u"X-ABADR" && p.Group.compare(address.Group, Qt::CaseInsensitive) == 0)
            return TrimBlanks(p.Text());
    return QString();
}

// ADR: post office box;extended;street;locality;region;postal code;country.
void mapAddress(const Vcard& card, const VcardProperty& address, AddressRecord& r)
{
    const QStringList parts = address.Components();
    r.Set(F::Postfach, OneLine(component(parts, 0)));
    r.Set(F::Zusatz, OneLine(component(parts, 1)));
    r.Set(F::Strasse, OneLine(component(parts, 2)));
    r.Set(F::Ort, OneLine(component(parts, 3)));
    r.Set(F::Region, OneLine(component(parts, 4)));
    r.Set(F::Plz, OneLine(component(parts, 5)));
    QString country = OneLine(component(parts, 6));
    if (!FindPostalCountry(country))
        if (const PostalCountry* coded = PostalCountryOfCode(appleCountryCode(card, address)))
            country = QString::fromUtf8(coded->Name);
    r.Set(F::Land, country);
}

// A number of a URI value ("tel:+49-30-1234") without its scheme.
QString telephoneNumber(const VcardProperty& p)
{
    QString number = OneLine(p.Text());
    if (number.startsWith(QStringLiteral("tel:"), Qt::CaseInsensitive))
        number.remove(0, 4);
    return number;
}

struct Pick
{
    QString value;
    int rank = INT_MAX;

    // Keeps the better ranked value; of two alike the first.
    void offer(const QString& v, int r)
    {
        if (!v.isEmpty() && r < rank) {
            value = v;
            rank = r;
        }
    }
};

void mapContacts(const Vcard& card, AddressRecord& r)
{
    Pick telefon, fax, handy, mail;
    QStringList notes;
    for (const VcardProperty& p : card.Properties) {
        if (p.Name == u"TEL") {
            if (p.HasType(u"pager"))
                continue;
            Pick& target = p.HasType(u"fax") ? fax : p.HasType(u"cell") ? handy : telefon;
            target.offer(telephoneNumber(p), rank(p));
        } else if (p.Name == u"EMAIL") {
            QString address = OneLine(p.Text());
            if (address.startsWith(QStringLiteral("mailto:"), Qt::CaseInsensitive))
                address.remove(0, 7);
            mail.offer(address, rank(p));
        } else if (p.Name == u"NOTE") {
            QString note = p.Text();
            note.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
            note = TrimBlanks(note);
            if (!note.isEmpty())
                notes.append(note);
        }
    }
    r.Set(F::Telefon, telefon.value);
    r.Set(F::Fax, fax.value);
    r.Set(F::Handy, handy.value);
    r.Set(F::Mail, mail.value);
    r.Set(F::Bemerkung, notes.join(u'\n'));
}

} // namespace

std::optional<AddressRecord> VcardRecord(const Vcard& card)
{
    QString organisation;
    if (const VcardProperty* org = card.First(u"ORG"))
        organisation = OneLine(component(org->Components(), 0));
    AddressRecord r;
    mapName(card, r);
    const bool named = !r[F::Titel].isEmpty() || !r[F::Vorname].isEmpty() || !r[F::Nachname].isEmpty();
    if (organisation.isEmpty() && !named)
        return std::nullopt;

    const VcardProperty* address = chooseAddress(card, !organisation.isEmpty());
    // Apple and Google keep the employer on personal cards: a letter to the home goes to
    // the person, unless the card names nobody.
    const bool home = address && address->HasType(u"home") && !address->HasType(u"work");
    if (!organisation.isEmpty() && !(home && named))
        r.Set(F::Firma, organisation);
    if (address)
        mapAddress(card, *address, r);
    mapContacts(card, r);
    return r;
}

std::optional<VcardAdresse> MapVcard(const Vcard& card)
{
    const std::optional<AddressRecord> record = VcardRecord(card);
    if (!record)
        return std::nullopt;
    VcardAdresse result;
    result.Adresse = ComposeAdresse(*record);
    result.BemerkungGekuerzt = CutBemerkung(result.Adresse.Bemerkung);
    return result;
}
