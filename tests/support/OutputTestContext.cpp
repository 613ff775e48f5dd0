#include "support/OutputTestContext.h"

#include "store/RecordOperations.h"
#include "store/Schema.h"

OutputTestContext::OutputTestContext()
{
    ctx.Database = std::make_unique<TSQLiteDatabase>(dir.file(QStringLiteral("Tavisto.dbs")));
    CreateTables(*ctx.Database, messages);
    ctx.Messages = &messages;
    ctx.Help = &help;
    ctx.Printer = &printer;
    PrintSettings& p = ctx.Print();
    p.PrinterIndex = 0;
    p.FormatIndex = 2;
    p.Orientation = 0;
    p.Alignment = 0;
}

void OutputTestContext::addAbsender(const QString& id, const QStringList& lines)
{
    SqlParams params{id};
    for (const QString& l : lines)
        params << l;
    ctx.db().ExecSQL(QStringLiteral("INSERT INTO tab_absender (Absender_ID,Line1,Line2,Line3,Line4,Line5) VALUES (?,?,?,?,?,?)"),
                     params);
}

void OutputTestContext::addAdresse(const QString& id, const QStringList& lines)
{
    SqlParams params{id};
    for (const QString& l : lines)
        params << l;
    ctx.db().ExecSQL(QStringLiteral("INSERT INTO tab_adressen (Adresse_ID,Gruppe_ID,Line1,Line2,Line3,Line4,Line5,Line6,Aktiv) "
                                    "VALUES (?,'GR00000001',?,?,?,?,?,'',1)"),
                     params);
}

void OutputTestContext::setBanner(const QString& absenderId, const QImage& banner)
{
    SaveBanner(ctx.db(), messages, absenderId, banner);
}
