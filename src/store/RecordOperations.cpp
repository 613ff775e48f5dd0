#include "store/RecordOperations.h"

#include "imaging/ImageError.h"
#include "imaging/JpegCodec.h"
#include "shell/MessageService.h"
#include "store/ESQLiteException.h"
#include "store/RecordIds.h"
#include "store/TSQLiteDatabase.h"

namespace {

// Runs the statements in one transaction; any error rolls back and gives false.
template <typename Body>
bool inTransaction(TSQLiteDatabase& db, Body body)
{
    try {
        Transaction t(db);
        body();
        t.Commit();
        return true;
    } catch (const ESQLiteException&) {
        return false;
    }
}

} // namespace

bool DeleteAbsender(TSQLiteDatabase& db, MessageService& messages, const QString& id)
{
    if (id.trimmed().isEmpty()) {
        messages.ErrorMessage(QStringLiteral("Keine \"Absender_ID\" zum Löschen vorhanden!"));
        return false;
    }
    return inTransaction(db, [&] {
        if (db.TableExists(QStringLiteral("tab_absender")))
            db.ExecSQL(QStringLiteral("DELETE FROM tab_absender WHERE Absender_ID=?"), {id});
        if (db.TableExists(QStringLiteral("tab_banner")))
            db.ExecSQL(QStringLiteral("DELETE FROM tab_banner WHERE Absender_ID=?"), {id});
    });
}

bool DeleteBanner(TSQLiteDatabase& db, const QString& id)
{
    if (id.isEmpty())
        return false;
    return inTransaction(db, [&] { db.ExecSQL(QStringLiteral("DELETE FROM tab_banner WHERE Absender_ID=?"), {id}); });
}

bool DeleteGruppe(TSQLiteDatabase& db, MessageService& messages, const QString& id)
{
    if (id.trimmed().isEmpty()) {
        messages.ErrorMessage(QStringLiteral("Keine \"Gruppe_ID\" zum Löschen vorhanden!"));
        return false;
    }
    return inTransaction(db, [&] {
        // The extra data of the group's addresses first, while the addresses still say
        // whose they are.
        if (db.TableExists(QStringLiteral("tab_daten")) && db.TableExists(QStringLiteral("tab_adressen")))
            db.ExecSQL(QStringLiteral("DELETE FROM tab_daten WHERE Adresse_ID IN "
                                      "(SELECT Adresse_ID FROM tab_adressen WHERE Gruppe_ID=?)"),
                       {id});
        if (db.TableExists(QStringLiteral("tab_adressen")))
            db.ExecSQL(QStringLiteral("DELETE FROM tab_adressen WHERE Gruppe_ID=?"), {id});
        if (db.TableExists(QStringLiteral("tab_gruppen")))
            db.ExecSQL(QStringLiteral("DELETE FROM tab_gruppen WHERE Gruppe_ID=?"), {id});
        // A group's link to an online address book goes with it: a later group given the
        // same identifier must not inherit the book and its cards.
        if (db.TableExists(QStringLiteral("carddav_card")))
            db.ExecSQL(QStringLiteral("DELETE FROM carddav_card WHERE Gruppe_ID=?"), {id});
        if (db.TableExists(QStringLiteral("carddav_link")))
            db.ExecSQL(QStringLiteral("DELETE FROM carddav_link WHERE Gruppe_ID=?"), {id});
    });
}

bool DeleteAdresse(TSQLiteDatabase& db, MessageService& messages, const QString& id)
{
    if (id.trimmed().isEmpty()) {
        messages.ErrorMessage(QStringLiteral("Keine \"Adresse_ID\" zum Löschen vorhanden!"));
        return false;
    }
    return inTransaction(db, [&] {
        if (db.TableExists(QStringLiteral("tab_adressen")))
            db.ExecSQL(QStringLiteral("DELETE FROM tab_adressen WHERE Adresse_ID=?"), {id});
        if (db.TableExists(QStringLiteral("tab_daten")))
            db.ExecSQL(QStringLiteral("DELETE FROM tab_daten WHERE Adresse_ID=?"), {id});
    });
}

bool SaveBanner(TSQLiteDatabase& db, MessageService& messages, const QString& absenderId, const QImage& picture)
{
    if (!db.TableExists(QStringLiteral("tab_banner")))
        return false;
    const bool hasRow =
        db.GetTable(QStringLiteral("SELECT * FROM tab_banner WHERE Absender_ID = ?"), {absenderId}).Count() > 0;
    const bool hasImage = !picture.isNull() && picture.width() > 0 && picture.height() > 0;
    if (!hasImage) {
        // Nothing to store: remove what there is. (A row is never inserted only to be
        // deleted again.)
        if (hasRow) {
            Transaction t(db);
            db.ExecSQL(QStringLiteral("DELETE FROM tab_banner WHERE Absender_ID = ?"), {absenderId});
            t.Commit();
        }
        return false;
    }
    // Encode before touching the file, so a picture that cannot be encoded leaves no row.
    const QByteArray jpeg = JpegCodec::encode(picture, 90);
    if (!hasRow) {
        const QString bannerId = NewID(db, QStringLiteral("BN"), QStringLiteral("tab_banner"), QStringLiteral("Banner_ID"));
        if (bannerId.isEmpty()) {
            messages.ErrorMessage(QStringLiteral("Fehler beim Erstellen der \"Banner_ID\"!"));
            return false;
        }
        Transaction t(db);
        db.ExecSQL(QStringLiteral("INSERT INTO tab_banner (Banner_ID,Absender_ID,Banner)VALUES (?,?,NULL);"),
                   {bannerId, absenderId});
        t.Commit();
    }
    db.UpdateBlob(QStringLiteral("UPDATE tab_banner SET Banner = ? WHERE Absender_ID = ?"), jpeg, {absenderId});
    return true;
}

bool LoadBanner(TSQLiteDatabase& db, const QString& absenderId, QImage& picture)
{
    TSQLiteTable t = db.GetTable(QStringLiteral("SELECT * FROM tab_banner WHERE Absender_ID = ?"), {absenderId});
    if (t.Count() == 0)
        return false;
    const auto blob = t.FieldAsBlob(t.FieldIndex(QStringLiteral("Banner")));
    if (!blob || blob->isEmpty())
        return false;
    picture = JpegCodec::decode(*blob);
    return true;
}

bool LoadBannerOrReport(TSQLiteDatabase& db, MessageService& messages, const QString& absenderId, QImage& picture)
{
    try {
        return LoadBanner(db, absenderId, picture);
    } catch (const ImageError& e) {
        messages.ErrorMessage(e.message());
        return false;
    }
}
