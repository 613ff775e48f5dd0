#include "support/CupsQueue.h"

#include "printing/CupsDestination.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTest>
#include <pwd.h>
#include <unistd.h>

namespace CupsQueue {


bool queueReady()
{
    return CupsDestination::Names().contains(kQueue);
}

// Starts the scheduler and adds the queue when they are not there yet.
bool ensureQueue(QString& why)
{
    return runSetup(QStringLiteral("test-cups.sh"), queueReady, why);
}

bool runSetup(const QString& script, const std::function<bool()>& ready, QString& why)
{
    if (ready())
        return true;
    QProcess p;
    p.start(QStringLiteral("bash"), {QStringLiteral(TAVISTO_FIXTURES "/../../scripts/") + script});
    p.waitForFinished(120000);
    why = QString::fromLocal8Bit(p.readAllStandardError() + p.readAllStandardOutput()).trimmed();
    // The scheduler may take a moment to list queues it has just added.
    for (int i = 0; i < 50 && !ready(); ++i)
        QTest::qWait(100);
    return ready();
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


QList<CupsJob> queueJobs(int which, const QString& queue)
{
    cups_job_t* jobs = nullptr;
    const QByteArray name = queue.toUtf8();
    const int n = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, queue.isEmpty() ? nullptr : name.constData(), 0, which);
    QList<CupsJob> out;
    for (int i = 0; i < n; ++i)
        out.append({jobs[i].id, QString::fromUtf8(jobs[i].title), jobs[i].state});
    cupsFreeJobs(n, jobs);
    return out;
}

int lastJobId()
{
    // Job ids count across all queues of the scheduler.
    cups_job_t* jobs = nullptr;
    const int n = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, nullptr, 0, CUPS_WHICHJOBS_ALL);
    int id = 0;
    for (int i = 0; i < n; ++i)
        id = std::max(id, jobs[i].id);
    cupsFreeJobs(n, jobs);
    return id;
}

// The document of a job as the program handed it to the scheduler (CUPS-Get-Document).
bool fetchDocument(int jobId, const QString& fileName, const QString& queue)
{
    ipp_t* request = ippNewRequest(IPP_OP_CUPS_GET_DOCUMENT);
    const QByteArray uri = "ipp://localhost/printers/" + queue.toUtf8();
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

bool admin(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    return p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

CupsJob finishedJob(int jobId)
{
    CupsJob job;
    const bool finished = QTest::qWaitFor(
        [&] {
            for (const CupsJob& j : queueJobs(CUPS_WHICHJOBS_ALL, QString()))
                if (j.id == jobId)
                    job = j;
            return job.state >= IPP_JSTATE_STOPPED;
        },
        120000);
    return finished ? job : CupsJob{};
}

QString cupsPdfOutput(int jobId)
{
    // cups-pdf names the file after the job's title and ends it with the job's id.
    QString pdf;
    const bool written = QTest::qWaitFor(
        [&] {
            const QFileInfoList files =
                QDir(outputDirectory()).entryInfoList({QStringLiteral("*job_%1.pdf").arg(jobId)}, QDir::Files);
            // Written in one go and then left alone: complete once poppler reads it.
            if (!files.isEmpty() && files.first().size() > 0 &&
                run("pdfinfo", {files.first().absoluteFilePath()}).contains("Pages:"))
                pdf = files.first().absoluteFilePath();
            return !pdf.isEmpty();
        },
        30000);
    return written ? pdf : QString();
}

QMap<QString, QString> jobAttributes(int jobId)
{
    ipp_t* request = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
    const QByteArray uri = "ipp://localhost/jobs/" + QByteArray::number(jobId);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "job-uri", nullptr, uri.constData());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr, "all");
    ipp_t* response = cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/");
    QMap<QString, QString> out;
    for (ipp_attribute_t* a = response ? ippFirstAttribute(response) : nullptr; a; a = ippNextAttribute(response)) {
        if (!ippGetName(a))
            continue;
        char value[4096];
        ippAttributeString(a, value, sizeof value);
        out.insert(QString::fromUtf8(ippGetName(a)), QString::fromUtf8(value));
    }
    ippDelete(response);
    return out;
}

QList<int> pictureResolutions(const QString& pdf)
{
    // page num type width height color comp bpc enc interp object ID x-ppi y-ppi size ratio
    QList<int> ppi;
    for (const QString& line : run("pdfimages", {"-list", pdf}).split('\n').mid(2)) {
        const QStringList cells = line.simplified().split(' ');
        if (cells.size() >= 14)
            ppi.append(cells[12].toInt());
    }
    return ppi;
}

QImage rasterise(const QString& pdf, int r, const QString& scratchStem)
{
    run("pdftoppm", {"-r", QString::number(r), "-png", "-singlefile", pdf, scratchStem});
    return QImage(scratchStem + ".png");
}

} // namespace CupsQueue
