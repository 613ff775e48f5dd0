#include "exchange/VcardMapping.h"

#include "app/BlankText.h"
#include "exchange/PostalCountry.h"
#include "exchange/VcardReader.h"
#include "shell/Cp1252.h"

#include <QRegularExpression>

#include <climits>

namespace {

// The lines of a value where the envelope has one line: joined by ", ".
QString oneLine(QString value)
{
    if (!value.contains(u'\n') && !value.contains(u'\r'))
        return TrimBlanks(value);
    value.replace(u'\r', u'\n');  // CR LF, LF and a lone CR each end a line
    QStringList parts;
    for (QStringView part : QStringView(value).split(u'\n')) {
        const QString line = TrimBlanks(part);
        if (!line.isEmpty())
            parts.append(line);
    }
    return parts.join(QStringLiteral(", "));
}

// The words that are not empty, joined by one blank.
QString joinWords(std::initializer_list<QString> words)
{
    QString out;
    for (const QString& w : words) {
        if (w.isEmpty())
            continue;
        if (!out.isEmpty())
            out += u' ';
        out += w;
    }
    return out;
}

// A component of N may list several values ("Dr.,Prof."); they stand side by side.
QString listedWords(const QString& component)
{
    if (!component.contains(u','))
        return oneLine(component);
    QStringList words;
    for (const QString& w : oneLine(component).split(u',', Qt::SkipEmptyParts))
        if (!IsBlank(w))
            words.append(TrimBlanks(w));
    return words.join(u' ');
}

QString component(const QStringList& parts, int index) { return parts.value(index); }

// "Herrn" or "Frau" for a salutation word of the name's prefix, else empty.
QString salutationOf(QString word)
{
    word = word.toLower();
    if (word.endsWith(u'.'))
        word.chop(1);
    static const QStringList herr{"herr", "herrn", "hr", "mr"};
    static const QStringList frau{"frau", "fr", "mrs", "ms"};
    if (herr.contains(word))
        return QStringLiteral("Herrn");
    if (frau.contains(word))
        return QStringLiteral("Frau");
    return QString();
}

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

struct Name
{
    QString salutation;
    QString text;
};

// N: family;given;additional;prefixes;suffixes. Salutation words leave the prefix for
// Line1, titles such as "Dr." stay with the name.
Name nameOf(const Vcard& card)
{
    Name name;
    if (const VcardProperty* n = card.First(u"N")) {
        const QStringList parts = n->Components();
        QStringList titles;
        QString prefixes = oneLine(component(parts, 3));
        prefixes.replace(u',', u' ');
        for (const QString& word : prefixes.split(u' ', Qt::SkipEmptyParts)) {
            const QString s = salutationOf(word);
            if (s.isEmpty())
                titles.append(word);
            else if (name.salutation.isEmpty())
                name.salutation = s;
        }
        const QString given = listedWords(component(parts, 1));
        const QString middle = listedWords(component(parts, 2));
        const QString family = listedWords(component(parts, 0));
        if (!given.isEmpty() || !middle.isEmpty() || !family.isEmpty())
            name.text = joinWords({titles.join(u' '), given, middle, family});
    }
    if (name.text.isEmpty())
        if (const VcardProperty* fn = card.First(u"FN"))
            name.text = oneLine(fn->Text());
    if (name.salutation.isEmpty())
        name.salutation = salutationOfGender(card);
    return name;
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

// The country the letter goes to; null for Germany, whose letters name no country.
struct Abroad
{
    QString countryLine; // in capital letters, as the post abroad reads it first
    LocalityOrder order = LocalityOrder::PostalCodeTown;
    bool germanSpeaking = false;
};

std::optional<Abroad> abroadOf(const QString& countryText, const QString& appleCode)
{
    const PostalCountry* country = FindPostalCountry(countryText);
    if (!country && !appleCode.isEmpty())
        country = PostalCountryOfCode(appleCode);
    if (country) {
        if (IsGermany(*country))
            return std::nullopt;
        // Named in German whatever language the card is in: the post here reads German,
        // English or French.
        return Abroad{QString::fromUtf8(country->Name).toUpper(), country->Order, country->GermanSpeaking};
    }
    if (countryText.isEmpty())
        return std::nullopt;
    return Abroad{countryText.toUpper(), LocalityOrder::PostalCodeTown, false};
}

// A post office box as its line; a bare number says nothing on an envelope.
QString boxLine(const QString& box, const QString& word)
{
    static const QRegularExpression letter(QStringLiteral("\\p{L}"));
    return box.isEmpty() || box.contains(letter) ? box : word + u' ' + box;
}

// ADR: post office box;extended;street;locality;region;postal code;country.
void mapAddress(const Vcard& card, const VcardProperty& address, ImportedAdresse& out)
{
    const QStringList parts = address.Components();
    const QString box = oneLine(component(parts, 0));
    const QString extended = oneLine(component(parts, 1));
    const QString street = oneLine(component(parts, 2));
    const QString locality = oneLine(component(parts, 3));
    const QString region = oneLine(component(parts, 4));
    const QString postalCode = oneLine(component(parts, 5));
    const std::optional<Abroad> abroad = abroadOf(oneLine(component(parts, 6)), appleCountryCode(card, address));
    if (!abroad) {
        out.Line3 = street;
        out.Line4 = extended.isEmpty() ? boxLine(box, QStringLiteral("Postfach")) : extended;
        out.Line5 = joinWords({postalCode, locality});
        return;
    }
    // Abroad the country is the last line, so street, extended address and box share one.
    const QString streetOrBox =
        street.isEmpty() ? boxLine(box, abroad->germanSpeaking ? QStringLiteral("Postfach") : QStringLiteral("PO Box"))
                         : street;
    out.Line3 = streetOrBox.isEmpty() || extended.isEmpty() ? streetOrBox + extended
                                                            : streetOrBox + QStringLiteral(", ") + extended;
    out.Line4 = abroad->order == LocalityOrder::TownRegionPostalCode ? joinWords({locality, region, postalCode})
                                                                      : joinWords({postalCode, locality});
    out.Line5 = abroad->countryLine;
}

// A number of a URI value ("tel:+49-30-1234") without its scheme.
QString telephoneNumber(const VcardProperty& p)
{
    QString number = oneLine(p.Text());
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

void mapContacts(const Vcard& card, ImportedAdresse& out)
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
            QString address = oneLine(p.Text());
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
    out.Telefon = telefon.value;
    out.Fax = fax.value;
    out.Handy = handy.value;
    out.Mail = mail.value;
    out.Bemerkung = notes.join(u'\n');
}

} // namespace

std::optional<VcardAdresse> MapVcard(const Vcard& card)
{
    QString organisation;
    if (const VcardProperty* org = card.First(u"ORG"))
        organisation = oneLine(component(org->Components(), 0));
    const Name name = nameOf(card);
    if (organisation.isEmpty() && name.text.isEmpty())
        return std::nullopt;

    VcardAdresse result;
    ImportedAdresse& a = result.Adresse;
    const VcardProperty* address = chooseAddress(card, !organisation.isEmpty());
    // Apple and Google keep the employer on personal cards: a letter to the home goes to
    // the person, unless the card names nobody.
    const bool home = address && address->HasType(u"home") && !address->HasType(u"work");
    const bool toOrganisation = !organisation.isEmpty() && !(home && !name.text.isEmpty());
    a.Line1 = toOrganisation ? organisation : name.salutation;
    // A company's card names the company again as its formatted name.
    a.Line2 = toOrganisation && name.text.compare(organisation, Qt::CaseInsensitive) == 0 ? QString() : name.text;
    if (address)
        mapAddress(card, *address, a);
    mapContacts(card, a);
    // Counted as the store keeps it: characters the code page lacks become one each.
    if (a.Bemerkung.size() > kVcardBemerkungLimit) {
        const QString stored = Cp1252::decode(Cp1252::encode(a.Bemerkung));
        if (stored.size() > kVcardBemerkungLimit) {
            a.Bemerkung = stored.left(kVcardBemerkungLimit);
            result.BemerkungGekuerzt = true;
        }
    }
    return result;
}
