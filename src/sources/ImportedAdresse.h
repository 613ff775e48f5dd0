#pragma once
#include <QString>

// An address as an import adds it, active and without a sort name unless the source says
// otherwise. The extra data go into a tab_daten row when any of them is not empty.
struct ImportedAdresse
{
    // Initialised, so that tables of cases may name only the fields they fill.
    QString Line1{}, Line2{}, Line3{}, Line4{}, Line5{};
    QString Telefon{}, Fax{}, Handy{}, Mail{}, Bemerkung{};
    QString Line6{};
    bool Aktiv = true;
    QString Versand{};

    bool HasDaten() const
    {
        return !Telefon.isEmpty() || !Fax.isEmpty() || !Handy.isEmpty() || !Mail.isEmpty() || !Bemerkung.isEmpty() ||
               !Versand.isEmpty();
    }
    bool operator==(const ImportedAdresse&) const = default;
};
