#pragma once
#include "carddav/CarddavError.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>
#include <memory>
#include <vector>

class QNetworkAccessManager;
class QNetworkReply;
class DavMultistatusReader;
struct DavMultistatus;
struct DavResponse;

// Where and as whom to connect.
struct CarddavAccount
{
    QUrl Server; // the server's base address, or any address below it
    QString User;
    QString Password;
    QStringList TrustedCertificates; // SHA-256 fingerprints the user chose to trust
    bool PlainHttpAllowed = false;   // http to another computer was confirmed
};

// An address book found on the server.
struct CarddavBook
{
    QUrl Url;
    QString Name; // its display name, else the last part of its path
    QString Ctag;
    QString SyncToken;
};

// What a group knows of its book since the last sync.
struct CarddavBookState
{
    QUrl Book;
    QString SyncToken;
    QString Ctag;
    QHash<QString, QString> Etags; // card path (CarddavCardKey) → ETag
};

struct CarddavFetchedCard
{
    QString Href; // the card's path (CarddavCardKey)
    QString Etag;
    QByteArray Data; // the vCard
};

// The server's changes since the state handed to FetchChanges.
struct CarddavChanges
{
    std::vector<CarddavFetchedCard> Cards; // new and changed cards not handed over by batch
    QStringList Removed;                   // paths of cards no longer on the server
    QString SyncToken;
    QString Ctag;
    bool Unchanged = false; // the book's tag said nothing changed: no card was asked for
};

// The path that names a card, however the server spelled its href.
QString CarddavCardKey(const QUrl& base, const QString& href);
// The SHA-256 fingerprint of a DER certificate: hex pairs in capitals joined by ":".
QString CertificateFingerprint(const QByteArray& der);
// Whether the host is this computer (plain http is allowed to it).
bool IsLocalHost(const QString& host);
// The server address as typed: "https://" when no scheme is given.
QUrl NormalizeServerUrl(const QString& typed);

// Talks to one CardDAV server over QNetworkAccessManager, asynchronously: every
// operation returns at once and ends in exactly one call of its done function or of
// the failed function. Basic and Digest authentication are Qt's own.
class CarddavClient : public QObject
{
    Q_OBJECT
public:
    explicit CarddavClient(const CarddavAccount& account, QObject* parent = nullptr);
    ~CarddavClient() override;

    // Finds the address books: /.well-known/carddav, the current user's principal, its
    // address book home set, then the books in it.
    void Discover(std::function<void(const QList<CarddavBook>&)> done);
    // The changes of the book since the state: sync-collection with the stored token
    // where the book has one (a token the server no longer accepts gives a full listing),
    // else the collection tag and each card's ETag; changed cards are fetched with
    // addressbook-multiget in batches. When no card of the book is known yet, every card
    // comes with one addressbook-query, read as it arrives; a server that refuses it or
    // cuts its answer short gets the listing and the multigets.
    void FetchChanges(const CarddavBookState& state, std::function<void(const CarddavChanges&)> done);
    // Stops at once: no done function is called, failed with Cancelled.
    void Cancel();

    void SetFailed(std::function<void(const CarddavError&)> failed) { m_failed = std::move(failed); }
    // Cards fetched so far and cards to fetch, after each batch. The total is -1 while
    // the one answer of a first sync arrives: how many cards it holds is not known before.
    void SetProgress(std::function<void(int done, int total)> progress) { m_progress = std::move(progress); }
    // false: collection tag and ETags even where the server offers sync-collection.
    void SetUseSyncCollection(bool use) { m_useSync = use; }
    // false: a first sync lists the ETags and fetches by multiget too.
    void SetUseQuery(bool use) { m_useQuery = use; }
    void SetBatchSize(int size) { m_batch = qMax(1, size); }
    // Takes the cards of each fetched batch as it arrives (they are then not kept in
    // CarddavChanges::Cards); a text it returns ends the run as StoreFailed.
    void SetCardsArrived(std::function<QString(std::vector<CarddavFetchedCard>&& cards)> arrived)
    {
        m_cardsArrived = std::move(arrived);
    }
    void SetTimeout(int ms) { m_timeoutMs = ms; }

    // Neither done nor failed yet (also before anything was started).
    bool Running() const { return !m_stopped; }

    // Counters of the client's life, for tests and benchmarks.
    int Requests() const { return m_requests; }
    qint64 BytesReceived() const { return m_bytes; }
    int CardsReceived() const { return m_cardsReceived; }

private:
    using Next = std::function<void(int status, const QByteArray& body, const QUrl& url)>;
    // Takes a 207 answer piece by piece as it arrives; its body is then not handed to next.
    using Stream = std::function<void(const QByteArray& piece)>;
    void send(const QByteArray& verb, const QUrl& url, const QByteArray& depth, const QByteArray& body, Next next,
              int redirects = 0, Stream stream = Stream());
    void fail(CarddavFailure kind, const QString& detail = QString(), const QString& fingerprint = QString());
    bool redirectAllowed(const QUrl& from, const QUrl& to) const;
    bool plainHttpRefused(const QUrl& url) const;

    void discoverAt(const QUrl& url, bool wellKnown);
    void readPrincipal(const QUrl& principal);
    void listBooks(const QUrl& home);

    void listChanges();
    void queryAll();
    void takeQueried(DavResponse&& response);
    bool handOver();
    void queryEnded(int status);
    void syncReport(const QString& token);
    void listEtags();
    void takeListing(const DavMultistatus& m, bool full);
    void fetchBatch();
    void finishChanges();

    CarddavAccount m_account;
    QNetworkAccessManager* m_nam;
    QPointer<QNetworkReply> m_reply;
    std::function<void(const CarddavError&)> m_failed;
    std::function<void(int, int)> m_progress;
    std::function<void(const QList<CarddavBook>&)> m_booksDone;
    std::function<void(const CarddavChanges&)> m_changesDone;
    std::function<QString(std::vector<CarddavFetchedCard>&&)> m_cardsArrived;
    bool m_useSync = true;
    bool m_useQuery = true;
    int m_batch = 100;
    // A server may think a long time over a large book before its first byte.
    int m_timeoutMs = 120000;
    bool m_stopped = false;

    QString m_untrusted; // fingerprint of the certificate refused in the running request
    QHash<QNetworkReply*, int> m_authTries;

    // The running sync.
    CarddavBookState m_state;
    CarddavChanges m_changes;
    QStringList m_toFetch;
    int m_fetchTotal = 0;
    // The first sync's one answer: its reader, the cards not yet handed over, the paths
    // of those that were (never fetched again), and whether the server cut it short.
    std::unique_ptr<DavMultistatusReader> m_query;
    std::vector<CarddavFetchedCard> m_pending;
    QSet<QString> m_queried;
    QSet<QString> m_queuedForMultiget;
    bool m_truncated = false;

    int m_requests = 0;
    qint64 m_bytes = 0;
    int m_cardsReceived = 0;
};
