#pragma once
#include "shell/MessageService.h"

class QWidget;

// Modal message boxes over the whole program, preceded by the system beep.
class QtMessageService : public MessageService
{
public:
    int ShowMessageBox(const QString& text, int kind, int sound, int buttons, int helpContext = 0) override;
    void ShowPlainMessage(const QString& text) override;
    int ShowChoice(const QString& text, const QString& first, const QString& second) override;
    bool PrintAnyway(const QString& title, const QString& text) override;
};
