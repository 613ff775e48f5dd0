#pragma once
#include <QString>

struct AppContext;
class QWidget;

// The main window's designer command: shows the banner designer and, after
// "Übernehmen", stores the banner for the sender. True when the banner was stored;
// a failed store is reported with its message. Does nothing for an empty sender ID.
bool ShowBannerDesigner(AppContext& ctx, QWidget* parent, const QString& absenderId);
