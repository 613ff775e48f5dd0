#include "support/FakeMessageService.h"

int FakeMessageService::ShowMessageBox(const QString& text, int kind, int sound, int buttons, int)
{
    shown.append({text, kind, sound, buttons});
    if (!m_answers.isEmpty())
        return m_answers.takeFirst();
    if (buttons & Msg::Ok)
        return Msg::IdOk;
    return (buttons & Msg::Yes) ? Msg::IdYes : Msg::IdOk;
}

void FakeMessageService::ShowPlainMessage(const QString& text)
{
    shown.append({text, -1, -1, Msg::Ok});
}

QStringList FakeMessageService::texts() const
{
    QStringList t;
    for (const Shown& s : shown)
        t << s.text;
    return t;
}
