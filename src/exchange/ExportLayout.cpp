#include "exchange/ExportLayout.h"

#include "app/BlankText.h"
#include "exchange/ExchangeError.h"
#include "shell/Cp1252.h"

#include <QFileInfo>
#include <QSaveFile>

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
    const QByteArray bytes = Cp1252::encode(text);
    QSaveFile file(fileName);
    // A write cut short (a full disk, a file size limit) can still look successful to
    // QSaveFile, so the temporary file's size is checked before it replaces the target.
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush() ||
        file.size() != bytes.size() || !file.commit()) {
        QString reason = file.errorString();
        if (file.error() == QFileDevice::NoError)
            reason = QStringLiteral("Die Datei wurde nicht vollständig geschrieben.");
        file.cancelWriting();
        throw ExchangeError(QStringLiteral("Die Datei \"%1\" konnte nicht geschrieben werden.\n%2").arg(fileName, reason));
    }
}

} // namespace ExportLayout
