#include "sources/TableAdressenSource.h"

#include "app/BlankText.h"
#include "sources/PostalCountry.h"

namespace {

using F = AddressField;

bool isLinePart(F f)
{
    switch (f) {
    case F::Anrede:
    case F::Titel:
    case F::Vorname:
    case F::Nachname:
    case F::Firma:
    case F::Abteilung:
    case F::Zusatz:
    case F::Strasse:
    case F::Hausnummer:
    case F::Ort:
    case F::Region:
        return true;
    default:
        return false;
    }
}

bool isFourDigits(const QString& text)
{
    if (text.size() != 4)
        return false;
    for (const QChar c : text)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

bool inGermany(const AddressRecord& r)
{
    const QString country = TrimBlanks(r[F::Land]);
    if (country.isEmpty())
        return true;
    const PostalCountry* known = FindPostalCountry(country);
    return known && IsGermany(*known);
}

} // namespace

TableAdressenSource::TableAdressenSource(sheets::TableSource& table, int sheet, ColumnTargets targets, bool headerRow)
    : m_table(table), m_sheet(sheet), m_targets(std::move(targets)), m_headerRow(headerRow)
{
}

std::optional<AddressRecord> TableAdressenSource::RecordOf(const sheets::Row& row, const ColumnTargets& targets)
{
    bool anyText = false;
    for (const sheets::Cell& cell : row)
        if (!IsBlank(cell.Text)) {
            anyText = true;
            break;
        }
    if (!anyText)
        return std::nullopt;

    AddressRecord r;
    const sheets::Cell* postalCode = nullptr;
    static const sheets::Cell kEmpty;
    for (size_t i = 0; i < targets.size(); ++i) {
        if (!targets[i])
            continue;
        const F f = *targets[i];
        const sheets::Cell& cell = i < row.size() ? row[i] : kEmpty;
        if (!r.Has(f) || r[f].isEmpty()) {
            r.Set(f, cell.Text);
            if (f == F::Plz)
                postalCode = &cell;
        } else if (!IsBlank(cell.Text)) {
            if (isLinePart(f))
                r.Set(f, r[f] + u' ' + cell.Text);
            else if (f == F::Bemerkung)
                r.Set(f, r[f] + u'\n' + cell.Text);
        }
    }
    if (postalCode && postalCode->Number && !postalCode->Formatted) {
        const QString code = TrimBlanks(postalCode->Text);
        if (isFourDigits(code) && inGermany(r))
            r.Set(F::Plz, u'0' + code);
    }
    return r;
}

void TableAdressenSource::ReadRecords(const RecordHandler& onRecord)
{
    bool first = true;
    m_table.ReadRows(m_sheet, [&](const sheets::Row& row, double fraction) {
        if (first) {
            first = false;
            if (m_headerRow)
                return true;
        }
        const std::optional<AddressRecord> record = RecordOf(row, m_targets);
        return !record || onRecord(*record, fraction);
    });
}
