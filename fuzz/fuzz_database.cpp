// Opening a database file as the start-up does: the bytes become "Tavisto.dbs", the
// connection opens, missing tables are created, the sort-name column is added, and the
// three lists' queries run and read their cells, banners included.
#include "FuzzSupport.h"
#include "app/AppContext.h"
#include "app/Startup.h"
#include "imaging/ImageError.h"
#include "mainwindow/AdressenQuery.h"
#include "shell/MessageService.h"
#include "store/ESQLiteException.h"
#include "store/RecordOperations.h"
#include "store/Schema.h"

#include <QFile>

namespace {

class QuietMessages : public MessageService
{
public:
    int ShowMessageBox(const QString&, int, int, int, int) override { return Msg::IdOk; }
    void ShowPlainMessage(const QString&) override {}
};

void readRows(TSQLiteTable& t, const QStringList& columns)
{
    for (; !t.Eof(); t.Next())
        for (const QString& c : columns)
            (void)t.Field(c);
}

void loadLists(AppContext& ctx)
{
    TSQLiteDatabase& db = ctx.db();
    QStringList absender;
    if (db.TableExists(QStringLiteral("tab_absender"))) {
        TSQLiteTable t = db.GetTable(AbsenderListQuery());
        for (; !t.Eof(); t.Next()) {
            absender << t.Field(QStringLiteral("Absender_ID"));
            for (int n = 1; n <= 5; ++n)
                (void)t.Field(QStringLiteral("Line%1").arg(n));
            (void)t.Field(QStringLiteral("Banner"));
        }
    }
    for (const QString& id : absender) {
        QImage banner;
        try {
            LoadBanner(db, id, banner);
        } catch (const ImageError&) {
        }
    }
    QString gruppe;
    if (db.TableExists(QStringLiteral("tab_gruppen"))) {
        TSQLiteTable t = db.GetTable(QStringLiteral("SELECT * FROM tab_gruppen"));
        if (!t.Eof())
            gruppe = t.Field(QStringLiteral("Gruppe_ID"));
        readRows(t, {QStringLiteral("Gruppe_ID"), QStringLiteral("Name")});
    }
    for (int sort : {0, 6}) {
        AdressenFilter filter;
        filter.GruppeID = gruppe;
        filter.SortIndex = sort;
        filter.ViewMode = sort ? 1 : 0;
        filter.SearchText = sort ? QStringLiteral("a") : QString();
        filter.SearchLine = 5;
        const SqlStatement query = BuildAdressenQuery(filter);
        TSQLiteTable t = db.GetTable(query.Sql(), query.Params);
        readRows(t, {QStringLiteral("Adresse_ID"), QStringLiteral("Line1"), QStringLiteral("Line2"),
                     QStringLiteral("Line3"), QStringLiteral("Line4"), QStringLiteral("Line5"),
                     QStringLiteral("Line6"), QStringLiteral("Aktiv")});
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString path = FuzzSupport::WriteTempFile(QStringLiteral("Tavisto.dbs"), data, size);
    QFile::remove(path + QStringLiteral("-journal"));
    QuietMessages messages;
    AppContext ctx;
    ctx.Messages = &messages;
    ctx.Paths.DatabaseFile = path;
    if (!OpenDatabaseFile(ctx).isEmpty())
        return 0;
    try {
        if (CreateTables(ctx.db(), messages) && MigrateColumns(ctx).isEmpty())
            loadLists(ctx);
    } catch (const ESQLiteException&) {
        // A damaged file is reported by the general error handler; nothing to check here.
    }
    ctx.Database.reset();
    return 0;
}
