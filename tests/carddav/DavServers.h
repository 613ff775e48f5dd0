#pragma once
#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <QUrl>

#include <memory>
#include <vector>

// A real CardDAV server for one test suite, started on a free local port in a folder of
// its own and killed at the end. Radicale checks a password file; Xandikos has no
// authentication of its own (it expects a proxy in front), so it answers anybody.
class DavServer
{
public:
    enum Kind { Radicale, Xandikos };
    struct Options
    {
        bool Tls = false; // https with a self-signed certificate made by openssl
    };

    DavServer(Kind kind, Options options);
    DavServer(Kind kind) : DavServer(kind, Options()) {}
    ~DavServer();

    static const char* Name(Kind kind) { return kind == Radicale ? "Radicale" : "Xandikos"; }
    // Whether the server program is installed (CI must have it: the tests then fail, not skip).
    static bool Available(Kind kind);

    // Before Start: an address book on disk with these cards (complete vCards).
    void SeedBook(const QString& name, const QString& displayName, const std::vector<QByteArray>& cards);
    // Starts and waits until the port answers; false with a reason when it does not.
    bool Start(QString* error);
    // Kills the server at once, as a crash or a pulled cable would end it.
    void Stop();

    Kind kind() const { return m_kind; }
    QUrl BaseUrl() const;
    QUrl BookUrl(const QString& name) const;
    QString User() const { return QStringLiteral("anna"); }
    QString Password() const { return QStringLiteral("Geheim-123"); }
    // The certificate's SHA-256 fingerprint as openssl prints it (hex pairs, ":").
    QString CertificateFingerprint() const { return m_fingerprint; }

    // Plain HTTP of the test, as another client of the book would do it; the status code.
    int Request(const QByteArray& verb, const QUrl& url, const QByteArray& body = QByteArray(),
                const QByteArray& contentType = QByteArray(), QByteArray* answer = nullptr) const;
    int PutCard(const QString& book, const QString& file, const QByteArray& vcard) const;
    int DeleteCard(const QString& book, const QString& file) const;
    QByteArray GetCard(const QString& book, const QString& file) const;

private:
    QString bookPath(const QString& name) const;
    bool makeCertificate(QString* error);

    Kind m_kind;
    Options m_options;
    QTemporaryDir m_dir;
    int m_port = 0;
    std::unique_ptr<QProcess> m_process;
    QString m_fingerprint;
};

// A free TCP port on 127.0.0.1 (nobody listens on it right after).
int FreeLocalPort();

// One card of the test: a name, an address and a UID of its own.
QByteArray MakeCard(const QString& uid, const QString& family, const QString& given, const QString& street,
                    const QString& city);
// The cards of a fixture file, each from its BEGIN:VCARD to its END:VCARD, with a UID
// added where it has none (servers name cards by it).
std::vector<QByteArray> SplitCards(const QByteArray& file, const QString& uidPrefix);
