#pragma once
#include "app/AppContext.h"
#include "shell/HelpService.h"
#include "support/FakeMessageService.h"
#include "support/FakePrintService.h"
#include "support/TempDir.h"

#include <QImage>
#include <QList>
#include <QStringList>

class RecordingHelp : public HelpService
{
public:
    void ShowHelpTopic(int context) override { topics.append(context); }
    QList<int> topics;
};

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
    RecordingHelp help;
    AppContext ctx;
};
