#include "exchange/ExportAllFields.h"

#include "app/AdressenRows.h"
#include "app/BlankText.h"
#include "exchange/ExchangeError.h"
#include "shell/FileWrite.h"
#include "sheets/TableSource.h"
#include "store/TSQLiteDatabase.h"
#include "store/TSQLiteTable.h"

#include <QHash>

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
    QString text;
    auto line = [&](const QStringList& values) {
        QStringList cells;
        for (const QString& v : values)
            cells << quoted(v);
        text += cells.join(u';') + QStringLiteral("\r\n");
    };
    line(Header());
    for (const QStringList& row : rows)
        line(row);
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

void WriteUtf8Csv(const QString& fileName, const ExportRows& rows)
{
    QString reason;
    if (!ReplaceFileWhole(fileName, Utf8Csv(rows), &reason))
        throw ExchangeError(QStringLiteral("Die Datei \"%1\" konnte nicht geschrieben werden.\n%2").arg(fileName, reason));
}

void WriteTable(const QString& fileName, const ExportRows& rows)
{
    qsizetype next = 0;
    try {
        sheets::WriteTableFile(fileName, QStringLiteral("Adressen"), Header(), [&](QStringList& row) {
            if (next >= rows.size())
                return false;
            row = rows.at(next++);
            return true;
        });
    } catch (const sheets::SheetError& e) {
        throw ExchangeError(e.Message());
    }
}

} // namespace ExportAllFields
