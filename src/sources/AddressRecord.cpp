#include "sources/AddressRecord.h"

namespace {

struct FieldName
{
    const char* caption;
    const char* key;
};

// In the order of AddressField.
const FieldName kNames[kAddressFieldCount] = {
    {"Anrede", "Anrede"},
    {"Titel", "Titel"},
    {"Vorname", "Vorname"},
    {"Nachname", "Nachname"},
    {"Firma", "Firma"},
    {"Abteilung", "Abteilung"},
    {"Zusatz", "Zusatz"},
    {"Straße", "Strasse"},
    {"Hausnummer", "Hausnummer"},
    {"Postfach", "Postfach"},
    {"PLZ", "PLZ"},
    {"Ort", "Ort"},
    {"Region", "Region"},
    {"Land", "Land"},
    {"Telefon", "Telefon"},
    {"Fax", "Fax"},
    {"Handy", "Handy"},
    {"E-Mail", "Mail"},
    {"Bemerkung", "Bemerkung"},
    {"Zeile 1", "Zeile1"},
    {"Zeile 2", "Zeile2"},
    {"Zeile 3", "Zeile3"},
    {"Zeile 4", "Zeile4"},
    {"Zeile 5", "Zeile5"},
    {"Name zum Sortieren", "Sortname"},
    {"Versandart", "Versand"},
    {"Aktiv", "Aktiv"},
};

} // namespace

QString AddressFieldCaption(AddressField field) { return QString::fromUtf8(kNames[int(field)].caption); }

QString AddressFieldKey(AddressField field) { return QString::fromLatin1(kNames[int(field)].key); }

std::optional<AddressField> AddressFieldOfKey(QStringView key)
{
    for (int i = 0; i < kAddressFieldCount; ++i)
        if (key.compare(QLatin1StringView(kNames[i].key), Qt::CaseInsensitive) == 0)
            return AddressField(i);
    return std::nullopt;
}

std::optional<int> DirectLineOf(AddressField field)
{
    if (field >= AddressField::Zeile1 && field <= AddressField::Zeile5)
        return int(field) - int(AddressField::Zeile1);
    return std::nullopt;
}
