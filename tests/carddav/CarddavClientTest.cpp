// The client against a small HTTP responder of the test's own (answers by path), for
// what real servers do not do on request: redirects, plain web servers, no server.
#include "carddav/DavServers.h"
#include "carddav/SyncRunner.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <gtest/gtest.h>

#include <map>

namespace {

struct Canned
{
    int Status;
    QByteArray Location;
    QByteArray Body;
};

class Responder : public QObject
{
public:
    Responder()
    {
        m_server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* s = m_server.nextPendingConnection())
                QObject::connect(s, &QTcpSocket::readyRead, this, [this, s] { serve(s); });
        });
    }
    int Port() const { return m_server.serverPort(); }
    QUrl Url(const QString& path = "/") const
    {
        return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(Port()).arg(path));
    }
    std::map<QString, Canned> Routes;
    QStringList Seen;

private:
    void serve(QTcpSocket* s)
    {
        QByteArray& buffer = m_buffers[s];
        buffer += s->readAll();
        const qsizetype head = buffer.indexOf("\r\n\r\n");
        if (head < 0)
            return;
        const QList<QByteArray> lines = buffer.left(head).split('\n');
        qsizetype length = 0;
        for (const QByteArray& l : lines)
            if (l.toLower().startsWith("content-length:"))
                length = l.mid(15).trimmed().toLongLong();
        if (buffer.size() < head + 4 + length)
            return;
        const QList<QByteArray> first = lines.first().trimmed().split(' ');
        const QString path = QString::fromLatin1(first.value(1));
        Seen << QString::fromLatin1(first.value(0)) + " " + path;
        buffer.clear();
        const auto it = Routes.find(path);
        const Canned c = it == Routes.end() ? Canned{404, {}, "<html>Not Found</html>"} : it->second;
        QByteArray answer = "HTTP/1.1 " + QByteArray::number(c.Status) + " X\r\nContent-Length: "
                            + QByteArray::number(c.Body.size()) + "\r\nContent-Type: application/xml\r\n";
        if (!c.Location.isEmpty())
            answer += "Location: " + c.Location + "\r\n";
        s->write(answer + "\r\n" + c.Body);
    }

    QTcpServer m_server;
    std::map<QTcpSocket*, QByteArray> m_buffers;
};

QByteArray multistatus(const QByteArray& inner)
{
    return "<?xml version=\"1.0\"?><d:multistatus xmlns:d=\"DAV:\" xmlns:c=\"urn:ietf:params:xml:ns:carddav\">"
           + inner + "</d:multistatus>";
}

QByteArray response(const QByteArray& href, const QByteArray& props)
{
    return "<d:response><d:href>" + href + "</d:href><d:propstat><d:prop>" + props
           + "</d:prop><d:status>HTTP/1.1 200 OK</d:status></d:propstat></d:response>";
}

CarddavAccount account(const QUrl& url)
{
    return CarddavAccount{url, "anna", "pw", {}, false};
}

TEST(CarddavClientTest, DiscoveryFollowsARedirectWithinTheServerToPrincipalHomeAndBooks)
{
    Responder r;
    r.Routes["/.well-known/carddav"] = {301, "/dav/", {}};
    r.Routes["/dav/"] = {207, {}, multistatus(response("/dav/", "<d:current-user-principal><d:href>/dav/p/</d:href>"
                                                                "</d:current-user-principal>"))};
    r.Routes["/dav/p/"] = {207, {}, multistatus(response("/dav/p/", "<c:addressbook-home-set><d:href>/dav/h/</d:href>"
                                                                    "</c:addressbook-home-set>"))};
    r.Routes["/dav/h/"] = {207, {}, multistatus(response("/dav/h/", "<d:resourcetype><d:collection/></d:resourcetype>")
                                                + response("/dav/h/verein/",
                                                           "<d:resourcetype><d:collection/><c:addressbook/>"
                                                           "</d:resourcetype><d:displayname>Verein</d:displayname>")
                                                + response("/dav/h/kalender/",
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
    Responder r;
    r.Routes["/.well-known/carddav"] = {301, QStringLiteral("http://127.0.0.2:%1/dav/").arg(r.Port()).toUtf8(), {}};
    const DiscoverOutcome found = RunDiscover(account(r.Url()));
    EXPECT_EQ(found.Error.Kind, CarddavFailure::RedirectRefused);
    EXPECT_EQ(r.Seen.size(), 1);

    Responder loop;
    loop.Routes["/.well-known/carddav"] = {302, "/.well-known/carddav", {}};
    EXPECT_EQ(RunDiscover(account(loop.Url())).Error.Kind, CarddavFailure::ServerError);
}

TEST(CarddavClientTest, AWebServerWithoutCarddavIsSaidSo)
{
    Responder r;
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

} // namespace
