#include "carddav/DavServers.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>

namespace {

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

bool run(const QString& program, const QStringList& args, const QString& dir, QByteArray* out = nullptr)
{
    QProcess p;
    p.setWorkingDirectory(dir);
    p.start(program, args);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return false;
    if (out)
        *out = p.readAllStandardOutput();
    return true;
}

QString radicaleProgram()
{
    return QStandardPaths::findExecutable(QStringLiteral("radicale"));
}

QString xandikosProgram()
{
    return QStandardPaths::findExecutable(QStringLiteral("xandikos"));
}

} // namespace

int FreeLocalPort()
{
    QTcpServer server;
    if (!server.listen(QHostAddress::LocalHost, 0))
        return 0;
    return server.serverPort();
}

QByteArray MakeCard(const QString& uid, const QString& family, const QString& given, const QString& street,
                    const QString& city)
{
    return QStringLiteral("BEGIN:VCARD\r\nVERSION:3.0\r\nUID:%1\r\nN:%2;%3;;;\r\nFN:%3 %2\r\n"
                          "ADR;TYPE=HOME:;;%4;%5;;;\r\nTEL;TYPE=CELL:0171 %6\r\nEND:VCARD\r\n")
        .arg(uid, family, given, street, city, QString::number(qHash(uid) % 1000000))
        .toUtf8();
}

std::vector<QByteArray> SplitCards(const QByteArray& file, const QString& uidPrefix)
{
    std::vector<QByteArray> cards;
    static const QRegularExpression card(QStringLiteral("BEGIN:VCARD.*?END:VCARD\\r?\\n?"),
                                         QRegularExpression::CaseInsensitiveOption
                                             | QRegularExpression::DotMatchesEverythingOption);
    const QString text = QString::fromUtf8(file);
    auto it = card.globalMatch(text);
    int n = 0;
    while (it.hasNext()) {
        QString one = it.next().captured(0);
        if (!one.endsWith(u'\n'))
            one += QStringLiteral("\r\n");
        if (!one.contains(QRegularExpression(QStringLiteral("^UID[:;]"), QRegularExpression::CaseInsensitiveOption
                                                                              | QRegularExpression::MultilineOption))) {
            const qsizetype end = one.lastIndexOf(QRegularExpression(QStringLiteral("END:VCARD"),
                                                                     QRegularExpression::CaseInsensitiveOption));
            one.insert(end, QStringLiteral("UID:%1-%2\r\n").arg(uidPrefix).arg(++n));
        }
        cards.push_back(one.toUtf8());
    }
    return cards;
}

bool DavServer::Available(Kind kind)
{
    return !(kind == Radicale ? radicaleProgram() : xandikosProgram()).isEmpty();
}

DavServer::DavServer(Kind kind, Options options) : m_kind(kind), m_options(options) {}

DavServer::~DavServer()
{
    Stop();
}

QString DavServer::bookPath(const QString& name) const
{
    if (m_kind == Radicale)
        return m_dir.filePath(QStringLiteral("store/collection-root/%1/%2").arg(User(), name));
    return m_dir.filePath(QStringLiteral("store/user/contacts/%1").arg(name));
}

QUrl DavServer::BaseUrl() const
{
    return QUrl(QStringLiteral("%1://127.0.0.1:%2/").arg(m_options.Tls ? "https" : "http").arg(m_port));
}

QUrl DavServer::BookUrl(const QString& name) const
{
    if (m_kind == Radicale)
        return BaseUrl().resolved(QUrl(QStringLiteral("/%1/%2/").arg(User(), name)));
    return BaseUrl().resolved(QUrl(QStringLiteral("/user/contacts/%1/").arg(name)));
}

void DavServer::SeedBook(const QString& name, const QString& displayName, const std::vector<QByteArray>& cards)
{
    const QString dir = bookPath(name);
    QDir().mkpath(dir);
    for (size_t i = 0; i < cards.size(); ++i)
        writeFile(dir + QStringLiteral("/card%1.vcf").arg(i + 1, 5, 10, QLatin1Char('0')), cards[i]);
    if (m_kind == Radicale) {
        writeFile(dir + QStringLiteral("/.Radicale.props"),
                  QStringLiteral("{\"D:displayname\": \"%1\", \"tag\": \"VADDRESSBOOK\"}").arg(displayName).toUtf8());
        return;
    }
    // Xandikos keeps a book as a git working tree with its properties in .xandikos.
    writeFile(dir + QStringLiteral("/.xandikos"),
              QStringLiteral("[DEFAULT]\ntype = addressbook\ndisplayname = %1\n\n").arg(displayName).toUtf8());
    run(QStringLiteral("git"), {QStringLiteral("init"), QStringLiteral("-q")}, dir);
    run(QStringLiteral("git"), {QStringLiteral("add"), QStringLiteral("-A")}, dir);
    run(QStringLiteral("git"),
        {QStringLiteral("-c"), QStringLiteral("user.name=Test"), QStringLiteral("-c"),
         QStringLiteral("user.email=test@localhost"), QStringLiteral("commit"), QStringLiteral("-q"),
         QStringLiteral("-m"), QStringLiteral("seed")},
        dir);
}

bool DavServer::makeCertificate(QString* error)
{
    const QString key = m_dir.filePath(QStringLiteral("key.pem"));
    const QString cert = m_dir.filePath(QStringLiteral("cert.pem"));
    if (!run(QStringLiteral("openssl"),
             {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"), QStringLiteral("rsa:2048"),
              QStringLiteral("-nodes"), QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-subj"),
              QStringLiteral("/CN=127.0.0.1"), QStringLiteral("-keyout"), key, QStringLiteral("-out"), cert},
             m_dir.path())) {
        *error = QStringLiteral("openssl could not make a certificate");
        return false;
    }
    QByteArray out;
    if (!run(QStringLiteral("openssl"),
             {QStringLiteral("x509"), QStringLiteral("-in"), cert, QStringLiteral("-noout"),
              QStringLiteral("-fingerprint"), QStringLiteral("-sha256")},
             m_dir.path(), &out)) {
        *error = QStringLiteral("openssl could not read the certificate");
        return false;
    }
    // "sha256 Fingerprint=AB:CD:..."
    m_fingerprint = QString::fromLatin1(out).section(u'=', 1).trimmed().toUpper();
    return true;
}

bool DavServer::Start(QString* error)
{
    if (!m_dir.isValid()) {
        *error = QStringLiteral("no temporary folder");
        return false;
    }
    if (m_options.Tls && m_fingerprint.isEmpty() && !makeCertificate(error))
        return false;
    m_port = FreeLocalPort();
    m_process = std::make_unique<QProcess>();
    m_process->setProcessChannelMode(QProcess::MergedChannels);
    m_process->setStandardOutputFile(m_dir.filePath(QStringLiteral("server.log")), QIODevice::Append);
    if (m_kind == Radicale) {
        writeFile(m_dir.filePath(QStringLiteral("users")), (User() + u':' + Password() + u'\n').toUtf8());
        QString config = QStringLiteral("[server]\nhosts = 127.0.0.1:%1\n").arg(m_port);
        if (m_options.Tls)
            config += QStringLiteral("ssl = True\ncertificate = %1\nkey = %2\n")
                          .arg(m_dir.filePath(QStringLiteral("cert.pem")), m_dir.filePath(QStringLiteral("key.pem")));
        config += QStringLiteral("[auth]\ntype = htpasswd\nhtpasswd_filename = %1\nhtpasswd_encryption = plain\n"
                                 "delay = 0\n"
                                 "[storage]\nfilesystem_folder = %2\n[logging]\nlevel = warning\n")
                      .arg(m_dir.filePath(QStringLiteral("users")), m_dir.filePath(QStringLiteral("store")));
        writeFile(m_dir.filePath(QStringLiteral("config")), config.toUtf8());
        m_process->start(radicaleProgram(), {QStringLiteral("--config"), m_dir.filePath(QStringLiteral("config"))});
    } else {
        m_process->start(xandikosProgram(),
                         {QStringLiteral("--defaults"), QStringLiteral("-d"), m_dir.filePath(QStringLiteral("store")),
                          QStringLiteral("-l"), QStringLiteral("127.0.0.1"), QStringLiteral("-p"),
                          QString::number(m_port)});
    }
    if (!m_process->waitForStarted(10000)) {
        *error = QStringLiteral("%1 did not start").arg(Name(m_kind));
        return false;
    }
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 30000) {
        if (m_process->state() != QProcess::Running) {
            QFile log(m_dir.filePath(QStringLiteral("server.log")));
            log.open(QIODevice::ReadOnly);
            *error = QStringLiteral("%1 ended: %2").arg(Name(m_kind), QString::fromUtf8(log.readAll()));
            return false;
        }
        QTcpSocket probe;
        probe.connectToHost(QHostAddress::LocalHost, quint16(m_port));
        if (probe.waitForConnected(200)) {
            probe.disconnectFromHost();
            return true;
        }
        QThread::msleep(100);
    }
    *error = QStringLiteral("%1 does not answer on port %2").arg(Name(m_kind)).arg(m_port);
    return false;
}

void DavServer::Stop()
{
    if (!m_process)
        return;
    if (m_process->state() != QProcess::NotRunning) {
        m_process->kill();
        m_process->waitForFinished(10000);
    }
    m_process.reset();
}

int DavServer::Request(const QByteArray& verb, const QUrl& url, const QByteArray& body, const QByteArray& contentType,
                       QByteArray* answer) const
{
    QNetworkAccessManager nam;
    QNetworkRequest request(url);
    request.setRawHeader("Authorization", "Basic " + (User() + u':' + Password()).toUtf8().toBase64());
    if (!contentType.isEmpty())
        request.setHeader(QNetworkRequest::ContentTypeHeader, contentType);
    request.setTransferTimeout(60000);
    QNetworkReply* reply = nam.sendCustomRequest(request, verb, body);
    // The test trusts its own server's certificate.
    QObject::connect(reply, &QNetworkReply::sslErrors, reply, [reply] { reply->ignoreSslErrors(); });
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    loop.exec();
    if (answer)
        *answer = reply->readAll();
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    delete reply;
    return status;
}

int DavServer::PutCard(const QString& book, const QString& file, const QByteArray& vcard) const
{
    return Request("PUT", BookUrl(book).resolved(QUrl(file)), vcard, "text/vcard; charset=utf-8");
}

int DavServer::DeleteCard(const QString& book, const QString& file) const
{
    return Request("DELETE", BookUrl(book).resolved(QUrl(file)));
}

QByteArray DavServer::GetCard(const QString& book, const QString& file) const
{
    QByteArray body;
    Request("GET", BookUrl(book).resolved(QUrl(file)), QByteArray(), QByteArray(), &body);
    return body;
}
