#include "carddav/LinkedFile.h"

#include "carddav/DavServers.h"
#include "store/Schema.h"

LinkedFile::LinkedFile()
{
    db = std::make_unique<TSQLiteDatabase>(dir.file("Tavisto.dbs"));
    CreateTables(*db, messages);
    db->ExecSQL("INSERT INTO tab_gruppen (Gruppe_ID, Name) VALUES ('GR00000001', 'Verein')");
}

CarddavLink LinkedFile::Link(const DavServer& server, const QString& book)
{
    CarddavLink link;
    link.GruppeId = "GR00000001";
    link.Server = server.BaseUrl().toString();
    link.Book = server.BookUrl(book).toString();
    link.BookName = book;
    link.User = server.User();
    CarddavStore::SaveLink(*db, link);
    return *CarddavStore::LoadLink(*db, link.GruppeId);
}

std::vector<QByteArray> GeneratedCards(int count, const QString& prefix)
{
    std::vector<QByteArray> cards;
    cards.reserve(size_t(count));
    for (int i = 1; i <= count; ++i)
        cards.push_back(MakeCard(QStringLiteral("%1-%2").arg(prefix).arg(i, 5, 10, QLatin1Char('0')),
                                 QStringLiteral("Müller%1").arg(i), QStringLiteral("Jörg"),
                                 QStringLiteral("Hauptstraße %1").arg(i), QStringLiteral("Köln")));
    return cards;
}
