#include "carddav/CarddavPasswords.h"

#include <qt6keychain/keychain.h>

namespace {

const QString kService = QStringLiteral("Lumo Tavisto Online-Adressbuch");

} // namespace

QString CarddavPasswords::Key(const QString& user, const QString& server)
{
    return user + u'@' + server;
}

void CarddavPasswords::Read(const QString& key, std::function<void(std::optional<QString>)> done)
{
    if (const auto it = m_memory.constFind(key); it != m_memory.constEnd())
        return done(it.value());
    if (!m_useStore)
        return done(std::nullopt);
    auto* job = new QKeychain::ReadPasswordJob(kService);
    job->setAutoDelete(true);
    // Never the plain-text file QtKeychain can fall back to.
    job->setInsecureFallback(false);
    job->setKey(key);
    QObject::connect(job, &QKeychain::Job::finished, [this, key, done](QKeychain::Job* j) {
        auto* read = static_cast<QKeychain::ReadPasswordJob*>(j);
        if (read->error() != QKeychain::NoError)
            return done(std::nullopt);
        m_memory.insert(key, read->textData());
        done(read->textData());
    });
    job->start();
}

void CarddavPasswords::Store(const QString& key, const QString& password)
{
    m_memory.insert(key, password);
    if (!m_useStore)
        return;
    auto* job = new QKeychain::WritePasswordJob(kService);
    job->setAutoDelete(true);
    job->setInsecureFallback(false);
    job->setKey(key);
    job->setTextData(password);
    // Where no secret store runs the job fails, and memory is all there is.
    job->start();
}

void CarddavPasswords::Forget(const QString& key)
{
    m_memory.remove(key);
    if (!m_useStore)
        return;
    auto* job = new QKeychain::DeletePasswordJob(kService);
    job->setAutoDelete(true);
    job->setInsecureFallback(false);
    job->setKey(key);
    job->start();
}
