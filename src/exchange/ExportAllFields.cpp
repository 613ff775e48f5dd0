#include "exchange/ExportAllFields.h"

#include "app/AdressenRows.h"
#include "app/BlankText.h"
#include "exchange/AdressenImportFrame.h"
#include "exchange/ExchangeError.h"
#include "shell/FileWrite.h"
#include "sheets/TableSource.h"
#include "store/TSQLiteDatabase.h"
#include "store/TSQLiteTable.h"

#include <QHash>
#include <QIODevice>

namespace ExportAllFields {

namespace {

// The extra data of one address, in the order of the header's columns 7 to 12.
const char* const kDatenColumns[] = {"Telefon", "Fax", "Handy", "Mail", "Versand", "Bemerkung"};

QHash<QString, QStringList> datenByAdresse(TSQLiteDatabase& db)
{
    QHash<QString, QStringList> daten;
    if (!db.TableExists(QStringLiteral("tab_daten")))
        return daten;
    TSQLiteTable t = db.GetTable(
        QStringLiteral("SELECT Adresse_ID, Telefon, Fax, Handy, Mail, Versand, Bemerkung FROM tab_daten ORDER BY Daten_ID"));
    for (; !t.Eof(); t.Next()) {
        const QString id = t.Field(QStringLiteral("Adresse_ID"));
        if (daten.contains(id))
            continue; // one row per address; a second one is a leftover
        QStringList values;
        for (const char* column : kDatenColumns)
            values << t.Field(QString::fromLatin1(column));
        daten.insert(id, values);
    }
    return daten;
}

QHash<QString, QString> gruppenNames(TSQLiteDatabase& db)
{
    QHash<QString, QString> names;
    if (!db.TableExists(QStringLiteral("tab_gruppen")))
        return names;
    TSQLiteTable t = db.GetTable(QStringLiteral("SELECT Gruppe_ID, Name FROM tab_gruppen"));
    for (; !t.Eof(); t.Next())
        names.insert(t.Field(QStringLiteral("Gruppe_ID")), t.Field(QStringLiteral("Name")));
    return names;
}

QString quoted(QString value)
{
    value.replace(u'"', QStringLiteral("\"\""));
    return u'"' + value + u'"';
}

QByteArray csvLine(const QStringList& values)
{
    QStringList cells;
    for (const QString& v : values)
        cells << quoted(v);
    return (cells.join(u';') + QStringLiteral("\r\n")).toUtf8();
}

const QByteArray kUtf8Bom("\xEF\xBB\xBF");

// Thrown out of the table writer when the user cancels: the writer then drops its file.
struct Cancelled
{
};

// Tells progress that row index (counted from 0) is about to be written; false once the
// user has cancelled.
bool goOn(ImportProgress* progress, qsizetype index, qsizetype total)
{
    return !progress || progress->Step(int(index + 1), double(index + 1) / double(std::max<qsizetype>(1, total)));
}

} // namespace

const QStringList& Header()
{
    static const QStringList header{"Zeile 1", "Zeile 2", "Zeile 3", "Zeile 4",    "Zeile 5",   "Name",  "Telefon",
                                    "Fax",     "Handy",   "E-Mail",  "Versandart", "Bemerkung", "Aktiv", "Gruppe"};
    return header;
}

ExportRows Rows(TSQLiteDatabase& db, const AdressenRows& shown)
{
    const QHash<QString, QStringList> daten = datenByAdresse(db);
    const QHash<QString, QString> gruppen = gruppenNames(db);
    const QStringList noDaten(std::size(kDatenColumns));
    ExportRows rows;
    rows.reserve(shown.RowCount());
    for (int r = 0; r < shown.RowCount(); ++r) {
        QStringList row;
        for (int c = 1; c <= 6; ++c)
            row << shown.Cell(r, c);
        const std::optional<TAdresseData> data = shown.Data(r);
        row << (data ? daten.value(data->Adresse_ID, noDaten) : noDaten);
        row << (IsBlank(shown.Cell(r, 7)) ? QString() : QStringLiteral("X"));
        row << (data ? gruppen.value(data->Gruppe_ID) : QString());
        rows << row;
    }
    return rows;
}

QByteArray Utf8Csv(const ExportRows& rows)
{
    QByteArray bytes = kUtf8Bom + csvLine(Header());
    for (const QStringList& row : rows)
        bytes += csvLine(row);
    return bytes;
}

bool WriteUtf8Csv(const QString& fileName, const ExportRows& rows, ImportProgress* progress)
{
    bool cancelled = false;
    QString reason;
    const bool written = ReplaceFileWith(
        fileName,
        [&](QIODevice& file, QString& error) {
            auto put = [&](const QByteArray& bytes) {
                if (file.write(bytes) == bytes.size())
                    return true;
                error = file.errorString();
                return false;
            };
            if (!put(kUtf8Bom + csvLine(Header())))
                return false;
            for (qsizetype i = 0; i < rows.size(); ++i) {
                if (!goOn(progress, i, rows.size())) {
                    cancelled = true;
                    return false;
                }
                if (!put(csvLine(rows.at(i))))
                    return false;
            }
            return true;
        },
        &reason);
    if (cancelled)
        return false;
    if (!written)
        throw ExchangeError(QStringLiteral("Die Datei \"%1\" konnte nicht geschrieben werden.\n%2").arg(fileName, reason));
    return true;
}

bool WriteTable(const QString& fileName, const ExportRows& rows, ImportProgress* progress)
{
    qsizetype next = 0;
    try {
        sheets::WriteTableFile(fileName, QStringLiteral("Adressen"), Header(), [&](QStringList& row) {
            if (next >= rows.size())
                return false;
            if (!goOn(progress, next, rows.size()))
                throw Cancelled();
            row = rows.at(next++);
            return true;
        });
    } catch (const Cancelled&) {
        return false;
    } catch (const sheets::SheetError& e) {
        throw ExchangeError(e.Message());
    }
    return true;
}

} // namespace ExportAllFields
