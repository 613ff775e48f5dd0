#pragma once
#include "sheets/NumberFormat.h"
#include "sheets/TableSource.h"
#include "sheets/ZipArchive.h"

#include <QIODevice>

#include <memory>
#include <vector>

namespace sheets {

// An Excel workbook (.xlsx, Office Open XML): the worksheets in the workbook's order, each
// read straight from its zip entry. Shared strings are held in one buffer, so a sheet of
// 100,000 different names costs little more than their characters.
class XlsxSource : public TableSource
{
public:
    // Raises SheetError when the file is no readable workbook.
    XlsxSource(std::unique_ptr<QIODevice> device, const QString& displayName, const ZipLimits& limits = {});
    ~XlsxSource() override;

    QStringList SheetNames() const override;
    void ReadRows(int sheet, const RowHandler& onRow) override;

private:
    struct Sheet
    {
        QString name;
        QString entry;
    };
    class SharedStrings;

    void loadWorkbook();
    void loadSharedStrings();
    void loadStyles();
    // A cell's t attribute: what its value is.
    enum class CellKind { Number, Shared, Inline, Formula, Boolean, Error, Date };
    static CellKind kindOf(QByteArrayView type);
    Cell cell(CellKind type, int style, const QString& value, const QString& inlineText) const;

    std::unique_ptr<QIODevice> m_device;
    ZipArchive m_zip;
    std::vector<Sheet> m_sheets;
    QString m_sharedStringsEntry;
    QString m_stylesEntry;
    bool m_date1904 = false;
    bool m_loaded = false;
    std::unique_ptr<SharedStrings> m_strings;
    std::vector<NumberFormat> m_styleFormats; // by cell style index (cellXfs)
};

} // namespace sheets
