#pragma once
#include "carddav/CarddavClient.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

class TSQLiteDatabase;

// A group's link to an online address book. Stored in carddav_link, one row per group,
// beside the program's own tables (which stay exactly as they are).
struct CarddavLink
{
    QString GruppeId;
    QString Server;   // the address the user typed, normalised
    QString Book;     // the address book's URL
    QString BookName; // its display name when it was chosen
    QString User;
    QString SyncToken;
    QString Ctag;
    bool SyncAtStart = false;
    bool PlainHttp = false; // the user allowed unencrypted http to this server
};

// What a sync did to the group.
struct CarddavSyncReport
{
    int Added = 0;
    int Changed = 0;
    int Removed = 0;
    QStringList Skipped; // cards no address could be made of, by name (or file name)
    bool Unchanged = false;
};

// The tables of linked groups and the one-way application of a book's changes. Every
// call raises ESQLiteException on a database error.
namespace CarddavStore {

// carddav_link and carddav_card, created when missing. Called when a group is linked
// and before each sync; a file without links never gets them.
void EnsureTables(TSQLiteDatabase& db);

std::optional<CarddavLink> LoadLink(TSQLiteDatabase& db, const QString& gruppeId);
// The links of existing groups.
QList<CarddavLink> LoadLinks(TSQLiteDatabase& db);
// Stores the link of its group, replacing an earlier one (with a new book, the group's
// earlier cards are forgotten: they become local addresses).
void SaveLink(TSQLiteDatabase& db, const CarddavLink& link);
// The ETags of the group's cards and its tokens, for the next sync.
CarddavBookState BookState(TSQLiteDatabase& db, const CarddavLink& link);
// The display name of the book an address comes from; empty for a local address.
QString LinkedBookName(TSQLiteDatabase& db, const QString& adresseId);

// Cards fetched while a sync runs wait in a TEMP table of the connection (private to it,
// outside the file, never locking it) until Apply takes them, so a large book is never
// held in memory whole. BeginStaging empties it; DropStaging forgets what it holds (a
// cancelled or failed sync).
void BeginStaging(TSQLiteDatabase& db);
void StageCards(TSQLiteDatabase& db, const std::vector<CarddavFetchedCard>& cards);
void DropStaging(TSQLiteDatabase& db);

// Brings the group to the book's state in one transaction: new cards become addresses
// (active), changed ones update lines and extra data (the active flag, a sort name of
// its own and the dispatch method stay), removed ones are deleted; the link's tokens
// are moved on. The cards are changes.Cards and then the staged ones, which are
// forgotten after a successful apply. Nothing is written when any statement fails.
CarddavSyncReport Apply(TSQLiteDatabase& db, const CarddavLink& link, const CarddavChanges& changes);

} // namespace CarddavStore
