#pragma once
#include <QHash>
#include <QString>

#include <functional>
#include <optional>

// Passwords of online address books: in the desktop's secret store through QtKeychain,
// and for the rest of the run in memory. Where no secret store runs, the memory is all
// there is, and the password is asked once per run. Never written anywhere else.
class CarddavPasswords
{
public:
    // The key of a user on a server.
    static QString Key(const QString& user, const QString& server);

    // false: memory only (tests, or a desktop the user does not want to ask).
    void SetUseSecretStore(bool use) { m_useStore = use; }
    // The password: from memory, else from the secret store; nothing when neither has it.
    void Read(const QString& key, std::function<void(std::optional<QString>)> done);
    // Kept in memory and, where a secret store runs, stored there.
    void Store(const QString& key, const QString& password);
    // After the server refused it: asked again next time.
    void Forget(const QString& key);

private:
    QHash<QString, QString> m_memory;
    bool m_useStore = true;
};
