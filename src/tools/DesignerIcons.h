#pragma once
#include <QIcon>

// The small icons of the designer and the record dialogs, drawn here so they look the
// same under every style and icon theme.
namespace DesignerIcons {
QIcon Help();
QIcon Refresh();
QIcon Open();
QIcon Paste();
QIcon Copy();
QIcon Delete();
} // namespace DesignerIcons
