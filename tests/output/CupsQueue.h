#pragma once
// The test command's CUPS scheduler and its PDF queue Tavisto_PDF, seen through libcups.
#include <QList>
#include <QString>
#include <QStringList>
#include <cups/cups.h>

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
// Where cups-pdf writes the jobs of the user running the tests.
QString outputDirectory();
QList<CupsJob> queueJobs();
int lastJobId();
// The document of a job as the program handed it to the scheduler (CUPS-Get-Document).
bool fetchDocument(int jobId, const QString& fileName);
QString run(const QString& program, const QStringList& args);

} // namespace CupsQueue

// Under CI the printing tests must run; elsewhere they skip when no scheduler can be had.
#define TAVISTO_REQUIRE_CUPS_QUEUE()                                                                                   \
    do {                                                                                                               \
        QString why_;                                                                                                  \
        if (!CupsQueue::ensureQueue(why_)) {                                                                           \
            if (qEnvironmentVariable("CI") == QLatin1String("true"))                                                   \
                FAIL() << "CI needs a CUPS scheduler with the queue Tavisto_PDF: " << why_.toStdString();             \
            GTEST_SKIP() << "No CUPS scheduler with the queue Tavisto_PDF could be started (" << why_.toStdString()   \
                         << "); the real printing test did not run.";                                                  \
        }                                                                                                              \
    } while (false)
