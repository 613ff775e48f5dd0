#pragma once
#include <QImage>
#include <QString>

class TSQLiteDatabase;
class MessageService;

// Deletions run in one transaction each and report a database error as false; a failed
// deletion deletes nothing. A blank identifier is reported with its message.
bool DeleteAbsender(TSQLiteDatabase& db, MessageService& messages, const QString& absenderId);
bool DeleteBanner(TSQLiteDatabase& db, const QString& absenderId);
bool DeleteGruppe(TSQLiteDatabase& db, MessageService& messages, const QString& gruppeId);
bool DeleteAdresse(TSQLiteDatabase& db, MessageService& messages, const QString& adresseId);

// Stores the picture as the sender's banner (JPEG, quality 90). An empty picture removes
// the banner and gives false. Database and image errors pass through.
bool SaveBanner(TSQLiteDatabase& db, MessageService& messages, const QString& absenderId, const QImage& picture);
// Fills picture with the sender's banner (24-bit); false, picture untouched, when there is none.
bool LoadBanner(TSQLiteDatabase& db, const QString& absenderId, QImage& picture);
// The same for a window that goes on without the banner: a stored banner that cannot be
// decoded is reported with its message and counts as none. Database errors pass through.
bool LoadBannerOrReport(TSQLiteDatabase& db, MessageService& messages, const QString& absenderId, QImage& picture);
