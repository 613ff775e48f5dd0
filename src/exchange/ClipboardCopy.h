#pragma once
#include <QString>
#include <QStringList>

struct AppContext;

// Lines 1 to 5 of the sender or address on the clipboard, each non-blank one followed by
// CR LF, then the confirmation. Nothing happens for an empty or unknown identifier.
void CopyAbsenderToClipboard(AppContext& ctx, const QString& absenderId);
void CopyAdresseToClipboard(AppContext& ctx, const QString& adresseId);

// The clipboard text of a record's lines: the non-blank ones, untrimmed, each with CR LF.
QString ClipboardText(const QStringList& lines);
