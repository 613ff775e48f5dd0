#include "app/AppContext.h"
#include "app/Startup.h"
#include "support/FakeMessageService.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

class StartupTest : public ::testing::Test
{
protected:
    StartupTest()
    {
        ctx.Messages = &messages;
        folders = {dir.file("bin"), dir.file("config"), dir.file("Documents")};
        QDir().mkpath(folders.ProgramDir);
    }
    QString dbFile() const { return dir.file("Documents/Lumo Tavisto/Tavisto.dbs"); }
    QString writeDb(const QByteArray& bytes) { return dir.write("Documents/Lumo Tavisto/Tavisto.dbs", bytes); }
    QByteArray readDb() const
    {
        QFile f(dbFile());
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }
    QString start() { return OpenDataStore(ctx, folders); }

    TempDir dir;
    FakeMessageService messages;
    AppContext ctx;
    StartupFolders folders;
};

QByteArray randomBytes(int n)
{
    QByteArray b(n, Qt::Uninitialized);
    QRandomGenerator gen(42);
    for (char& c : b)
        c = char(gen.bounded(256));
    return b;
}

} // namespace

TEST_F(StartupTest, FirstStartCreatesFoldersAndDatabase)
{
    EXPECT_EQ(start(), "");
    EXPECT_EQ(ctx.Paths.SettingsFile, dir.file("config/Lumo Tavisto/Tavisto.ini"));
    EXPECT_EQ(ctx.Paths.DatabaseFile, dbFile());
    EXPECT_EQ(ctx.Paths.HelpFile, dir.file("bin/Tavisto.chm"));
    EXPECT_TRUE(QDir(dir.file("config/Lumo Tavisto")).exists());
    EXPECT_TRUE(QFile::exists(dbFile()));
    for (const char* table : {"tab_absender", "tab_adressen", "tab_gruppen", "tab_daten", "tab_banner"})
        EXPECT_TRUE(ctx.db().TableExists(table)) << table;
    // No help file beside the program: said once, and the start goes on.
    EXPECT_EQ(messages.texts(), QStringList{"Die Hilfedatei wurde nicht gefunden!"});
}

TEST_F(StartupTest, HelpFileBesideTheProgramSilencesTheWarning)
{
    dir.write("bin/Tavisto.chm", "x");
    EXPECT_EQ(start(), "");
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(StartupTest, ZeroByteFileIsAnEmptyDatabase)
{
    writeDb("");
    EXPECT_EQ(start(), "");
    EXPECT_TRUE(ctx.db().TableExists("tab_banner"));
}

TEST_F(StartupTest, FileThatIsNoDatabaseEndsTheStartAndStaysUntouched)
{
    const QByteArray garbage = randomBytes(8192);
    writeDb(garbage);
    EXPECT_EQ(start(), "Fehler beim Öffnen der Datenbank!\nDas Programm wird beendet.");
    EXPECT_EQ(readDb(), garbage);
    EXPECT_EQ(ctx.Database, nullptr);
}

TEST_F(StartupTest, TruncatedDatabaseEndsTheStartAndStaysUntouched)
{
    // A real database with data, cut in the middle of its pages.
    ASSERT_EQ(start(), "");
    for (int i = 0; i < 400; ++i)
        ctx.db().ExecSQL("INSERT INTO tab_adressen (Adresse_ID, Line1) VALUES (?, ?)",
                         {QString("AD%1").arg(i, 8, 10, QChar('0')), QString(40, QChar('x'))});
    ctx.Database.reset();
    const QByteArray cut = readDb().left(readDb().size() / 2);
    writeDb(cut);
    QFile::remove(dbFile() + "-journal");
    // The header promises more pages than the file holds: SQLite refuses it at once.
    EXPECT_EQ(start(), "Fehler beim Öffnen der Datenbank!\nDas Programm wird beendet.");
    EXPECT_EQ(readDb(), cut);
}

TEST_F(StartupTest, FoldersThatCannotBeCreatedAreFatal)
{
    dir.write("config/Lumo Tavisto", "a file where the folder must be");
    EXPECT_EQ(start(), "Verzeichnis für die Einstellungen konnte nicht angelegt werden!");
    QFile::remove(dir.file("config/Lumo Tavisto"));
    dir.write("Documents", "a file where the folder must be");
    EXPECT_EQ(start(), "Verzeichnis für die Programmdaten konnte nicht angelegt werden!");
}

TEST_F(StartupTest, DatabaseLockedByAnotherProgram)
{
    ASSERT_EQ(start(), "");
    ctx.Database.reset();
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(dbFile().toUtf8().constData(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    EXPECT_EQ(start(), "Fehler beim Öffnen der Datenbank!\nDas Programm wird beendet.");
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    EXPECT_EQ(start(), "");
}
