// The client against a stand-in server of the test's own, for what real servers do not
// do on request: redirects, plain web servers, no server, refused or truncated queries,
// answers held half way or cut off.
#include "carddav/DavServers.h"
#include "carddav/DavStandIn.h"
#include "carddav/LinkedFile.h"
#include "carddav/SyncRunner.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>

namespace {

CarddavAccount account(const QUrl& url)
{
    return CarddavAccount{url, "anna", "pw", {}, false};
}

TEST(CarddavClientTest, DiscoveryFollowsARedirectWithinTheServerToPrincipalHomeAndBooks)
{
    DavStandIn r;
    r.Routes["/.well-known/carddav"] = {301, "/dav/", {}};
    r.Routes["/dav/"] = {207, {}, DavMultistatusXml(DavResponseXml("/dav/", "<d:current-user-principal><d:href>/dav/p/</d:href>"
                                                                "</d:current-user-principal>"))};
    r.Routes["/dav/p/"] = {207, {}, DavMultistatusXml(DavResponseXml("/dav/p/", "<c:addressbook-home-set><d:href>/dav/h/</d:href>"
                                                                    "</c:addressbook-home-set>"))};
    r.Routes["/dav/h/"] = {207, {}, DavMultistatusXml(DavResponseXml("/dav/h/", "<d:resourcetype><d:collection/></d:resourcetype>")
                                                + DavResponseXml("/dav/h/verein/",
                                                           "<d:resourcetype><d:collection/><c:addressbook/>"
                                                           "</d:resourcetype><d:displayname>Verein</d:displayname>")
                                                + DavResponseXml("/dav/h/kalender/",
                                                           "<d:resourcetype><d:collection/></d:resourcetype>"))};
    const DiscoverOutcome found = RunDiscover(account(r.Url()));
    ASSERT_FALSE(found.Error) << CarddavErrorText(found.Error).toStdString();
    ASSERT_EQ(found.Books.size(), 1);
    EXPECT_EQ(found.Books.front().Name, "Verein");
    EXPECT_EQ(found.Books.front().Url, r.Url("/dav/h/verein/"));
    EXPECT_EQ(r.Seen, (QStringList{"PROPFIND /.well-known/carddav", "PROPFIND /dav/", "PROPFIND /dav/p/",
                                   "PROPFIND /dav/h/"}));
}

TEST(CarddavClientTest, RedirectsToAnotherServerOrNowhereAreRefused)
{
    DavStandIn r;
    r.Routes["/.well-known/carddav"] = {301, QStringLiteral("http://127.0.0.2:%1/dav/").arg(r.Port()).toUtf8(), {}};
    const DiscoverOutcome found = RunDiscover(account(r.Url()));
    EXPECT_EQ(found.Error.Kind, CarddavFailure::RedirectRefused);
    EXPECT_EQ(r.Seen.size(), 1);

    DavStandIn loop;
    loop.Routes["/.well-known/carddav"] = {302, "/.well-known/carddav", {}};
    EXPECT_EQ(RunDiscover(account(loop.Url())).Error.Kind, CarddavFailure::ServerError);
}

TEST(CarddavClientTest, AWebServerWithoutCarddavIsSaidSo)
{
    DavStandIn r;
    r.Routes["/"] = {200, {}, "<html><body>Willkommen</body></html>"};
    const DiscoverOutcome found = RunDiscover(account(r.Url()));
    EXPECT_EQ(found.Error.Kind, CarddavFailure::NotCarddav);
    EXPECT_TRUE(CarddavErrorText(found.Error).contains("kein Online-Adressbuch"));
}

TEST(CarddavClientTest, NoServerOnThePortIsUnreachable)
{
    const QUrl url(QStringLiteral("http://127.0.0.1:%1/").arg(FreeLocalPort()));
    const DiscoverOutcome found = RunDiscover(account(url));
    EXPECT_EQ(found.Error.Kind, CarddavFailure::Unreachable);
    EXPECT_TRUE(CarddavErrorText(found.Error).startsWith("Der Server „127.0.0.1“ ist nicht erreichbar."));
}

TEST(CarddavClientTest, PlainHttpOnlyToThisComputerUnlessAllowed)
{
    // Refused before anything is sent: the address is one nobody answers on.
    const DiscoverOutcome refused = RunDiscover(account(QUrl("http://192.0.2.1/")));
    EXPECT_EQ(refused.Error.Kind, CarddavFailure::PlainHttp);
    EXPECT_TRUE(IsLocalHost("localhost"));
    EXPECT_TRUE(IsLocalHost("127.0.0.1"));
    EXPECT_TRUE(IsLocalHost("::1"));
    EXPECT_FALSE(IsLocalHost("192.168.1.2"));
    EXPECT_FALSE(IsLocalHost("localhost.example.org"));
}

TEST(CarddavClientTest, ServerAddressesAsTyped)
{
    const std::pair<const char*, const char*> cases[] = {
        {"dav.example.org", "https://dav.example.org/"},
        {" https://cloud.example.org/remote.php/dav ", "https://cloud.example.org/remote.php/dav"},
        {"http://localhost:5232", "http://localhost:5232/"},
        {"ftp://example.org", ""},
        {"", ""},
    };
    for (const auto& [typed, url] : cases)
        EXPECT_EQ(NormalizeServerUrl(typed).toString(), url) << typed;
    const QUrl book("https://h/dav/b/");
    EXPECT_EQ(CarddavCardKey(book, "/dav/b/a%20b.vcf"), CarddavCardKey(book, "https://h/dav/b/a%20b.vcf"));
    EXPECT_EQ(CarddavCardKey(book, "a.vcf"), "/dav/b/a.vcf");
}

// --- A first sync through one query, against the stand-in -------------------------

// The hrefs a multiget asks for.
QList<QByteArray> askedHrefs(const QByteArray& body)
{
    QList<QByteArray> hrefs;
    for (qsizetype at = body.indexOf("<d:href>"); at >= 0; at = body.indexOf("<d:href>", at + 1))
        hrefs << body.mid(at + 8, body.indexOf("</d:href>", at) - at - 8);
    return hrefs;
}

// A book of count cards on the stand-in: its tag, its listing, multigets of any of its
// cards, and the query answered as the test says.
struct StandInBookOf
{
    StandInBookOf(DavStandIn& standIn, int count, Canned query) : Count(count)
    {
        StandInBook(standIn);
        standIn.Routes["PROPFIND /dav/book/ Depth:1"] = {
            207, {}, DavMultistatusXml([&] {
                QByteArray xml;
                for (int i = 1; i <= count; ++i)
                    xml += DavResponseXml(StandInCardHref(i), "<d:getetag>\"e" + QByteArray::number(i) + "\"</d:getetag>");
                return xml;
            }())};
        standIn.Handler = [this, query](const QString& request, const QByteArray& body) -> std::optional<Canned> {
            if (request != "REPORT /dav/book/")
                return std::nullopt;
            if (body.contains("addressbook-query"))
                return query;
            QByteArray xml;
            for (const QByteArray& href : askedHrefs(body)) {
                Multigot << href;
                xml += DavResponseXml(href, StandInCardProps(href.mid(11).chopped(4).toInt()));
            }
            return Canned{207, {}, DavMultistatusXml(xml)};
        };
    }
    int Count;
    QList<QByteArray> Multigot;
};

struct StandInFile : LinkedFile
{
    int Count(const QString& sql) { return db->GetTable(sql).FieldAsString(0).toInt(); }
    int Addresses() { return Count("SELECT COUNT(*) FROM tab_adressen"); }
    int Cards() { return Count("SELECT COUNT(*) FROM carddav_card"); }
    int Staged() { return Count("SELECT COUNT(*) FROM sqlite_temp_master WHERE name = 'carddav_staging'"); }
};

TEST(CarddavClientTest, AFirstSyncTakesEveryCardFromOneQueryReadAsItArrives)
{
    DavStandIn standIn;
    // As Xandikos does, the book itself is in the answer (its card data "not found").
    StandInBookOf book(standIn, 250,
                       {207, {}, DavMultistatusXml(DavResponseXml("/dav/book/", "<d:getetag>\"b\"</d:getetag>")
                                                   + StandInCardsXml(1, 250))});
    StandInFile file;
    const CarddavLink link = StandInLink(*file.db, standIn);
    QList<QPair<int, int>> progress;
    SyncSettings s;
    s.Progress = [&](int done, int total) { progress << qMakePair(done, total); };
    const SyncOutcome run = RunSync(*file.db, link, "pw", s);
    ASSERT_TRUE(run.Report) << CarddavErrorText(run.Error).toStdString();
    EXPECT_EQ(run.Report->Added, 250);
    EXPECT_EQ(file.Addresses(), 250);
    EXPECT_EQ(run.Requests, 2);
    EXPECT_EQ(standIn.Seen, (QStringList{"PROPFIND /dav/book/", "REPORT /dav/book/"}));
    EXPECT_TRUE(standIn.Bodies.value(1).contains("<c:filter/>"));
    EXPECT_TRUE(book.Multigot.isEmpty());
    // The total is not known while the answer arrives; the count moves batch by batch.
    EXPECT_EQ(progress, (QList<QPair<int, int>>{{0, -1}, {100, -1}, {200, -1}, {250, -1}}));
    EXPECT_EQ(file.Staged(), 0);
}

TEST(CarddavClientTest, ARefusedEmptyOrTruncatedQueryFallsBackToTheListingAndNoCardComesTwice)
{
    const QByteArray truncated =
        "<d:response><d:href>/dav/book/</d:href><d:status>HTTP/1.1 507 Insufficient Storage</d:status>"
        "<d:error><d:number-of-matches-within-limits/></d:error></d:response>";
    struct Case
    {
        const char* Name;
        Canned Query;
        QList<QByteArray> Multigot; // the cards the fallback fetched
    };
    const QList<QByteArray> all = {StandInCardHref(1), StandInCardHref(2), StandInCardHref(3), StandInCardHref(4)};
    const Case cases[] = {
        {"not implemented", {501, {}, "<html>Not Implemented</html>"}, all},
        {"forbidden", {403, {}, {}}, all},
        {"bad request", {400, {}, {}}, all},
        {"server error", {500, {}, {}}, all},
        {"no card at all", {207, {}, DavMultistatusXml({})}, all},
        {"cut short by the server", {207, {}, DavMultistatusXml(StandInCardsXml(1, 2) + truncated)}, {StandInCardHref(3), StandInCardHref(4)}},
        {"cut short, the mark first", {207, {}, DavMultistatusXml(truncated + StandInCardsXml(2, 3))}, {StandInCardHref(1), StandInCardHref(4)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        DavStandIn standIn;
        StandInBookOf book(standIn, 4, c.Query);
        StandInFile file;
        SyncSettings s;
        s.BatchSize = 2;
        const SyncOutcome run = RunSync(*file.db, StandInLink(*file.db, standIn), "pw", s);
        ASSERT_TRUE(run.Report) << CarddavErrorText(run.Error).toStdString();
        EXPECT_EQ(run.Report->Added, 4);
        EXPECT_EQ(run.Report->Changed, 0);
        EXPECT_EQ(file.Addresses(), 4);
        EXPECT_EQ(file.Cards(), 4);
        EXPECT_EQ(run.Cards, 4);
        EXPECT_EQ(book.Multigot, c.Multigot);
        EXPECT_EQ(standIn.Seen.mid(0, 3),
                  (QStringList{"PROPFIND /dav/book/", "REPORT /dav/book/", "PROPFIND /dav/book/"}));
    }
}

TEST(CarddavClientTest, ACardTheQueryGaveWithoutItsDataIsFetchedAfterwards)
{
    DavStandIn standIn;
    const QByteArray withoutData = DavResponseXml(StandInCardHref(2), "<d:getetag>\"e2\"</d:getetag>")
                                       .replace("</d:propstat>", "</d:propstat><d:propstat><d:prop><c:address-data/>"
                                                                 "</d:prop><d:status>HTTP/1.1 404 Not Found</d:status>"
                                                                 "</d:propstat>");
    const QByteArray refused = DavResponseXml(StandInCardHref(3), StandInCardProps(3), "HTTP/1.1 403 Forbidden");
    // Card 4 comes twice, first without its data.
    const QByteArray fourWithout = DavResponseXml(StandInCardHref(4), "<d:getetag>\"e4\"</d:getetag>");
    StandInBookOf book(standIn, 4,
                       {207, {}, DavMultistatusXml(StandInCardsXml(1, 1) + withoutData + refused + fourWithout
                                                   + StandInCardsXml(4, 4))});
    StandInFile file;
    const SyncOutcome run = RunSync(*file.db, StandInLink(*file.db, standIn), "pw");
    ASSERT_TRUE(run.Report) << CarddavErrorText(run.Error).toStdString();
    EXPECT_EQ(run.Report->Added, 4);
    EXPECT_EQ(book.Multigot, (QList<QByteArray>{StandInCardHref(2), StandInCardHref(3)}));
    EXPECT_EQ(run.Requests, 3);
    EXPECT_EQ(file.Count("SELECT COUNT(*) FROM carddav_card WHERE Etag = '\"e3\"'"), 1);
}

TEST(CarddavClientTest, AnAnswerCutOffOrUnreadableChangesNothing)
{
    const QByteArray answer = DavMultistatusXml(StandInCardsXml(1, 300));
    struct Case
    {
        const char* Name;
        Canned Query;
        CarddavFailure Kind;
        const char* Text;
    };
    const Case cases[] = {
        {"connection closed half way", {207, {}, answer, answer.size() / 2, true}, CarddavFailure::ConnectionLost,
         "Die Verbindung zum Server „127.0.0.1“ ist abgebrochen, bevor alle Karten geladen waren. Die Gruppe ist "
         "unverändert."},
        {"not XML", {207, {}, "<d:multistatus xmlns:d=\"DAV:\"><d:response></d:multistatus>"},
         CarddavFailure::ServerError, "Der Server „127.0.0.1“ hat unerwartet geantwortet"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        DavStandIn standIn;
        StandInBookOf book(standIn, 300, c.Query);
        StandInFile file;
        const SyncOutcome run = RunSync(*file.db, StandInLink(*file.db, standIn), "pw");
        ASSERT_FALSE(run.Report);
        EXPECT_EQ(run.Error.Kind, c.Kind);
        EXPECT_TRUE(CarddavErrorText(run.Error).startsWith(QString::fromUtf8(c.Text)))
            << CarddavErrorText(run.Error).toStdString();
        EXPECT_EQ(file.Addresses(), 0);
        EXPECT_EQ(file.Cards(), 0);
        EXPECT_EQ(file.Staged(), 0);
        EXPECT_TRUE(book.Multigot.isEmpty());
    }
}

TEST(CarddavClientTest, CancelWhileTheAnswerArrivesStopsAtOnceAndLeavesNothing)
{
    DavStandIn standIn;
    const QByteArray answer = DavMultistatusXml(StandInCardsXml(1, 400));
    // 150 cards come, then the server holds the rest.
    StandInBookOf book(standIn, 400, {207, {}, answer, answer.indexOf(StandInCardHref(151)), false});
    StandInFile file;
    SyncSettings s;
    s.CancelAtCards = 100;
    QElapsedTimer clock;
    clock.start();
    const SyncOutcome run = RunSync(*file.db, StandInLink(*file.db, standIn), "pw", s);
    EXPECT_LT(clock.elapsed(), 10000);
    ASSERT_FALSE(run.Report);
    EXPECT_EQ(run.Error.Kind, CarddavFailure::Cancelled);
    EXPECT_GE(run.Cards, 100);
    EXPECT_LT(run.Cards, 400);
    EXPECT_EQ(file.Addresses(), 0);
    EXPECT_EQ(file.Cards(), 0);
    EXPECT_EQ(file.Staged(), 0);
}

} // namespace
