#pragma once
#include "app/AppContext.h"
#include "support/RecordingHelpService.h"
#include "support/FakeMessageService.h"
#include "support/FakePrintService.h"
#include "support/TempDir.h"

#include <QImage>
#include <QList>
#include <QStringList>

// An application context on a fresh database with every table, fake messages, help and a
// fake printer; the print settings are those of the worked DL example, lying.
struct OutputTestContext
{
    OutputTestContext();

    void addAbsender(const QString& id, const QStringList& lines);
    void addAdresse(const QString& id, const QStringList& lines);
    void setBanner(const QString& absenderId, const QImage& banner);

    TempDir dir;
    FakeMessageService messages;
    FakePrintService printer;
    RecordingHelpService help;
    AppContext ctx;
};
