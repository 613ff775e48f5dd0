#include "sources/ColumnGuess.h"

#include "app/BlankText.h"

#include <QHash>
#include <QRegularExpression>

namespace {

using F = AddressField;

// A header's words: lower case, punctuation made blanks ("E-Mail: Adresse" → "e mail adresse").
QString normalised(const QString& header)
{
    QString out;
    bool blank = true;
    for (const QChar c : header.toLower()) {
        if (c.isLetterOrNumber()) {
            out += c;
            blank = false;
        } else if (!blank) {
            out += u' ';
            blank = true;
        }
    }
    return out.trimmed();
}

enum class Kind { Field, Name, FullName };

struct Known
{
    Kind kind;
    F field;
};

// The names a column of each target goes by, without the words that say whose address it is.
const QHash<QString, Known>& knownNames()
{
    static const QHash<QString, Known> names = [] {
        QHash<QString, Known> map;
        auto add = [&](F field, std::initializer_list<const char*> spellings) {
            for (const char* s : spellings)
                map.insert(QString::fromUtf8(s), {Kind::Field, field});
        };
        add(F::Anrede, {"anrede", "salutation", "title", "name prefix", "prefix", "namenspräfix"});
        add(F::Titel, {"titel", "akademischer titel", "academic title"});
        add(F::Vorname, {"vorname", "vornamen", "first name", "firstname", "given name", "givenname", "forename",
                         "rufname", "middle name", "weitere vornamen", "additional name", "zweiter vorname"});
        add(F::Nachname, {"nachname", "last name", "lastname", "surname", "family name", "familyname", "familienname",
                          "zuname"});
        add(F::Firma, {"firma", "company", "company name", "organization", "organisation", "organization name",
                       "organisation name", "organization 1 name", "unternehmen", "firmenname", "institution"});
        add(F::Abteilung, {"abteilung", "department", "organization department", "organisation department", "organization 1 department"});
        add(F::Zusatz, {"zusatz", "adresszusatz", "address 2", "address 3", "address line 2", "address line 3",
                        "street 2", "street 3", "straße 2", "straße 3", "strasse 2", "strasse 3", "adresse 2",
                        "extended address", "c o"});
        add(F::Strasse, {"straße", "strasse", "str", "street", "address", "adresse", "anschrift", "street address",
                         "address line 1", "straße und hausnummer", "strasse und hausnummer", "straße hausnummer",
                         "strasse hausnummer", "straße nr", "strasse nr", "street 1", "straße 1", "strasse 1"});
        add(F::Hausnummer, {"hausnummer", "hausnr", "haus nr", "house number", "housenumber"});
        add(F::Postfach, {"postfach", "po box", "p o box", "pobox", "post office box"});
        add(F::Plz, {"plz", "postleitzahl", "zip", "zipcode", "zip code", "postal code", "postalcode", "postcode",
                     "post code"});
        add(F::Ort, {"ort", "stadt", "wohnort", "city", "town", "locality", "gemeinde"});
        add(F::Region, {"region", "state", "bundesland", "bundesland kanton", "province", "kanton", "state province"});
        add(F::Land, {"land", "country", "staat", "country region", "land region", "nation"});
        add(F::Telefon, {"telefon", "tel", "phone", "telephone", "telefonnummer", "telefon nr", "festnetz",
                         "phone number", "phone 1 value", "phone 2 value"});
        add(F::Fax, {"fax", "fax number", "faxnummer", "fax nummer", "telefax"});
        add(F::Handy, {"handy", "mobil", "mobile", "mobiltelefon", "mobile phone", "mobile number", "cell",
                       "cell phone", "mobil tel nr", "handynummer", "mobilnummer", "mobiltelefonnummer"});
        add(F::Mail, {"e mail", "email", "mail", "e mail adresse", "email adresse", "e mail address", "email address",
                      "primary email", "primäre e mail adresse", "e mail 1 value", "emailadresse",
                      "e mail 2 adresse", "secondary email", "sekundäre e mail adresse", "e mail 2 value", "e mail 2 address"});
        add(F::Bemerkung, {"bemerkung", "bemerkungen", "notiz", "notizen", "notes", "note", "kommentar", "comment",
                           "comments", "anmerkung", "anmerkungen", "hinweis"});
        add(F::Zeile1, {"zeile 1"});
        add(F::Zeile2, {"zeile 2"});
        add(F::Zeile3, {"zeile 3"});
        add(F::Zeile4, {"zeile 4"});
        add(F::Zeile5, {"zeile 5"});
        add(F::Versand, {"versandart", "versand"});
        add(F::Aktiv, {"aktiv", "active"});
        map.insert(QStringLiteral("name"), {Kind::Name, F::Nachname});
        for (const char* s : {"display name", "anzeigename", "full name", "vollständiger name", "ganzer name"})
            map.insert(QString::fromUtf8(s), {Kind::FullName, F::Nachname});
        return map;
    }();
    return names;
}

// Whose address a column belongs to.
enum class Owner { None, Home, Work, Numbered };

Owner ownerOfWord(const QString& word)
{
    static const QStringList home{"home", "privat", "private", "personal"};
    static const QStringList work{"work", "business", "geschäftlich", "geschaeftlich", "dienstlich", "büro",
                                  "office"};
    if (home.contains(word))
        return Owner::Home;
    if (work.contains(word))
        return Owner::Work;
    return Owner::None;
}

bool isAddressPart(F f)
{
    switch (f) {
    case F::Zusatz:
    case F::Strasse:
    case F::Hausnummer:
    case F::Postfach:
    case F::Plz:
    case F::Ort:
    case F::Region:
    case F::Land:
        return true;
    default:
        return false;
    }
}

struct Column
{
    std::optional<Known> known;
    QString set; // whose address: "" for a plain column, "home", "work", "1", "2" ...
    Owner owner = Owner::None;
};

Column columnOf(const QString& header)
{
    Column column;
    const QString n = normalised(header);
    if (n.isEmpty())
        return column;
    const QHash<QString, Known>& names = knownNames();
    // Google writes "Address 1 - Street", "Address 2 - City".
    static const QRegularExpression numbered(QStringLiteral("^address (\\d+) (.+)$"));
    if (const QRegularExpressionMatch m = numbered.match(n); m.hasMatch()) {
        const auto it = names.constFind(m.captured(2));
        if (it != names.cend() && it->kind == Kind::Field && isAddressPart(it->field)) {
            column.known = *it;
            column.set = m.captured(1);
            column.owner = Owner::Numbered;
        }
        return column;
    }
    if (const auto it = names.constFind(n); it != names.cend()) {
        column.known = *it;
        return column;
    }
    // "Home Street", "Straße geschäftlich", "Privat: PLZ", "Tel. dienstlich".
    QStringList words = n.split(u' ');
    Owner owner = Owner::None;
    for (qsizetype i = 0; i < words.size();) {
        const Owner o = ownerOfWord(words.at(i));
        if (o != Owner::None && owner == Owner::None) {
            owner = o;
            words.removeAt(i);
        } else {
            ++i;
        }
    }
    if (owner == Owner::None)
        return column;
    const auto it = names.constFind(words.join(u' '));
    if (it == names.cend())
        return column;
    column.known = *it;
    if (it->kind == Kind::Field && isAddressPart(it->field)) {
        column.owner = owner;
        column.set = owner == Owner::Home ? QStringLiteral("home") : QStringLiteral("work");
    }
    return column;
}

} // namespace

ColumnTargets GuessTargets(const QStringList& headers, const std::vector<sheets::Row>& samples)
{
    std::vector<Column> columns;
    columns.reserve(headers.size());
    for (const QString& h : headers)
        columns.push_back(columnOf(h));

    auto fieldAt = [&](size_t i) -> std::optional<F> {
        const Column& c = columns[i];
        if (!c.known || c.known->kind != Kind::Field)
            return std::nullopt;
        return c.known->field;
    };
    bool hasVorname = false, hasNachname = false, hasZeile = false;
    for (size_t i = 0; i < columns.size(); ++i) {
        const std::optional<F> f = fieldAt(i);
        hasVorname |= f == F::Vorname;
        hasNachname |= f == F::Nachname;
        hasZeile |= f && DirectLineOf(*f).has_value();
    }

    // Of several addresses, the one the sample rows fill most; of equals the first.
    QStringList sets;
    QHash<QString, int> filled;
    for (size_t i = 0; i < columns.size(); ++i) {
        if (!fieldAt(i) || !isAddressPart(*fieldAt(i)))
            continue;
        const QString& set = columns[i].set;
        if (!sets.contains(set))
            sets.append(set);
        for (const sheets::Row& row : samples)
            if (i < row.size() && !IsBlank(row[i].Text))
                ++filled[set];
    }
    QString chosenSet = sets.value(0);
    for (const QString& set : sets)
        if (filled.value(set) > filled.value(chosenSet))
            chosenSet = set;
    Owner chosenOwner = Owner::None;
    for (const Column& c : columns)
        if (c.known && c.set == chosenSet && !c.set.isEmpty())
            chosenOwner = c.owner;
    const bool toHome = sets.size() > 1 && chosenOwner == Owner::Home;

    ColumnTargets targets(columns.size());
    bool nameTaken = false;
    for (size_t i = 0; i < columns.size(); ++i) {
        const Column& c = columns[i];
        if (!c.known)
            continue;
        switch (c.known->kind) {
        case Kind::Field: {
            const F f = c.known->field;
            if (isAddressPart(f) && c.set != chosenSet)
                continue;
            if (toHome && (f == F::Firma || f == F::Abteilung))
                continue;
            targets[i] = f;
            break;
        }
        case Kind::Name:
            if (hasZeile && !hasVorname) {
                targets[i] = F::Sortname;
            } else if (!hasNachname && !nameTaken) {
                targets[i] = F::Nachname;
                nameTaken = true;
            }
            break;
        case Kind::FullName:
            break;
        }
    }
    // A display name stands for the name only where nothing else names the person.
    if (!hasVorname && !hasNachname && !nameTaken)
        for (size_t i = 0; i < columns.size(); ++i)
            if (columns[i].known && columns[i].known->kind == Kind::FullName) {
                targets[i] = F::Nachname;
                break;
            }
    return targets;
}

QStringList KnownHeaders(const QStringList& headers)
{
    const ColumnTargets targets = GuessTargets(headers);
    QStringList known;
    for (size_t i = 0; i < targets.size(); ++i)
        if (targets[i])
            known.append(TrimBlanks(headers.at(qsizetype(i))));
    return known;
}
