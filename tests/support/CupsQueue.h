#pragma once
// The test command's CUPS scheduler and its PDF queue Tavisto_PDF, seen through libcups.
#include <QDateTime>
#include <QImage>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <cups/cups.h>
#include <functional>

namespace CupsQueue {

inline const QString kQueue = QStringLiteral("Tavisto_PDF");

struct CupsJob
{
    int id = 0;
    QString title;
    ipp_jstate_t state = IPP_JSTATE_PENDING;
};

bool queueReady();
// Starts the scheduler and adds the queue when they are not there yet.
bool ensureQueue(QString& why);
// Runs a setup script of scripts/ unless ready() already holds, then waits a little for the
// scheduler to list what it added; why holds the script's output.
bool runSetup(const QString& script, const std::function<bool()>& ready, QString& why);
// Where cups-pdf writes the jobs of the user running the tests.
QString outputDirectory();
// The jobs of a queue (of every queue when queue is empty).
QList<CupsJob> queueJobs(int which = CUPS_WHICHJOBS_ALL, const QString& queue = kQueue);
// The highest job id the scheduler gave, over all queues.
int lastJobId();
// The document of a job as the program handed it to the scheduler (CUPS-Get-Document).
bool fetchDocument(int jobId, const QString& fileName, const QString& queue = kQueue);
QString run(const QString& program, const QStringList& args);
// Runs an administration command (cupsdisable, lpadmin ...); false when it failed.
bool admin(const QString& program, const QStringList& args);

// The job once the scheduler has finished it (id 0 when it did not within two minutes).
CupsJob finishedJob(int jobId);
// The PDF cups-pdf wrote for the job; empty when none came.
QString cupsPdfOutput(int jobId);
// The job's attributes as the scheduler keeps them, each as text.
QMap<QString, QString> jobAttributes(int jobId);
// The resolutions (x-ppi) at which a PDF's pictures are placed, from pdfimages -list.
QList<int> pictureResolutions(const QString& pdf);
// The first page of a PDF as a picture of r pixels per inch.
QImage rasterise(const QString& pdf, int r, const QString& scratchStem);

} // namespace CupsQueue

// Under CI the printing tests must run; elsewhere they skip when what they need (ensure,
// a function taking the reason) cannot be had. Expands to gtest macros.
#define TAVISTO_REQUIRE_SETUP(ensure, what)                                                                            \
    do {                                                                                                               \
        QString why_;                                                                                                  \
        if (!(ensure)(why_)) {                                                                                         \
            if (qEnvironmentVariable("CI") == QLatin1String("true"))                                                   \
                FAIL() << "CI needs " << (what) << ": " << why_.toStdString();                                         \
            GTEST_SKIP() << (what) << " could not be had (" << why_.toStdString()                                      \
                         << "); the real printing test did not run.";                                                  \
        }                                                                                                              \
    } while (false)

#define TAVISTO_REQUIRE_CUPS_QUEUE() TAVISTO_REQUIRE_SETUP(CupsQueue::ensureQueue, "a CUPS scheduler with the queue Tavisto_PDF")
