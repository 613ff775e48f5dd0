#pragma once
#include "carddav/CarddavStore.h"
#include "store/TSQLiteDatabase.h"
#include "support/FakeMessageService.h"
#include "support/TempDir.h"

#include <QByteArray>
#include <QString>
#include <memory>
#include <vector>

class DavServer;

// A program file of its own in a temporary folder: the five tables and one group
// (GR00000001 "Verein"), ready to be linked to a book of a test server.
struct LinkedFile
{
    LinkedFile();
    // Links the group to the server's book and gives the link as it was stored.
    CarddavLink Link(const DavServer& server, const QString& book);

    TempDir dir;
    FakeMessageService messages;
    std::unique_ptr<TSQLiteDatabase> db;
};

// count generated cards, each with a name, an address and a UID "<prefix>-00001" ….
std::vector<QByteArray> GeneratedCards(int count, const QString& prefix);
