#pragma once
#include "sources/AddressRecord.h"

#include <functional>

// Where imported addresses come from: the semicolon file by position, a vCard file, a
// spreadsheet or a delimited file with any columns, a shared address book. Each hands its
// records, one at a time, to the composer of envelope lines and to the import.
class AddressSource
{
public:
    virtual ~AddressSource() = default;

    // fraction: how much of the source is read (0 to 1), for a progress window. The
    // handler returns false to stop reading.
    using RecordHandler = std::function<bool(const AddressRecord& record, double fraction)>;

    // Hands every record to onRecord in the source's order. A source that cannot be read
    // raises the error of its kind (sheets::SheetError for tables).
    virtual void ReadRecords(const RecordHandler& onRecord) = 0;
};
