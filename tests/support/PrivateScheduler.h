#pragma once
// A CUPS scheduler of the test's own: cupsd on a free port other than 631, with its own
// configuration, spool and log folders, started by the test and ended with it. The shared
// scheduler on 631 is not touched.
#include <QList>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

class PrivateScheduler
{
public:
    PrivateScheduler();
    ~PrivateScheduler();
    PrivateScheduler(const PrivateScheduler&) = delete;
    PrivateScheduler& operator=(const PrivateScheduler&) = delete;

    // Starts cupsd listening on 127.0.0.1 and, when this computer has one, on its first
    // address that is not a loopback one; why says what failed.
    bool start(QString& why);
    int port() const { return m_port; }
    // "127.0.0.1:<port>"
    QByteArray loopbackServer() const;
    // "<address>:<port>" on the computer's network address; empty when it has none.
    QByteArray networkServer() const;

    // Adds an enabled queue taking jobs (lpadmin against this scheduler).
    bool addQueue(const QString& name, const QString& deviceUri, const QString& ppd, QString& why);
    // A file in the scheduler's folder, for a file: device.
    QString file(const QString& name) const { return m_dir.filePath(name); }
    // The titles of the jobs this scheduler holds (all states).
    QStringList jobTitles() const;
    // The error log, for failure messages.
    QString log() const;
    // A port of 127.0.0.1 nobody listens on now.
    static int FreePort();

private:
    QTemporaryDir m_dir;
    QProcess m_cupsd;
    int m_port = 0;
    QByteArray m_address;
};

// The PPD of the shared PDF queue (cups-pdf), for a queue that writes into a file.
QString PdfQueuePpd();
