// Every command that writes a file, run with the process's file size limit lowered so
// that its writes fail as on a full disk: each reports the failure in German, leaves the
// previous file byte for byte as it was, leaves no stray file, and works again once
// writing is possible.
#include "ReliabilitySupport.h"
#include "exchange/ExchangeFixture.h"
#include "support/FileSizeLimit.h"
#include "tools/ToolsFixture.h"

#include "exchange/AdressenImport.h"
#include "exchange/ExchangeError.h"
#include "exchange/Export.h"
#include "imaging/ImageError.h"
#include "pdf/PdfSeriesExport.h"
#include "shell/IniFile.h"
#include "shell/Settings.h"
#include "tools/BannerFile.h"
#include "tools/DatabaseBackup.h"

#include <QFileInfo>

using namespace Reliability;

namespace {

class FailingWrites : public ::testing::Test
{
protected:
    FailingWrites()
    {
        env.ctx.db().ExecSQL(QStringLiteral("INSERT INTO tab_gruppen (Gruppe_ID, Name) VALUES ('GR00000001', 'Kunden')"));
        AddAdressen(env.ctx.db(), QStringLiteral("GR00000001"), 500);
    }

    TSQLiteDatabase& db() { return env.ctx.db(); }
    QString dataDir() const { return env.ctx.Paths.DataDir; }
    QString databaseFile() const { return env.ctx.Paths.DatabaseFile; }

    // The connection still reads and writes, and no transaction was left open.
    void expectUsable()
    {
        ASSERT_TRUE(env.ctx.Database) << "no connection left";
        EXPECT_FALSE(db().InTransaction());
        const int before = CountRows(db(), QStringLiteral("tab_gruppen"));
        db().ExecSQL(QStringLiteral("INSERT INTO tab_gruppen (Gruppe_ID, Name) VALUES ('GR99999999', 'Probe')"));
        EXPECT_EQ(CountRows(db(), QStringLiteral("tab_gruppen")), before + 1);
        db().ExecSQL(QStringLiteral("DELETE FROM tab_gruppen WHERE Gruppe_ID='GR99999999'"));
    }

    ToolsContext env;
};

TEST_F(FailingWrites, SettingsSaveKeepsTheOldFileAndSaysSo)
{
    const QString file = env.ctx.Paths.SettingsFile;
    ASSERT_TRUE(QDir().mkpath(QFileInfo(file).path()));
    const QByteArray old = "[WINDOW]\r\nMaximized=0\r\nLeft=10\r\n[Fremd]\r\nSchluessel=bleibt\r\n";
    WriteBytes(file, old);
    AppSettings settings;
    settings.BackupPath = QStringLiteral("/sicherung/").leftJustified(1500, u'x');
    {
        FileSizeLimit limit(512);
        EXPECT_FALSE(SaveSettingsFile(file, settings, env.messages));
    }
    EXPECT_EQ(ReadBytes(file), old);
    EXPECT_EQ(FilesIn(QFileInfo(file).path()), QStringList{QStringLiteral("Tavisto.ini")});
    ASSERT_EQ(env.messages.shown.size(), 1);
    EXPECT_EQ(env.messages.shown[0].kind, Msg::Error);
    EXPECT_EQ(env.messages.shown[0].text, kSettingsNotSaved.arg(file));

    env.messages.shown.clear();
    EXPECT_TRUE(SaveSettingsFile(file, settings, env.messages));
    EXPECT_TRUE(env.messages.shown.isEmpty());
    const IniFile saved(file);
    EXPECT_EQ(saved.readString(QStringLiteral("BACKUP"), QStringLiteral("Path"), {}), settings.BackupPath);
    EXPECT_EQ(saved.readString(QStringLiteral("Fremd"), QStringLiteral("Schluessel"), {}), QStringLiteral("bleibt"));
}

TEST_F(FailingWrites, ExportKeepsTheOldFileAndSaysSo)
{
    for (int i = 1; i <= 100; ++i)
        db().ExecSQL(QStringLiteral("INSERT INTO tab_absender (Absender_ID, Line1, Line2) VALUES (?, ?, 'Weg 1')"),
                     {QStringLiteral("AB%1").arg(i, 8, 10, QLatin1Char('0')),
                      QStringLiteral("Firma %1").arg(i).leftJustified(45, u'.')});
    const QString folder = env.tmp.file(QStringLiteral("Export"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString file = folder + QStringLiteral("/Absender.csv");
    const QByteArray old = "\"Zeile 1\";\"alt\"\r\n";
    WriteBytes(file, old);
    ScriptedFileDialogs dialogs;
    dialogs.save = {file, 1};
    env.messages.answer({Msg::IdYes});
    {
        FileSizeLimit limit(1024);
        try {
            ExportAbsender(env.ctx, nullptr, &dialogs);
            ADD_FAILURE() << "the export reported no failure";
        } catch (const ExchangeError& e) {
            EXPECT_TRUE(e.message().startsWith(QStringLiteral("Die Datei \"%1\" konnte nicht geschrieben werden.").arg(file)))
                << e.message().toStdString();
        }
    }
    EXPECT_EQ(ReadBytes(file), old);
    EXPECT_EQ(FilesIn(folder), QStringList{QStringLiteral("Absender.csv")});
    // Only the overwrite question: no success message.
    EXPECT_EQ(env.messages.shown.size(), 1);

    env.messages.answer({Msg::IdYes});
    ExportAbsender(env.ctx, nullptr, &dialogs);
    EXPECT_GT(ReadBytes(file).size(), 4000);
    EXPECT_EQ(env.messages.texts().last(), QStringLiteral("Die Absender wurden als CSV-Datei gespeichert."));
}

TEST_F(FailingWrites, PdfExportKeepsTheOldFileAndLeavesNoScratchFile)
{
    PdfSeries series;
    series.Sender = {QStringLiteral("Lumo Versand GmbH"), QStringLiteral("Postfach 12"), QString(),
                     QStringLiteral("12345 Hausen"), QString()};
    for (int i = 0; i < 300; ++i)
        series.Addresses << AddressLines{QStringLiteral("Herrn"), QStringLiteral("Jürgen Weiß %1").arg(i),
                                         QStringLiteral("Mühlenstraße 3"), QStringLiteral("80331 München"), QString()};
    const QString folder = env.tmp.file(QStringLiteral("Pdf"));
    const QString scratch = env.tmp.file(QStringLiteral("Scratch"));
    ASSERT_TRUE(QDir().mkpath(folder) && QDir().mkpath(scratch));
    // The pages' scratch file goes to the temporary folder; a test one shows what is left.
    const QByteArray oldTmp = qgetenv("TMPDIR");
    qputenv("TMPDIR", scratch.toLocal8Bit());
    const QString file = folder + QStringLiteral("/Serie.pdf");
    const QByteArray old = "%PDF-1.4 alt";
    WriteBytes(file, old);
    PdfWriteOutcome outcome;
    {
        FileSizeLimit limit(16 * 1024);
        outcome = WritePdfSeries(series, env.ctx.Print(), 600, file);
    }
    EXPECT_EQ(outcome.Status, PdfWriteOutcome::Failed);
    EXPECT_TRUE(outcome.Error.startsWith(QStringLiteral("Die temporäre Datei konnte nicht geschrieben werden")))
        << outcome.Error.toStdString();
    EXPECT_EQ(ReadBytes(file), old);
    EXPECT_EQ(FilesIn(folder), QStringList{QStringLiteral("Serie.pdf")});
    EXPECT_TRUE(FilesIn(scratch).isEmpty()) << FilesIn(scratch).join(' ').toStdString();

    outcome = WritePdfSeries(series, env.ctx.Print(), 600, file);
    qputenv("TMPDIR", oldTmp);
    EXPECT_EQ(outcome.Status, PdfWriteOutcome::Written) << outcome.Error.toStdString();
    EXPECT_TRUE(ReadBytes(file).startsWith("%PDF-1.5"));
    EXPECT_TRUE(FilesIn(scratch).isEmpty());
}

TEST_F(FailingWrites, BackupKeepsTheEarlierBackupAndSaysSo)
{
    const QString backup = env.tmp.file(QStringLiteral("Sicherung"));
    ASSERT_TRUE(RunBackup(env.ctx, backup));
    const QByteArray earlier = ReadBytes(backup + QStringLiteral("/Tavisto.dbs"));
    AddAdressen(db(), QStringLiteral("GR00000001"), 1000, 1000);
    ASSERT_GT(QFileInfo(databaseFile()).size(), 64 * 1024);
    {
        FileSizeLimit limit(64 * 1024);
        EXPECT_FALSE(RunBackup(env.ctx, backup));
    }
    EXPECT_EQ(env.messages.texts(), QStringList{BackupText::CopyFailed});
    EXPECT_EQ(ReadBytes(backup + QStringLiteral("/Tavisto.dbs")), earlier);
    EXPECT_EQ(FilesIn(backup), QStringList{QStringLiteral("Tavisto.dbs")});
    expectUsable();

    EXPECT_TRUE(RunBackup(env.ctx, backup));
    EXPECT_EQ(ReadBytes(backup + QStringLiteral("/Tavisto.dbs")), ReadBytes(databaseFile()));
}

TEST_F(FailingWrites, RestoreKeepsTheCurrentDataAndSaysSo)
{
    const QString backup = env.tmp.file(QStringLiteral("Sicherung"));
    AddAdressen(db(), QStringLiteral("GR00000001"), 1000, 1000);
    ASSERT_TRUE(RunBackup(env.ctx, backup));
    db().ExecSQL(QStringLiteral("DELETE FROM tab_adressen WHERE Adresse_ID > 'AD00000100'"));
    const QByteArray current = ReadBytes(databaseFile());
    {
        FileSizeLimit limit(64 * 1024);
        EXPECT_FALSE(RunRestore(env.ctx, backup));
    }
    EXPECT_EQ(env.messages.texts(), QStringList{BackupText::RestoreFailed});
    EXPECT_EQ(ReadBytes(databaseFile()), current);
    EXPECT_EQ(FilesIn(dataDir()), QStringList{QStringLiteral("Tavisto.dbs")});
    expectUsable();
    EXPECT_EQ(CountRows(db(), QStringLiteral("tab_adressen")), 100);

    EXPECT_TRUE(RunRestore(env.ctx, backup));
    EXPECT_TRUE(OpenRestoredDatabase(env.ctx).isEmpty());
    EXPECT_EQ(CountRows(db(), QStringLiteral("tab_adressen")), 1500);
}

TEST_F(FailingWrites, ImportKeepsTheDatabaseWholeAndSaysSo)
{
    QByteArray csv = "Kopf\r\n";
    for (int i = 0; i < 3000; ++i)
        csv += QStringLiteral("Name %1;Vorname;Titel;Strasse %1;12345;Ort\r\n").arg(i).toLatin1();
    const QString csvFile = env.tmp.write(QStringLiteral("import.csv"), csv);
    const QByteArray before = ReadBytes(databaseFile());
    {
        // The database file may not grow, nor may a journal take more room than it.
        FileSizeLimit limit(rlim_t(before.size()));
        EXPECT_NO_THROW(EXPECT_FALSE(ImportAdressenFile(env.ctx, QStringLiteral("GR00000001"), csvFile)));
    }
    ASSERT_EQ(env.messages.shown.size(), 1);
    EXPECT_EQ(env.messages.shown[0].kind, Msg::Error);
    EXPECT_EQ(env.messages.shown[0].text, QStringLiteral("Fehler beim Einlesen der Adressdaten!"));
    EXPECT_EQ(ReadBytes(databaseFile()), before);
    EXPECT_TRUE(IsReadableDatabase(databaseFile()));
    expectUsable();
    EXPECT_EQ(CountRows(db(), QStringLiteral("tab_adressen")), 500);

    env.messages.shown.clear();
    EXPECT_TRUE(ImportAdressenFile(env.ctx, QStringLiteral("GR00000001"), csvFile));
    EXPECT_EQ(CountRows(db(), QStringLiteral("tab_adressen")), 3500);
}

TEST_F(FailingWrites, BannerSaveKeepsTheOldFileAndSaysSo)
{
    // A picture whose file is larger than the limit in every format, yet small enough to
    // pass through the file's write buffer, where a cut-short write went unnoticed.
    QImage banner(60, 40, QImage::Format_RGB32);
    for (int y = 0; y < banner.height(); ++y)
        for (int x = 0; x < banner.width(); ++x)
            banner.setPixel(x, y, qRgb((x * 37 + y * 11) % 256, (x * y) % 256, (x ^ y) % 256));
    const QString folder = env.tmp.file(QStringLiteral("Banner"));
    ASSERT_TRUE(QDir().mkpath(folder));
    for (const int filter : {BannerFile::Jpg, BannerFile::Bmp, BannerFile::Png}) {
        const QString file = folder + QStringLiteral("/banner.bild");
        const QByteArray old = "altes Bild";
        WriteBytes(file, old);
        {
            FileSizeLimit limit(1024);
            try {
                BannerFile::Write(banner, file, filter);
                ADD_FAILURE() << "filter " << filter << ": the save reported no failure";
            } catch (const ImageError& e) {
                EXPECT_TRUE(e.message().startsWith(QStringLiteral("Die Datei \"%1\" konnte nicht geschrieben werden").arg(file)))
                    << e.message().toStdString();
            }
        }
        EXPECT_EQ(ReadBytes(file), old) << "filter " << filter;
        EXPECT_EQ(FilesIn(folder), QStringList{QStringLiteral("banner.bild")}) << "filter " << filter;
        BannerFile::Write(banner, file, filter);
        EXPECT_GT(ReadBytes(file).size(), 1024) << "filter " << filter;
    }
}

} // namespace
