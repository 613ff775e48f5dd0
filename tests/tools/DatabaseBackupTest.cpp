#include "ToolsFixture.h"

#include "tools/DatabaseBackup.h"
#include "tools/TDLG_Backup.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTimer>
#include <sqlite3.h>

namespace {
class BackupTest : public ::testing::Test
{
protected:
    BackupTest() { env.addAddress("AD00000001", "GR00000001", {"Herrn", "Max Mustermann"}); }

    QString backupDir(const QString& sub = QStringLiteral("Sicherung")) const
    {
        return env.tmp.file(sub);
    }
    QStringList addressIds()
    {
        QStringList ids;
        for (TSQLiteTable t = env.ctx.db().GetTable(QStringLiteral("SELECT Adresse_ID FROM tab_adressen ORDER BY 1"));
             !t.Eof(); t.Next())
            ids << t.Field(QStringLiteral("Adresse_ID"));
        return ids;
    }
    // The ids in a database file, read with a connection of its own.
    static QStringList idsIn(const QString& file)
    {
        TSQLiteDatabase db(file);
        QStringList ids;
        for (TSQLiteTable t = db.GetTable(QStringLiteral("SELECT Adresse_ID FROM tab_adressen ORDER BY 1")); !t.Eof();
             t.Next())
            ids << t.Field(QStringLiteral("Adresse_ID"));
        return ids;
    }

    ToolsContext env;
};

TEST_F(BackupTest, RefusesTheDataFolderUnderAnotherSpelling)
{
    const QString data = env.ctx.Paths.DataDir;  // ends with "/"
    for (const QString& path : {data, data.chopped(1), data.toUpper(), data.chopped(1).toLower(),
                                data + QStringLiteral("./")}) {
        env.messages.shown.clear();
        EXPECT_FALSE(RunBackup(env.ctx, path)) << path.toStdString();
        EXPECT_EQ(env.messages.texts(), QStringList{BackupText::Identical}) << path.toStdString();
        env.messages.shown.clear();
        EXPECT_FALSE(RunRestore(env.ctx, path)) << path.toStdString();
        EXPECT_EQ(env.messages.texts(), QStringList{BackupText::Identical}) << path.toStdString();
    }
    EXPECT_EQ(addressIds(), QStringList{"AD00000001"});
}

TEST_F(BackupTest, BackupCreatesMissingFoldersAndReplacesAnEarlierBackup)
{
    const QString nested = backupDir(QStringLiteral("neu/tiefer/Sicherung"));
    ASSERT_TRUE(RunBackup(env.ctx, nested));
    EXPECT_TRUE(env.messages.shown.isEmpty());
    const QString copy = nested + QStringLiteral("/Tavisto.dbs");
    EXPECT_EQ(idsIn(copy), QStringList{"AD00000001"});

    env.addAddress("AD00000002", "GR00000001", {"Frau", "Erika Musterfrau"});
    ASSERT_TRUE(RunBackup(env.ctx, nested + u'/'));
    EXPECT_EQ(idsIn(copy), (QStringList{"AD00000001", "AD00000002"}));
    // No partial copy is left behind.
    EXPECT_EQ(QDir(nested).entryList(QDir::Files), QStringList{"Tavisto.dbs"});
}

TEST_F(BackupTest, BackupFailuresLeaveTheEarlierBackup)
{
    // A regular file where the backup folder must go.
    const QString blocker = env.tmp.write(QStringLiteral("Datei"), "kein Ordner");
    EXPECT_FALSE(RunBackup(env.ctx, blocker + QStringLiteral("/Sicherung")));
    EXPECT_EQ(env.messages.texts(), QStringList{BackupText::CreateDirFailed});

    // The backup file cannot be replaced: a folder with content holds its name.
    ASSERT_TRUE(RunBackup(env.ctx, backupDir()));
    env.messages.shown.clear();
    const QString partial = backupDir() + u'/' + QLatin1String(kPartialCopyName);
    ASSERT_TRUE(QDir().mkpath(partial + QStringLiteral("/inhalt")));
    EXPECT_FALSE(RunBackup(env.ctx, backupDir()));
    EXPECT_EQ(env.messages.texts(), QStringList{BackupText::CopyFailed});
    EXPECT_EQ(idsIn(backupDir() + QStringLiteral("/Tavisto.dbs")), QStringList{"AD00000001"});

    // An open transaction means the file on disk is mid-change.
    env.messages.shown.clear();
    env.ctx.db().BeginTransaction();
    EXPECT_FALSE(RunBackup(env.ctx, backupDir(QStringLiteral("andere"))));
    EXPECT_EQ(env.messages.texts(), QStringList{BackupText::CopyFailed});
    env.ctx.db().Rollback();
}

TEST_F(BackupTest, BackupWithoutDataFolderOrDatabaseFile)
{
    env.ctx.Database.reset();
    ASSERT_TRUE(QFile::remove(env.ctx.Paths.DatabaseFile));
    // Nothing to copy is no failure.
    EXPECT_TRUE(RunBackup(env.ctx, backupDir()));
    EXPECT_FALSE(QFile::exists(backupDir() + QStringLiteral("/Tavisto.dbs")));
    ASSERT_TRUE(QDir(env.ctx.Paths.DataDir).removeRecursively());
    EXPECT_FALSE(RunBackup(env.ctx, backupDir()));
    EXPECT_EQ(env.messages.texts(), QStringList{BackupText::DataDirMissing});
}

TEST_F(BackupTest, RestoreWithoutBackupChangesNothing)
{
    EXPECT_FALSE(RunRestore(env.ctx, backupDir()));
    // The empty path is the root folder, which holds no backup either.
    EXPECT_FALSE(RunRestore(env.ctx, QString()));
    EXPECT_EQ(env.messages.texts(), (QStringList{BackupText::NothingSaved, BackupText::NothingSaved}));
    ASSERT_TRUE(env.ctx.Database);
    EXPECT_EQ(addressIds(), QStringList{"AD00000001"});
}

TEST_F(BackupTest, RestoreBringsBackTheBackup)
{
    ASSERT_TRUE(RunBackup(env.ctx, backupDir()));
    env.addAddress("AD00000002", "GR00000001", {"Frau", "Erika Musterfrau"});
    ASSERT_TRUE(RunRestore(env.ctx, backupDir()));
    EXPECT_FALSE(env.ctx.Database);
    EXPECT_TRUE(OpenRestoredDatabase(env.ctx).isEmpty());
    EXPECT_EQ(addressIds(), QStringList{"AD00000001"});
    EXPECT_EQ(QDir(env.ctx.Paths.DataDir).entryList(QDir::Files), QStringList{"Tavisto.dbs"});
    EXPECT_TRUE(env.messages.shown.isEmpty());
}

TEST_F(BackupTest, UnreadableBackupKeepsCurrentDataAndConnection)
{
    ASSERT_TRUE(QDir().mkpath(backupDir()));
    QByteArray noise(64 * 1024, Qt::Uninitialized);
    QRandomGenerator rng(4711);
    for (char& c : noise)
        c = char(rng.bounded(256));
    env.tmp.write(QStringLiteral("Sicherung/Tavisto.dbs"), noise);

    EXPECT_FALSE(RunRestore(env.ctx, backupDir()));
    EXPECT_EQ(env.messages.texts(), QStringList{BackupText::BackupUnreadable});
    ASSERT_TRUE(env.ctx.Database);
    env.addAddress("AD00000002", "GR00000001", {"Frau", "Erika Musterfrau"});
    EXPECT_EQ(addressIds(), (QStringList{"AD00000001", "AD00000002"}));
    EXPECT_EQ(QDir(env.ctx.Paths.DataDir).entryList(QDir::Files), QStringList{"Tavisto.dbs"});
}

TEST_F(BackupTest, FailingCopyIntoTheDataFolderKeepsCurrentDataAndConnection)
{
    ASSERT_TRUE(RunBackup(env.ctx, backupDir()));
    env.addAddress("AD00000002", "GR00000001", {"Frau", "Erika Musterfrau"});
    // The data folder cannot take the copy: a folder with content holds its name.
    ASSERT_TRUE(QDir().mkpath(env.ctx.Paths.DataDir + QLatin1String(kPartialCopyName) + QStringLiteral("/inhalt")));

    EXPECT_FALSE(RunRestore(env.ctx, backupDir()));
    EXPECT_EQ(env.messages.texts(), QStringList{BackupText::RestoreFailed});
    ASSERT_TRUE(env.ctx.Database);
    EXPECT_EQ(addressIds(), (QStringList{"AD00000001", "AD00000002"}));
}

TEST_F(BackupTest, JournalOfTheReplacedFileIsNotPlayedIntoTheRestoredOne)
{
    ASSERT_TRUE(RunBackup(env.ctx, backupDir()));
    {
        Transaction t(env.ctx.db());
        for (int i = 2; i <= 200; ++i)
            env.addAddress(QStringLiteral("AD%1").arg(i, 8, 10, QChar(u'0')), "GR00000001", {"Herrn", "Neu"});
        t.Commit();
    }
    // A journal as a crash in the middle of a write would leave it beside the data file.
    const QString dbFile = env.ctx.Paths.DatabaseFile;
    const QString journalFile = dbFile + QStringLiteral("-journal");
    QByteArray journal;
    {
        sqlite3* c = nullptr;
        ASSERT_EQ(sqlite3_open(dbFile.toUtf8().constData(), &c), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(c, "PRAGMA synchronous=OFF; BEGIN; DELETE FROM tab_adressen;", nullptr, nullptr, nullptr),
                  SQLITE_OK);
        QFile f(journalFile);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        journal = f.readAll();
        f.close();
        sqlite3_exec(c, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(c);
    }
    ASSERT_GT(journal.size(), 512);
    env.tmp.write(QStringLiteral("Dokumente/Lumo Tavisto/Tavisto.dbs-journal"), journal);

    ASSERT_TRUE(RunRestore(env.ctx, backupDir()));
    ASSERT_TRUE(OpenRestoredDatabase(env.ctx).isEmpty());
    EXPECT_EQ(addressIds(), QStringList{"AD00000001"});
    EXPECT_TRUE(IsReadableDatabase(dbFile));
    EXPECT_FALSE(QFile::exists(journalFile));
}

TEST_F(BackupTest, RestoreOfAnOlderSchemaGainsTheSortNameColumnAndReloads)
{
    // A backup from a version without sort names.
    ASSERT_TRUE(QDir().mkpath(backupDir()));
    {
        TSQLiteDatabase old(backupDir() + QStringLiteral("/Tavisto.dbs"));
        old.ExecSQL(QStringLiteral("CREATE TABLE tab_adressen (Adresse_ID VARCHAR(10) PRIMARY KEY, Gruppe_ID "
                                   "VARCHAR(10), Line1 VARCHAR(50), Line2 VARCHAR(50), Line3 VARCHAR(50), Line4 "
                                   "VARCHAR(50), Line5 VARCHAR(50), Aktiv TINYINT)"));
        old.ExecSQL(QStringLiteral("INSERT INTO tab_adressen VALUES ('AD00000007', 'GR00000001', 'Herrn', "
                                   "'Alt Bestand', '', '', '', 1)"));
    }
    env.ctx.Settings.BackupPath = backupDir();
    env.messages.answer({Msg::IdOk});  // "Beim Wiederherstellen ..."
    QTimer::singleShot(0, [] {
        QWidget* dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        dialog->findChild<QPushButton*>(QStringLiteral("Button_Restore"))->click();
    });
    int reloads = 0;
    EXPECT_TRUE(ExecBackupDialog(env.ctx, nullptr, [&] {
        ++reloads;
        // The lists read the restored data through the new connection.
        EXPECT_EQ(addressIds(), QStringList{"AD00000007"});
    }));
    EXPECT_EQ(reloads, 1);
    EXPECT_EQ(env.messages.texts(), QStringList{BackupText::AskRestore});
    TSQLiteTable t = env.ctx.db().GetTable(QStringLiteral("SELECT Line2, Line6 FROM tab_adressen"));
    EXPECT_EQ(t.Field(QStringLiteral("Line2")), QStringLiteral("Alt Bestand"));
    EXPECT_EQ(t.Field(QStringLiteral("Line6")), QString());
}

TEST_F(BackupTest, DialogClosedWithoutRestoreNeedsNoReload)
{
    QTimer::singleShot(0, [] { QApplication::activeModalWidget()->findChild<QPushButton*>("Button_Cancel")->click(); });
    int reloads = 0;
    EXPECT_TRUE(ExecBackupDialog(env.ctx, nullptr, [&] { ++reloads; }));
    EXPECT_EQ(reloads, 0);
    EXPECT_TRUE(env.ctx.Database);
}
} // namespace
