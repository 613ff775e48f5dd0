#pragma once
#include <QStringList>

// The installed font families in alphabetical order. "Arial", the program's default face,
// is listed too when the system draws it with a substitute of its own (fontconfig maps it
// to a metric twin), so that the default stays choosable and is kept on saving.
QStringList InstalledFontNames();
