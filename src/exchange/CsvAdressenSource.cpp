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

std::optional<ImportedAdresse> CsvAdressenSource::exported(const QString& line) const
{
    const QStringList f = SplitQuoted(line);
    if (f.size() < kExportColumns)
        return std::nullopt;
    ImportedAdresse a;
    a.Line1 = f[0];
    a.Line2 = f[1];
    a.Line3 = f[2];
    a.Line4 = f[3];
    a.Line5 = f[4];
    a.Line6 = f[5];
    a.Aktiv = !IsBlank(f[6]);  // "X" or nothing
    return a;
}

std::optional<ImportedAdresse> CsvAdressenSource::Next()
{
    while (++m_index < m_lines.size()) {
        const QString& line = m_lines.at(m_index);
        if (IsBlank(line))
            continue;
        std::optional<ImportedAdresse> a;
        if (m_exportFile) {
            a = exported(line);
        } else if (const std::optional<ImportRecord> r = ImportRecord::Parse(line)) {
            a.emplace();
            a->Line1 = r->Line1;
            a->Line2 = r->Line2;
            a->Line3 = r->Line3;
            a->Line5 = r->Line5;
        }
        if (!a) {
            ++m_tooFewFields;
            continue;
        }
        ++m_imported;
        return a;
    }
    return std::nullopt;
}

QString CsvAdressenSource::SuccessText() const
{
    QString text = QStringLiteral("Die Adressen wurden aus der CSV-Datei importiert.\r\n\r\nImportiert: ") + adressen(m_imported);
    if (m_tooFewFields > 0)
        text += QStringLiteral("\r\n") + skippedLines(m_tooFewFields);
    return text;
}

QString CsvAdressenSource::NothingImportedText() const
{
    if (m_imported > 0 || m_tooFewFields == 0)
        return QString();
    return QStringLiteral("Aus der CSV-Datei wurden keine Adressen importiert.\r\n\r\n") + skippedLines(m_tooFewFields) +
           QStringLiteral(" (eine Zeile braucht %1 durch Semikolon getrennte Felder).")
               .arg(m_exportFile ? kExportColumns : 6);
}
