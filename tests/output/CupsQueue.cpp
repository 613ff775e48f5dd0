#include "CupsQueue.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPrinterInfo>
#include <QProcess>
#include <QTest>
#include <pwd.h>
#include <unistd.h>

namespace CupsQueue {


bool queueReady()
{
    return QPrinterInfo::availablePrinterNames().contains(kQueue);
}

// Starts the scheduler and adds the queue when they are not there yet.
bool ensureQueue(QString& why)
{
    if (queueReady())
        return true;
    const QString script = QStringLiteral(TAVISTO_FIXTURES "/../../scripts/test-cups.sh");
    QProcess p;
    p.start(QStringLiteral("bash"), {script});
    p.waitForFinished(120000);
    why = QString::fromLocal8Bit(p.readAllStandardError() + p.readAllStandardOutput()).trimmed();
    for (int i = 0; i < 50 && !queueReady(); ++i)
        QTest::qWait(100);
    return queueReady();
}

// Where cups-pdf writes the jobs of the user running the tests: the "Out" line of its
// configuration with ${HOME} expanded.
QString outputDirectory()
{
    QString out = QStringLiteral("${HOME}/PDF");
    QFile conf(QStringLiteral("/etc/cups/cups-pdf.conf"));
    if (conf.open(QIODevice::ReadOnly))
        for (const QByteArray& raw : conf.readAll().split('\n')) {
            const QString line = QString::fromLocal8Bit(raw).trimmed();
            if (line.startsWith(QLatin1String("Out ")))
                out = line.mid(4).trimmed();
        }
    const passwd* pw = getpwuid(getuid());
    const QString home = pw ? QString::fromLocal8Bit(pw->pw_dir) : QDir::homePath();
    return out.replace(QLatin1String("${HOME}"), home);
}


QList<CupsJob> queueJobs()
{
    cups_job_t* jobs = nullptr;
    const int n = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, kQueue.toUtf8().constData(), 0, CUPS_WHICHJOBS_ALL);
    QList<CupsJob> out;
    for (int i = 0; i < n; ++i)
        out.append({jobs[i].id, QString::fromUtf8(jobs[i].title), jobs[i].state});
    cupsFreeJobs(n, jobs);
    return out;
}

int lastJobId()
{
    int id = 0;
    for (const CupsJob& j : queueJobs())
        id = std::max(id, j.id);
    return id;
}

// The document of a job as the program handed it to the scheduler (CUPS-Get-Document).
bool fetchDocument(int jobId, const QString& fileName)
{
    ipp_t* request = ippNewRequest(IPP_OP_CUPS_GET_DOCUMENT);
    const QByteArray uri = "ipp://localhost/printers/" + kQueue.toUtf8();
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri.constData());
    ippAddInteger(request, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-id", jobId);
    ippAddInteger(request, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "document-number", 1);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    QFile out(fileName);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    const int fd = out.handle();
    ipp_t* response = cupsDoIORequest(CUPS_HTTP_DEFAULT, request, "/", -1, fd);
    const bool ok = response && ippGetStatusCode(response) <= IPP_STATUS_OK_CONFLICTING;
    ippDelete(response);
    out.close();
    return ok && QFileInfo(fileName).size() > 0;
}

QString run(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(60000);
    return QString::fromLocal8Bit(p.readAllStandardOutput());
}

} // namespace CupsQueue
