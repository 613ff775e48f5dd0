// SIGKILL during an import of 100,000 addresses, during restores and during settings
// saves, each at many moments spread over the work's own duration. The code paths run
// in tavisto_crashdriver, a process of the program's libraries. Afterwards the database
// opens and holds the old or the new state, never a mix; the data folder holds a good
// "Tavisto.dbs"; the settings file is the old or the new one, byte for byte.
//
// CI runs a few rounds. TAVISTO_KILL_ROUNDS=<n> runs n rounds of each (the figures of
// docs/reliability.md); TAVISTO_KILL_SEED=<n> repeats a run's moments.
#include "ReliabilitySupport.h"
#include "support/TempDir.h"

#include "app/Startup.h"
#include "shell/IniFile.h"
#include "shell/Settings.h"
#include "store/Schema.h"
#include "support/FakeMessageService.h"
#include "tools/DatabaseBackup.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

using namespace Reliability;

namespace {

int rounds(int ciDefault)
{
    const int n = qEnvironmentVariableIntValue("TAVISTO_KILL_ROUNDS");
    return n > 0 ? n : ciDefault;
}

QRandomGenerator& moments()
{
    static QRandomGenerator gen([] {
        const quint32 seed = qEnvironmentVariableIsSet("TAVISTO_KILL_SEED")
                                 ? quint32(qEnvironmentVariableIntValue("TAVISTO_KILL_SEED"))
                                 : QRandomGenerator::global()->generate();
        std::printf("kill moments seed: %u\n", seed);
        return seed;
    }());
    return gen;
}

struct Outcome
{
    bool finished = false;  // the driver ended by itself before the kill
    int exitCode = 0;
    QString output;
};

// Runs the driver and kills it after delay (or lets it finish when delay is negative).
Outcome runDriver(const QStringList& args, std::chrono::microseconds delay)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(QStringLiteral(TAVISTO_CRASH_DRIVER), args);
    EXPECT_TRUE(p.waitForStarted());
    Outcome o;
    if (delay.count() >= 0) {
        std::this_thread::sleep_for(delay);
        o.finished = p.state() == QProcess::NotRunning;
        p.kill();  // SIGKILL
    }
    EXPECT_TRUE(p.waitForFinished(600000));
    if (delay.count() < 0 || o.finished) {
        o.finished = true;
        o.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    }
    o.output = QString::fromLocal8Bit(p.readAll());
    return o;
}

// Wall time of an uninterrupted run, the span the kill moments are spread over.
std::chrono::microseconds timedRun(const QStringList& args)
{
    QElapsedTimer t;
    t.start();
    const Outcome o = runDriver(args, std::chrono::microseconds(-1));
    EXPECT_EQ(o.exitCode, 0) << o.output.toStdString();
    return std::chrono::microseconds(t.nsecsElapsed() / 1000);
}

std::chrono::microseconds momentWithin(std::chrono::microseconds span)
{
    // A little past the end too, so that kills also meet the very last steps.
    return std::chrono::microseconds(moments().bounded(qint64(span.count() * 11 / 10) + 1));
}

void copyFile(const QString& from, const QString& to)
{
    QFile::remove(to);
    ASSERT_TRUE(QFile::copy(from, to));
}

// A database with one group and count addresses, the group named after the state.
QString makeDatabase(const QString& file, const QString& name, int count)
{
    FakeMessageService messages;
    TSQLiteDatabase db(file);
    EXPECT_TRUE(CreateTables(db, messages));
    db.ExecSQL(QStringLiteral("INSERT INTO tab_gruppen (Gruppe_ID, Name) VALUES ('GR00000001', ?)"), {name});
    AddAdressen(db, QStringLiteral("GR00000001"), count);
    return file;
}

// The state of the database file as the program sees it when it opens the file (a
// journal left behind is played back first), or a text naming what is wrong.
QString stateOf(const QString& dataDir)
{
    const QString file = dataDir + QStringLiteral("Tavisto.dbs");
    if (!QFileInfo(file).isFile())
        return QStringLiteral("no Tavisto.dbs");
    try {
        TSQLiteDatabase db(file);
        db.GetTable(QStringLiteral("SELECT COUNT(*) FROM sqlite_master"));
        if (!IsReadableDatabase(file))
            return QStringLiteral("damaged");
        const QString name =
            db.GetTable(QStringLiteral("SELECT Name FROM tab_gruppen")).Field(QStringLiteral("Name"));
        return QStringLiteral("%1:%2").arg(name).arg(CountRows(db, QStringLiteral("tab_adressen")));
    } catch (const std::exception& e) {
        return QStringLiteral("unreadable: ") + QString::fromStdString(e.what());
    }
}

class Kill : public ::testing::Test
{
protected:
    QString root() const { return dir.path(); }
    AppPaths paths() const
    {
        return AppPaths::Resolve(root() + QStringLiteral("/bin"), root() + QStringLiteral("/config"),
                                 root() + QStringLiteral("/Dokumente"));
    }
    void SetUp() override
    {
        ASSERT_TRUE(ForceDirectories(paths().DataDir));
        ASSERT_TRUE(ForceDirectories(paths().SettingsDir));
    }

    TempDir dir;
};

TEST_F(Kill, DuringAnImportTheDatabaseHoldsNoneOrAllOfTheRecords)
{
    constexpr int kRecords = 100000;
    const QString dataDir = paths().DataDir;
    const QString before = makeDatabase(dir.file(QStringLiteral("vorher.dbs")), QStringLiteral("Alt"), 10);
    QByteArray csv = "Name;Vorname;Titel;Strasse;PLZ;Ort\r\n";
    for (int i = 0; i < kRecords; ++i)
        csv += QStringLiteral("Name %1;Vorname;Dr.;Weg %1;%2;Ort\r\n").arg(i).arg(10000 + i % 90000).toLatin1();
    const QString csvFile = dir.write(QStringLiteral("adressen.csv"), csv);
    const QStringList args{QStringLiteral("import"), root(), csvFile};

    copyFile(before, paths().DatabaseFile);
    const auto span = timedRun(args);
    EXPECT_EQ(stateOf(dataDir), QStringLiteral("Alt:%1").arg(10 + kRecords));

    const QString oldState = QStringLiteral("Alt:10"), newState = QStringLiteral("Alt:%1").arg(10 + kRecords);
    int sawOld = 0, sawNew = 0;
    const int n = rounds(3);
    for (int i = 0; i < n; ++i) {
        copyFile(before, paths().DatabaseFile);
        QFile::remove(paths().DatabaseFile + QStringLiteral("-journal"));
        const auto at = momentWithin(span);
        const Outcome o = runDriver(args, at);
        const QString state = stateOf(dataDir);
        EXPECT_TRUE(state == oldState || state == newState)
            << "killed after " << at.count() << " us: " << state.toStdString() << "\n" << o.output.toStdString();
        (state == newState ? sawNew : sawOld) += 1;
    }
    std::printf("import of %d records, %lld ms uninterrupted, %d kills: %d old state, %d new state\n", kRecords,
                static_cast<long long>(span.count() / 1000), n, sawOld, sawNew);
}

TEST_F(Kill, DuringRestoresTheDataFolderHoldsOneWholeDatabase)
{
    const QString dataDir = paths().DataDir;
    const QString backupA = dir.file(QStringLiteral("SicherungA")), backupB = dir.file(QStringLiteral("SicherungB"));
    ASSERT_TRUE(QDir().mkpath(backupA) && QDir().mkpath(backupB));
    makeDatabase(backupA + QStringLiteral("/Tavisto.dbs"), QStringLiteral("A"), 10);
    makeDatabase(backupB + QStringLiteral("/Tavisto.dbs"), QStringLiteral("B"), 3000);
    constexpr int kRestores = 6;
    const QStringList args{QStringLiteral("restore"), root(), backupA, backupB, QString::number(kRestores)};

    copyFile(backupB + QStringLiteral("/Tavisto.dbs"), paths().DatabaseFile);
    const auto span = timedRun(args);
    EXPECT_EQ(stateOf(dataDir), QStringLiteral("B:3000"));

    int sawA = 0, sawB = 0, partialLeft = 0;
    const int n = rounds(4);
    for (int i = 0; i < n; ++i) {
        copyFile(backupB + QStringLiteral("/Tavisto.dbs"), paths().DatabaseFile);
        const auto at = momentWithin(span);
        const Outcome o = runDriver(args, at);
        const QString state = stateOf(dataDir);
        EXPECT_TRUE(state == QStringLiteral("A:10") || state == QStringLiteral("B:3000"))
            << "killed after " << at.count() << " us: " << state.toStdString() << "\n" << o.output.toStdString();
        (state == QStringLiteral("A:10") ? sawA : sawB) += 1;
        // A copy cut short may stay beside the database; the next restore or backup
        // replaces it, and nothing ever reads it as data.
        if (QFileInfo::exists(dataDir + QLatin1String(kPartialCopyName)))
            ++partialLeft;
        QFile::remove(dataDir + QLatin1String(kPartialCopyName));
    }
    std::printf("%d restores in a row, %lld ms uninterrupted, %d kills: %d A, %d B, partial copy left %d times\n",
                kRestores, static_cast<long long>(span.count() / 1000), n, sawA, sawB, partialLeft);
}

TEST_F(Kill, DuringSettingsSavesTheFileIsTheOldOrTheNewOne)
{
    QByteArray expected[2];
    for (int which : {0, 1}) {
        IniFile ini;
        SaveSettings(ini, CrashDriverSettings(which));
        expected[which] = ini.toBytes();
    }
    const QString file = paths().SettingsFile;
    constexpr int kSaves = 200;
    const QStringList args{QStringLiteral("settings"), root(), QString::number(kSaves)};
    WriteBytes(file, expected[0]);
    const auto span = timedRun(args);
    EXPECT_EQ(ReadBytes(file), expected[0]);  // an even number of saves ends with the first

    int sawOld = 0, sawNew = 0, strays = 0;
    const int n = rounds(6);
    for (int i = 0; i < n; ++i) {
        WriteBytes(file, expected[0]);
        const auto at = momentWithin(span);
        runDriver(args, at);
        const QByteArray bytes = ReadBytes(file);
        EXPECT_TRUE(bytes == expected[0] || bytes == expected[1])
            << "killed after " << at.count() << " us: " << bytes.left(200).toStdString();
        (bytes == expected[0] ? sawOld : sawNew) += 1;
        // A temporary file of a save cut short is left beside it; count and clear them.
        for (const QString& name : FilesIn(paths().SettingsDir))
            if (name != QStringLiteral("Tavisto.ini")) {
                ++strays;
                QFile::remove(QDir(paths().SettingsDir).filePath(name));
            }
    }
    std::printf("%d saves in a row, %lld ms uninterrupted, %d kills: %d first, %d second, %d temporary files left\n",
                kSaves, static_cast<long long>(span.count() / 1000), n, sawOld, sawNew, strays);
}

} // namespace
