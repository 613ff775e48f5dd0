#pragma once
#include "sheets/TableSource.h"
#include "sheets/ZipArchive.h"

#include <QIODevice>

#include <memory>

namespace sheets {

// An OpenDocument spreadsheet (.ods, LibreOffice): the tables of content.xml in their
// order, read as a stream. Cells show the text the file shows (its text:p), repeated cells
// and rows are expanded only as far as content follows them.
class OdsSource : public TableSource
{
public:
    // Raises SheetError when the file is no readable spreadsheet or is encrypted.
    OdsSource(std::unique_ptr<QIODevice> device, const QString& displayName, const ZipLimits& limits = {});
    ~OdsSource() override;

    QStringList SheetNames() const override { return m_names; }
    void ReadRows(int sheet, const RowHandler& onRow) override;

private:
    std::unique_ptr<QIODevice> m_device;
    ZipArchive m_zip;
    QStringList m_names;
};

} // namespace sheets
