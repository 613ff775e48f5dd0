#include "carddav/SyncRunner.h"

#include "carddav/CarddavSync.h"

#include <QEventLoop>
#include <QTimer>

SyncOutcome RunSync(TSQLiteDatabase& db, const CarddavLink& link, const QString& password, const SyncSettings& settings)
{
    SyncOutcome outcome;
    CarddavSync sync(db, link, AccountOf(link, password, settings.Trusted));
    sync.Client().SetUseSyncCollection(settings.UseSyncCollection);
    sync.Client().SetUseQuery(settings.UseQuery);
    sync.Client().SetBatchSize(settings.BatchSize);
    sync.Client().SetTimeout(settings.TimeoutMs);
    QEventLoop loop;
    bool ended = false;
    sync.SetDone([&](const CarddavSyncReport& r) {
        outcome.Report = r;
        ended = true;
        loop.quit();
    });
    sync.SetFailed([&](const CarddavError& e) {
        outcome.Error = e;
        ended = true;
        loop.quit();
    });
    sync.SetProgress([&](int done, int total) {
        if (settings.Progress)
            settings.Progress(done, total);
        if (settings.CancelAtCards >= 0 && done >= settings.CancelAtCards)
            QTimer::singleShot(0, &loop, [&] { sync.Cancel(); });
    });
    QTimer::singleShot(0, [&] { sync.Start(); });
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, &loop, [&] { sync.Cancel(); });
    guard.start(settings.GuardMs);
    if (!ended)
        loop.exec();
    outcome.Requests = sync.Client().Requests();
    outcome.Bytes = sync.Client().BytesReceived();
    outcome.Cards = sync.Client().CardsReceived();
    return outcome;
}

DiscoverOutcome RunDiscover(const CarddavAccount& account)
{
    DiscoverOutcome outcome;
    CarddavClient client(account);
    QEventLoop loop;
    client.SetFailed([&](const CarddavError& e) {
        outcome.Error = e;
        loop.quit();
    });
    QTimer::singleShot(0, [&] {
        client.Discover([&](const QList<CarddavBook>& books) {
            outcome.Books = books;
            loop.quit();
        });
    });
    loop.exec();
    return outcome;
}
