#include "app/BlankText.h"

QString TrimBlanks(QStringView text)
{
    qsizetype b = 0, e = text.size();
    while (b < e && IsBlankChar(text[b]))
        ++b;
    while (e > b && IsBlankChar(text[e - 1]))
        --e;
    return text.sliced(b, e - b).toString();
}

QString TrimBlanks(const QString& text)
{
    if (text.isEmpty() || (!IsBlankChar(text.front()) && !IsBlankChar(text.back())))
        return text;
    return TrimBlanks(QStringView(text));
}

bool IsBlank(QStringView text)
{
    for (QChar c : text)
        if (!IsBlankChar(c))
            return false;
    return true;
}
