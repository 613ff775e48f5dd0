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

// Names as they reach an envelope: letters the page lacks spelled in their nearest Latin
// letters, letters the page has left alone, "?" only for what has no Latin form.
TEST(Cp1252, NamesThePageLacksAreSpelledInLatin)
{
    struct Case
    {
        const char* language;
        const char16_t* text;
        const char* stored;  // as Windows-1252 bytes, written in UTF-8 here
    };
    const Case cases[] = {
        {"Polish", u"Zoë Łukasiewicz, Długa, Łódź", "Zoë Lukasiewicz, Dluga, Lódz"},
        {"Polish", u"Wałęsa Żółć", "Walesa Zólc"},
        {"Czech", u"Dvořák, Šťastný, Růžička", "Dvorák, Štastný, Ružicka"},
        {"Romanian", u"Ștefănescu, Țară, Brașov", "Stefanescu, Tara, Brasov"},
        {"Turkish", u"Işık Şahin, Iğdır, Kılıç", "Isik Sahin, Igdir, Kiliç"},
        {"Hungarian", u"Erdős Győző", "Erdos Gyozo"},
        {"Greek", u"Σωκράτης Παπαδόπουλος", "Sokrates Papadopoulos"},
        {"Cyrillic", u"Юрий Жуков, Ђорђе", "Urij Zukov, Dorde"},
        {"in the page", u"Müller, Straße 5, 10 €, Øre, Café, Šimek", "Müller, Straße 5, 10 €, Øre, Café, Šimek"},
        {"composed by the accent that follows", u"Cafe\u0301", "Café"},
        {"no Latin form", u"€😀x", "€?x"},  // a surrogate pair is one character
    };
    for (const Case& c : cases) {
        const QByteArray stored = Cp1252::encode(QString::fromUtf16(c.text));
        EXPECT_EQ(Cp1252::decode(stored), QString::fromUtf8(c.stored)) << c.language;
    }
}

TEST(Cp1252, ReplacementsNameEachRunOnce)
{
    using Pairs = QList<std::pair<QString, QString>>;
    EXPECT_EQ(Cp1252::Replacements(u"Müller € Straße"), Pairs{});
    EXPECT_EQ(Cp1252::Replacements(u"Zoë Łukasiewicz"), (Pairs{{"Ł", "L"}}));
    EXPECT_EQ(Cp1252::Replacements(u"Dvořák Юрий"), (Pairs{{"ř", "r"}, {"Юрий", "Urij"}}));
    EXPECT_EQ(Cp1252::Replacements(u"x😀"), (Pairs{{"😀", "?"}}));
}

TEST(Cp1252, AllBytesDecodeAndRoundTrip)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    EXPECT_EQ(Cp1252::encode(Cp1252::decode(all)), all);
}
