#pragma once
#include "sources/AddressSource.h"
#include "sources/ImportedAdresse.h"

#include <QByteArray>
#include <QString>
#include <optional>

struct AppContext;

// What one import did: addresses stored, left out because the group already had them,
// left out because they gave no envelope line, and remarks cut to what the store holds.
struct ImportCounts
{
    int Imported = 0;
    int Duplicates = 0;
    int Empty = 0;
    int Shortened = 0;
};

struct ImportOptions
{
    // An address whose lines the group already holds (case and runs of blanks aside) is
    // left out, also when the file itself repeats it.
    bool SkipDuplicates = false;
    // A record that gives no envelope line is left out.
    bool SkipEmpty = false;
};

// Told after every record; answers false once the user has cancelled.
class ImportProgress
{
public:
    virtual ~ImportProgress() = default;
    virtual bool Step(int records, double fraction) = 0;
    // Reading and storing have ended: the window goes before any message comes.
    virtual void Done() {}
};

// One kind of import file: the records and the texts of the message afterwards.
class AdressenImportSource : public AddressSource
{
public:
    // Called once with the file's bytes, before the transaction begins, by the imports
    // that read the whole file first.
    virtual void Read(const QByteArray& bytes) { Q_UNUSED(bytes); }
    // The information shown after every address was stored.
    virtual QString SuccessText(const ImportCounts& counts) const = 0;
    // When the file held records but none could be taken: the warning shown instead of
    // the success. Empty otherwise.
    virtual QString NothingImportedText(const ImportCounts& counts) const
    {
        Q_UNUSED(counts);
        return QString();
    }
};

// What every import does around its format: reads the file under the busy cursor and
// hands it to the source, then ImportAdressenRecords. A file that cannot be read raises
// ExchangeError.
bool ImportAdressenFrom(AppContext& ctx, const QString& gruppeId, const QString& fileName,
                        AdressenImportSource& source);

// Composes every record of the source into an address and stores the addresses in one
// transaction, with identifiers counted on from the greatest in use. A failed statement
// keeps the addresses before it (the transaction is committed); a source that cannot be
// read, or a cancel in the progress window, leaves the database as it was. Reports
// failures and success. True when the address list must be reloaded.
bool ImportAdressenRecords(AppContext& ctx, const QString& gruppeId, AdressenImportSource& source,
                           const ImportOptions& options = {}, ImportProgress* progress = nullptr);
