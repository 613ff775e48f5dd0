#pragma once
#include <QStringList>

struct AppContext;

// The notice about the new functions of this version, in its nine lines.
QStringList NewsLines();

// Called from the main window's activation handler: shows the notice while the news
// flag (HELP/Screen) is set and clears it. True when the notice was shown.
bool ShowNewsIfDue(AppContext& ctx);
