#pragma once
#include <QString>

#include <array>
#include <bitset>
#include <optional>

// What a value of an imported address is. The first group is composed into envelope lines;
// the contact data go to the extra data; the last group is taken as it stands (a file
// written by our own export, or the fixed columns of the semicolon import).
enum class AddressField
{
    Anrede,
    Titel,
    Vorname,
    Nachname,
    Firma,
    Abteilung,
    Zusatz,
    Strasse,
    Hausnummer,
    Postfach,
    Plz,
    Ort,
    Region,
    Land,
    Telefon,
    Fax,
    Handy,
    Mail,
    Bemerkung,
    Zeile1,
    Zeile2,
    Zeile3,
    Zeile4,
    Zeile5,
    Sortname,
    Versand,
    Aktiv,
};
inline constexpr int kAddressFieldCount = int(AddressField::Aktiv) + 1;

// The name the user reads in the assignment window ("Straße", "E-Mail", "Zeile 1").
QString AddressFieldCaption(AddressField field);
// A name that never changes, for the settings file ("Strasse", "Mail", "Zeile1").
QString AddressFieldKey(AddressField field);
std::optional<AddressField> AddressFieldOfKey(QStringView key);
// Zeile 1 to Zeile 5 as 0 to 4, else nothing.
std::optional<int> DirectLineOf(AddressField field);

// One address as a source hands it on: a value per field it knows. A field the source does
// not have is absent, which is not the same as empty: an absent "Aktiv" means active, an
// absent "Zeile 2" leaves the composed line.
class AddressRecord
{
public:
    bool Has(AddressField f) const { return m_present.test(size_t(f)); }
    const QString& operator[](AddressField f) const { return m_values[size_t(f)]; }
    void Set(AddressField f, const QString& value)
    {
        m_values[size_t(f)] = value;
        m_present.set(size_t(f));
    }
    bool operator==(const AddressRecord&) const = default;

private:
    std::array<QString, kAddressFieldCount> m_values;
    std::bitset<kAddressFieldCount> m_present;
};
