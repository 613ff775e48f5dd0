#pragma once
#include <QString>

// Kinds, sounds, buttons and results of the program's one message function.
namespace Msg {
enum Kind { Warning = 0, Error = 1, Information = 2, Confirmation = 3 };
enum Sound { SoundInformation = 0, SoundQuestion = 1, SoundExclamation = 2, SoundError = 3, SoundNone = -1 };
enum Button { Ok = 0x1, Cancel = 0x2, Yes = 0x4, No = 0x8 };
enum Result { IdOk = 1, IdCancel = 2, IdYes = 6, IdNo = 7 };
QString title(int kind);
} // namespace Msg

// The backend of ShowMessageBox: the real one shows a modal QMessageBox, the test one
// records the call and returns a scripted answer.
class MessageService
{
public:
    virtual ~MessageService() = default;
    // Returns the button pressed (Msg::Result).
    virtual int ShowMessageBox(const QString& text, int kind, int sound, int buttons, int helpContext = 0) = 0;
    // A plain box with OK and no title of its own (the second-instance notice).
    virtual void ShowPlainMessage(const QString& text) = 0;

    // A question with two answers of their own words: 0 for the first, 1 for the second,
    // -1 when the box was closed. The test service answers it like one with Yes and No.
    virtual int ShowChoice(const QString& text, const QString& first, const QString& second)
    {
        Q_UNUSED(first);
        Q_UNUSED(second);
        const int r = ShowMessageBox(text, Msg::Confirmation, Msg::SoundQuestion, Msg::Yes | Msg::No | Msg::Cancel);
        return r == Msg::IdYes ? 0 : r == Msg::IdNo ? 1 : -1;
    }

    // A warning before printing that lets the user print anyway: "Trotzdem drucken" or
    // "Abbrechen" (the default). True for "Trotzdem drucken". Without a box of its own it
    // is a warning with OK and Cancel.
    virtual bool PrintAnyway(const QString& title, const QString& text)
    {
        Q_UNUSED(title);
        return ShowMessageBox(text, Msg::Warning, Msg::SoundExclamation, Msg::Ok | Msg::Cancel) == Msg::IdOk;
    }

    // The combinations the program uses.
    void ErrorMessage(const QString& text) { ShowMessageBox(text, Msg::Error, Msg::SoundError, Msg::Ok); }
    void InfoMessage(const QString& text) { ShowMessageBox(text, Msg::Information, Msg::SoundInformation, Msg::Ok); }
    int InfoCancel(const QString& text)
    {
        return ShowMessageBox(text, Msg::Information, Msg::SoundInformation, Msg::Ok | Msg::Cancel);
    }
    int Confirm(const QString& text) { return ShowMessageBox(text, Msg::Confirmation, Msg::SoundQuestion, Msg::Yes | Msg::No); }
    int ConfirmOkCancel(const QString& text)
    {
        return ShowMessageBox(text, Msg::Confirmation, Msg::SoundQuestion, Msg::Ok | Msg::Cancel);
    }
    int WarningQuestion(const QString& text)
    {
        return ShowMessageBox(text, Msg::Warning, Msg::SoundExclamation, Msg::Yes | Msg::No);
    }
    int ConfirmWithWarningSound(const QString& text)
    {
        return ShowMessageBox(text, Msg::Confirmation, Msg::SoundExclamation, Msg::Yes | Msg::No);
    }
};
