#pragma once
#include <QIcon>

// The icon of the dialogs' help buttons: a white question mark on a blue disc, drawn here
// so it looks the same under every style and theme.
QIcon HelpIcon();
