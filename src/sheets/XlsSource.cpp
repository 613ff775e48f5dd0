#include "sheets/XlsSource.h"

#include "sheets/NumberFormat.h"
#include "sheets/RowSink.h"
#include "sheets/SheetErrors.h"

#include <QFile>

#include <freexl.h>

namespace sheets {

XlsSource::XlsSource(const QString& path, const QString& displayName) : m_name(displayName)
{
    const QByteArray file = QFile::encodeName(path);
    const int opened = freexl_open(file.constData(), &m_handle);
    unsigned int info = 0;
    const bool obfuscated =
        m_handle && freexl_get_info(m_handle, FREEXL_BIFF_PASSWORD, &info) == FREEXL_OK && info == FREEXL_BIFF_OBFUSCATED;
    if (opened != FREEXL_OK || obfuscated) {
        if (m_handle)
            freexl_close(m_handle);
        m_handle = nullptr;
        if (obfuscated)
            throw errors::Encrypted(displayName);
        if (opened == FREEXL_INSUFFICIENT_MEMORY)
            throw errors::TooLarge(displayName);
        throw errors::Damaged(displayName);
    }
    unsigned int sheets = 0;
    freexl_get_info(m_handle, FREEXL_BIFF_SHEET_COUNT, &sheets);
    for (unsigned short i = 0; i < sheets && i < 0xFFFF; ++i) {
        const char* name = nullptr;
        if (freexl_get_worksheet_name(m_handle, i, &name) != FREEXL_OK)
            break;
        m_names << QString::fromUtf8(name ? name : "");
    }
}

XlsSource::~XlsSource()
{
    if (m_handle)
        freexl_close(m_handle);
}

void XlsSource::ReadRows(int sheet, const RowHandler& onRow)
{
    if (sheet < 0 || sheet >= m_names.size())
        return;
    unsigned int rows = 0;
    unsigned short columns = 0;
    if (freexl_select_active_worksheet(m_handle, static_cast<unsigned short>(sheet)) != FREEXL_OK ||
        freexl_worksheet_dimensions(m_handle, &rows, &columns) != FREEXL_OK)
        throw errors::Damaged(m_name);
    RowSink sink(onRow);
    Row row;
    for (unsigned int r = 0; r < rows && !sink.Stopped(); ++r) {
        row.assign(columns, Cell());
        for (unsigned short c = 0; c < columns; ++c) {
            FreeXL_CellValue value;
            if (freexl_get_cell_value(m_handle, r, c, &value) != FREEXL_OK)
                throw errors::Damaged(m_name);
            Cell& cell = row[c];
            switch (value.type) {
            case FREEXL_CELL_INT:
                cell.Text = QString::number(value.value.int_value);
                cell.Number = true;
                break;
            case FREEXL_CELL_DOUBLE:
                cell.Text = GeneralNumber(value.value.double_value);
                cell.Number = true;
                break;
            case FREEXL_CELL_TEXT:
            case FREEXL_CELL_SST_TEXT:
                cell.Text = QString::fromUtf8(value.value.text_value);
                break;
            case FREEXL_CELL_DATE:
            case FREEXL_CELL_DATETIME:
                cell.Text = GermanIsoDate(QString::fromUtf8(value.value.text_value));
                break;
            case FREEXL_CELL_TIME: {
                const QString time = QString::fromUtf8(value.value.text_value);
                cell.Text = time.endsWith(QLatin1String(":00")) ? time.left(5) : time;
                break;
            }
            default:
                break;
            }
        }
        sink.Emit(row, 1, double(r + 1) / double(rows));
    }
}

} // namespace sheets
