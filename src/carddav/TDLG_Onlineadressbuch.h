#pragma once
#include "carddav/CarddavClient.h"

#include <QDialog>
#include <memory>

struct AppContext;
class CarddavPasswords;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

// "Mit Online-Adressbuch verbinden …": server address, user name and password, then the
// choice among the address books found there. Accepted after "Verbinden": the group's
// link is stored and the password kept (secret store or memory).
class TDLG_Onlineadressbuch : public QDialog
{
    Q_OBJECT
public:
    TDLG_Onlineadressbuch(AppContext& ctx, CarddavPasswords& passwords, const QString& gruppeId,
                          QWidget* parent = nullptr);
    ~TDLG_Onlineadressbuch() override;

    // "Adressbücher suchen": asks the server, without blocking the window.
    void Button_SuchenClick();
    void Button_SaveClick();
    bool Searching() const { return m_client != nullptr; }

private:
    void failed(const CarddavError& error);
    void found(const QList<CarddavBook>& books);

    AppContext& m_ctx;
    CarddavPasswords& m_passwords;
    QString m_gruppeId;
    bool m_plainHttpAllowed = false;
    std::unique_ptr<CarddavClient> m_client;
    QList<CarddavBook> m_books;
    QUrl m_server;

    QLineEdit* Edit_Server;
    QLineEdit* Edit_User;
    QLineEdit* Edit_Password;
    QPushButton* Button_Suchen;
    QListWidget* ListBox_Adressbuecher;
    QCheckBox* CheckBox_BeimStart;
    QLabel* Label_Status;
    QPushButton* Button_Save;
    QPushButton* Button_Cancel;
};

// Asks whether to trust a certificate: true after "Trotzdem vertrauen".
bool AskTrustCertificate(QWidget* parent, const CarddavError& error);
// Asks whether to connect without encryption to another computer.
bool AskPlainHttp(QWidget* parent, const QString& host);
