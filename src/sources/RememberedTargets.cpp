#include "sources/RememberedTargets.h"

#include "app/BlankText.h"

#include <QCryptographicHash>

QString TargetsKey(const QStringList& headers)
{
    QStringList names;
    for (const QString& h : headers)
        names << TrimBlanks(h).toCaseFolded();
    const QByteArray hash = QCryptographicHash::hash(names.join(QChar(0x1f)).toUtf8(), QCryptographicHash::Sha1);
    return QStringLiteral("K") + QString::fromLatin1(hash.toHex().left(20));
}

QString EncodeTargets(const ColumnTargets& targets)
{
    QStringList keys;
    for (const std::optional<AddressField>& t : targets)
        keys << (t ? AddressFieldKey(*t) : QStringLiteral("-"));
    return keys.join(u',');
}

std::optional<ColumnTargets> DecodeTargets(const QString& text, size_t columns)
{
    const QStringList keys = text.split(u',');
    if (size_t(keys.size()) != columns)
        return std::nullopt;
    ColumnTargets targets;
    for (const QString& key : keys) {
        if (key == u"-") {
            targets.push_back(std::nullopt);
            continue;
        }
        const std::optional<AddressField> f = AddressFieldOfKey(key);
        if (!f)
            return std::nullopt;
        targets.push_back(f);
    }
    return targets;
}
