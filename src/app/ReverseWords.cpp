#include "app/ReverseWords.h"

#include "app/BlankText.h"

#include <QStringList>

QString ReverseWords(const QString& line)
{
    // A NUL ends the text, as it ends a C string.
    const QString text = TrimBlanks(line.left(line.indexOf(QChar(0)) < 0 ? line.size() : line.indexOf(QChar(0))));
    QStringList words;
    qsizetype p = 0;
    const qsizetype n = text.size();
    while (p < n) {
        QString word;
        if (text[p] == u'"') {
            ++p;
            while (p < n) {
                if (text[p] == u'"') {
                    if (p + 1 < n && text[p + 1] == u'"') {
                        word += u'"';
                        p += 2;
                        continue;
                    }
                    ++p;
                    break;
                }
                word += text[p++];
            }
        } else {
            const qsizetype start = p;
            while (p < n && !IsBlankChar(text[p]) && text[p] != u',')
                ++p;
            word = text.mid(start, p - start);
        }
        words.append(word);
        while (p < n && IsBlankChar(text[p]))
            ++p;
        if (p < n && text[p] == u',') {
            if (p + 1 == n)
                words.append(QString());
            do
                ++p;
            while (p < n && IsBlankChar(text[p]));
        }
    }
    QStringList reversed(words.crbegin(), words.crend());
    return reversed.join(u' ');
}
