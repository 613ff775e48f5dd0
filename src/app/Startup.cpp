#include "app/Startup.h"

#include "app/AppContext.h"
#include "shell/MessageService.h"
#include "store/ESQLiteException.h"
#include "store/Schema.h"

#include <QFileInfo>

QString OpenDatabaseFile(AppContext& ctx)
{
    ctx.Database.reset();
    try {
        auto db = std::make_unique<TSQLiteDatabase>(ctx.Paths.DatabaseFile);
        // sqlite3_open reads nothing yet; a file that is no database shows here, before
        // anything could be written to it.
        db->GetTable(QStringLiteral("SELECT COUNT(*) FROM sqlite_master"));
        ctx.Database = std::move(db);
    } catch (const ESQLiteException&) {
        return StartupText::OpenFailed;
    }
    return QString();
}

QString MigrateColumns(AppContext& ctx)
{
    try {
        AddColumn(ctx.db(), QStringLiteral("tab_adressen"), QStringLiteral("Line6"), QStringLiteral("VARCHAR(50)"));
    } catch (const ESQLiteException&) {
        return StartupText::AddColumnFailed;
    }
    return QString();
}

QString OpenDataStore(AppContext& ctx, const StartupFolders& folders)
{
    ctx.Paths = AppPaths::Resolve(folders.ProgramDir, folders.AppData, folders.Documents);
    if (!QFileInfo::exists(ctx.Paths.HelpFile))
        ctx.Messages->ErrorMessage(StartupText::HelpMissing);
    if (!ForceDirectories(ctx.Paths.SettingsDir))
        return StartupText::SettingsDirFailed;
    if (!ForceDirectories(ctx.Paths.DataDir))
        return StartupText::DataDirFailed;
    if (QString fatal = OpenDatabaseFile(ctx); !fatal.isEmpty())
        return fatal;
    try {
        if (!CreateTables(ctx.db(), *ctx.Messages))
            return StartupText::CreateFailed;
    } catch (const ESQLiteException&) {
        // The table check itself failed: the file cannot be used.
        return StartupText::OpenFailed;
    }
    return MigrateColumns(ctx);
}
