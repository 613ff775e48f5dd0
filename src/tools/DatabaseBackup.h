#pragma once
#include <QString>

struct AppContext;

namespace BackupText {
inline const QString Identical = QStringLiteral("Backup- und Datenverzeichnis dürfen nicht identisch sein!");
inline const QString Reasons = QStringLiteral(
    "\n\nMögliche Ursachen:\n- Kein Datenträger vorhanden\n- Datenträger ist schreibgeschützt\n- Es fehlen die "
    "nötigen Zugriffsrechte");
inline const QString RemoveOldFailed = QStringLiteral("Fehler beim Entfernen alter Sicherungsdaten!") + Reasons;
inline const QString CreateDirFailed =
    QStringLiteral("Verzeichnis für die Datensicherung konnte nicht angelegt werden!") + Reasons;
inline const QString DataDirMissing = QStringLiteral("Datenverzeichnis wurde nicht gefunden!");
inline const QString CopyFailed = QStringLiteral("Fehler beim Kopieren der Sicherungsdaten!") + Reasons;
inline const QString NothingSaved = QStringLiteral("Es wurden keine gesicherten Daten gefunden!");
inline const QString RemoveCurrentFailed = QStringLiteral("Fehler beim Entfernen der aktuellen Daten!") + Reasons;
inline const QString RestoreFailed = QStringLiteral("Fehler beim Wiederherstellen der Daten!") + Reasons;
inline const QString BackupUnreadable = QStringLiteral(
    "Die gesicherten Daten sind beschädigt und können nicht wiederhergestellt werden!\n\nDie aktuellen Daten "
    "bleiben unverändert erhalten.");
inline const QString DatabaseBusy = QStringLiteral(
    "Die Datenbank wird gerade von einem anderen Programm verwendet und kann nicht wiederhergestellt werden!\n\n"
    "Bitte beenden Sie das andere Programm und versuchen Sie es erneut. Die aktuellen Daten bleiben unverändert "
    "erhalten.");
inline const QString AskBackup = QStringLiteral("Soll die Datensicherung jetzt durchgeführt werden?");
inline const QString BackupDone = QStringLiteral("Die Datensicherung wurde erfolgreich abgeschlossen.");
inline const QString AskRestore = QStringLiteral("Beim Wiederherstellen werden die aktuellen Daten überschrieben!");
} // namespace BackupText

// The name of the database file in the data and the backup folder.
inline constexpr const char* kDatabaseFileName = "Tavisto.dbs";
// Copies are written under this name first and renamed over the file once complete, so
// neither the current data nor an earlier backup is ever half overwritten.
inline constexpr const char* kPartialCopyName = "Tavisto.dbs.partial";

// The folder with a trailing separator; the empty text becomes the separator alone.
QString WithDelimiter(const QString& folder);

// Copies the database file of the data folder into backupPath. Reports its failures
// through ctx.Messages and returns false.
bool RunBackup(AppContext& ctx, const QString& backupPath);

// Replaces the database file by the backup in backupPath. On success the connection is
// closed (the caller opens the restored file); on failure the current file is untouched
// and the program keeps a connection to it. Failures are reported through ctx.Messages.
bool RunRestore(AppContext& ctx, const QString& backupPath);

// Opens the restored file and adds the columns that older versions lacked. Returns the
// fatal message that ends the program, or the empty text.
QString OpenRestoredDatabase(AppContext& ctx);

// True when the file can be read as an intact SQLite database.
bool IsReadableDatabase(const QString& fileName);
