#include "sources/AdresseKey.h"

#include "app/BlankText.h"
#include "shell/Cp1252.h"

#include <QHashFunctions>

#include <array>

namespace {

// Simple case folding, a character at a time: for every character outside the surrogates
// it is what QString::toCaseFolded gives, without that function's pass over a copy.
char16_t folded(char16_t c)
{
    static const std::array<char16_t, 256> latin1 = [] {
        std::array<char16_t, 256> t{};
        for (char16_t i = 0; i < 256; ++i)
            t[i] = QChar(i).toCaseFolded().unicode();
        return t;
    }();
    return c < 256 ? latin1[c] : QChar(c).toCaseFolded().unicode();
}

bool isSalutationOnly(QStringView normalisedLine)
{
    static const std::array<QStringView, 13> words{u"herrn", u"herr", u"frau", u"familie", u"fam.", u"eheleute", u"an",
                                                   u"mr", u"mr.", u"mrs", u"mrs.", u"ms", u"ms."};
    if (normalisedLine.size() > 8)
        return false;
    for (QStringView w : words)
        if (normalisedLine == w)
            return true;
    return false;
}

// The key of count lines, built in one pass into one string: each line case folded, its
// outer blanks dropped and every inner run of blanks made one blank; the lines that are
// left joined by line breaks, which never stand inside a line the key is made of.
QString keyOf(const QString* lines, qsizetype count)
{
    qsizetype room = 0;
    for (qsizetype i = 0; i < count; ++i)
        room += lines[i].size() + 1;
    QString key(room, Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(key.data());
    qsizetype n = 0; // the key so far
    for (qsizetype i = 0; i < count; ++i) {
        const QString& line = lines[i];
        const qsizetype start = n == 0 ? 0 : n + 1; // after the line break
        qsizetype m = start;
        bool blank = false;
        const char16_t* p = reinterpret_cast<const char16_t*>(line.constData());
        const char16_t* const end = p + line.size();
        for (; p < end; ++p) {
            const char16_t c = *p;
            if (IsBlankChar(QChar(c))) {
                blank = true;
                continue;
            }
            if (blank && m > start)
                out[m++] = u' ';
            blank = false;
            if (QChar::isHighSurrogate(c) && p + 1 < end && QChar::isLowSurrogate(p[1])) {
                const char32_t f = QChar::toCaseFolded(QChar::surrogateToUcs4(c, p[1]));
                out[m++] = QChar::highSurrogate(f);
                out[m++] = QChar::lowSurrogate(f);
                ++p;
            } else {
                out[m++] = folded(c);
            }
        }
        if (m == start)
            continue;
        if (n == 0 && isSalutationOnly(QStringView(out, m)))
            continue;
        if (n > 0)
            out[n] = u'\n';
        n = m;
    }
    key.truncate(n);
    return key;
}

} // namespace

QString AdresseKey(const QStringList& lines) { return keyOf(lines.constData(), lines.size()); }

QString StoredAdresseKey(const ImportedAdresse& a)
{
    using Cp1252::Stored;
    const std::array<QString, 5> lines{Stored(a.Line1), Stored(a.Line2), Stored(a.Line3), Stored(a.Line4),
                                       Stored(a.Line5)};
    return keyOf(lines.data(), qsizetype(lines.size()));
}

quint64 AdresseKeyHash(const QString& key)
{
    // SipHash over the text as it stands: the keys are compared within one import only.
    return quint64(qHashBits(key.constData(), size_t(key.size()) * sizeof(QChar), 0));
}
