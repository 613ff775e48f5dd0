#include "shell/Cp1252.h"

#include <unicode/translit.h>
#include <unicode/unistr.h>

#include <array>
#include <memory>

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

// The nearest Latin spelling of a run of characters the code page lacks. ICU's
// transliterators are not safe to share between threads: each thread makes its own.
QString latin(QStringView run)
{
    thread_local std::unique_ptr<icu::Transliterator> transliterator = [] {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<icu::Transliterator> t(
            icu::Transliterator::createInstance("Any-Latin; Latin-ASCII", UTRANS_FORWARD, status));
        return U_SUCCESS(status) ? std::move(t) : nullptr;
    }();
    if (!transliterator)
        return run.toString();
    icu::UnicodeString text(reinterpret_cast<const UChar*>(run.utf16()), int32_t(run.size()));
    transliterator->transliterate(text);
    return QString(reinterpret_cast<const QChar*>(text.getBuffer()), text.length());
}

// The bytes of a text whose characters are all in the page, "?" for any other.
void appendBytes(QByteArray& out, QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        int b = byteFor(c);
        if (b < 0) {
            if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate())
                ++i;  // one replacement for the whole pair
            b = '?';
        }
        out.append(char(b));
    }
}

// Calls found(start, length) for each run of characters the code page lacks, in the
// composed form (an e followed by a combining accent is é, which the page has).
template <class Found> void forEachRun(const QString& composed, Found found)
{
    const qsizetype n = composed.size();
    for (qsizetype i = 0; i < n;) {
        if (byteFor(composed[i].unicode()) >= 0) {
            ++i;
            continue;
        }
        qsizetype end = i + 1;
        while (end < n && byteFor(composed[end].unicode()) < 0)
            ++end;
        found(i, end - i);
        i = end;
    }
}

bool allInPage(QStringView text)
{
    for (QChar c : text)
        if (byteFor(c.unicode()) < 0)
            return false;
    return true;
}

} // namespace

namespace Cp1252 {

QByteArray encode(QStringView text)
{
    QByteArray out(text.size(), Qt::Uninitialized);
    char* dst = out.data();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int b = byteFor(text[i].unicode());
        if (b < 0) {
            // Rare: the whole text goes the slow way.
            const QString composed = text.toString().normalized(QString::NormalizationForm_C);
            QByteArray slow;
            slow.reserve(composed.size());
            qsizetype done = 0;
            forEachRun(composed, [&](qsizetype start, qsizetype length) {
                appendBytes(slow, QStringView(composed).sliced(done, start - done));
                appendBytes(slow, latin(QStringView(composed).sliced(start, length)));
                done = start + length;
            });
            appendBytes(slow, QStringView(composed).sliced(done));
            return slow;
        }
        dst[i] = char(b);
    }
    return out;
}

QList<std::pair<QString, QString>> Replacements(QStringView text)
{
    QList<std::pair<QString, QString>> found;
    if (allInPage(text))
        return found;
    const QString composed = text.toString().normalized(QString::NormalizationForm_C);
    forEachRun(composed, [&](qsizetype start, qsizetype length) {
        const QStringView run = QStringView(composed).sliced(start, length);
        found.append({run.toString(), decode(encode(run))});
    });
    return found;
}

QString Stored(const QString& text)
{
    return allInPage(text) ? text : decode(encode(text));
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
