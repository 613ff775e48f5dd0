#include "carddav/CarddavSync.h"

#include "store/ESQLiteException.h"
#include "store/TSQLiteDatabase.h"

CarddavAccount AccountOf(const CarddavLink& link, const QString& password, const QStringList& trusted)
{
    CarddavAccount account;
    account.Server = QUrl(link.Server);
    account.User = link.User;
    account.Password = password;
    account.TrustedCertificates = trusted;
    account.PlainHttpAllowed = link.PlainHttp;
    return account;
}

CarddavSync::CarddavSync(TSQLiteDatabase& db, const CarddavLink& link, const CarddavAccount& account)
    : m_db(db), m_link(link), m_client(std::make_unique<CarddavClient>(account))
{
    m_client->SetFailed([this](const CarddavError& e) {
        dropStaging();
        if (m_failed)
            m_failed(e);
    });
    m_client->SetCardsArrived([this](std::vector<CarddavFetchedCard>&& cards) {
        try {
            CarddavStore::StageCards(m_db, cards);
        } catch (const ESQLiteException& e) {
            return e.message();
        }
        return QString();
    });
}

void CarddavSync::dropStaging()
{
    try {
        CarddavStore::DropStaging(m_db);
    } catch (const ESQLiteException&) {
        // Emptied again at the next start.
    }
}

CarddavSync::~CarddavSync()
{
    // Ended before its end: the cards it fetched are not wanted.
    if (m_client->Running())
        dropStaging();
}

void CarddavSync::SetProgress(std::function<void(int, int)> progress)
{
    m_client->SetProgress(std::move(progress));
}

void CarddavSync::Start()
{
    CarddavBookState state;
    try {
        state = CarddavStore::BookState(m_db, m_link);
        CarddavStore::BeginStaging(m_db);
    } catch (const ESQLiteException& e) {
        if (m_failed)
            m_failed({CarddavFailure::StoreFailed, QUrl(m_link.Server).host(), QString(), e.message()});
        return;
    }
    m_client->FetchChanges(state, [this](const CarddavChanges& changes) {
        CarddavSyncReport report;
        try {
            report = CarddavStore::Apply(m_db, m_link, changes);
        } catch (const ESQLiteException& e) {
            dropStaging();
            if (m_failed)
                m_failed({CarddavFailure::StoreFailed, QUrl(m_link.Server).host(), QString(), e.message()});
            return;
        }
        if (m_done)
            m_done(report);
    });
}

void CarddavSync::Cancel()
{
    m_client->Cancel();
}
