#pragma once
#include "shell/MessageService.h"
#include "support/QtPrint.h"

#include <QList>
#include <QString>

// Records every message and answers from a script (OK, or the first button offered,
// when the script is empty).
class FakeMessageService : public MessageService
{
public:
    struct Shown
    {
        QString text;
        int kind;
        int sound;
        int buttons;
    };

    int ShowMessageBox(const QString& text, int kind, int sound, int buttons, int helpContext = 0) override;
    void ShowPlainMessage(const QString& text) override;

    // Answers for the next boxes, in order.
    void answer(std::initializer_list<int> results) { m_answers.append(QList<int>(results)); }
    QStringList texts() const;

    QList<Shown> shown;

private:
    QList<int> m_answers;
};
