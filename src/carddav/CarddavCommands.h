#pragma once
#include "carddav/CarddavPasswords.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

struct AppContext;
struct CarddavError;
struct CarddavLink;
struct CarddavSyncReport;
class QWidget;
class CarddavSync;

// The group commands of online address books: linking a group, "Aktualisieren" with its
// progress window, and the update at start of the groups that ask for it.
class CarddavCommands : public QObject
{
    Q_OBJECT
public:
    CarddavCommands(AppContext& ctx, QWidget* window);
    ~CarddavCommands() override;

    CarddavPasswords& Passwords() { return m_passwords; }

    // "Mit Online-Adressbuch verbinden …" for the group; on success its first update runs.
    void LinkGroup(const QString& gruppeId);
    // "Aktualisieren": brings the group to the book's state. done(true) after changes were
    // stored, when the address list must be reloaded.
    void Refresh(const QString& gruppeId, std::function<void(bool changed)> done = {});
    // The groups ticked "Beim Start aktualisieren", one after the other.
    void RefreshAtStart(std::function<void(const QString& gruppeId)> changed);
    bool Running() const { return m_running; }

signals:
    // A group's addresses changed.
    void GruppeChanged(const QString& gruppeId);

private:
    void run(const CarddavLink& link, const QString& password, bool quiet, std::function<void(bool)> done);
    // The password from memory or the secret store, else asked.
    void withPassword(const CarddavLink& link, bool askAgain, std::function<void(const QString*)> then);
    void failed(const CarddavLink& link, const QString& password, bool quiet, const CarddavError& error,
                std::function<void(bool)> done);
    QString reportText(const CarddavLink& link, const CarddavSyncReport& report) const;

    AppContext& m_ctx;
    QWidget* m_window;
    CarddavPasswords m_passwords;
    bool m_running = false;
    std::unique_ptr<CarddavSync> m_sync;
};
