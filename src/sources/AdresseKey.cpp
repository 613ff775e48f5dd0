#include "sources/AdresseKey.h"

#include "app/BlankText.h"
#include "shell/Cp1252.h"

#include <QCryptographicHash>
#include <QtEndian>

namespace {

QString normalised(const QString& line)
{
    QString out;
    out.reserve(line.size());
    bool blank = false;
    for (const QChar c : line) {
        if (IsBlankChar(c)) {
            blank = true;
            continue;
        }
        if (blank && !out.isEmpty())
            out += u' ';
        blank = false;
        out += c;
    }
    return out.toCaseFolded();
}

bool isSalutationOnly(const QString& normalisedLine)
{
    static const QStringList words{"herrn", "herr", "frau", "familie", "fam.", "eheleute", "an", "mr", "mr.",
                                   "mrs", "mrs.", "ms", "ms."};
    return words.contains(normalisedLine);
}

} // namespace

QString AdresseKey(const QStringList& lines)
{
    QStringList parts;
    for (const QString& line : lines) {
        const QString n = normalised(line);
        if (n.isEmpty())
            continue;
        if (parts.isEmpty() && isSalutationOnly(n))
            continue;
        parts.append(n);
    }
    // A line break never stands in a line the key is made of.
    return parts.join(u'\n');
}

QString StoredAdresseKey(const ImportedAdresse& a)
{
    auto stored = [](const QString& line) { return Cp1252::decode(Cp1252::encode(line)); };
    return AdresseKey({stored(a.Line1), stored(a.Line2), stored(a.Line3), stored(a.Line4), stored(a.Line5)});
}

quint64 AdresseKeyHash(const QString& key)
{
    const QByteArray digest = QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha1);
    return qFromLittleEndian<quint64>(digest.constData());
}
