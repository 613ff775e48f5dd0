#pragma once
#include "carddav/CarddavClient.h"
#include "carddav/CarddavStore.h"

#include <functional>
#include <optional>

class TSQLiteDatabase;

// The outcome of one operation run to its end in a local event loop.
struct SyncOutcome
{
    std::optional<CarddavSyncReport> Report;
    CarddavError Error;
    int Requests = 0;
    qint64 Bytes = 0;
    int Cards = 0;
};

struct DiscoverOutcome
{
    QList<CarddavBook> Books;
    CarddavError Error;
};

struct SyncSettings
{
    bool UseSyncCollection = true;
    bool UseQuery = true; // false: the first sync by listing and multiget
    int BatchSize = 100;
    int TimeoutMs = 120000; // the client's own default
    // The whole run is cancelled after this (a test must end, whatever the server does).
    int GuardMs = 600000;
    QStringList Trusted;
    // Called with the counts after each batch (a test stops the server here).
    std::function<void(int done, int total)> Progress;
    // Cancelled from the event loop, as a click would, once this many cards arrived.
    int CancelAtCards = -1;
};

SyncOutcome RunSync(TSQLiteDatabase& db, const CarddavLink& link, const QString& password,
                    const SyncSettings& settings = SyncSettings());
DiscoverOutcome RunDiscover(const CarddavAccount& account);
