#include "MainWindowHarness.h"
#include "support/ForeignConnection.h"

#include <QFile>
#include <QSignalSpy>
#include <QTest>
#include <functional>

namespace {

// Overwrites the first page of a table's b-tree with rubbish; the file still opens and the
// other tables still read.
void damageTable(const QString& file, const QString& table)
{
    int root = 0;
    {
        TSQLiteDatabase db(file);
        TSQLiteTable t = db.GetTable(QStringLiteral("SELECT rootpage FROM sqlite_master WHERE name=?"), {table});
        root = t.FieldAsString(0).toInt();
        ASSERT_GT(root, 1);
    }
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.seek(qint64(root - 1) * 4096));
    f.write(QByteArray(4096, '\x5a'));
}

QStringList errorTexts(const FakeMessageService& messages)
{
    QStringList texts;
    for (const auto& m : messages.shown)
        if (m.kind == Msg::Error)
            texts << m.text;
    return texts;
}

struct StartCase
{
    const char* what;
    // Runs on the database file before the window opens it.
    std::function<void(MainWindowHarness&)> prepare;
    const char* error;      // a piece of the message the general error handler shows
    const char* absender;   // the captions afterwards
    const char* gruppen;
};

TEST(MainWindowErrors, ListErrorAtStartIsShownAndLeavesAUsableWindowThatSavesItsSettings)
{
    const StartCase cases[] = {
        {"groups without their name column",
         [](MainWindowHarness& h) {
             QDir().mkpath(h.folders.Documents + QStringLiteral("Lumo Tavisto"));
             TSQLiteDatabase db(h.databaseFile());
             db.ExecSQL(QStringLiteral("CREATE TABLE tab_gruppen (Gruppe_ID VARCHAR(10) PRIMARY KEY)"));
             db.ExecSQL(QStringLiteral("INSERT INTO tab_gruppen VALUES ('GR00000001')"));
             h.seed(StandardData().filter(QStringLiteral("tab_absender")));
         },
         "Field not found in dataset: Name", "Absender (3)", "Gruppen (0)"},
        {"senders without a line column",
         [](MainWindowHarness& h) {
             QDir().mkpath(h.folders.Documents + QStringLiteral("Lumo Tavisto"));
             TSQLiteDatabase db(h.databaseFile());
             db.ExecSQL(QStringLiteral("CREATE TABLE tab_absender (Absender_ID VARCHAR(10) PRIMARY KEY, Line1 VARCHAR(50))"));
             h.seed(StandardData().filter(QStringLiteral("tab_gruppen")));
         },
         "no such column: a.Line2", "Absender (0)", "Gruppen (2)"},
        {"addresses on damaged pages",
         [](MainWindowHarness& h) {
             QStringList data = StandardData();
             for (int i = 10; i < 400; ++i)
                 data << QStringLiteral("INSERT INTO tab_adressen VALUES('AD%1','GR00000001','%2','','','','','',1)")
                             .arg(i, 8, 10, QLatin1Char('0'))
                             .arg(QString(40, QLatin1Char('a' + i % 26)));
             h.seed(data);
             damageTable(h.databaseFile(), QStringLiteral("tab_adressen"));
         },
         "malformed", "Absender (3)", "Gruppen (2)"},
    };
    for (const StartCase& c : cases) {
        SCOPED_TRACE(c.what);
        MainWindowHarness h;
        c.prepare(h);
        const QString ini = h.dir.path() + QStringLiteral("/config/Lumo Tavisto/Tavisto.ini");
        h.window = std::make_unique<TForm_Tavisto>(h.ctx, h.folders);
        ASSERT_TRUE(h.window->StartedOk());
        const QStringList errors = errorTexts(h.messages);
        ASSERT_FALSE(errors.isEmpty());
        EXPECT_TRUE(errors.join(u'\n').contains(QString::fromUtf8(c.error))) << errors.join(u'\n').toStdString();
        EXPECT_EQ(h.caption("VCap_Absender"), QString::fromUtf8(c.absender));
        EXPECT_EQ(h.caption("VCap_Gruppen"), QString::fromUtf8(c.gruppen));
        EXPECT_EQ(h.caption("VCap_Adressen"), QStringLiteral("Adressen (0)"));
        // The window goes on: its commands and timer run, and closing it saves the settings.
        h.messages.shown.clear();
        h.window->Timer1Timer();
        h.window->resize(1111, 666);
        h.window.reset();
        QFile saved(ini);
        ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
        EXPECT_TRUE(saved.readAll().contains("Width=1111"));
    }
}

// Another connection on the same file, as a second program would hold it.
struct OtherConnection : ForeignConnection
{
    using ForeignConnection::ForeignConnection;
    void exec(const char* sql) { ASSERT_TRUE(ForeignConnection::exec(sql)) << sql << ": " << error(); }
};

TEST(MainWindowErrors, ErrorsOfCommandsListsAndClicksGoToTheGeneralErrorHandler)
{
    MainWindowHarness h;
    h.seed(StandardData());
    TForm_Tavisto& w = h.start();
    showActive(w);
    OtherConnection other(h.databaseFile());

    // A command whose dialog cannot read its record.
    other.exec("ALTER TABLE tab_absender RENAME TO tab_alt");
    other.exec("CREATE TABLE tab_absender (Absender_ID VARCHAR(10) PRIMARY KEY)");
    other.exec("INSERT INTO tab_absender VALUES ('AB00000001')");
    w.Ribbon().setCurrentIndex(MainRibbon::TabAbsender);
    QTest::mouseClick(w.Ribbon().Button("TB_Absender_Edit"), Qt::LeftButton);
    EXPECT_EQ(errorTexts(h.messages), QStringList{"Field not found in dataset: Line1"});
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    // A list reload: the group list's keys select the next group.
    h.messages.shown.clear();
    other.exec("ALTER TABLE tab_adressen RENAME TO tab_adressen_alt");
    other.exec("CREATE TABLE tab_adressen (Adresse_ID VARCHAR(10), Gruppe_ID VARCHAR(10))");
    other.exec("INSERT INTO tab_adressen VALUES ('AD00000004', 'GR00000002')");
    h.gruppenList()->setFocus();
    QTest::keyClick(h.gruppenList(), Qt::Key_Down);
    EXPECT_EQ(w.GetSelectedGruppeID(), QStringLiteral("GR00000002"));
    ASSERT_EQ(errorTexts(h.messages).size(), 1);
    EXPECT_EQ(errorTexts(h.messages).first(), QStringLiteral("Field not found in dataset: Aktiv"));
    EXPECT_EQ(h.caption("VCap_Adressen"), QStringLiteral("Adressen (0)"));
    other.exec("DROP TABLE tab_adressen");
    other.exec("ALTER TABLE tab_adressen_alt RENAME TO tab_adressen");
    QTest::keyClick(h.gruppenList(), Qt::Key_Up);
    EXPECT_EQ(h.caption("VCap_Adressen"), QStringLiteral("Adressen (3)"));

    // A click on the active mark while another program holds the file.
    h.messages.shown.clear();
    other.exec("BEGIN IMMEDIATE");
    TGridView* grid = h.adressenGrid();
    grid->scrollTo(grid->model()->index(0, AdressenModel::ColAktiv));
    const QPoint aktiv = grid->visualRect(grid->model()->index(0, AdressenModel::ColAktiv)).center();
    ASSERT_TRUE(grid->viewport()->rect().contains(aktiv));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, aktiv);
    EXPECT_EQ(h.adressen().Cell(0, AdressenModel::ColAktiv), QString());
    ASSERT_EQ(errorTexts(h.messages).size(), 1);
    // What happened, in German, before SQLite's own words.
    EXPECT_TRUE(errorTexts(h.messages).first().startsWith(
        QStringLiteral("Die Datenbank wird gerade von einem anderen Programm verwendet. Es wurde nichts geändert.")))
        << errorTexts(h.messages).first().toStdString();
    EXPECT_TRUE(errorTexts(h.messages).first().contains(QStringLiteral("The database file is locked")));
    other.exec("ROLLBACK");
    EXPECT_EQ(h.scalar("SELECT Aktiv FROM tab_adressen WHERE Adresse_ID='AD00000001'"), QStringLiteral("1"));
    // Once the file is free the same click works.
    h.messages.shown.clear();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, aktiv);
    EXPECT_TRUE(h.messages.shown.isEmpty());
}

} // namespace
