#pragma once
#include <QApplication>
#include <QTranslator>

class MessageService;

// The name of the program's desktop entry (<name>.desktop), its icon and its metadata.
inline const QString kDesktopFileName = QStringLiteral("de.lumosoftware.Tavisto");

// Qt's own texts (standard buttons; file, print, colour and message dialogs) in German,
// whatever the system's language, since the program speaks German only: Qt's own dialogs
// instead of the desktop's, and Qt's German catalogue loaded into the translator and
// installed. False when the catalogue is missing; the standard dialogs then stay English.
bool InstallGermanQtTexts(QTranslator& translator);

// The program's icon on every window and dialog, and the desktop entry the desktop
// matches its windows to.
void SetDesktopIdentity();

// The application's general error handler: an error that no command caught is shown in a
// message box and the program goes on with the next user action.
class TavistoApplication : public QApplication
{
public:
    TavistoApplication(int& argc, char** argv);
    void setMessageService(MessageService* messages) { m_messages = messages; }
    bool notify(QObject* receiver, QEvent* event) override;

private:
    MessageService* m_messages = nullptr;
    QTranslator m_qtTexts;
};
