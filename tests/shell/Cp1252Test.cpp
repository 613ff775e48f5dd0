#include "shell/Cp1252.h"

#include <gtest/gtest.h>

TEST(Cp1252, EncodesEveryTableCharacterAndBack)
{
    struct Case { const char16_t* text; QByteArray bytes; };
    const Case cases[] = {
        {u"abc", "abc"},
        {u"ä", "\xE4"},
        {u"Größe Ä Ö Ü ß", "Gr\xF6\xDF" "e \xC4 \xD6 \xDC \xDF"},
        {u"€ „x“ – …", "\x80 \x84x\x93 \x96 \x85"},
        {u"Š Ž š ž Ÿ", "\x8A \x8E \x9A \x9E \x9F"},
    };
    for (const Case& c : cases) {
        const QString text = QString::fromUtf16(c.text);
        EXPECT_EQ(Cp1252::encode(text), c.bytes) << text.toStdString();
        EXPECT_EQ(Cp1252::decode(c.bytes), text) << text.toStdString();
    }
}

TEST(Cp1252, CharactersOutsideThePageAreReplaced)
{
    struct Case { const char16_t* text; QByteArray bytes; };
    const Case cases[] = {
        {u"ą", "a"},            // base letter after decomposition
        {u"Łódź", "?\xF3" "dz"}, // Ł has no decomposition; ó is in the page; ź → z
        {u"€😀x", "\x80?x"},     // a surrogate pair is one character
        {u"日本", "??"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Cp1252::encode(QString::fromUtf16(c.text)), c.bytes);
}

TEST(Cp1252, AllBytesDecodeAndRoundTrip)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    EXPECT_EQ(Cp1252::encode(Cp1252::decode(all)), all);
}
