#pragma once
#include "printing/UmschlagFit.h"

#include <QList>
#include <QSize>
#include <QString>
#include <QStringList>

#include <vector>

struct AppContext;

// A record whose lines an envelope's right edge cuts: its name (first line that is not
// blank) and the lines cut.
struct CutRecord
{
    bool Sender = false;
    QString Name;
    QStringList Lines;
};

// The cut lines of one envelope by record: the upper block is the sender, the lower the
// address, or the other way round with the return-envelope swap. Sender first.
QList<CutRecord> CutRecordsOf(const std::vector<CutLine>& cut, const AddressLines& sender,
                              const AddressLines& address, bool swap);

// The warning naming each record once (the sender once however many envelopes cut it);
// a long list ends with the number of addresses left unnamed. Empty when nothing is cut.
QString CutLinesWarning(const QList<CutRecord>& records);

// The warning when the envelope picture, laid onto the job's sheet as the configured printer
// takes it, does not fit the paper; empty when it fits. Selects nothing: the configured
// printer is selected and the job's orientation known.
QString PaperWarning(AppContext& ctx, const QSize& picture);

// The warnings (empty ones left out) in one box with "Trotzdem drucken" and "Abbrechen";
// true when there is none or the user prints anyway.
bool AcceptEnvelopeWarnings(AppContext& ctx, const QString& title, const QStringList& warnings);
