#include "sources/AdresseKey.h"

#include "app/BlankText.h"
#include "shell/Cp1252.h"

#include <QHashFunctions>

namespace {

QString normalised(const QString& line)
{
    // A run of blanks becomes one blank, so the text never grows.
    QString out(line.size(), Qt::Uninitialized);
    QChar* dst = out.data();
    qsizetype n = 0;
    bool blank = false;
    for (const QChar c : line) {
        if (IsBlankChar(c)) {
            blank = true;
            continue;
        }
        if (blank && n > 0)
            dst[n++] = u' ';
        blank = false;
        dst[n++] = c;
    }
    out.truncate(n);
    return std::move(out).toCaseFolded();
}

bool isSalutationOnly(const QString& normalisedLine)
{
    static const QStringList words{"herrn", "herr", "frau", "familie", "fam.", "eheleute", "an", "mr", "mr.",
                                   "mrs", "mrs.", "ms", "ms."};
    return normalisedLine.size() <= 8 && words.contains(normalisedLine);
}

} // namespace

QString AdresseKey(const QStringList& lines)
{
    // The lines that count, joined by line breaks: a line break never stands in a line the
    // key is made of.
    QString key;
    for (const QString& line : lines) {
        const QString n = normalised(line);
        if (n.isEmpty())
            continue;
        if (key.isEmpty() && isSalutationOnly(n))
            continue;
        if (!key.isEmpty())
            key += u'\n';
        key += n;
    }
    return key;
}

QString StoredAdresseKey(const ImportedAdresse& a)
{
    using Cp1252::Stored;
    return AdresseKey({Stored(a.Line1), Stored(a.Line2), Stored(a.Line3), Stored(a.Line4), Stored(a.Line5)});
}

quint64 AdresseKeyHash(const QString& key)
{
    // SipHash over the text as it stands: the keys are compared within one import only.
    return quint64(qHashBits(key.constData(), size_t(key.size()) * sizeof(QChar), 0));
}
