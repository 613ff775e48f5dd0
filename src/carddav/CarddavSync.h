#pragma once
#include "carddav/CarddavClient.h"
#include "carddav/CarddavStore.h"

#include <functional>
#include <memory>

class TSQLiteDatabase;

// One "Aktualisieren" of a linked group: asks the server for the book's changes, keeps
// the fetched cards in the connection's staging table batch by batch, then applies them
// in one transaction. Until the end nothing is written to the file, so a cancelled or
// failed sync leaves the group as it was. The object must outlive the run (until done
// or failed was called).
class CarddavSync
{
public:
    CarddavSync(TSQLiteDatabase& db, const CarddavLink& link, const CarddavAccount& account);
    ~CarddavSync();

    void SetDone(std::function<void(const CarddavSyncReport&)> done) { m_done = std::move(done); }
    void SetFailed(std::function<void(const CarddavError&)> failed) { m_failed = std::move(failed); }
    void SetProgress(std::function<void(int done, int total)> progress);

    void Start();
    void Cancel();
    CarddavClient& Client() { return *m_client; }

private:
    void dropStaging();

    TSQLiteDatabase& m_db;
    CarddavLink m_link;
    std::unique_ptr<CarddavClient> m_client;
    std::function<void(const CarddavSyncReport&)> m_done;
    std::function<void(const CarddavError&)> m_failed;
};

// The account of a link, with the password and the certificates the user trusts.
CarddavAccount AccountOf(const CarddavLink& link, const QString& password, const QStringList& trusted);
