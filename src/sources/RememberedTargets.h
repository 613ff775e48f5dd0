#pragma once
#include "sources/ColumnGuess.h"

#include <map>

// The assignments a user made, kept in the settings file for the next file with the same
// header row: a short key of the headers (case and blanks at the ends aside), the targets
// by their settings names, "-" for a column not taken.
using RememberedTargets = std::map<QString, QString>;

QString TargetsKey(const QStringList& headers);
QString EncodeTargets(const ColumnTargets& targets);
// Nothing when the text is not an assignment of that many columns.
std::optional<ColumnTargets> DecodeTargets(const QString& text, size_t columns);
