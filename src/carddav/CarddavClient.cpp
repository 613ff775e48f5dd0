#include "carddav/CarddavClient.h"

#include "carddav/DavMultistatus.h"

#include <QAuthenticator>
#include <QCryptographicHash>
#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSet>
#include <QSslCertificate>
#include <QSslError>

namespace {

constexpr int kMaxRedirects = 5;
// What the network layer may hold of an answer read as it arrives before the reader has
// taken it: without a bound a fast server fills memory with the whole answer while the
// cards before are being stored.
constexpr qint64 kStreamBuffer = 256 * 1024;

const QByteArray kPrincipalBody = QByteArrayLiteral(
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
    "<d:propfind xmlns:d=\"DAV:\" xmlns:c=\"urn:ietf:params:xml:ns:carddav\"><d:prop>"
    "<d:current-user-principal/><d:resourcetype/><c:addressbook-home-set/>"
    "</d:prop></d:propfind>");
const QByteArray kBooksBody = QByteArrayLiteral(
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
    "<d:propfind xmlns:d=\"DAV:\" xmlns:cs=\"http://calendarserver.org/ns/\"><d:prop>"
    "<d:resourcetype/><d:displayname/><cs:getctag/><d:sync-token/>"
    "</d:prop></d:propfind>");
// Only the tag: on some servers (Radicale) the sync token costs a pass over every card
// of the book on top of the tag's own.
const QByteArray kTagBody = QByteArrayLiteral(
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
    "<d:propfind xmlns:d=\"DAV:\" xmlns:cs=\"http://calendarserver.org/ns/\"><d:prop>"
    "<d:resourcetype/><cs:getctag/>"
    "</d:prop></d:propfind>");
const QByteArray kEtagsBody = QByteArrayLiteral(
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
    "<d:propfind xmlns:d=\"DAV:\"><d:prop><d:resourcetype/><d:getetag/></d:prop></d:propfind>");

// Every card: the filter without tests matches all (and is required in the request).
const QByteArray kQueryBody = QByteArrayLiteral(
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
    "<c:addressbook-query xmlns:d=\"DAV:\" xmlns:c=\"urn:ietf:params:xml:ns:carddav\">"
    "<d:prop><d:getetag/><c:address-data/></d:prop><c:filter/></c:addressbook-query>");

QByteArray xmlEscaped(const QString& text)
{
    return text.toHtmlEscaped().toUtf8();
}

QByteArray syncCollectionBody(const QString& token)
{
    return QByteArrayLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?>"
                             "<d:sync-collection xmlns:d=\"DAV:\"><d:sync-token>")
           + xmlEscaped(token)
           + QByteArrayLiteral("</d:sync-token><d:sync-level>1</d:sync-level>"
                               "<d:prop><d:getetag/></d:prop></d:sync-collection>");
}

QByteArray multigetBody(const QStringList& hrefs)
{
    QByteArray body = QByteArrayLiteral(
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
        "<c:addressbook-multiget xmlns:d=\"DAV:\" xmlns:c=\"urn:ietf:params:xml:ns:carddav\">"
        "<d:prop><d:getetag/><c:address-data/></d:prop>");
    for (const QString& href : hrefs)
        body += QByteArrayLiteral("<d:href>") + xmlEscaped(href) + QByteArrayLiteral("</d:href>");
    return body + QByteArrayLiteral("</c:addressbook-multiget>");
}

bool isAddressBook(const DavResponse& r)
{
    const DavProperty* type = r.Prop(kDavNs, u"resourcetype");
    return type && type->Children.contains(DavName(kCarddavNs, u"addressbook"));
}

bool isCollection(const DavResponse& r)
{
    const DavProperty* type = r.Prop(kDavNs, u"resourcetype");
    return type && type->Children.contains(DavName(kDavNs, u"collection"));
}

QString firstHref(const DavMultistatus& m, QStringView ns, QStringView local)
{
    for (const DavResponse& r : m.Responses)
        if (const DavProperty* p = r.Prop(ns, local); p && !p->Hrefs.isEmpty())
            return p->Hrefs.first();
    return QString();
}

QUrl withSlash(QUrl url)
{
    QString path = url.path();
    if (!path.endsWith(u'/'))
        url.setPath(path + u'/');
    return url;
}

} // namespace

QString CarddavCardKey(const QUrl& base, const QString& href)
{
    return base.resolved(QUrl(href, QUrl::TolerantMode)).path(QUrl::FullyEncoded);
}

QString CertificateFingerprint(const QByteArray& der)
{
    const QByteArray hex = QCryptographicHash::hash(der, QCryptographicHash::Sha256).toHex().toUpper();
    QStringList pairs;
    for (int i = 0; i + 1 < hex.size(); i += 2)
        pairs.append(QString::fromLatin1(hex.mid(i, 2)));
    return pairs.join(u':');
}

bool IsLocalHost(const QString& host)
{
    const QString h = host.toLower();
    if (h == u"localhost" || h.endsWith(u".localhost"))
        return true;
    const QHostAddress address(h);
    return !address.isNull() && address.isLoopback();
}

QUrl NormalizeServerUrl(const QString& typed)
{
    QString text = typed.trimmed();
    if (text.isEmpty())
        return QUrl();
    if (!text.contains(QStringLiteral("://")))
        text.prepend(QStringLiteral("https://"));
    QUrl url(text, QUrl::TolerantMode);
    if (!url.isValid() || url.host().isEmpty() || (url.scheme() != u"http" && url.scheme() != u"https"))
        return QUrl();
    if (url.path().isEmpty())
        url.setPath(QStringLiteral("/"));
    return url;
}

CarddavClient::CarddavClient(const CarddavAccount& account, QObject* parent)
    : QObject(parent), m_account(account), m_nam(new QNetworkAccessManager(this))
{
    // Asked once per request: a second question for the same request means the server
    // refused what was given.
    connect(m_nam, &QNetworkAccessManager::authenticationRequired, this,
            [this](QNetworkReply* reply, QAuthenticator* auth) {
                if (m_authTries[reply]++ > 0)
                    return;
                auth->setUser(m_account.User);
                auth->setPassword(m_account.Password);
            });
}

CarddavClient::~CarddavClient()
{
    m_stopped = true;
    if (m_reply)
        m_reply->abort();
}

void CarddavClient::Cancel()
{
    if (m_stopped)
        return;
    fail(CarddavFailure::Cancelled);
}

void CarddavClient::fail(CarddavFailure kind, const QString& detail, const QString& fingerprint)
{
    if (m_stopped)
        return;
    m_stopped = true;
    if (m_reply) {
        QNetworkReply* reply = m_reply;
        m_reply = nullptr;
        reply->abort();
    }
    CarddavError error{kind, m_account.Server.host(), fingerprint, detail};
    if (m_failed)
        m_failed(error);
}

bool CarddavClient::plainHttpRefused(const QUrl& url) const
{
    return url.scheme() == u"http" && !IsLocalHost(url.host()) && !m_account.PlainHttpAllowed;
}

bool CarddavClient::redirectAllowed(const QUrl& from, const QUrl& to) const
{
    if (to.host().compare(from.host(), Qt::CaseInsensitive) != 0)
        return false;
    if (to.scheme() == u"https")
        return true;
    return to.scheme() == u"http" && from.scheme() == u"http" && !plainHttpRefused(to);
}

void CarddavClient::send(const QByteArray& verb, const QUrl& url, const QByteArray& depth, const QByteArray& body,
                         Next next, int redirects, Stream stream)
{
    if (m_stopped)
        return;
    if (plainHttpRefused(url))
        return fail(CarddavFailure::PlainHttp);
    QNetworkRequest request(url);
    // Redirects are looked at here: only within the server, never from https to http.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/xml; charset=utf-8"));
    if (!depth.isEmpty())
        request.setRawHeader("Depth", depth);
    request.setTransferTimeout(m_timeoutMs);
    m_untrusted.clear();
    QNetworkReply* reply = m_nam->sendCustomRequest(request, verb, body);
    m_reply = reply;
    ++m_requests;
    // Only a multistatus is read as it arrives; redirects and errors come whole at the end.
    auto pour = [this, reply, stream] {
        if (m_stopped || m_reply != reply || reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() != 207)
            return;
        while (reply->bytesAvailable() > 0 && !m_stopped && m_reply == reply) {
            const QByteArray piece = reply->read(kStreamBuffer);
            m_bytes += piece.size();
            stream(piece);
        }
    };
    if (stream) {
        reply->setReadBufferSize(kStreamBuffer);
        connect(reply, &QNetworkReply::readyRead, this, pour);
    }
    connect(reply, &QNetworkReply::sslErrors, this, [this, reply](const QList<QSslError>& errors) {
        QSslCertificate cert = reply->sslConfiguration().peerCertificate();
        if (cert.isNull() && !errors.isEmpty())
            cert = errors.first().certificate();
        const QString fingerprint = CertificateFingerprint(cert.toDer());
        if (!cert.isNull() && m_account.TrustedCertificates.contains(fingerprint))
            reply->ignoreSslErrors(errors);
        else
            m_untrusted = fingerprint;
    });
    connect(reply, &QNetworkReply::finished, this, [=, this]() {
        reply->deleteLater();
        m_authTries.remove(reply);
        if (m_stopped || m_reply != reply)
            return;
        m_reply = nullptr;
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (status == 0) {
            if (!m_untrusted.isEmpty())
                return fail(CarddavFailure::CertificateUntrusted, QString(), m_untrusted);
            // A transfer timeout ends the request as "cancelled": say what it was.
            if (reply->error() == QNetworkReply::OperationCanceledError)
                return fail(CarddavFailure::Unreachable,
                            QStringLiteral("keine Antwort in %1 Sekunden").arg(m_timeoutMs / 1000));
            return fail(CarddavFailure::Unreachable, reply->errorString());
        }
        if (status == 401 || reply->error() == QNetworkReply::AuthenticationRequiredError)
            return fail(CarddavFailure::WrongPassword);
        if (stream) {
            pour();
            if (m_stopped)
                return;
        }
        // The answer had begun when the connection ended (the network layer's own errors
        // are below 100, the server's statuses above).
        if (reply->error() != QNetworkReply::NoError && reply->error() < QNetworkReply::ProxyConnectionRefusedError)
            return fail(CarddavFailure::ConnectionLost,
                        reply->error() == QNetworkReply::OperationCanceledError
                            ? QStringLiteral("keine weiteren Daten in %1 Sekunden").arg(m_timeoutMs / 1000)
                            : reply->errorString());
        const QByteArray answer = reply->readAll();
        m_bytes += answer.size();
        if (status >= 300 && status < 400 && status != 304) {
            const QUrl target = url.resolved(QUrl::fromEncoded(reply->rawHeader("Location").trimmed()));
            if (!target.isValid() || redirects >= kMaxRedirects)
                return fail(CarddavFailure::ServerError, QStringLiteral("HTTP %1").arg(status));
            if (!redirectAllowed(url, target))
                return fail(CarddavFailure::RedirectRefused, target.toDisplayString());
            return send(verb, target, depth, body, next, redirects + 1, stream);
        }
        next(status, answer, url);
    });
}

// --- Discovery ---------------------------------------------------------------

void CarddavClient::Discover(std::function<void(const QList<CarddavBook>&)> done)
{
    m_booksDone = std::move(done);
    m_stopped = false;
    const QUrl server = m_account.Server;
    if (!server.isValid() || server.host().isEmpty())
        return fail(CarddavFailure::Unreachable, QStringLiteral("ungültige Adresse"));
    discoverAt(server.resolved(QUrl(QStringLiteral("/.well-known/carddav"))), true);
}

void CarddavClient::discoverAt(const QUrl& url, bool wellKnown)
{
    send("PROPFIND", url, "0", kPrincipalBody, [this, wellKnown](int status, const QByteArray& body, const QUrl& at) {
        const DavMultistatus m = status == 207 ? ParseMultistatus(body) : DavMultistatus();
        if (const QString principal = firstHref(m, kDavNs, u"current-user-principal"); !principal.isEmpty())
            return readPrincipal(at.resolved(QUrl(principal)));
        if (wellKnown)
            return discoverAt(m_account.Server, false);
        // No principal: the address typed may be a home set or a book itself.
        if (m.Valid && !m.Responses.empty())
            return listBooks(at);
        fail(CarddavFailure::NotCarddav);
    });
}

void CarddavClient::readPrincipal(const QUrl& principal)
{
    send("PROPFIND", principal, "0", kPrincipalBody, [this](int status, const QByteArray& body, const QUrl& at) {
        const DavMultistatus m = status == 207 ? ParseMultistatus(body) : DavMultistatus();
        const QString home = firstHref(m, kCarddavNs, u"addressbook-home-set");
        listBooks(home.isEmpty() ? at : at.resolved(QUrl(home)));
    });
}

void CarddavClient::listBooks(const QUrl& home)
{
    send("PROPFIND", withSlash(home), "1", kBooksBody, [this](int status, const QByteArray& body, const QUrl& at) {
        const DavMultistatus m = status == 207 ? ParseMultistatus(body) : DavMultistatus();
        QList<CarddavBook> books;
        for (const DavResponse& r : m.Responses) {
            if (!isAddressBook(r))
                continue;
            CarddavBook book;
            book.Url = withSlash(at.resolved(QUrl(r.Href, QUrl::TolerantMode)));
            book.Name = r.Text(kDavNs, u"displayname");
            if (book.Name.isEmpty()) {
                const QStringList parts = book.Url.path().split(u'/', Qt::SkipEmptyParts);
                book.Name = parts.isEmpty() ? book.Url.host() : parts.last();
            }
            book.Ctag = r.Text(kCalendarServerNs, u"getctag");
            book.SyncToken = r.Text(kDavNs, u"sync-token");
            books.append(book);
        }
        if (books.isEmpty())
            return fail(CarddavFailure::NotCarddav);
        m_stopped = true;
        if (m_booksDone)
            m_booksDone(books);
    });
}

// --- Changes ----------------------------------------------------------------------

void CarddavClient::FetchChanges(const CarddavBookState& state, std::function<void(const CarddavChanges&)> done)
{
    m_changesDone = std::move(done);
    m_stopped = false;
    m_state = state;
    m_changes = CarddavChanges();
    m_toFetch.clear();
    m_query.reset();
    m_pending.clear();
    m_queried.clear();
    m_queuedForMultiget.clear();
    m_truncated = false;
    // With a tag from the last sync, the tag alone says whether anything changed; the
    // stored token then gives the changes. Without one, the book's token is asked too.
    const bool tagOnly = !m_state.Ctag.isEmpty();
    send("PROPFIND", m_state.Book, "0", tagOnly ? kTagBody : kBooksBody,
         [this, tagOnly](int status, const QByteArray& body, const QUrl&) {
             const DavMultistatus m = status == 207 ? ParseMultistatus(body) : DavMultistatus();
             if (m.Responses.empty() || !isAddressBook(m.Responses.front()))
                 return fail(CarddavFailure::NotCarddav, QStringLiteral("HTTP %1").arg(status));
             const DavResponse& book = m.Responses.front();
             m_changes.Ctag = book.Text(kCalendarServerNs, u"getctag");
             const QString token = tagOnly ? m_state.SyncToken : book.Text(kDavNs, u"sync-token");
             m_changes.SyncToken = token;
             const bool sameTag = !m_changes.Ctag.isEmpty() && m_changes.Ctag == m_state.Ctag;
             const bool sameToken = !tagOnly && !token.isEmpty() && token == m_state.SyncToken;
             if (sameTag || sameToken) {
                 m_changes.SyncToken = m_state.SyncToken.isEmpty() ? token : m_state.SyncToken;
                 m_changes.Unchanged = true;
                 return finishChanges();
             }
             // Nothing known yet: every card is wanted, and one answer is far cheaper
             // than a multiget per hundred (some servers read the whole book per card).
             if (m_useQuery && m_state.Etags.isEmpty())
                 return queryAll();
             listChanges();
         });
}

void CarddavClient::listChanges()
{
    if (m_useSync && !m_changes.SyncToken.isEmpty())
        return syncReport(m_state.SyncToken);
    listEtags();
}

void CarddavClient::queryAll()
{
    // The token asked for before the query: whatever changes after it comes again at
    // the next sync, nothing is missed. The ETag way keeps none, as the listing does.
    if (!m_useSync)
        m_changes.SyncToken.clear();
    m_query = std::make_unique<DavMultistatusReader>([this](DavResponse&& r) { takeQueried(std::move(r)); });
    if (m_progress)
        m_progress(0, -1);
    send(
        "REPORT", m_state.Book, "1", kQueryBody, [this](int status, const QByteArray&, const QUrl&) { queryEnded(status); },
        0, [this](const QByteArray& piece) {
            if (!m_query->AddData(piece) && !m_stopped)
                fail(CarddavFailure::ServerError, QStringLiteral("unlesbare Antwort auf die Abfrage aller Karten"));
        });
}

void CarddavClient::takeQueried(DavResponse&& r)
{
    if (m_stopped)
        return;
    // The server says it gave only part of the book.
    if (r.Status == 507) {
        m_truncated = true;
        return;
    }
    const QString key = CarddavCardKey(m_state.Book, r.Href);
    // Some servers (Xandikos) answer for the book itself too; a card that is gone is no card.
    if (r.Href.isEmpty() || r.Status == 404 || isCollection(r) || key == CarddavCardKey(m_state.Book, m_state.Book.path()))
        return;
    if (m_queried.contains(key))
        return;
    const DavProperty* data = r.Prop(kCarddavNs, u"address-data");
    if (!data || data->Text.isEmpty() || (r.Status != 0 && (r.Status < 200 || r.Status >= 300))) {
        // Its card could not be given with the others: asked for by itself afterwards.
        if (!m_queuedForMultiget.contains(key)) {
            m_queuedForMultiget.insert(key);
            m_toFetch.append(key);
        }
        return;
    }
    m_queried.insert(key);
    m_pending.push_back({key, r.Text(kDavNs, u"getetag"), data->Text.toUtf8()});
    ++m_cardsReceived;
    if (int(m_pending.size()) >= m_batch)
        handOver();
}

// The cards read since the last batch go to the store (or into the changes).
bool CarddavClient::handOver()
{
    std::vector<CarddavFetchedCard> batch;
    batch.swap(m_pending);
    if (m_cardsArrived) {
        if (const QString error = m_cardsArrived(std::move(batch)); !error.isEmpty()) {
            fail(CarddavFailure::StoreFailed, error);
            return false;
        }
    } else {
        std::move(batch.begin(), batch.end(), std::back_inserter(m_changes.Cards));
    }
    if (m_progress)
        m_progress(int(m_queried.size()), -1);
    return true;
}

void CarddavClient::queryEnded(int status)
{
    // Refused (not supported, not allowed, too large): the listing and the multigets.
    if (status != 207) {
        m_query.reset();
        m_toFetch.clear();
        return listChanges();
    }
    const bool whole = m_query->Finish();
    m_query.reset();
    // What could not be read failed as it came; what is left short ended early (the
    // connection closed before the length the server announced).
    if (!whole)
        return fail(CarddavFailure::ConnectionLost,
                    QStringLiteral("die Antwort endete nach %1 Karten").arg(m_queried.size()));
    if (!m_pending.empty() && !handOver())
        return;
    // Cut short by the server, or no card at all (a server may read the empty filter as
    // "none"): the listing says what is there; cards already read are not fetched again.
    if (m_truncated || m_queried.isEmpty()) {
        m_toFetch.clear();
        return listChanges();
    }
    // A card the answer gave twice, once without its data, came already.
    m_toFetch.removeIf([this](const QString& key) { return m_queried.contains(key); });
    m_fetchTotal = int(m_toFetch.size());
    if (m_fetchTotal > 0 && m_progress)
        m_progress(int(m_queried.size()), int(m_queried.size()) + m_fetchTotal);
    fetchBatch();
}

void CarddavClient::syncReport(const QString& token)
{
    send("REPORT", m_state.Book, "0", syncCollectionBody(token),
         [this, token](int status, const QByteArray& body, const QUrl&) {
             // A token the server no longer knows (valid-sync-token, 403 or 409; some
             // answer 400 or 412): start again from nothing.
             if (!token.isEmpty() && status >= 400 && status < 500)
                 return syncReport(QString());
             const DavMultistatus m = status == 207 ? ParseMultistatus(body) : DavMultistatus();
             if (!m.Valid)
                 return listEtags();
             if (!m.SyncToken.isEmpty())
                 m_changes.SyncToken = m.SyncToken;
             takeListing(m, token.isEmpty());
         });
}

void CarddavClient::listEtags()
{
    // Without a token the listing says nothing of it: keep none, so the next sync lists again.
    m_changes.SyncToken.clear();
    send("PROPFIND", m_state.Book, "1", kEtagsBody, [this](int status, const QByteArray& body, const QUrl&) {
        const DavMultistatus m = status == 207 ? ParseMultistatus(body) : DavMultistatus();
        if (!m.Valid)
            return fail(CarddavFailure::ServerError, QStringLiteral("HTTP %1").arg(status));
        takeListing(m, true);
    });
}

// full: the listing names every card of the book, so a known card it lacks was removed.
void CarddavClient::takeListing(const DavMultistatus& m, bool full)
{
    const QString bookKey = CarddavCardKey(m_state.Book, m_state.Book.path());
    QSet<QString> listed;
    QSet<QString> queued;
    for (const DavResponse& r : m.Responses) {
        const QString key = CarddavCardKey(m_state.Book, r.Href);
        if (key == bookKey || r.Href.isEmpty() || isCollection(r))
            continue;
        if (r.Status == 404 || (r.Status >= 400 && r.Props.isEmpty())) {
            if (m_state.Etags.contains(key))
                m_changes.Removed.append(key);
            continue;
        }
        listed.insert(key);
        if (m_queried.contains(key))
            continue;
        const QString etag = r.Text(kDavNs, u"getetag");
        const auto known = m_state.Etags.constFind(key);
        if (known != m_state.Etags.constEnd() && !etag.isEmpty() && known.value() == etag)
            continue;
        if (!queued.contains(key)) {
            queued.insert(key);
            m_toFetch.append(key);
        }
    }
    if (full)
        for (auto it = m_state.Etags.constBegin(); it != m_state.Etags.constEnd(); ++it)
            if (!listed.contains(it.key()) && !m_changes.Removed.contains(it.key()))
                m_changes.Removed.append(it.key());
    m_fetchTotal = int(m_toFetch.size());
    if (m_progress)
        m_progress(int(m_queried.size()), int(m_queried.size()) + m_fetchTotal);
    fetchBatch();
}

void CarddavClient::fetchBatch()
{
    if (m_toFetch.isEmpty())
        return finishChanges();
    const QStringList batch = m_toFetch.mid(0, m_batch);
    m_toFetch.remove(0, batch.size());
    send("REPORT", m_state.Book, "1", multigetBody(batch), [this, batch](int status, const QByteArray& body, const QUrl&) {
        const DavMultistatus m = status == 207 ? ParseMultistatus(body) : DavMultistatus();
        if (!m.Valid)
            return fail(CarddavFailure::ServerError, QStringLiteral("HTTP %1").arg(status));
        QSet<QString> asked(batch.begin(), batch.end());
        std::vector<CarddavFetchedCard> arrived;
        for (const DavResponse& r : m.Responses) {
            const QString key = CarddavCardKey(m_state.Book, r.Href);
            if (!asked.contains(key))
                continue;
            const DavProperty* data = r.Prop(kCarddavNs, u"address-data");
            if (!data) {
                // Removed between the listing and the fetch.
                if (m_state.Etags.contains(key) && !m_changes.Removed.contains(key))
                    m_changes.Removed.append(key);
                continue;
            }
            arrived.push_back({key, r.Text(kDavNs, u"getetag"), data->Text.toUtf8()});
            ++m_cardsReceived;
        }
        if (m_cardsArrived) {
            if (const QString error = m_cardsArrived(std::move(arrived)); !error.isEmpty())
                return fail(CarddavFailure::StoreFailed, error);
        } else {
            std::move(arrived.begin(), arrived.end(), std::back_inserter(m_changes.Cards));
        }
        if (m_progress)
            m_progress(int(m_queried.size()) + m_fetchTotal - int(m_toFetch.size()),
                       int(m_queried.size()) + m_fetchTotal);
        fetchBatch();
    });
}

void CarddavClient::finishChanges()
{
    m_stopped = true;
    if (m_changesDone)
        m_changesDone(m_changes);
}
