#pragma once
#include "printing/PrinterOptions.h"

#include <QList>
#include <QString>

// A paper's German name from its PWG name: "iso_dl_110x220mm" → "Umschlag DL (110 × 220 mm)";
// a name of no known pattern as it is.
QString MediaLabel(const QByteArray& media);

// One CUPS queue ("name" or "name/instance") as libcups reports it: the options its
// properties dialog offers, its sheets with their printable areas, and the hand-over of a
// finished PDF job. Every failure is a PrintError with the spooler's reason. Each call runs
// off the calling thread (QueueCall): a queue that does not answer in time is reported by
// name instead of freezing the window.
class CupsDestination
{
public:
    explicit CupsDestination(QString name) : m_name(std::move(name)) {}

    // The queues of the system in its order (sorted by name, instances after their queue),
    // and the index of the default queue in that list (-1 when there is none).
    static QStringList Names(int* defaultIndex = nullptr);

    const QString& Name() const { return m_name; }

    // Resolution, paper, paper source, media type, duplex, colour and quality, where the
    // queue has them; current as chosen, else the queue's default (resolution: ours).
    QList<PrinterOption> Options(const PrinterChoices& chosen) const;

    // The sheet a job gets: the paper chosen in the properties dialog, else the instance's
    // or the user's default (lpoptions), else the queue's default paper.
    PrinterSheet Sheet(const PrinterChoices& chosen) const;

    // Hands one PDF document of the given paper over as a job of its own, starting from the
    // queue's own options as lp does, with the chosen ones on top. Throws when the queue is
    // gone, stopped, does not answer or refuses it. Returns the job's id.
    int Submit(const QString& title, const QByteArray& pdf, const PrinterChoices& chosen,
               const QByteArray& media) const;

private:
    QString m_name;
};
