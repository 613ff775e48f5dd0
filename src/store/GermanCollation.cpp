#include "store/GermanCollation.h"

#include <sqlite3.h>

#include <array>
#include <cstring>

namespace {

// Each byte's letter for the comparison: up to two bytes (ß is "ss"), the second 0 when
// there is one only. Letters are folded to small ASCII letters; every other byte stands
// for itself, so digits and punctuation keep their code order before the letters.
struct Key
{
    unsigned char first;
    unsigned char second;
};

constexpr std::array<Key, 256> makeTable()
{
    std::array<Key, 256> t{};
    for (int b = 0; b < 256; ++b)
        t[b] = {static_cast<unsigned char>(b), 0};
    for (int b = 'A'; b <= 'Z'; ++b)
        t[b] = {static_cast<unsigned char>(b + 32), 0};
    auto one = [&](const char* bytes, char letter) {
        for (const char* p = bytes; *p; ++p)
            t[static_cast<unsigned char>(*p)] = {static_cast<unsigned char>(letter), 0};
    };
    auto two = [&](const char* bytes, const char* letters) {
        for (const char* p = bytes; *p; ++p)
            t[static_cast<unsigned char>(*p)] = {static_cast<unsigned char>(letters[0]),
                                                 static_cast<unsigned char>(letters[1])};
    };
    one("\xC0\xC1\xC2\xC3\xC4\xC5\xE0\xE1\xE2\xE3\xE4\xE5", 'a');
    one("\xC7\xE7", 'c');
    one("\xD0\xF0", 'd');
    one("\xC8\xC9\xCA\xCB\xE8\xE9\xEA\xEB", 'e');
    one("\x83", 'f');
    one("\xCC\xCD\xCE\xCF\xEC\xED\xEE\xEF", 'i');
    one("\xD1\xF1", 'n');
    one("\xD2\xD3\xD4\xD5\xD6\xD8\xF2\xF3\xF4\xF5\xF6\xF8", 'o');
    one("\x8A\x9A", 's');
    one("\xD9\xDA\xDB\xDC\xF9\xFA\xFB\xFC", 'u');
    one("\xDD\xFD\xFF\x9F", 'y');
    one("\x8E\x9E", 'z');
    two("\xC6\xE6", "ae");
    two("\x8C\x9C", "oe");
    two("\xDE\xFE", "th");
    two("\xDF", "ss");
    return t;
}

constexpr std::array<Key, 256> kKeys = makeTable();

// Hands out the folded letters of a text one at a time, two for a byte that stands for two.
class Letters
{
public:
    Letters(const unsigned char* p, int n) : m_p(p), m_end(p + n) {}
    // 0 past the end; the letters themselves are never 0 (a NUL byte counts as 256).
    int next()
    {
        if (m_pending) {
            const int c = m_pending;
            m_pending = 0;
            return c;
        }
        if (m_p == m_end)
            return 0;
        const Key k = kKeys[*m_p++];
        m_pending = k.second;
        return k.first ? k.first : 256;
    }

private:
    const unsigned char* m_p;
    const unsigned char* m_end;
    int m_pending = 0;
};

int collate(void*, int na, const void* a, int nb, const void* b)
{
    return GermanCollation::Compare(a, na, b, nb);
}

} // namespace

namespace GermanCollation {

int Compare(const void* a, int lengthA, const void* b, int lengthB)
{
    const auto* pa = static_cast<const unsigned char*>(a);
    const auto* pb = static_cast<const unsigned char*>(b);
    Letters la(pa, lengthA), lb(pb, lengthB);
    for (;;) {
        const int ca = la.next();
        const int cb = lb.next();
        if (ca != cb)
            return ca < cb ? -1 : 1;
        if (ca == 0)
            break;
    }
    const int common = lengthA < lengthB ? lengthA : lengthB;
    if (const int r = common ? std::memcmp(pa, pb, common) : 0)
        return r < 0 ? -1 : 1;
    return lengthA == lengthB ? 0 : (lengthA < lengthB ? -1 : 1);
}

bool Register(sqlite3* db)
{
    return sqlite3_create_collation(db, kName, SQLITE_UTF8, nullptr, collate) == SQLITE_OK;
}

QString OrderByLine(int line)
{
    return QStringLiteral("ORDER BY Line%1 COLLATE %2, rowid").arg(line).arg(QLatin1String(kName));
}

} // namespace GermanCollation
