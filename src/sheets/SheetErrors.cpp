#include "sheets/SheetErrors.h"

#include <QFileInfo>

namespace sheets::errors {

QString DisplayName(const QString& path)
{
    const QString name = QFileInfo(path).fileName();
    return name.isEmpty() ? path : name;
}

SheetError CannotOpen(const QString& name)
{
    return SheetError(QStringLiteral("Die Datei „%1“ kann nicht geöffnet werden.").arg(name));
}

SheetError Damaged(const QString& name)
{
    return SheetError(
        QStringLiteral("Die Datei „%1“ ist beschädigt und kann nicht gelesen werden. Es wurde nichts importiert.")
            .arg(name));
}

SheetError Encrypted(const QString& name)
{
    return SheetError(QStringLiteral("Die Datei „%1“ ist mit einem Kennwort geschützt und kann nicht gelesen werden. "
                                     "Bitte speichern Sie sie ohne Kennwort und wählen Sie sie dann erneut.")
                          .arg(name));
}

SheetError TooLarge(const QString& name)
{
    return SheetError(QStringLiteral("Die Datei „%1“ ist beim Entpacken viel zu groß und wird nicht gelesen. "
                                     "Es wurde nichts importiert.")
                          .arg(name));
}

SheetError NotATable(const QString& name)
{
    return SheetError(QStringLiteral("Die Datei „%1“ ist keine Tabelle, die gelesen werden kann "
                                     "(erwartet: .ods, .xlsx, .xls, .csv oder .txt).")
                          .arg(name));
}

} // namespace sheets::errors
