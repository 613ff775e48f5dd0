#include "carddav/CarddavStore.h"

#include "exchange/IdSequence.h"
#include "exchange/VcardMapping.h"
#include "exchange/VcardReader.h"
#include "store/ESQLiteException.h"
#include "store/TSQLiteDatabase.h"

#include <QHash>
#include <functional>
#include <sqlite3.h>

namespace {

const QString kLinkTable = QStringLiteral("carddav_link");
const QString kCardTable = QStringLiteral("carddav_card");
const QString kStagingTable = QStringLiteral("carddav_staging");

// Whether the connection has the staging table (TableExists looks at the file's tables only).
bool hasStaging(TSQLiteDatabase& db)
{
    return db.GetTable(QStringLiteral("SELECT COUNT(*) FROM sqlite_temp_master WHERE type = 'table' AND name = ?"),
                       {kStagingTable})
               .FieldAsString(0)
           != u"0";
}

// Steps through the staged cards in the order they came. The cells are blobs: the card
// is UTF-8 as the server sent it, which the connection's text encoding would not keep.
void eachStagedCard(TSQLiteDatabase& db, const std::function<void(const CarddavFetchedCard&)>& card)
{
    static const char* const kSql = "SELECT Href, Etag, Data FROM temp.carddav_staging ORDER BY Seq";
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db.Handle(), kSql, -1, &stmt, nullptr) != SQLITE_OK) {
        sqlite3_finalize(stmt);
        throw ESQLiteException(db.ComposeMessage(QStringLiteral("Fehler beim Lesen der abgeholten Karten"),
                                                 QString::fromLatin1(kSql)));
    }
    const auto bytes = [stmt](int column) {
        return QByteArray(static_cast<const char*>(sqlite3_column_blob(stmt, column)),
                          sqlite3_column_bytes(stmt, column));
    };
    int rc;
    try {
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW)
            card({QString::fromUtf8(bytes(0)), QString::fromUtf8(bytes(1)), bytes(2)});
    } catch (...) {
        sqlite3_finalize(stmt);
        throw;
    }
    sqlite3_finalize(stmt);
    if (rc != SQLITE_DONE)
        throw ESQLiteException(db.ComposeMessage(QStringLiteral("Fehler beim Lesen der abgeholten Karten"),
                                                 QString::fromLatin1(kSql)));
}

struct KnownCard
{
    QString AdresseId;
    QString Etag;
};

QHash<QString, KnownCard> knownCards(TSQLiteDatabase& db, const QString& gruppeId)
{
    QHash<QString, KnownCard> cards;
    db.EachRow(QStringLiteral("SELECT Href, Adresse_ID, Etag FROM carddav_card WHERE Gruppe_ID = ?"), {gruppeId},
               {QStringLiteral("Href"), QStringLiteral("Adresse_ID"), QStringLiteral("Etag")},
               [&](const QStringList& cells) { cards.insert(cells[0], {cells[1], cells[2]}); });
    return cards;
}

int rowsChanged(TSQLiteDatabase& db)
{
    return sqlite3_changes(db.Handle());
}

// Only while it is still in the group: an address moved away locally is the user's now.
bool deleteAddress(TSQLiteDatabase& db, const QString& gruppeId, const QString& adresseId)
{
    db.ExecSQL(QStringLiteral("DELETE FROM tab_adressen WHERE Adresse_ID = ? AND Gruppe_ID = ?"), {adresseId, gruppeId});
    if (rowsChanged(db) == 0)
        return false;
    db.ExecSQL(QStringLiteral("DELETE FROM tab_daten WHERE Adresse_ID = ?"), {adresseId});
    return true;
}

QString cardName(const Vcard* card, const QString& href)
{
    if (card) {
        if (const VcardProperty* fn = card->First(u"FN"); fn && !fn->Text().trimmed().isEmpty())
            return fn->Text().trimmed();
    }
    const QString decoded = QUrl::fromPercentEncoding(href.toUtf8());
    return decoded.section(u'/', -1, -1, QString::SectionSkipEmpty);
}

// The extra data of an address: the existing row updated (its dispatch method stays),
// else a new row when there is anything to keep.
void writeDaten(TSQLiteDatabase& db, IdSequence& datenIds, const QString& adresseId, const ImportedAdresse& a)
{
    db.ExecSQL(QStringLiteral("UPDATE tab_daten SET Telefon = ?, Fax = ?, Handy = ?, Mail = ?, Bemerkung = ? "
                              "WHERE Adresse_ID = ?"),
               {a.Telefon, a.Fax, a.Handy, a.Mail, a.Bemerkung, adresseId});
    if (rowsChanged(db) > 0 || !a.HasDaten())
        return;
    const QString datenId = datenIds.Next();
    if (datenId.isEmpty())
        throw ESQLiteException(QStringLiteral("Fehler beim Erstellen der \"Daten_ID\"!"));
    db.ExecSQL(QStringLiteral("INSERT INTO tab_daten (Daten_ID, Adresse_ID, Telefon, Fax, Handy, Mail, Versand, "
                              "Bemerkung) VALUES (?, ?, ?, ?, ?, ?, ?, ?)"),
               {datenId, adresseId, a.Telefon, a.Fax, a.Handy, a.Mail, QString(), a.Bemerkung});
}

} // namespace

namespace CarddavStore {

void EnsureTables(TSQLiteDatabase& db)
{
    db.ExecSQL(QStringLiteral("CREATE TABLE IF NOT EXISTS carddav_link (\r\n"
                              "Gruppe_ID VARCHAR(10) PRIMARY KEY\r\n"
                              ",Server TEXT\r\n,Book TEXT\r\n,BookName TEXT\r\n,User TEXT\r\n"
                              ",SyncToken TEXT\r\n,Ctag TEXT\r\n,SyncAtStart TINYINT\r\n,PlainHttp TINYINT\r\n);\r\n"));
    db.ExecSQL(QStringLiteral("CREATE TABLE IF NOT EXISTS carddav_card (\r\n"
                              "Gruppe_ID VARCHAR(10)\r\n,Href TEXT\r\n,Adresse_ID VARCHAR(10)\r\n"
                              ",Etag TEXT\r\n,Uid TEXT\r\n,PRIMARY KEY (Gruppe_ID, Href)\r\n);\r\n"));
}

static CarddavLink linkOf(const TSQLiteTable& t)
{
    CarddavLink l;
    l.GruppeId = t.Field(QStringLiteral("Gruppe_ID"));
    l.Server = t.Field(QStringLiteral("Server"));
    l.Book = t.Field(QStringLiteral("Book"));
    l.BookName = t.Field(QStringLiteral("BookName"));
    l.User = t.Field(QStringLiteral("User"));
    l.SyncToken = t.Field(QStringLiteral("SyncToken"));
    l.Ctag = t.Field(QStringLiteral("Ctag"));
    l.SyncAtStart = t.Field(QStringLiteral("SyncAtStart")) == u"1";
    l.PlainHttp = t.Field(QStringLiteral("PlainHttp")) == u"1";
    return l;
}

std::optional<CarddavLink> LoadLink(TSQLiteDatabase& db, const QString& gruppeId)
{
    if (!db.TableExists(kLinkTable))
        return std::nullopt;
    TSQLiteTable t = db.GetTable(QStringLiteral("SELECT * FROM carddav_link WHERE Gruppe_ID = ?"), {gruppeId});
    if (t.Count() == 0)
        return std::nullopt;
    return linkOf(t);
}

QList<CarddavLink> LoadLinks(TSQLiteDatabase& db)
{
    QList<CarddavLink> links;
    if (!db.TableExists(kLinkTable) || !db.TableExists(QStringLiteral("tab_gruppen")))
        return links;
    TSQLiteTable t = db.GetTable(QStringLiteral(
        "SELECT l.* FROM carddav_link l WHERE l.Gruppe_ID IN (SELECT Gruppe_ID FROM tab_gruppen)"));
    for (t.First(); !t.Eof(); t.Next())
        links.append(linkOf(t));
    return links;
}

void SaveLink(TSQLiteDatabase& db, const CarddavLink& link)
{
    EnsureTables(db);
    Transaction transaction(db);
    const std::optional<CarddavLink> old = LoadLink(db, link.GruppeId);
    CarddavLink stored = link;
    if (old && old->Book != link.Book) {
        db.ExecSQL(QStringLiteral("DELETE FROM carddav_card WHERE Gruppe_ID = ?"), {link.GruppeId});
        stored.SyncToken.clear();
        stored.Ctag.clear();
    }
    db.ExecSQL(QStringLiteral("INSERT OR REPLACE INTO carddav_link (Gruppe_ID, Server, Book, BookName, User, "
                              "SyncToken, Ctag, SyncAtStart, PlainHttp) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
               {stored.GruppeId, stored.Server, stored.Book, stored.BookName, stored.User, stored.SyncToken, stored.Ctag,
                stored.SyncAtStart ? 1 : 0, stored.PlainHttp ? 1 : 0});
    transaction.Commit();
}

CarddavBookState BookState(TSQLiteDatabase& db, const CarddavLink& link)
{
    CarddavBookState state;
    state.Book = QUrl(link.Book);
    state.SyncToken = link.SyncToken;
    state.Ctag = link.Ctag;
    if (!db.TableExists(kCardTable))
        return state;
    const QHash<QString, KnownCard> cards = knownCards(db, link.GruppeId);
    for (auto it = cards.constBegin(); it != cards.constEnd(); ++it)
        state.Etags.insert(it.key(), it.value().Etag);
    return state;
}

QString LinkedBookName(TSQLiteDatabase& db, const QString& adresseId)
{
    if (adresseId.isEmpty() || !db.TableExists(kCardTable) || !db.TableExists(kLinkTable))
        return QString();
    TSQLiteTable t = db.GetTable(QStringLiteral("SELECT l.BookName FROM carddav_card c "
                                                "JOIN carddav_link l ON l.Gruppe_ID = c.Gruppe_ID "
                                                "JOIN tab_adressen a ON a.Adresse_ID = c.Adresse_ID "
                                                "AND a.Gruppe_ID = c.Gruppe_ID WHERE c.Adresse_ID = ?"),
                                 {adresseId});
    if (t.Count() == 0)
        return QString();
    const QString name = t.Field(QStringLiteral("BookName"));
    return name.isEmpty() ? QStringLiteral("?") : name;
}

void BeginStaging(TSQLiteDatabase& db)
{
    DropStaging(db);
    db.ExecSQL(QStringLiteral("CREATE TEMP TABLE carddav_staging (Seq INTEGER PRIMARY KEY, Href BLOB, Etag BLOB, "
                              "Data BLOB)"));
}

void StageCards(TSQLiteDatabase& db, const std::vector<CarddavFetchedCard>& cards)
{
    for (const CarddavFetchedCard& c : cards)
        db.ExecSQL(QStringLiteral("INSERT INTO temp.carddav_staging (Href, Etag, Data) VALUES (?, ?, ?)"),
                   {c.Href.toUtf8(), c.Etag.toUtf8(), c.Data});
}

void DropStaging(TSQLiteDatabase& db)
{
    db.ExecSQL(QStringLiteral("DROP TABLE IF EXISTS temp.carddav_staging"));
}

CarddavSyncReport Apply(TSQLiteDatabase& db, const CarddavLink& link, const CarddavChanges& changes)
{
    CarddavSyncReport report;
    report.Unchanged = changes.Unchanged;
    EnsureTables(db);
    const QString& gid = link.GruppeId;
    Transaction transaction(db);
    const QHash<QString, KnownCard> known = knownCards(db, gid);

    for (const QString& href : changes.Removed) {
        const auto it = known.constFind(href);
        if (it == known.constEnd())
            continue;
        if (!it->AdresseId.isEmpty() && deleteAddress(db, gid, it->AdresseId))
            ++report.Removed;
        db.ExecSQL(QStringLiteral("DELETE FROM carddav_card WHERE Gruppe_ID = ? AND Href = ?"), {gid, href});
    }

    IdSequence ids = IdSequence::Adressen(db);
    IdSequence datenIds(db, QStringLiteral("DA"), QStringLiteral("tab_daten"), QStringLiteral("Daten_ID"));
    const QString one = QStringLiteral("1");
    const auto apply = [&](const CarddavFetchedCard& fetched) {
        // One card per resource; a second one in it is not the book's business.
        VcardStream stream(fetched.Data);
        Vcard card;
        const bool read = stream.Next(card);
        const VcardProperty* uidProp = read ? card.First(u"UID") : nullptr;
        const QString uid = uidProp ? uidProp->Text() : QString();
        const std::optional<VcardAdresse> mapped = read ? MapVcard(card) : std::nullopt;
        const auto old = known.constFind(fetched.Href);
        QString adresseId = old != known.constEnd() ? old->AdresseId : QString();

        if (!mapped) {
            // Kept with its ETag but without an address, so it is not fetched again
            // until it changes.
            report.Skipped.append(cardName(read ? &card : nullptr, fetched.Href));
            if (!adresseId.isEmpty())
                deleteAddress(db, gid, adresseId);
            adresseId.clear();
        } else {
            const ImportedAdresse& a = mapped->Adresse;
            bool updated = false;
            if (!adresseId.isEmpty()) {
                db.ExecSQL(QStringLiteral("UPDATE tab_adressen SET Line1 = ?, Line2 = ?, Line3 = ?, Line4 = ?, "
                                          "Line5 = ?, Line6 = CASE WHEN ? = '' THEN Line6 ELSE ? END "
                                          "WHERE Adresse_ID = ? AND Gruppe_ID = ?"),
                           {a.Line1, a.Line2, a.Line3, a.Line4, a.Line5, a.Line6, a.Line6, adresseId, gid});
                updated = rowsChanged(db) > 0;
            }
            if (updated) {
                ++report.Changed;
            } else {
                // New, or its address was deleted or moved away locally: a new address.
                adresseId = ids.Next();
                if (adresseId.isEmpty())
                    throw ESQLiteException(QStringLiteral("Fehler beim Erstellen der \"Adresse_ID\"!"));
                db.ExecSQL(QStringLiteral("INSERT INTO tab_adressen (Adresse_ID, Gruppe_ID, Line1, Line2, Line3, "
                                          "Line4, Line5, Line6, Aktiv) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                           {adresseId, gid, a.Line1, a.Line2, a.Line3, a.Line4, a.Line5, a.Line6, one});
                ++report.Added;
            }
            writeDaten(db, datenIds, adresseId, a);
        }
        db.ExecSQL(QStringLiteral("INSERT OR REPLACE INTO carddav_card (Gruppe_ID, Href, Adresse_ID, Etag, Uid) "
                                  "VALUES (?, ?, ?, ?, ?)"),
                   {gid, fetched.Href, adresseId, fetched.Etag, uid});
    };
    for (const CarddavFetchedCard& fetched : changes.Cards)
        apply(fetched);
    const bool staged = hasStaging(db);
    if (staged)
        eachStagedCard(db, apply);
    db.ExecSQL(QStringLiteral("UPDATE carddav_link SET SyncToken = ?, Ctag = ? WHERE Gruppe_ID = ?"),
               {changes.SyncToken, changes.Ctag, gid});
    transaction.Commit();
    if (staged)
        DropStaging(db);
    return report;
}

} // namespace CarddavStore
