#pragma once
#include <QApplication>

class MessageService;

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
};
