#pragma once
#include "shell/HelpService.h"

#include <QList>

// Remembers every context number the program asked the help to show.
class RecordingHelpService : public HelpService
{
public:
    void ShowHelpTopic(int context) override { topics.append(context); }
    QList<int> topics;
};
