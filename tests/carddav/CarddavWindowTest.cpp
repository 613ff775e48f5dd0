// The windows of online address books, driven like a user would, against Radicale.
#include "app/AppContext.h"
#include "carddav/CarddavCommands.h"
#include "carddav/CarddavStore.h"
#include "carddav/DavServers.h"
#include "carddav/TDLG_Onlineadressbuch.h"
#include "dialogs/TDLG_Adresse.h"
#include "store/Schema.h"
#include "support/FakeMessageService.h"
#include "support/TempDir.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class CarddavWindowTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        if (!DavServer::Available(DavServer::Radicale))
            return;
        s_server = new DavServer(DavServer::Radicale);
        std::vector<QByteArray> cards;
        for (int i = 1; i <= 3; ++i)
            cards.push_back(MakeCard(QStringLiteral("fenster-%1").arg(i), QStringLiteral("Fenster%1").arg(i),
                                     QStringLiteral("Frida"), QStringLiteral("Glasweg %1").arg(i),
                                     QStringLiteral("Jena")));
        s_server->SeedBook("verein", "Verein", cards);
        std::vector<QByteArray> many;
        for (int i = 1; i <= 600; ++i)
            many.push_back(MakeCard(QStringLiteral("viele-%1").arg(i), QStringLiteral("Viel%1").arg(i),
                                    QStringLiteral("Vera"), QStringLiteral("Langer Weg %1").arg(i),
                                    QStringLiteral("Gera")));
        s_server->SeedBook("viele", "Viele", many);
        s_started = s_server->Start(&s_error);
    }
    static void TearDownTestSuite()
    {
        delete s_server;
        s_server = nullptr;
    }
    void SetUp() override
    {
        if (!DavServer::Available(DavServer::Radicale)) {
            if (qEnvironmentVariable("CI") == u"true")
                FAIL() << "Radicale is not installed";
            GTEST_SKIP();
        }
        ASSERT_TRUE(s_started) << s_error.toStdString();
        ctx.Database = std::make_unique<TSQLiteDatabase>(dir.file("Tavisto.dbs"));
        ctx.Messages = &messages;
        CreateTables(ctx.db(), messages);
        ctx.db().ExecSQL("INSERT INTO tab_gruppen (Gruppe_ID, Name) VALUES ('GR00000001', 'Verein')");
    }
    int addresses() { return ctx.db().GetTable("SELECT COUNT(*) FROM tab_adressen").FieldAsString(0).toInt(); }
    void link(const QString& book)
    {
        CarddavLink l;
        l.GruppeId = "GR00000001";
        l.Server = s_server->BaseUrl().toString();
        l.Book = s_server->BookUrl(book).toString();
        l.BookName = book;
        l.User = s_server->User();
        CarddavStore::SaveLink(ctx.db(), l);
    }

    static inline DavServer* s_server = nullptr;
    static inline bool s_started = false;
    static inline QString s_error;
    TempDir dir;
    FakeMessageService messages;
    AppContext ctx;
};

TEST_F(CarddavWindowTest, LinkingFindsTheBooksAndStoresNoPassword)
{
    CarddavPasswords passwords;
    passwords.SetUseSecretStore(false);
    TDLG_Onlineadressbuch dialog(ctx, passwords, "GR00000001");
    dialog.show();
    auto* save = dialog.findChild<QPushButton*>("Button_Save");
    EXPECT_FALSE(save->isEnabled());
    dialog.findChild<QLineEdit*>("Edit_Server")->setText(s_server->BaseUrl().toString());
    dialog.findChild<QLineEdit*>("Edit_User")->setText(s_server->User());
    dialog.findChild<QLineEdit*>("Edit_Password")->setText(s_server->Password());
    dialog.findChild<QCheckBox*>("CheckBox_BeimStart")->setChecked(true);
    QTest::mouseClick(dialog.findChild<QPushButton*>("Button_Suchen"), Qt::LeftButton);
    // The window answers while the server is asked.
    EXPECT_TRUE(dialog.Searching());
    auto* list = dialog.findChild<QListWidget*>("ListBox_Adressbuecher");
    QTRY_COMPARE_WITH_TIMEOUT(list->count(), 2, 60000);
    EXPECT_EQ(dialog.findChild<QLabel*>("Label_Status")->text(), "2 Adressbücher gefunden.");
    list->setCurrentRow(list->row(list->findItems("Verein", Qt::MatchExactly).value(0)));
    ASSERT_TRUE(save->isEnabled());
    QTest::mouseClick(save, Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);

    const std::optional<CarddavLink> l = CarddavStore::LoadLink(ctx.db(), "GR00000001");
    ASSERT_TRUE(l);
    EXPECT_EQ(l->Book, s_server->BookUrl("verein").toString());
    EXPECT_EQ(l->BookName, "Verein");
    EXPECT_TRUE(l->SyncAtStart);
    // Neither the database file nor the settings hold the password.
    ctx.Database.reset();
    QFile file(dir.file("Tavisto.dbs"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_FALSE(file.readAll().contains(s_server->Password().toUtf8()));
    EXPECT_TRUE(ctx.Settings.TrustedCertificates.isEmpty());
}

TEST_F(CarddavWindowTest, AWrongPasswordIsSaidInTheDialog)
{
    CarddavPasswords passwords;
    passwords.SetUseSecretStore(false);
    TDLG_Onlineadressbuch dialog(ctx, passwords, "GR00000001");
    dialog.findChild<QLineEdit*>("Edit_Server")->setText(s_server->BaseUrl().toString());
    dialog.findChild<QLineEdit*>("Edit_User")->setText(s_server->User());
    dialog.findChild<QLineEdit*>("Edit_Password")->setText("falsch");
    dialog.Button_SuchenClick();
    QTRY_VERIFY_WITH_TIMEOUT(!dialog.Searching(), 60000);
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_TRUE(messages.shown[0].text.contains("Benutzernamen oder das Passwort nicht angenommen"));
    EXPECT_EQ(dialog.findChild<QListWidget*>("ListBox_Adressbuecher")->count(), 0);
}

TEST_F(CarddavWindowTest, AktualisierenFillsTheGroupAndTheAddressDialogSaysWhereToChangeIt)
{
    link("verein");
    QWidget window;
    CarddavCommands commands(ctx, &window);
    commands.Passwords().SetUseSecretStore(false);
    commands.Passwords().Store(CarddavPasswords::Key(s_server->User(), s_server->BaseUrl().toString()),
                               s_server->Password());
    bool changed = false;
    commands.Refresh("GR00000001", [&](bool c) { changed = c; });
    EXPECT_TRUE(commands.Running());
    QTRY_VERIFY_WITH_TIMEOUT(!commands.Running(), 60000);
    EXPECT_TRUE(changed);
    EXPECT_EQ(addresses(), 3);
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].text,
              "Die Gruppe wurde mit dem Online-Adressbuch „verein“ abgeglichen.\n\nNeu: 3, geändert: 0, entfernt: 0");

    const QString id = ctx.db().GetTable("SELECT Adresse_ID FROM tab_adressen LIMIT 1").FieldAsString(0);
    TDLG_Adresse dialog(ctx, id, "GR00000001");
    auto* notice = dialog.findChild<QLabel*>("Label_Online");
    ASSERT_TRUE(notice);
    EXPECT_EQ(notice->text(), "Diese Adresse stammt aus dem Online-Adressbuch „verein“ und wird dort geändert.");
    EXPECT_TRUE(dialog.findChild<QLineEdit*>("Edit_Line2")->isReadOnly());
    EXPECT_TRUE(dialog.findChild<QCheckBox*>("CheckBox_Aktiv")->isEnabled());

    // A local address has no notice.
    ctx.db().ExecSQL("INSERT INTO tab_adressen (Adresse_ID, Gruppe_ID, Line1, Aktiv) VALUES ('AD00000099', "
                     "'GR00000001', 'Hier', 1)");
    TDLG_Adresse local(ctx, "AD00000099", "GR00000001");
    EXPECT_FALSE(local.findChild<QLabel*>("Label_Online"));
    EXPECT_FALSE(local.findChild<QLineEdit*>("Edit_Line2")->isReadOnly());
}

TEST_F(CarddavWindowTest, AbbrechenInTheProgressWindowChangesNothing)
{
    link("viele");
    QWidget window;
    CarddavCommands commands(ctx, &window);
    commands.Passwords().SetUseSecretStore(false);
    commands.Passwords().Store(CarddavPasswords::Key(s_server->User(), s_server->BaseUrl().toString()),
                               s_server->Password());
    commands.Refresh("GR00000001");
    QPushButton* cancel = nullptr;
    QTRY_VERIFY_WITH_TIMEOUT((cancel = window.findChild<QPushButton*>("Button_Abbrechen")) != nullptr, 10000);
    auto* status = window.findChild<QLabel*>("Label_Status");
    // Cancelled once the first cards have arrived.
    QTRY_VERIFY_WITH_TIMEOUT(status->text().startsWith("Karte 100 von 600"), 60000);
    QTest::mouseClick(cancel, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!commands.Running(), 10000);
    EXPECT_EQ(addresses(), 0);
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_EQ(CarddavStore::LoadLink(ctx.db(), "GR00000001")->SyncToken, "");
}

} // namespace
