#include "exchange/ExportLayout.h"

#include "app/BlankText.h"
#include "exchange/ExchangeError.h"
#include "shell/FileWrite.h"
#include "shell/Cp1252.h"

#include <QFileInfo>

namespace ExportLayout {

QStringList TextLines(const ExportRows& rows)
{
    QStringList lines;
    for (const QStringList& row : rows) {
        for (qsizetype c = 0; c + 1 < row.size(); ++c)
            if (!IsBlank(row.at(c)))
                lines << row.at(c);
        lines << QString();
    }
    return lines;
}

QStringList CsvLines(const QString& header, const ExportRows& rows)
{
    QStringList lines{header};
    for (const QStringList& row : rows) {
        QStringList values = row;
        if (!values.isEmpty())
            values.last() = TrimBlanks(values.last());
        // A quote inside a value is doubled, as spreadsheets read it; our import takes both.
        for (QString& v : values)
            v.replace(u'"', QStringLiteral("\"\""));
        lines << u'"' + values.join(QStringLiteral("\";\"")) + u'"';
    }
    return lines;
}

QString WithExtension(const QString& fileName, int filterIndex)
{
    const QString wanted = filterIndex == 1 ? QStringLiteral(".csv") : QStringLiteral(".txt");
    const QString name = QFileInfo(fileName).fileName();
    const qsizetype dot = name.lastIndexOf(u'.');
    const QString extension = dot < 0 ? QString() : name.mid(dot).toLower();
    return extension == wanted ? fileName : fileName + wanted;
}

void WriteFile(const QString& fileName, const QStringList& lines)
{
    QString text;
    for (const QString& line : lines)
        text += line + QStringLiteral("\r\n");
    QString reason;
    if (!ReplaceFileWhole(fileName, Cp1252::encode(text), &reason))
        throw ExchangeError(QStringLiteral("Die Datei \"%1\" konnte nicht geschrieben werden.\n%2").arg(fileName, reason));
}

} // namespace ExportLayout
