#include "app/ReverseWords.h"

#include <gtest/gtest.h>

TEST(ReverseWords, TurnsTheWordsOfALineAround)
{
    const struct
    {
        QString line;
        QString expected;
    } cases[] = {
        // Examples of the address dialog and of the automatic sort names.
        {"Dr. Hans Meier", "Meier Hans Dr."},
        {"Mustermann, Max", "Max Mustermann"},
        {"Herrn", "Herrn"},
        {"Max Mustermann", "Mustermann Max"},
        {"Hauptstraße 5", "5 Hauptstraße"},
        {"", ""},
        {"   ", ""},
        // Blanks between words and around commas are skipped.
        {"  Anna   Berta  ", "Berta Anna"},
        {"a , b", "b a"},
        {"a,b,c", "c b a"},
        // A quoted run is one word: blanks and commas inside, quotes dropped, "" is one quote.
        {"\"Müller, Lüdenscheidt\" GmbH", "GmbH Müller, Lüdenscheidt"},
        {"Firma \"Sagt \"\"Hallo\"\"\"", "Sagt \"Hallo\" Firma"},
        {"\"\"", ""},
        {"\"a b\",c", "c a b"},
        // A comma without a word before it, or at the very end, is an empty word.
        {",a", "a "},
        {"a,,b", "b  a"},
        {"a, ,b", "b  a"},
        {"a,", " a"},
        {"a , ", " a"},
        {",", " "},
        // Control characters at both ends are trimmed like blanks.
        {"\t\r\nMax Mustermann\r\n", "Mustermann Max"},
        {QString(QChar(1)) + "Eins Zwei" + QChar(31), "Zwei Eins"},
        // Inside, a control character separates words like a blank.
        {"Eins\tZwei", "Zwei Eins"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReverseWords(c.line), c.expected) << "line: [" << c.line.toStdString() << "]";
}
