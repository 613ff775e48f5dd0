#include "sources/AddressComposer.h"

#include "app/BlankText.h"
#include "shell/Cp1252.h"
#include "sources/PostalCountry.h"

#include <QRegularExpression>

#include <algorithm>

namespace {

using F = AddressField;

// "Herrn" or "Frau" for a salutation word, else empty.
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

// The country the letter goes to; null for Germany, whose letters name no country.
struct Abroad
{
    QString countryLine; // in capital letters, as the post abroad reads it first
    LocalityOrder order = LocalityOrder::PostalCodeTown;
    bool germanSpeaking = false;
};

std::optional<Abroad> abroadOf(const QString& countryText)
{
    if (countryText.isEmpty())
        return std::nullopt;
    if (const PostalCountry* country = FindPostalCountry(countryText)) {
        if (IsGermany(*country))
            return std::nullopt;
        // Named in German whatever language the file is in: the post here reads German,
        // English or French.
        return Abroad{QString::fromUtf8(country->Name).toUpper(), country->Order, country->GermanSpeaking};
    }
    return Abroad{countryText.toUpper(), LocalityOrder::PostalCodeTown, false};
}

// A post office box as its line; a bare number says nothing on an envelope.
QString boxLine(const QString& box, const QString& word)
{
    static const QRegularExpression letter(QStringLiteral("\\p{L}"));
    return box.isEmpty() || box.contains(letter) ? box : word + u' ' + box;
}

void composeAddress(const AddressRecord& r, ImportedAdresse& out)
{
    const QString box = OneLine(r[F::Postfach]);
    const QString extended = OneLine(r[F::Zusatz]);
    const QString street = JoinWords({OneLine(r[F::Strasse]), OneLine(r[F::Hausnummer])});
    const QString locality = OneLine(r[F::Ort]);
    const QString region = OneLine(r[F::Region]);
    const QString postalCode = OneLine(r[F::Plz]);
    const std::optional<Abroad> abroad = abroadOf(OneLine(r[F::Land]));
    if (!abroad) {
        out.Line3 = street;
        out.Line4 = extended.isEmpty() ? boxLine(box, QStringLiteral("Postfach")) : extended;
        out.Line5 = JoinWords({postalCode, locality});
        return;
    }
    // Abroad the country is the last line, so street, supplement and box share one.
    const QString streetOrBox =
        street.isEmpty() ? boxLine(box, abroad->germanSpeaking ? QStringLiteral("Postfach") : QStringLiteral("PO Box"))
                         : street;
    out.Line3 = streetOrBox.isEmpty() || extended.isEmpty() ? streetOrBox + extended
                                                            : streetOrBox + QStringLiteral(", ") + extended;
    out.Line4 = abroad->order == LocalityOrder::TownRegionPostalCode ? JoinWords({locality, region, postalCode})
                                                                      : JoinWords({postalCode, locality});
    out.Line5 = abroad->countryLine;
}

bool isActive(const AddressRecord& r)
{
    if (!r.Has(F::Aktiv))
        return true;
    static const QStringList no{"", "0", "nein", "no", "n", "false", "falsch", "inaktiv", "-"};
    return !no.contains(TrimBlanks(r[F::Aktiv]).toLower());
}

} // namespace

QString OneLine(QString value)
{
    if (std::none_of(value.cbegin(), value.cend(), [](QChar c) { return c == u'\n' || c == u'\r'; }))
        return TrimBlanks(value);
    value.replace(u'\r', u'\n'); // CR LF, LF and a lone CR each end a line
    QStringList parts;
    for (QStringView part : QStringView(value).split(u'\n')) {
        const QString line = TrimBlanks(part);
        if (!line.isEmpty())
            parts.append(line);
    }
    return parts.join(QStringLiteral(", "));
}

QString JoinWords(std::initializer_list<QString> words)
{
    // A single word is handed back shared, more are joined into a string of their size.
    const QString* only = nullptr;
    qsizetype count = 0, size = 0;
    for (const QString& w : words)
        if (!w.isEmpty()) {
            only = &w;
            ++count;
            size += w.size();
        }
    if (count == 0)
        return QString();
    if (count == 1)
        return *only;
    QString out;
    out.reserve(size + count - 1);
    for (const QString& w : words) {
        if (w.isEmpty())
            continue;
        if (!out.isEmpty())
            out += u' ';
        out += w;
    }
    return out;
}

Salutation SplitSalutation(const QString& words)
{
    Salutation s;
    if (IsBlank(words))
        return s;
    QString text = OneLine(words);
    text.replace(u',', u' ');
    for (const QString& word : text.split(u' ', Qt::SkipEmptyParts)) {
        const QString salutation = salutationOf(word);
        if (salutation.isEmpty())
            s.titles.append(word);
        else if (s.salutation.isEmpty())
            s.salutation = salutation;
    }
    return s;
}

ImportedAdresse ComposeAdresse(const AddressRecord& r)
{
    ImportedAdresse a;
    const Salutation salutation = SplitSalutation(r[F::Anrede]);
    const QString firma = OneLine(r[F::Firma]);
    const QString abteilung = OneLine(r[F::Abteilung]);
    const QString company =
        firma.isEmpty() || abteilung.isEmpty() ? firma + abteilung : firma + QStringLiteral(", ") + abteilung;
    const QString name = JoinWords(
        {salutation.titles.join(u' '), OneLine(r[F::Titel]), OneLine(r[F::Vorname]), OneLine(r[F::Nachname])});
    a.Line1 = company.isEmpty() ? salutation.salutation : company;
    // A company's own entry names the company again as its name.
    a.Line2 = !company.isEmpty() && name.compare(company, Qt::CaseInsensitive) == 0 ? QString() : name;
    composeAddress(r, a);

    QString* lines[] = {&a.Line1, &a.Line2, &a.Line3, &a.Line4, &a.Line5};
    for (int n = 0; n < 5; ++n)
        if (const AddressField direct = AddressField(int(F::Zeile1) + n); r.Has(direct))
            *lines[n] = r[direct];

    a.Line6 = r[F::Sortname];
    a.Telefon = r[F::Telefon];
    a.Fax = r[F::Fax];
    a.Handy = r[F::Handy];
    a.Mail = r[F::Mail];
    a.Versand = r[F::Versand];
    a.Bemerkung = r[F::Bemerkung];
    a.Aktiv = isActive(r);
    return a;
}

bool CutBemerkung(QString& bemerkung)
{
    if (bemerkung.size() <= kBemerkungLimit)
        return false;
    const QString stored = Cp1252::Stored(bemerkung);
    if (stored.size() <= kBemerkungLimit)
        return false;
    bemerkung = stored.left(kBemerkungLimit);
    return true;
}
