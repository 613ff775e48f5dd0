#include "shell/Cp1252.h"

#include <array>

namespace {

// 0x80..0x9F; 0 marks the five bytes the code page leaves undefined (kept as C1 controls).
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

int byteFor(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] == c)
            return 0x80 + i;
    return -1;
}

} // namespace

namespace Cp1252 {

QByteArray encode(QStringView text)
{
    QByteArray out(text.size(), Qt::Uninitialized);
    char* dst = out.data();
    qsizetype n = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0x80) {
            dst[n++] = char(c);
            continue;
        }
        int b = byteFor(c);
        if (b < 0) {
            if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate())
                ++i; // one replacement for the whole pair
            else {
                const QString decomposed = QChar(c).decomposition();
                if (!decomposed.isEmpty() && QChar(c).decompositionTag() == QChar::Canonical)
                    b = byteFor(decomposed.at(0).unicode());
            }
            if (b < 0)
                b = '?';
        }
        dst[n++] = char(b);
    }
    out.truncate(n);
    return out;
}

QString decode(const char* bytes, qsizetype length)
{
    QString out(length, Qt::Uninitialized);
    char16_t* dst = reinterpret_cast<char16_t*>(out.data());
    for (qsizetype i = 0; i < length; ++i) {
        const unsigned char b = static_cast<unsigned char>(bytes[i]);
        dst[i] = (b >= 0x80 && b < 0xA0) ? kHigh[b - 0x80] : char16_t(b);
    }
    return out;
}

} // namespace Cp1252
