#pragma once
#include "sheets/TableSource.h"

namespace sheets {

// An Excel 97-2003 workbook (.xls, BIFF in an OLE2 file), read by FreeXL. FreeXL holds
// the whole workbook in memory, as the format's 65,536 rows allow.
class XlsSource : public TableSource
{
public:
    // Raises SheetError (damaged, password-protected) when FreeXL cannot read the file.
    XlsSource(const QString& path, const QString& displayName);
    ~XlsSource() override;
    XlsSource(const XlsSource&) = delete;
    XlsSource& operator=(const XlsSource&) = delete;

    QStringList SheetNames() const override { return m_names; }
    void ReadRows(int sheet, const RowHandler& onRow) override;

private:
    const void* m_handle = nullptr;
    QString m_name;
    QStringList m_names;
};

} // namespace sheets
