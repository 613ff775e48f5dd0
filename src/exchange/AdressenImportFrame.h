#pragma once
#include <QByteArray>
#include <QString>
#include <optional>

struct AppContext;

// An address as an import adds it, active and without a sort name unless the file says
// otherwise. The extra data go into a tab_daten row when any of them is not empty.
struct ImportedAdresse
{
    // Initialised, so that tables of cases may name only the fields they fill.
    QString Line1{}, Line2{}, Line3{}, Line4{}, Line5{};
    QString Telefon{}, Fax{}, Handy{}, Mail{}, Bemerkung{};
    QString Line6{};
    bool Aktiv = true;

    bool HasDaten() const;
    bool operator==(const ImportedAdresse&) const = default;
};

// One file format of the import: reads the file, then hands out its addresses.
class AdressenImportSource
{
public:
    virtual ~AdressenImportSource() = default;
    // Called once with the file's bytes, before the transaction begins.
    virtual void Read(const QByteArray& bytes) = 0;
    // The next address, or nothing after the last one.
    virtual std::optional<ImportedAdresse> Next() = 0;
    // The information shown after every address was stored.
    virtual QString SuccessText() const = 0;
    // When the file held records but none could be taken: the warning shown instead of
    // the success. Empty otherwise.
    virtual QString NothingImportedText() const { return QString(); }
};

// What every import does around its format: reads the file under the busy cursor, stores
// the addresses in one transaction with identifiers counted on from the greatest in use,
// keeps the addresses before a failure (the transaction is committed), reports failures
// and success. True when the address list must be reloaded.
bool ImportAdressenFrom(AppContext& ctx, const QString& gruppeId, const QString& fileName,
                        AdressenImportSource& source);
