#pragma once
// A small HTTP responder of the tests' own (answers by verb and path), for what real
// servers do not do on request: redirects, plain web servers, refused or truncated
// queries, an answer held half way or cut off.
#include "carddav/CarddavStore.h"
#include "carddav/DavServers.h"

#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>

#include <functional>
#include <map>
#include <optional>

struct Canned
{
    int Status;
    QByteArray Location;
    QByteArray Body;
    // Of the body only this many bytes are sent (with the whole Content-Length); -1: all.
    qsizetype Sent = -1;
    // After the bytes sent: the connection is closed (cut off), else held open.
    bool Close = false;
};

class DavStandIn : public QObject
{
public:
    DavStandIn()
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
    // By "VERB /path Depth:1" first, then by "VERB /path", then by path.
    std::map<QString, Canned> Routes;
    // Asked first with "VERB /path" and the request's body; nothing: the routes.
    std::function<std::optional<Canned>(const QString& request, const QByteArray& body)> Handler;
    // "VERB /path" of each request, in order.
    QStringList Seen;
    // The bodies of the requests, in order.
    QList<QByteArray> Bodies;

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
        QByteArray depth;
        for (const QByteArray& l : lines) {
            if (l.toLower().startsWith("content-length:"))
                length = l.mid(15).trimmed().toLongLong();
            if (l.toLower().startsWith("depth:"))
                depth = l.mid(6).trimmed();
        }
        if (buffer.size() < head + 4 + length)
            return;
        const QList<QByteArray> first = lines.first().trimmed().split(' ');
        const QString path = QString::fromLatin1(first.value(1));
        const QString request = QString::fromLatin1(first.value(0)) + " " + path;
        Seen << request;
        const QByteArray body = buffer.mid(head + 4, length);
        Bodies << body;
        buffer.clear();
        std::optional<Canned> handled = Handler ? Handler(request, body) : std::nullopt;
        auto it = Routes.find(request + " Depth:" + QString::fromLatin1(depth));
        if (it == Routes.end())
            it = Routes.find(request);
        if (it == Routes.end())
            it = Routes.find(path);
        const Canned c = handled ? *handled
                         : it == Routes.end() ? Canned{404, {}, "<html>Not Found</html>"}
                                              : it->second;
        QByteArray answer = "HTTP/1.1 " + QByteArray::number(c.Status) + " X\r\nContent-Length: "
                            + QByteArray::number(c.Body.size()) + "\r\nContent-Type: application/xml\r\n";
        if (!c.Location.isEmpty())
            answer += "Location: " + c.Location + "\r\n";
        s->write(answer + "\r\n" + (c.Sent < 0 ? c.Body : c.Body.left(c.Sent)));
        if (c.Close) {
            s->flush();
            s->disconnectFromHost();
        }
    }

    QTcpServer m_server;
    std::map<QTcpSocket*, QByteArray> m_buffers;
};

inline QByteArray DavMultistatusXml(const QByteArray& inner)
{
    return "<?xml version=\"1.0\"?><d:multistatus xmlns:d=\"DAV:\" xmlns:c=\"urn:ietf:params:xml:ns:carddav\">"
           + inner + "</d:multistatus>";
}

// A response with its properties in one propstat of the status given.
inline QByteArray DavResponseXml(const QByteArray& href, const QByteArray& props,
                                 const QByteArray& status = "HTTP/1.1 200 OK")
{
    return "<d:response><d:href>" + href + "</d:href><d:propstat><d:prop>" + props + "</d:prop><d:status>" + status
           + "</d:status></d:propstat></d:response>";
}

// A book on the stand-in at /dav/book/: its PROPFIND answer (a tag, no sync token), and
// the link of group GR00000001 to it.
inline void StandInBook(DavStandIn& standIn)
{
    standIn.Routes["PROPFIND /dav/book/"] = {
        207, {}, DavMultistatusXml(DavResponseXml("/dav/book/", "<d:resourcetype><d:collection/><c:addressbook/>"
                                                                "</d:resourcetype><x:getctag xmlns:x=\"http://"
                                                                "calendarserver.org/ns/\">t1</x:getctag>"))};
}

inline CarddavLink StandInLink(TSQLiteDatabase& db, const DavStandIn& standIn)
{
    CarddavLink link;
    link.GruppeId = "GR00000001";
    link.Server = standIn.Url().toString();
    link.Book = standIn.Url("/dav/book/").toString();
    link.BookName = "Stand-in";
    link.User = "anna";
    CarddavStore::SaveLink(db, link);
    return *CarddavStore::LoadLink(db, link.GruppeId);
}

// Card i of a stand-in book: /dav/book/c<i>.vcf with the ETag "e<i>".
inline QByteArray StandInCardHref(int i)
{
    return "/dav/book/c" + QByteArray::number(i) + ".vcf";
}

inline QByteArray StandInCardProps(int i)
{
    const QByteArray card = MakeCard(QStringLiteral("standin-%1").arg(i), QStringLiteral("Vogel%1").arg(i), "Vera",
                                     QStringLiteral("Amselweg %1").arg(i), "Halle");
    return "<d:getetag>\"e" + QByteArray::number(i) + "\"</d:getetag><c:address-data>"
           + QString::fromUtf8(card).toHtmlEscaped().toUtf8() + "</c:address-data>";
}

// The responses of cards from..to, each with its ETag and its data.
inline QByteArray StandInCardsXml(int from, int to)
{
    QByteArray xml;
    for (int i = from; i <= to; ++i)
        xml += DavResponseXml(StandInCardHref(i), StandInCardProps(i));
    return xml;
}
