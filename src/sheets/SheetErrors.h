#pragma once
#include "sheets/TableSource.h"

#include <QString>

// The German messages of a file that cannot be read, each naming the file as the user
// knows it (its name without the folder).
namespace sheets::errors {

QString DisplayName(const QString& path);

SheetError CannotOpen(const QString& name);
SheetError Damaged(const QString& name);
SheetError Encrypted(const QString& name);
SheetError TooLarge(const QString& name);
SheetError NotATable(const QString& name);

} // namespace sheets::errors
