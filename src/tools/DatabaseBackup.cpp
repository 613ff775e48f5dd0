#include "tools/DatabaseBackup.h"

#include "app/AppContext.h"
#include "app/Startup.h"
#include "shell/MessageService.h"
#include "store/ESQLiteException.h"
#include "uikit/TBusyCursor.h"

#include <QFileInfo>
#include <filesystem>
#include <functional>
#include <sqlite3.h>

namespace fs = std::filesystem;

namespace {
fs::path toPath(const QString& text)
{
    return fs::path(text.toStdString());
}

bool isFile(const QString& name)
{
    return QFileInfo(name).isFile();
}

bool isDir(const QString& name)
{
    return QFileInfo(name).isDir();
}

// The same folder: equal names without regard to case, or one folder under two names.
bool sameFolder(const QString& d, const QString& b)
{
    if (d.compare(b, Qt::CaseInsensitive) == 0)
        return true;
    const QString cd = QFileInfo(d).canonicalFilePath();
    return !cd.isEmpty() && cd == QFileInfo(b).canonicalFilePath();
}

void removeQuietly(const QString& name)
{
    std::error_code ec;
    fs::remove(toPath(name), ec);
}

// Copies source to a partial file in the target's folder, checks that the copy reads as
// a database and renames it over target. Returns false with the partial file removed.
enum class CopyResult { Done, CopyFailed, Unreadable, ReplaceFailed };
CopyResult copyVerified(const QString& source, const QString& partial, const QString& target,
                        const std::function<void()>& beforeReplace = {})
{
    std::error_code ec;
    removeQuietly(partial);
    if (!fs::copy_file(toPath(source), toPath(partial), fs::copy_options::overwrite_existing, ec) || ec) {
        removeQuietly(partial);
        return CopyResult::CopyFailed;
    }
    if (!IsReadableDatabase(partial)) {
        removeQuietly(partial);
        return CopyResult::Unreadable;
    }
    if (beforeReplace)
        beforeReplace();
    fs::rename(toPath(partial), toPath(target), ec);
    if (ec) {
        removeQuietly(partial);
        return CopyResult::ReplaceFailed;
    }
    return CopyResult::Done;
}
bool lockForReplacement(AppContext& ctx)
{
    if (!ctx.Database)
        return true;
    try {
        ctx.Database->ExecSQL(QStringLiteral("BEGIN EXCLUSIVE"));
        return true;
    } catch (const ESQLiteException&) {
        return false;
    }
}

// Gives the lock back when the restore fails before it closed the connection.
class ExclusiveUntilClosed
{
public:
    explicit ExclusiveUntilClosed(AppContext& ctx) : m_ctx(ctx) {}
    ~ExclusiveUntilClosed()
    {
        if (m_ctx.Database && !sqlite3_get_autocommit(m_ctx.Database->Handle())) {
            try {
                m_ctx.Database->ExecSQL(QStringLiteral("ROLLBACK"));
            } catch (const ESQLiteException&) {
            }
        }
    }
    ExclusiveUntilClosed(const ExclusiveUntilClosed&) = delete;
    ExclusiveUntilClosed& operator=(const ExclusiveUntilClosed&) = delete;

private:
    AppContext& m_ctx;
};

} // namespace

QString WithDelimiter(const QString& folder)
{
    return folder.endsWith(u'/') ? folder : folder + u'/';
}

bool IsReadableDatabase(const QString& fileName)
{
    sqlite3* db = nullptr;
    bool ok = false;
    if (sqlite3_open_v2(fileName.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db, "PRAGMA quick_check", -1, &stmt, nullptr) == SQLITE_OK &&
            sqlite3_step(stmt) == SQLITE_ROW) {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
            ok = text && QByteArray(text) == "ok";
        }
        sqlite3_finalize(stmt);
    }
    sqlite3_close(db);
    return ok;
}

bool RunBackup(AppContext& ctx, const QString& backupPath)
{
    TBusyCursor busy;
    MessageService& messages = *ctx.Messages;
    const QString d = WithDelimiter(ctx.Paths.DataDir);
    const QString b = WithDelimiter(backupPath);
    const QString name = QLatin1String(kDatabaseFileName);

    if (sameFolder(d, b)) {
        messages.ErrorMessage(BackupText::Identical);
        return false;
    }
    if (!isDir(b) && !ForceDirectories(b)) {
        messages.ErrorMessage(BackupText::CreateDirFailed);
        return false;
    }
    if (!isDir(d)) {
        messages.ErrorMessage(BackupText::DataDirMissing);
        return false;
    }
    if (!isFile(d + name))
        return true;

    // The program's writes are committed at once; an open transaction would mean the
    // file on disk is mid-change.
    if (ctx.Database && ctx.Database->InTransaction()) {
        messages.ErrorMessage(BackupText::CopyFailed);
        return false;
    }
    switch (copyVerified(d + name, b + QLatin1String(kPartialCopyName), b + name)) {
    case CopyResult::Done:
        return true;
    case CopyResult::ReplaceFailed:
        messages.ErrorMessage(BackupText::RemoveOldFailed);
        return false;
    default:
        messages.ErrorMessage(BackupText::CopyFailed);
        return false;
    }
}

bool RunRestore(AppContext& ctx, const QString& backupPath)
{
    TBusyCursor busy;
    MessageService& messages = *ctx.Messages;
    const QString d = WithDelimiter(ctx.Paths.DataDir);
    const QString b = WithDelimiter(backupPath);
    const QString name = QLatin1String(kDatabaseFileName);

    if (sameFolder(d, b)) {
        messages.ErrorMessage(BackupText::Identical);
        return false;
    }
    if (!isFile(b + name)) {
        messages.ErrorMessage(BackupText::NothingSaved);
        return false;
    }
    if (!isDir(d) && !ForceDirectories(d)) {
        messages.ErrorMessage(BackupText::RestoreFailed);
        return false;
    }
    // The file is replaced only while no other program writes to it: the write lock is
    // taken here and held until the connection closes right before the replacement.
    if (!lockForReplacement(ctx)) {
        messages.ErrorMessage(BackupText::DatabaseBusy);
        return false;
    }
    ExclusiveUntilClosed held(ctx);
    // The connection is released only once a good copy lies beside the current file.
    const CopyResult result = copyVerified(b + name, d + QLatin1String(kPartialCopyName), d + name, [&] {
        ctx.Database.reset();
        // A journal left beside the old file would be played into the restored one.
        for (const char* suffix : {"-journal", "-wal", "-shm"})
            removeQuietly(d + name + QLatin1String(suffix));
    });
    switch (result) {
    case CopyResult::Done:
        return true;
    case CopyResult::Unreadable:
        messages.ErrorMessage(BackupText::BackupUnreadable);
        return false;
    case CopyResult::CopyFailed:
        messages.ErrorMessage(BackupText::RestoreFailed);
        return false;
    case CopyResult::ReplaceFailed:
        // The current file was not replaced: the program goes on with it.
        // The caller ends the program should even that file no longer open.
        messages.ErrorMessage(BackupText::RemoveCurrentFailed);
        OpenDatabaseFile(ctx);
        return false;
    }
    return false;
}

QString OpenRestoredDatabase(AppContext& ctx)
{
    if (QString fatal = OpenDatabaseFile(ctx); !fatal.isEmpty())
        return fatal;
    return MigrateColumns(ctx);
}
