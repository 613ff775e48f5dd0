// Sequences against real servers: Radicale (with a password file) and Xandikos (which
// has no authentication of its own: the password cases run on Radicale only), each with
// sync-collection and with the collection tag and ETags.
#include "carddav/CarddavStore.h"
#include "carddav/DavServers.h"
#include "carddav/LinkedFile.h"
#include "carddav/SyncRunner.h"
#include "exchange/VcardMapping.h"
#include "exchange/VcardReader.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <map>
#include <memory>

namespace {

const QStringList kFixtures = {"android", "apple", "evolution", "nextcloud", "noname", "several", "thunderbird"};

// Books every test of a server may use; a test that changes one has it to itself.
const QStringList kModes = {"sync", "etag"};

// One running server per kind for the whole program, stopped before the program ends.
class Servers : public ::testing::Environment
{
public:
    static DavServer& Get(DavServer::Kind kind)
    {
        auto& slot = instances()[kind];
        if (!slot) {
            slot = std::make_unique<DavServer>(kind);
            for (const QString& mode : kModes) {
                slot->SeedBook("hart_" + mode, "Harte Fälle", {});
                slot->SeedBook("folge_" + mode, "Folge", GeneratedCards(3, "folge-" + mode));
                slot->SeedBook("geteilt_" + mode, "Geteilt", GeneratedCards(2, "geteilt-" + mode));
            }
            slot->SeedBook("token", "Token", GeneratedCards(4, "token"));
            QString error;
            started()[kind] = slot->Start(&error);
            errors()[kind] = error;
        }
        return *slot;
    }
    static bool Started(DavServer::Kind kind) { return started()[kind]; }
    static QString Error(DavServer::Kind kind) { return errors()[kind]; }
    void TearDown() override { instances().clear(); }

private:
    static std::map<DavServer::Kind, std::unique_ptr<DavServer>>& instances()
    {
        static std::map<DavServer::Kind, std::unique_ptr<DavServer>> m;
        return m;
    }
    static std::map<DavServer::Kind, bool>& started()
    {
        static std::map<DavServer::Kind, bool> m;
        return m;
    }
    static std::map<DavServer::Kind, QString>& errors()
    {
        static std::map<DavServer::Kind, QString> m;
        return m;
    }
};
const auto* const kServers = ::testing::AddGlobalTestEnvironment(new Servers);

// A program file of its own, with what the tests ask of it.
struct ProgramFile : LinkedFile
{
    int Count(const QString& sql, const SqlParams& params = {})
    {
        return db->GetTable(sql, params).FieldAsString(0).toInt();
    }
    int Addresses() { return Count("SELECT COUNT(*) FROM tab_adressen WHERE Gruppe_ID = 'GR00000001'"); }
    // Line1..5 and Aktiv of the address of a card, by the card's file name.
    QStringList Row(const QString& file)
    {
        TSQLiteTable t = db->GetTable("SELECT a.Line1, a.Line2, a.Line3, a.Line4, a.Line5, a.Aktiv FROM tab_adressen a "
                                      "JOIN carddav_card c ON c.Adresse_ID = a.Adresse_ID WHERE c.Href LIKE ?",
                                      {"%/" + file});
        if (t.Count() != 1)
            return {};
        QStringList cells;
        for (int i = 0; i < 6; ++i)
            cells << t.FieldAsString(i);
        return cells;
    }
};

QStringList linesOf(const ImportedAdresse& a)
{
    return {a.Line1, a.Line2, a.Line3, a.Line4, a.Line5};
}

struct Param
{
    DavServer::Kind Kind;
    bool Sync;
};

std::string paramName(const ::testing::TestParamInfo<Param>& info)
{
    return std::string(DavServer::Name(info.param.Kind)) + (info.param.Sync ? "_SyncCollection" : "_Etags");
}

DavServer& serverOrFail(DavServer::Kind kind)
{
    if (!DavServer::Available(kind)) {
        if (qEnvironmentVariable("CI") == u"true")
            ADD_FAILURE() << DavServer::Name(kind) << " is not installed (scripts/install-deps.sh --test)";
    }
    return Servers::Get(kind);
}

#define REQUIRE_SERVER(kind)                                                                                         \
    if (!DavServer::Available(kind)) {                                                                               \
        if (qEnvironmentVariable("CI") == u"true")                                                                   \
            FAIL() << DavServer::Name(kind) << " is not installed (scripts/install-deps.sh --test)";                 \
        GTEST_SKIP() << DavServer::Name(kind) << " is not installed";                                                \
    }                                                                                                                \
    DavServer& server = serverOrFail(kind);                                                                          \
    ASSERT_TRUE(Servers::Started(kind)) << Servers::Error(kind).toStdString()

class CarddavServerTest : public ::testing::TestWithParam<Param>
{
protected:
    QString book(const QString& base) const { return base + "_" + (GetParam().Sync ? "sync" : "etag"); }
    SyncSettings settings() const
    {
        SyncSettings s;
        s.UseSyncCollection = GetParam().Sync;
        return s;
    }
};

TEST_P(CarddavServerTest, FirstSyncMakesEnvelopeLinesOfTheHardCards)
{
    REQUIRE_SERVER(GetParam().Kind);
    const QString name = book("hart");
    // The fixtures as another client would upload them, one card per resource.
    QStringList stored;
    for (const QString& fixture : kFixtures) {
        QFile f(QStringLiteral(TAVISTO_FIXTURES "/vcard/%1.vcf").arg(fixture));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const std::vector<QByteArray> cards = SplitCards(f.readAll(), fixture);
        for (size_t i = 0; i < cards.size(); ++i) {
            const QString file = QStringLiteral("%1-%2.vcf").arg(fixture).arg(i + 1);
            const int status = server.PutCard(name, file, cards[i]);
            if (status == 201 || status == 204)
                stored << file;
        }
    }
    // A server may refuse a card it cannot read (Radicale refuses one of the 20); most must be there.
    ASSERT_GE(stored.size(), 14) << stored.join(",").toStdString();

    ProgramFile program;
    const CarddavLink link = program.Link(server, name);
    const SyncOutcome first = RunSync(*program.db, link, server.Password(), settings());
    ASSERT_TRUE(first.Report) << CarddavErrorText(first.Error).toStdString();
    // The book's tag and token, then every card in one query.
    EXPECT_EQ(first.Requests, 2);

    // Every card the server holds, as the server gives it back, through the vCard composer.
    int expectedAddresses = 0;
    QStringList expectedSkipped;
    for (const QString& file : stored) {
        const std::vector<Vcard> cards = ReadVcards(server.GetCard(name, file));
        ASSERT_FALSE(cards.empty()) << file.toStdString();
        const std::optional<VcardAdresse> mapped = MapVcard(cards.front());
        if (!mapped) {
            expectedSkipped << file;
            EXPECT_TRUE(program.Row(file).isEmpty()) << file.toStdString();
            continue;
        }
        ++expectedAddresses;
        const QStringList row = program.Row(file);
        ASSERT_EQ(row.size(), 6) << file.toStdString();
        EXPECT_EQ(row.mid(0, 5), linesOf(mapped->Adresse)) << file.toStdString();
        EXPECT_EQ(row[5], "1");
    }
    EXPECT_EQ(first.Report->Added, expectedAddresses);
    EXPECT_EQ(program.Addresses(), expectedAddresses);
    // The cards without a name are skipped, counted and named by their file.
    // Radicale keeps a card with an empty name; Xandikos refuses it.
    if (GetParam().Kind == DavServer::Radicale)
        ASSERT_FALSE(expectedSkipped.isEmpty());
    QStringList skipped = first.Report->Skipped;
    skipped.sort();
    expectedSkipped.sort();
    EXPECT_EQ(skipped, expectedSkipped);
    // Known cards, written out by hand (Xandikos refuses the 4.0 card in lower case).
    ASSERT_TRUE(stored.contains("several-1.vcf"));
    EXPECT_EQ(program.Row("several-1.vcf").value(1), "Anton Eins");
    if (stored.contains("several-3.vcf"))
        EXPECT_EQ(program.Row("several-3.vcf").mid(0, 5),
                  (QStringList{"", "Cäsar Drei", "Dreiweg 3", "", "01067 Dresden"}));

    // Nothing changed on the server: the second sync asks for no card at all.
    const SyncOutcome second = RunSync(*program.db, *CarddavStore::LoadLink(*program.db, link.GruppeId),
                                       server.Password(), settings());
    ASSERT_TRUE(second.Report) << CarddavErrorText(second.Error).toStdString();
    EXPECT_EQ(second.Cards, 0);
    EXPECT_TRUE(second.Report->Unchanged);
    EXPECT_EQ(second.Requests, 1);
    EXPECT_LT(second.Bytes * 10, first.Bytes);
    EXPECT_EQ(program.Addresses(), expectedAddresses);
    // The listing's way (for a server that refuses the query) makes the same group.
    ProgramFile listed;
    SyncSettings byListing = settings();
    byListing.UseQuery = false;
    const SyncOutcome other = RunSync(*listed.db, listed.Link(server, name), server.Password(), byListing);
    ASSERT_TRUE(other.Report) << CarddavErrorText(other.Error).toStdString();
    EXPECT_GT(other.Requests, 2);
    EXPECT_EQ(other.Report->Added, first.Report->Added);
    EXPECT_EQ(other.Report->Skipped.size(), first.Report->Skipped.size());
    for (const QString& file : stored)
        EXPECT_EQ(listed.Row(file), program.Row(file)) << file.toStdString();
}

TEST_P(CarddavServerTest, CardsAddedChangedAndDeletedOnTheServerAreFollowedAndAktivStays)
{
    REQUIRE_SERVER(GetParam().Kind);
    const QString name = book("folge");
    ProgramFile program;
    CarddavLink link = program.Link(server, name);
    SyncOutcome run = RunSync(*program.db, link, server.Password(), settings());
    ASSERT_TRUE(run.Report) << CarddavErrorText(run.Error).toStdString();
    ASSERT_EQ(program.Addresses(), 3);
    // The user takes card 2 and card 3 out of series prints.
    program.db->ExecSQL("UPDATE tab_adressen SET Aktiv = 0 WHERE Adresse_ID IN (SELECT Adresse_ID FROM carddav_card "
                        "WHERE Href LIKE '%card00002.vcf' OR Href LIKE '%card00003.vcf')");

    const QString mode = GetParam().Sync ? "sync" : "etag";
    ASSERT_EQ(server.PutCard(name, "neu.vcf", MakeCard("neu-" + mode, "Neumann", "Nina", "Neuweg 1", "Bonn")), 201);
    ASSERT_LT(server.PutCard(name, "card00002.vcf",
                             MakeCard("folge-" + mode + "-00002", "Zweiter", "Zora", "Umzugstraße 9", "Ulm")),
              300);
    ASSERT_LT(server.DeleteCard(name, "card00001.vcf"), 300);

    link = *CarddavStore::LoadLink(*program.db, link.GruppeId);
    run = RunSync(*program.db, link, server.Password(), settings());
    ASSERT_TRUE(run.Report) << CarddavErrorText(run.Error).toStdString();
    EXPECT_EQ(run.Report->Added, 1);
    EXPECT_EQ(run.Report->Changed, 1);
    EXPECT_EQ(run.Report->Removed, 1);
    EXPECT_EQ(run.Cards, 2);
    EXPECT_EQ(program.Addresses(), 3);
    EXPECT_TRUE(program.Row("card00001.vcf").isEmpty());
    EXPECT_EQ(program.Row("neu.vcf"), (QStringList{"", "Nina Neumann", "Neuweg 1", "", "Bonn", "1"}));
    // Changed on the server, still inactive here; the untouched one keeps its flag too.
    EXPECT_EQ(program.Row("card00002.vcf"), (QStringList{"", "Zora Zweiter", "Umzugstraße 9", "", "Ulm", "0"}));
    EXPECT_EQ(program.Row("card00003.vcf").value(5), "0");
    // The extra data of the removed address went with it.
    EXPECT_EQ(program.Count("SELECT COUNT(*) FROM tab_daten WHERE Adresse_ID NOT IN (SELECT Adresse_ID FROM "
                            "tab_adressen)"),
              0);
    EXPECT_EQ(program.Count("SELECT COUNT(*) FROM tab_daten"), 3);
}

TEST_P(CarddavServerTest, BookOf5000Cards)
{
    // A server of its own: seeding 5,000 cards is not for every test program's start.
    if (!DavServer::Available(GetParam().Kind)) {
        if (qEnvironmentVariable("CI") == u"true")
            FAIL() << DavServer::Name(GetParam().Kind) << " is not installed";
        GTEST_SKIP();
    }
    DavServer server(GetParam().Kind);
    server.SeedBook("gross", "Groß", GeneratedCards(5000, "gross"));
    QString error;
    ASSERT_TRUE(server.Start(&error)) << error.toStdString();
    ProgramFile program;
    const CarddavLink link = program.Link(server, "gross");
    int batches = 0;
    SyncSettings s = settings();
    // A server's first look at 5,000 cards takes minutes on a loaded machine, and Xandikos
    // takes a fifth of a second per card of a multiget (it reads the whole book for each):
    // over ten minutes with other programs busy when a first sync went by multigets; by the
    // one query it takes seconds. Within the test's own timeout.
    s.TimeoutMs = 600000;
    s.GuardMs = 1350000;
    s.Progress = [&](int done, int total) {
        // One answer: its count is not known before its end.
        EXPECT_EQ(total, -1);
        EXPECT_EQ(done, batches * 100);
        ++batches;
    };
    const SyncOutcome run = RunSync(*program.db, link, server.Password(), s);
    ASSERT_TRUE(run.Report) << CarddavErrorText(run.Error).toStdString();
    EXPECT_EQ(run.Report->Added, 5000);
    EXPECT_EQ(program.Addresses(), 5000);
    EXPECT_EQ(run.Requests, 2);
    EXPECT_EQ(batches, 51); // the count before the first batch and after each of 50
    EXPECT_EQ(program.Row("card04711.vcf"), (QStringList{"", "Jörg Müller4711", "Hauptstraße 4711", "", "Köln", "1"}));

    const SyncOutcome again = RunSync(*program.db, *CarddavStore::LoadLink(*program.db, link.GruppeId),
                                      server.Password(), s);
    ASSERT_TRUE(again.Report);
    EXPECT_EQ(again.Cards, 0);
    EXPECT_EQ(program.Addresses(), 5000);
}

TEST_P(CarddavServerTest, TwoProgramFilesOnOneBookSeeEachOthersServerChanges)
{
    REQUIRE_SERVER(GetParam().Kind);
    const QString name = book("geteilt");
    ProgramFile office, club;
    ASSERT_TRUE(RunSync(*office.db, office.Link(server, name), server.Password(), settings()).Report);
    ASSERT_TRUE(RunSync(*club.db, club.Link(server, name), server.Password(), settings()).Report);
    ASSERT_EQ(office.Addresses(), 2);
    ASSERT_EQ(club.Addresses(), 2);

    // What one computer does locally stays there.
    office.db->ExecSQL("UPDATE tab_adressen SET Aktiv = 0");
    office.db->ExecSQL("DELETE FROM tab_adressen WHERE Adresse_ID IN (SELECT Adresse_ID FROM carddav_card WHERE "
                       "Href LIKE '%card00001.vcf')");
    const QString mode = GetParam().Sync ? "sync" : "etag";
    ASSERT_EQ(server.PutCard(name, "drei.vcf", MakeCard("drei-" + mode, "Dritte", "Dana", "Drittweg 3", "Trier")), 201);

    const SyncOutcome officeRun =
        RunSync(*office.db, *CarddavStore::LoadLink(*office.db, "GR00000001"), server.Password(), settings());
    const SyncOutcome clubRun =
        RunSync(*club.db, *CarddavStore::LoadLink(*club.db, "GR00000001"), server.Password(), settings());
    ASSERT_TRUE(officeRun.Report);
    ASSERT_TRUE(clubRun.Report);
    EXPECT_EQ(club.Addresses(), 3);
    EXPECT_EQ(club.Row("drei.vcf").value(1), "Dana Dritte");
    EXPECT_EQ(office.Row("drei.vcf").value(1), "Dana Dritte");
    EXPECT_EQ(club.Count("SELECT COUNT(*) FROM tab_adressen WHERE Aktiv = 0"), 0);
    // The server still has the card the office deleted locally.
    EXPECT_FALSE(server.GetCard(name, "card00001.vcf").isEmpty());
    EXPECT_EQ(club.Row("card00001.vcf").value(1), "Jörg Müller1");
}

INSTANTIATE_TEST_SUITE_P(Servers, CarddavServerTest,
                         ::testing::Values(Param{DavServer::Radicale, true}, Param{DavServer::Radicale, false},
                                           Param{DavServer::Xandikos, true}, Param{DavServer::Xandikos, false}),
                         paramName);

class CarddavServerKindTest : public ::testing::TestWithParam<DavServer::Kind>
{
};

TEST_P(CarddavServerKindTest, DiscoveryFromTheBaseAddressFindsTheBooks)
{
    REQUIRE_SERVER(GetParam());
    CarddavAccount account{server.BaseUrl(), server.User(), server.Password(), {}, false};
    const DiscoverOutcome found = RunDiscover(account);
    ASSERT_FALSE(found.Error) << CarddavErrorText(found.Error).toStdString();
    QStringList names;
    for (const CarddavBook& b : found.Books)
        names << b.Name;
    EXPECT_TRUE(names.contains("Harte Fälle")) << names.join(",").toStdString();
    EXPECT_TRUE(names.contains("Token"));
    const auto token = std::find_if(found.Books.begin(), found.Books.end(), [](auto& b) { return b.Name == "Token"; });
    EXPECT_EQ(token->Url, server.BookUrl("token"));
}

TEST_P(CarddavServerKindTest, ATokenTheServerNoLongerKnowsGivesAFullSync)
{
    REQUIRE_SERVER(GetParam());
    ProgramFile program;
    CarddavLink link = program.Link(server, "token");
    ASSERT_TRUE(RunSync(*program.db, link, server.Password()).Report);
    ASSERT_EQ(program.Addresses(), 4);
    // A token of another day and a tag that no longer matches.
    program.db->ExecSQL("UPDATE carddav_link SET SyncToken = ?, Ctag = 'alt'",
                        {GetParam() == DavServer::Radicale ? QStringLiteral("http://radicale.org/ns/sync/0000")
                                                           : QStringLiteral("0000000000000000000000000000000000000000")});
    const SyncOutcome run = RunSync(*program.db, *CarddavStore::LoadLink(*program.db, link.GruppeId), server.Password());
    ASSERT_TRUE(run.Report) << CarddavErrorText(run.Error).toStdString();
    EXPECT_EQ(program.Addresses(), 4);
    EXPECT_EQ(run.Report->Added, 0);
    EXPECT_EQ(run.Report->Removed, 0);
    EXPECT_NE(CarddavStore::LoadLink(*program.db, link.GruppeId)->SyncToken,
              GetParam() == DavServer::Radicale ? "http://radicale.org/ns/sync/0000"
                                                : "0000000000000000000000000000000000000000");
}

TEST_P(CarddavServerKindTest, TheServerStoppedMidSyncChangesNothing)
{
    if (!DavServer::Available(GetParam())) {
        if (qEnvironmentVariable("CI") == u"true")
            FAIL() << "server not installed";
        GTEST_SKIP();
    }
    // Stopped while it reads the book for the one query of a first sync, and between two
    // multigets of the listing's way.
    for (const bool query : {true, false}) {
        SCOPED_TRACE(query ? "query" : "multiget");
        DavServer server(GetParam());
        server.SeedBook("abbruch", "Abbruch", GeneratedCards(400, "abbruch"));
        QString error;
        ASSERT_TRUE(server.Start(&error)) << error.toStdString();
        ProgramFile program;
        const CarddavLink link = program.Link(server, "abbruch");
        SyncSettings s;
        s.BatchSize = 50;
        s.UseQuery = query;
        int stoppedAt = -1;
        s.Progress = [&](int done, int total) {
            if ((query ? total < 0 : done > 0) && stoppedAt < 0) {
                stoppedAt = done;
                server.Stop();
            }
        };
        const SyncOutcome run = RunSync(*program.db, link, server.Password(), s);
        EXPECT_EQ(stoppedAt, query ? 0 : 50);
        ASSERT_FALSE(run.Report);
        EXPECT_EQ(run.Error.Kind, CarddavFailure::Unreachable);
        EXPECT_EQ(program.Addresses(), 0);
        EXPECT_EQ(program.Count("SELECT COUNT(*) FROM carddav_card"), 0);
        EXPECT_EQ(CarddavStore::LoadLink(*program.db, link.GruppeId)->SyncToken, "");
    }
}

INSTANTIATE_TEST_SUITE_P(Servers, CarddavServerKindTest, ::testing::Values(DavServer::Radicale, DavServer::Xandikos),
                         [](const auto& info) { return std::string(DavServer::Name(info.param)); });

// Xandikos has no authentication of its own; the password is Radicale's business.
TEST(CarddavRadicaleTest, AWrongPasswordIsRefusedAndChangesNothing)
{
    REQUIRE_SERVER(DavServer::Radicale);
    ProgramFile program;
    const CarddavLink link = program.Link(server, "token");
    const SyncOutcome run = RunSync(*program.db, link, "falsch");
    ASSERT_FALSE(run.Report);
    EXPECT_EQ(run.Error.Kind, CarddavFailure::WrongPassword);
    EXPECT_EQ(program.Addresses(), 0);
    const DiscoverOutcome found =
        RunDiscover(CarddavAccount{server.BaseUrl(), server.User(), "auch falsch", {}, false});
    EXPECT_EQ(found.Error.Kind, CarddavFailure::WrongPassword);
    EXPECT_TRUE(found.Books.isEmpty());
}

TEST(CarddavRadicaleTest, ASelfSignedCertificateIsRefusedThenTrustedOnRequest)
{
    if (!DavServer::Available(DavServer::Radicale)) {
        if (qEnvironmentVariable("CI") == u"true")
            FAIL() << "Radicale is not installed";
        GTEST_SKIP();
    }
    DavServer server(DavServer::Radicale, DavServer::Options{true});
    server.SeedBook("tls", "Verschlüsselt", GeneratedCards(3, "tls"));
    QString error;
    ASSERT_TRUE(server.Start(&error)) << error.toStdString();
    ASSERT_EQ(server.BaseUrl().scheme(), "https");

    CarddavAccount account{server.BaseUrl(), server.User(), server.Password(), {}, false};
    const DiscoverOutcome refused = RunDiscover(account);
    ASSERT_EQ(refused.Error.Kind, CarddavFailure::CertificateUntrusted) << CarddavErrorText(refused.Error).toStdString();
    EXPECT_EQ(refused.Error.Fingerprint, server.CertificateFingerprint());
    EXPECT_TRUE(CarddavErrorText(refused.Error).contains(server.CertificateFingerprint()));

    // Trusted for this certificate only: another fingerprint does not open the door.
    account.TrustedCertificates = {"00:11:22"};
    EXPECT_EQ(RunDiscover(account).Error.Kind, CarddavFailure::CertificateUntrusted);
    account.TrustedCertificates = {server.CertificateFingerprint()};
    const DiscoverOutcome trusted = RunDiscover(account);
    ASSERT_FALSE(trusted.Error) << CarddavErrorText(trusted.Error).toStdString();
    ASSERT_EQ(trusted.Books.size(), 1);

    ProgramFile program;
    const CarddavLink link = program.Link(server, "tls");
    SyncSettings s;
    EXPECT_EQ(RunSync(*program.db, link, server.Password(), s).Error.Kind, CarddavFailure::CertificateUntrusted);
    EXPECT_EQ(program.Addresses(), 0);
    s.Trusted = {server.CertificateFingerprint()};
    const SyncOutcome run = RunSync(*program.db, link, server.Password(), s);
    ASSERT_TRUE(run.Report) << CarddavErrorText(run.Error).toStdString();
    EXPECT_EQ(program.Addresses(), 3);
}

} // namespace
