// The windows of online address books, driven like a user would, against Radicale.
#include "app/AppContext.h"
#include "carddav/CarddavCommands.h"
#include "carddav/CarddavStore.h"
#include "carddav/DavServers.h"
#include "carddav/DavStandIn.h"
#include "carddav/TDLG_Onlineadressbuch.h"
#include "dialogs/TDLG_Adresse.h"
#include "store/Schema.h"
#include "support/FakeMessageService.h"
#include "support/ModalAnswer.h"
#include "support/TempDir.h"

#include <QApplication>
#include <QCheckBox>
#include <QInputDialog>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

// Waits with the event loop running; one that runs out fails the test (the QTRY_ macros
// of QTest would only return from it, unnoticed by GoogleTest).
#define WAIT_FOR(condition, ms) ASSERT_TRUE(QTest::qWaitFor([&] { return bool(condition); }, ms)) << #condition

namespace {

// Clicks the button of a message box that shows this text.
void clickButton(QMessageBox* box, const QString& text)
{
    for (QAbstractButton* b : box->buttons())
        if (b->text() == text)
            return b->click();
    ADD_FAILURE() << "no button " << text.toStdString() << " in " << box->text().toStdString();
    box->reject();
}

// The same server as another computer would name it: 0.0.0.0 reaches this computer on
// Linux, but is not a name of it the program trusts with plain http.
QUrl asRemote(QUrl url)
{
    url.setHost("0.0.0.0");
    return url;
}

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
    WAIT_FOR(list->count() == 2, 60000);
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
    WAIT_FOR(!dialog.Searching(), 60000);
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
    WAIT_FOR(!commands.Running(), 60000);
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

// A book on a server without login is linked with no user name; Aktualisieren after a
// restart (no password kept) must not ask for the password of nobody.
TEST(CarddavWithoutLogin, AktualisierenAsksForNoPassword)
{
    if (!DavServer::Available(DavServer::Xandikos)) {
        if (qEnvironmentVariable("CI") == u"true")
            FAIL() << "Xandikos is not installed";
        GTEST_SKIP();
    }
    DavServer server(DavServer::Xandikos);
    server.SeedBook("verein", "Verein",
                    {MakeCard(QStringLiteral("eins"), QStringLiteral("Ohnepass"), QStringLiteral("Olga"),
                              QStringLiteral("Freiweg 1"), QStringLiteral("Suhl"))});
    QString error;
    ASSERT_TRUE(server.Start(&error)) << error.toStdString();
    TempDir dir;
    FakeMessageService messages;
    AppContext ctx;
    ctx.Database = std::make_unique<TSQLiteDatabase>(dir.file("Tavisto.dbs"));
    ctx.Messages = &messages;
    CreateTables(ctx.db(), messages);
    ctx.db().ExecSQL("INSERT INTO tab_gruppen (Gruppe_ID, Name) VALUES ('GR00000001', 'Verein')");
    CarddavLink l;
    l.GruppeId = "GR00000001";
    l.Server = server.BaseUrl().toString();
    l.Book = server.BookUrl("verein").toString();
    l.BookName = "verein";
    CarddavStore::SaveLink(ctx.db(), l);

    QWidget window;
    CarddavCommands commands(ctx, &window);
    commands.Passwords().SetUseSecretStore(false);
    // A question for a password is counted and closed, so that it cannot hang the test.
    int asked = 0;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (auto* d = qobject_cast<QInputDialog*>(QApplication::activeModalWidget())) {
            ++asked;
            d->reject();
        }
    });
    closer.start(20);
    commands.Refresh("GR00000001", [](bool) {});
    WAIT_FOR(!commands.Running(), 60000);
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(ctx.db().GetTable("SELECT COUNT(*) FROM tab_adressen").FieldAsString(0).toInt(), 1);
}

TEST_F(CarddavWindowTest, AbbrechenInTheProgressWindowChangesNothing)
{
    // The first cards of the one answer of a first sync have arrived; the server holds the
    // rest (a stand-in: a real server cannot be stopped half way through an answer on request).
    DavStandIn standIn;
    StandInBook(standIn);
    const QByteArray answer = DavMultistatusXml(StandInCardsXml(1, 600));
    standIn.Routes["REPORT /dav/book/"] = {207, {}, answer, answer.indexOf(StandInCardHref(151)), false};
    const CarddavLink l = StandInLink(ctx.db(), standIn);
    QWidget window;
    CarddavCommands commands(ctx, &window);
    commands.Passwords().SetUseSecretStore(false);
    commands.Passwords().Store(CarddavPasswords::Key(l.User, l.Server), "pw");
    commands.Refresh("GR00000001");
    QPushButton* cancel = nullptr;
    ASSERT_TRUE(QTest::qWaitFor([&] { return (cancel = window.findChild<QPushButton*>("Button_Abbrechen")); }, 10000));
    auto* status = window.findChild<QLabel*>("Label_Status");
    // Cancelled once the first cards have arrived: the count, no total yet.
    ASSERT_TRUE(QTest::qWaitFor([&] { return status->text() == "100 Karten geladen …"; }, 60000))
        << status->text().toStdString();
    QTest::mouseClick(cancel, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !commands.Running(); }, 10000));
    EXPECT_EQ(addresses(), 0);
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_EQ(CarddavStore::LoadLink(ctx.db(), "GR00000001")->SyncToken, "");
    EXPECT_EQ(ctx.db().GetTable("SELECT COUNT(*) FROM carddav_card").FieldAsString(0), "0");
}

TEST_F(CarddavWindowTest, AnUntrustedCertificateShowsItsFingerprintAndTrustIsForThatCertificateOnly)
{
    DavServer tls(DavServer::Radicale, DavServer::Options{true});
    tls.SeedBook("sicher", "Sicher", {MakeCard("sicher-1", "Sicher", "Siegfried", "Schlossweg 1", "Essen")});
    QString error;
    ASSERT_TRUE(tls.Start(&error)) << error.toStdString();
    CarddavPasswords passwords;
    passwords.SetUseSecretStore(false);
    TDLG_Onlineadressbuch dialog(ctx, passwords, "GR00000001");
    dialog.show();
    dialog.findChild<QLineEdit*>("Edit_Server")->setText(tls.BaseUrl().toString());
    dialog.findChild<QLineEdit*>("Edit_User")->setText(tls.User());
    dialog.findChild<QLineEdit*>("Edit_Password")->setText(tls.Password());
    auto* list = dialog.findChild<QListWidget*>("ListBox_Adressbuecher");
    auto* search = dialog.findChild<QPushButton*>("Button_Suchen");

    // Refused first: the box names the certificate by its SHA-256 fingerprint.
    QString shown;
    {
        AnswerWhenShown<QMessageBox> answer([&](QMessageBox* box) {
            shown = box->objectName() + "|" + box->text();
            clickButton(box, "Abbrechen");
        });
        QTest::mouseClick(search, Qt::LeftButton);
        WAIT_FOR(answer.seen(), 60000);
    }
    EXPECT_TRUE(shown.startsWith("MessageBox_Zertifikat|")) << shown.toStdString();
    EXPECT_TRUE(shown.contains("SHA-256-Fingerabdruck:\n" + tls.CertificateFingerprint())) << shown.toStdString();
    WAIT_FOR(!dialog.Searching(), 10000);
    EXPECT_EQ(list->count(), 0);
    EXPECT_TRUE(ctx.Settings.TrustedCertificates.isEmpty());
    EXPECT_TRUE(messages.shown.isEmpty());

    // "Trotzdem vertrauen": the search goes on and finds the book.
    {
        AnswerWhenShown<QMessageBox> answer([](QMessageBox* box) {
            auto* trust = box->findChild<QPushButton*>("Button_Vertrauen");
            ASSERT_TRUE(trust);
            EXPECT_EQ(trust->text(), "Trotzdem vertrauen");
            trust->click();
        });
        QTest::mouseClick(search, Qt::LeftButton);
        WAIT_FOR(list->count() == 1, 60000);
        EXPECT_TRUE(answer.seen());
    }
    EXPECT_EQ(ctx.Settings.TrustedCertificates, QStringList{tls.CertificateFingerprint()});

    // Remembered: the next search asks nothing.
    list->clear();
    {
        bool asked = false;
        AnswerWhenShown<QMessageBox> answer([&](QMessageBox* box) {
            asked = true;
            box->reject();
        });
        QTest::mouseClick(search, Qt::LeftButton);
        WAIT_FOR(list->count() == 1, 60000);
        EXPECT_FALSE(asked);
    }

    // Another certificate on the same address is asked about again, with its own fingerprint.
    const QString first = tls.CertificateFingerprint();
    DavServer other(DavServer::Radicale, DavServer::Options{true});
    other.SeedBook("sicher", "Sicher", {});
    ASSERT_TRUE(other.Start(&error)) << error.toStdString();
    ASSERT_NE(other.CertificateFingerprint(), first);
    dialog.findChild<QLineEdit*>("Edit_Server")->setText(other.BaseUrl().toString());
    shown.clear();
    {
        AnswerWhenShown<QMessageBox> answer([&](QMessageBox* box) {
            shown = box->text();
            clickButton(box, "Abbrechen");
        });
        QTest::mouseClick(search, Qt::LeftButton);
        WAIT_FOR(answer.seen(), 60000);
    }
    EXPECT_TRUE(shown.contains(other.CertificateFingerprint())) << shown.toStdString();
    EXPECT_EQ(ctx.Settings.TrustedCertificates, QStringList{first});
}

TEST_F(CarddavWindowTest, PlainHttpToAnotherComputerIsOnlyUsedAfterTheWarning)
{
    CarddavPasswords passwords;
    passwords.SetUseSecretStore(false);
    TDLG_Onlineadressbuch dialog(ctx, passwords, "GR00000001");
    dialog.show();
    dialog.findChild<QLineEdit*>("Edit_Server")->setText(asRemote(s_server->BaseUrl()).toString());
    dialog.findChild<QLineEdit*>("Edit_User")->setText(s_server->User());
    dialog.findChild<QLineEdit*>("Edit_Password")->setText(s_server->Password());
    auto* list = dialog.findChild<QListWidget*>("ListBox_Adressbuecher");
    auto* search = dialog.findChild<QPushButton*>("Button_Suchen");

    QString shown;
    {
        AnswerWhenShown<QMessageBox> answer([&](QMessageBox* box) {
            shown = box->windowTitle() + "|" + box->text();
            box->button(QMessageBox::No)->click();
        });
        QTest::mouseClick(search, Qt::LeftButton);
        EXPECT_TRUE(answer.seen());
    }
    EXPECT_EQ(shown, "Unverschlüsselte Verbindung|Die Verbindung zum Server „0.0.0.0“ ist nicht verschlüsselt (http "
                     "statt https). Benutzername, Passwort und Adressen wären im Netzwerk lesbar.\n\nTrotzdem verbinden?");
    // "Nein": nothing was sent.
    EXPECT_FALSE(dialog.Searching());
    EXPECT_EQ(list->count(), 0);

    {
        AnswerWhenShown<QMessageBox> answer([](QMessageBox* box) { box->button(QMessageBox::Yes)->click(); });
        QTest::mouseClick(search, Qt::LeftButton);
        EXPECT_TRUE(answer.seen());
    }
    WAIT_FOR(list->count() == 2, 60000);
    list->setCurrentRow(list->row(list->findItems("Verein", Qt::MatchExactly).value(0)));
    QTest::mouseClick(dialog.findChild<QPushButton*>("Button_Save"), Qt::LeftButton);
    ASSERT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(CarddavStore::LoadLink(ctx.db(), "GR00000001")->PlainHttp);
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(CarddavWindowTest, AktualisierenOverPlainHttpAsksFirstAndRemembersTheAnswer)
{
    CarddavLink l;
    l.GruppeId = "GR00000001";
    l.Server = asRemote(s_server->BaseUrl()).toString();
    l.Book = asRemote(s_server->BookUrl("verein")).toString();
    l.BookName = "verein";
    l.User = s_server->User();
    CarddavStore::SaveLink(ctx.db(), l);
    QWidget window;
    CarddavCommands commands(ctx, &window);
    commands.Passwords().SetUseSecretStore(false);
    commands.Passwords().Store(CarddavPasswords::Key(l.User, l.Server), s_server->Password());

    // "Nein": the group stays as it is, and nothing is said.
    {
        AnswerWhenShown<QMessageBox> answer([](QMessageBox* box) { box->button(QMessageBox::No)->click(); });
        commands.Refresh("GR00000001");
        WAIT_FOR(!commands.Running(), 10000);
        EXPECT_TRUE(answer.seen());
    }
    EXPECT_EQ(addresses(), 0);
    EXPECT_FALSE(CarddavStore::LoadLink(ctx.db(), "GR00000001")->PlainHttp);
    EXPECT_TRUE(messages.shown.isEmpty());

    {
        AnswerWhenShown<QMessageBox> answer([](QMessageBox* box) { box->button(QMessageBox::Yes)->click(); });
        commands.Refresh("GR00000001");
        WAIT_FOR(answer.seen(), 10000);
        WAIT_FOR(!commands.Running(), 60000);
    }
    EXPECT_EQ(addresses(), 3);
    EXPECT_TRUE(CarddavStore::LoadLink(ctx.db(), "GR00000001")->PlainHttp);
    // Asked once: the next update runs without the question.
    {
        bool asked = false;
        AnswerWhenShown<QMessageBox> answer([&](QMessageBox* box) {
            asked = true;
            box->reject();
        });
        commands.Refresh("GR00000001");
        WAIT_FOR(!commands.Running(), 60000);
        EXPECT_FALSE(asked);
    }
}

} // namespace
