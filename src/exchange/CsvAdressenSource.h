#pragma once
#include "exchange/AdressenImportFrame.h"

#include <QStringList>

// The records of a semicolon-separated file. A file written by "Adressen exportieren"
// (recognised by its header) is read by its columns, quotes removed, with the sort name
// and the active mark; any other file by position, six fields per record, the header line
// skipped, quotes kept. Lines with too few fields are counted and named in the message.
class CsvAdressenSource : public AdressenImportSource
{
public:
    void Read(const QByteArray& bytes) override;
    void ReadRecords(const RecordHandler& onRecord) override;
    QString SuccessText(const ImportCounts& counts) const override;
    QString NothingImportedText(const ImportCounts& counts) const override;

    // The fields of a line written in double quotes, as the export and spreadsheets write
    // them: a quote that ends a field is followed by ";" or the line's end, doubled quotes
    // inside stand for one, and a single quote inside (the export writes them unchanged)
    // stays. A field without quotes is taken as it stands.
    static QStringList SplitQuoted(QStringView line);

private:
    std::optional<AddressRecord> exported(const QString& line) const;

    QStringList m_lines;
    bool m_exportFile = false;
    int m_tooFewFields = 0;
};
