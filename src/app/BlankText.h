#pragma once
#include <QString>
#include <QStringView>

// Trimming, as this program does it everywhere: the characters with codes 0 to 32 (control
// characters and the space) are removed at both ends, and nothing else. A non-breaking
// space or another Unicode space is text, not blank.
inline bool IsBlankChar(QChar c) { return c.unicode() <= u' '; }

// The text without the blank characters at both ends.
QString TrimBlanks(QStringView text);
// The same; a text without such blanks is handed back as it is, without a copy.
QString TrimBlanks(const QString& text);

// True when the text holds nothing but blank characters (or nothing at all).
bool IsBlank(QStringView text);
