#pragma once
#include "app/AppContext.h"
#include "app/Startup.h"
#include "store/Schema.h"
#include "support/FakeMessageService.h"
#include "support/RecordingHelpService.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

// A program context on a fresh folder: data folder with a database of every table,
// scripted messages and a help service that records its topics.
struct ToolsContext
{
    TempDir tmp;
    FakeMessageService messages;
    RecordingHelpService help;
    AppContext ctx;

    ToolsContext()
    {
        ctx.Paths = AppPaths::Resolve(tmp.file(QStringLiteral("bin")), tmp.file(QStringLiteral("config")),
                                      tmp.file(QStringLiteral("Dokumente")));
        ctx.Messages = &messages;
        ctx.Help = &help;
        EXPECT_TRUE(ForceDirectories(ctx.Paths.DataDir));
        EXPECT_TRUE(OpenDatabaseFile(ctx).isEmpty());
        EXPECT_TRUE(CreateTables(ctx.db(), messages));
    }

    void addAddress(const QString& id, const QString& gruppe, const QStringList& lines, const QString& line6 = {})
    {
        SqlParams params{id, gruppe};
        for (int i = 0; i < 5; ++i)
            params << lines.value(i);
        params << line6;
        ctx.db().ExecSQL(QStringLiteral("INSERT INTO tab_adressen (Adresse_ID, Gruppe_ID, Line1, Line2, Line3, "
                                        "Line4, Line5, Line6, Aktiv) VALUES (?, ?, ?, ?, ?, ?, ?, ?, 1)"),
                         params);
    }

    QString line6(const QString& id)
    {
        TSQLiteTable t = ctx.db().GetTable(QStringLiteral("SELECT Line6 FROM tab_adressen WHERE Adresse_ID=?"), {id});
        return t.Eof() ? QStringLiteral("<missing>") : t.Field(QStringLiteral("Line6"));
    }
};
