#pragma once
#include <QString>

// A sort name from an address line: its words in reverse order, so "Max Mustermann"
// becomes "Mustermann Max". Words are read like a comma-separated list: blanks and commas
// separate them, a double-quoted run is one word (quotes dropped, "" stands for one
// quote), and a comma with no word before it, or a comma at the very end, is an empty word.
QString ReverseWords(const QString& line);
