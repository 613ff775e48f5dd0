#include "exchange/CsvAdressenSource.h"

#include "app/BlankText.h"
#include "exchange/ExportLayout.h"
#include "exchange/ImportRecord.h"

namespace {

// The columns of the address export: five lines, the sort name and the active mark.
constexpr qsizetype kExportColumns = 7;

bool endsField(QStringView line, qsizetype i) { return i >= line.size() || line[i] == u';'; }

QString adressen(int n) { return n == 1 ? QStringLiteral("1 Adresse") : QStringLiteral("%1 Adressen").arg(n); }

QString skippedLines(int n)
{
    return (n == 1 ? QStringLiteral("1 Zeile") : QStringLiteral("%1 Zeilen").arg(n)) +
           QStringLiteral(" übersprungen: zu wenige Felder");
}

// By position the record's lines stand as the line gives them, Line4 and the sort name empty.
AddressRecord positional(const ImportRecord& line)
{
    AddressRecord r;
    r.Set(AddressField::Zeile1, line.Line1);
    r.Set(AddressField::Zeile2, line.Line2);
    r.Set(AddressField::Zeile3, line.Line3);
    r.Set(AddressField::Zeile4, QString());
    r.Set(AddressField::Zeile5, line.Line5);
    return r;
}

} // namespace

QStringList CsvAdressenSource::SplitQuoted(QStringView line)
{
    QStringList fields;
    qsizetype i = 0;
    const qsizetype n = line.size();
    for (;;) {
        QString field;
        if (i < n && line[i] == u'"') {
            for (++i; i < n; ++i) {
                if (line[i] != u'"') {
                    field += line[i];
                } else if (endsField(line, i + 1)) {
                    ++i;
                    break;
                } else if (line[i + 1] == u'"') {
                    // Doubled, or a quote ending the value just before the closing one.
                    field += u'"';
                    ++i;
                    if (endsField(line, i + 1)) {
                        ++i;
                        break;
                    }
                } else {
                    field += u'"';
                }
            }
        }
        while (i < n && line[i] != u';')
            field += line[i++];
        fields << field;
        if (i >= n)
            return fields;
        ++i;  // the semicolon
    }
}

void CsvAdressenSource::Read(const QByteArray& bytes)
{
    m_lines = SplitImportLines(DecodeImportText(bytes));
    if (m_lines.isEmpty())
        return;
    // The header of the address export, with or without its quotes (a spreadsheet that
    // saved the file again may leave them out).
    QStringList header = SplitQuoted(m_lines.first());
    for (QString& name : header)
        name = TrimBlanks(name);
    m_exportFile = header == SplitQuoted(ExportLayout::kAdressenHeader);
}

std::optional<AddressRecord> CsvAdressenSource::exported(const QString& line) const
{
    const QStringList f = SplitQuoted(line);
    if (f.size() < kExportColumns)
        return std::nullopt;
    AddressRecord r;
    for (int n = 0; n < 5; ++n)
        r.Set(AddressField(int(AddressField::Zeile1) + n), f[n]);
    r.Set(AddressField::Sortname, f[5]);
    r.Set(AddressField::Aktiv, IsBlank(f[6]) ? QString() : QStringLiteral("X")); // "X" or nothing
    return r;
}

void CsvAdressenSource::ReadRecords(const RecordHandler& onRecord)
{
    m_tooFewFields = 0;
    const qsizetype n = m_lines.size();
    for (qsizetype i = 1; i < n; ++i) { // the header line is skipped
        const QString& line = m_lines.at(i);
        if (IsBlank(line))
            continue;
        std::optional<AddressRecord> r;
        if (m_exportFile) {
            r = exported(line);
        } else if (const std::optional<ImportRecord> fields = ImportRecord::Parse(line)) {
            r = positional(*fields);
        }
        if (!r) {
            ++m_tooFewFields;
            continue;
        }
        if (!onRecord(*r, double(i + 1) / double(n)))
            return;
    }
}

QString CsvAdressenSource::SuccessText(const ImportCounts& counts) const
{
    QString text =
        QStringLiteral("Die Adressen wurden aus der CSV-Datei importiert.\r\n\r\nImportiert: ") + adressen(counts.Imported);
    if (m_tooFewFields > 0)
        text += QStringLiteral("\r\n") + skippedLines(m_tooFewFields);
    return text;
}

QString CsvAdressenSource::NothingImportedText(const ImportCounts& counts) const
{
    if (counts.Imported > 0 || m_tooFewFields == 0)
        return QString();
    return QStringLiteral("Aus der CSV-Datei wurden keine Adressen importiert.\r\n\r\n") + skippedLines(m_tooFewFields) +
           QStringLiteral(" (eine Zeile braucht %1 durch Semikolon getrennte Felder).")
               .arg(m_exportFile ? kExportColumns : 6);
}
