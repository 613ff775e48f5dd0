#include "support/PrivateScheduler.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <arpa/inet.h>
#include <cups/cups.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

int PrivateScheduler::FreePort()
{
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0)
        return 0;
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    int port = 0;
    if (bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
        getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) == 0)
        port = ntohs(a.sin_port);
    close(fd);
    return port;
}

namespace {

// The first IPv4 address of an interface that is up and not a loopback.
QByteArray networkAddress()
{
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0)
        return {};
    QByteArray found;
    for (ifaddrs* i = list; i && found.isEmpty(); i = i->ifa_next) {
        if (!i->ifa_addr || i->ifa_addr->sa_family != AF_INET || !(i->ifa_flags & IFF_UP) || (i->ifa_flags & IFF_LOOPBACK))
            continue;
        char text[INET_ADDRSTRLEN] = {};
        if (inet_ntop(AF_INET, &reinterpret_cast<sockaddr_in*>(i->ifa_addr)->sin_addr, text, sizeof text))
            found = text;
    }
    freeifaddrs(list);
    return found;
}

bool write(const QString& file, const QByteArray& text)
{
    QFile f(file);
    return f.open(QIODevice::WriteOnly) && f.write(text) == text.size();
}

} // namespace

PrivateScheduler::PrivateScheduler() = default;

PrivateScheduler::~PrivateScheduler()
{
    if (m_cupsd.state() != QProcess::NotRunning) {
        m_cupsd.terminate();
        if (!m_cupsd.waitForFinished(10000)) {
            m_cupsd.kill();
            m_cupsd.waitForFinished(5000);
        }
    }
}

bool PrivateScheduler::start(QString& why)
{
    if (!m_dir.isValid()) {
        why = QStringLiteral("no temporary folder");
        return false;
    }
    const QString cupsd = QStringLiteral("/usr/sbin/cupsd");
    if (!QFileInfo(cupsd).isExecutable()) {
        why = QStringLiteral("cupsd is not installed");
        return false;
    }
    m_port = FreePort();
    m_address = networkAddress();
    // Filters run as the scheduler's user (lp): the folders must be reachable for it.
    QFile::setPermissions(m_dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                                            QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                            QFileDevice::ExeOther);
    for (const char* sub : {"root/ppd", "spool/tmp", "cache", "state", "log"})
        QDir().mkpath(m_dir.filePath(QString::fromLatin1(sub)));
    const QByteArray dir = m_dir.path().toUtf8();
    const QByteArray files = "ServerRoot " + dir + "/root\n"
                             "RequestRoot " + dir + "/spool\n"
                             "TempDir " + dir + "/spool/tmp\n"
                             "CacheDir " + dir + "/cache\n"
                             "StateDir " + dir + "/state\n"
                             "ErrorLog " + dir + "/log/error_log\n"
                             "AccessLog " + dir + "/log/access_log\n"
                             "PageLog " + dir + "/log/page_log\n"
                             "ServerBin /usr/lib/cups\n"
                             "DataDir /usr/share/cups\n"
                             "DocumentRoot /usr/share/cups/doc-root\n"
                             "FileDevice Yes\n"
                             "Group lp\n"
                             "SystemGroup root\n";
    const QByteArray port = QByteArray::number(m_port);
    QByteArray listen = "Listen 127.0.0.1:" + port + "\n";
    QByteArray allow = "    Allow 127.0.0.1\n";
    if (!m_address.isEmpty()) {
        listen += "Listen " + m_address + ':' + port + "\n";
        allow += "    Allow " + m_address + "\n";
    }
    // Only this computer may talk to it, and needs no password for what the tests do.
    const QByteArray conf = "LogLevel info\n" + listen +
                            "Browsing No\nWebInterface No\nDefaultAuthType None\n"
                            "<Location />\n    Order deny,allow\n    Deny all\n" + allow + "</Location>\n"
                            "<Policy default>\n  <Limit All>\n    Order deny,allow\n    Deny all\n" + allow +
                            "  </Limit>\n</Policy>\n";
    if (!write(m_dir.filePath("cups-files.conf"), files) || !write(m_dir.filePath("cupsd.conf"), conf)) {
        why = QStringLiteral("cannot write the configuration");
        return false;
    }
    m_cupsd.setProcessChannelMode(QProcess::MergedChannels);
    m_cupsd.start(cupsd, {QStringLiteral("-f"), QStringLiteral("-c"), m_dir.filePath("cupsd.conf"), QStringLiteral("-s"),
                          m_dir.filePath("cups-files.conf")});
    if (!m_cupsd.waitForStarted(10000)) {
        why = QStringLiteral("cupsd did not start: ") + m_cupsd.errorString();
        return false;
    }
    const QByteArray host = "127.0.0.1";
    const bool answers = QTest::qWaitFor(
        [&] {
            if (m_cupsd.state() == QProcess::NotRunning)
                return true;
            http_t* http = httpConnect2(host.constData(), m_port, nullptr, AF_INET, HTTP_ENCRYPTION_NEVER, 1, 500, nullptr);
            httpClose(http);
            return http != nullptr;
        },
        15000);
    if (!answers || m_cupsd.state() == QProcess::NotRunning) {
        why = QStringLiteral("cupsd does not answer on port %1: %2 %3")
                  .arg(m_port)
                  .arg(QString::fromLocal8Bit(m_cupsd.readAll()), log());
        return false;
    }
    return true;
}

QByteArray PrivateScheduler::loopbackServer() const
{
    return "127.0.0.1:" + QByteArray::number(m_port);
}

QByteArray PrivateScheduler::networkServer() const
{
    return m_address.isEmpty() ? QByteArray() : m_address + ':' + QByteArray::number(m_port);
}

bool PrivateScheduler::addQueue(const QString& name, const QString& deviceUri, const QString& ppd, QString& why)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(QStringLiteral("lpadmin"), {QStringLiteral("-h"), QString::fromUtf8(loopbackServer()), QStringLiteral("-p"),
                                        name, QStringLiteral("-v"), deviceUri, QStringLiteral("-P"), ppd,
                                        QStringLiteral("-E")});
    const bool ok = p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    if (!ok)
        why = QStringLiteral("lpadmin %1: %2").arg(name, QString::fromLocal8Bit(p.readAll()));
    return ok;
}

QStringList PrivateScheduler::jobTitles() const
{
    // A connection of its own: the test thread's scheduler stays whatever the test made it.
    QStringList titles;
    http_t* http = httpConnect2("127.0.0.1", m_port, nullptr, AF_INET, HTTP_ENCRYPTION_NEVER, 1, 5000, nullptr);
    if (!http)
        return titles;
    cups_job_t* jobs = nullptr;
    const int n = cupsGetJobs2(http, &jobs, nullptr, 0, CUPS_WHICHJOBS_ALL);
    for (int i = 0; i < n; ++i)
        titles << QString::fromUtf8(jobs[i].title);
    cupsFreeJobs(n, jobs);
    httpClose(http);
    return titles;
}

QString PrivateScheduler::log() const
{
    QFile f(m_dir.filePath("log/error_log"));
    return f.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(f.readAll().right(4000)) : QString();
}

QString PdfQueuePpd()
{
    for (const char* ppd : {"/etc/cups/ppd/Tavisto_PDF.ppd", "/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd"})
        if (QFileInfo(QString::fromLatin1(ppd)).isReadable())
            return QString::fromLatin1(ppd);
    return {};
}
