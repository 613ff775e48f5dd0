#pragma once
#include <QString>

struct AppContext;

// Folders the start-up sequence resolves the program's paths from.
struct StartupFolders
{
    QString ProgramDir;
    QString AppData;    // GetKnownFolder(CSIDL_APPDATA)
    QString Documents;  // GetKnownFolder(CSIDL_PERSONAL)
};

namespace StartupText {
inline const QString HelpMissing = QStringLiteral("Die Hilfedatei wurde nicht gefunden!");
inline const QString SettingsDirFailed = QStringLiteral("Verzeichnis für die Einstellungen konnte nicht angelegt werden!");
inline const QString DataDirFailed = QStringLiteral("Verzeichnis für die Programmdaten konnte nicht angelegt werden!");
inline const QString OpenFailed = QStringLiteral("Fehler beim Öffnen der Datenbank!\nDas Programm wird beendet.");
inline const QString CreateFailed = QStringLiteral(
    "Fehler beim Öffnen der Datenbank! Das Programm wird beendet.\n\nSollte dieser Fehler unter Windows Vista oder 7 "
    "auftreten, so ändern Sie bitte den Kompatibilitätsmodus auf eine frühere Version von Windows z.B. Windows 2000 "
    "oder 98. Klicken Sie hierzu mit der rechten Maustaste auf das Programmsymbol und wählen Sie \"Behandlung von "
    "Kompatibilitätsproblemen\".");
inline const QString AddColumnFailed =
    QStringLiteral("Fehler beim Hinzufügen neuer Datenbankfelder! Das Programm wird beendet.");
} // namespace StartupText

// Paths, help-file check, folders, database with its tables and the Line6 column.
// Returns the fatal message that ends the start, or an empty text when all went well.
// Non-fatal messages go through ctx.Messages.
QString OpenDataStore(AppContext& ctx, const StartupFolders& folders);

// Opens ctx.Paths.DatabaseFile as ctx.Database and makes sure SQLite can read it as a
// database (a file of other bytes is left untouched). Returns the fatal message or empty.
QString OpenDatabaseFile(AppContext& ctx);

// The Line6 migration of tab_adressen; the fatal message or empty.
QString MigrateColumns(AppContext& ctx);
