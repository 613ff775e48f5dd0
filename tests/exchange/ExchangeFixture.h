#pragma once
// Shared by the exchange tests: a database on a temporary folder with every table, a
// context with recorded messages, and file dialogs that answer from the test.
#include "app/AppContext.h"
#include "exchange/AdressenImportFrame.h"
#include "store/Schema.h"
#include "store/TSQLiteDatabase.h"
#include "support/FakeMessageService.h"
#include "support/ScriptedFileDialogs.h"
#include "support/TempDir.h"

#include <QGuiApplication>
#include <gtest/gtest.h>

struct StoredAdresse
{
    QString Adresse_ID, Gruppe_ID, Line1, Line2, Line3, Line4, Line5, Line6, Aktiv;
    bool operator==(const StoredAdresse&) const = default;
};

inline void PrintTo(const StoredAdresse& a, std::ostream* os)
{
    *os << QStringList{a.Adresse_ID, a.Gruppe_ID, a.Line1, a.Line2, a.Line3, a.Line4, a.Line5, a.Line6, a.Aktiv}
               .join(QStringLiteral("|"))
               .toStdString();
}

// Records the steps of an import or an export and cancels once more than the given number
// of records were reached (never when negative).
class CancelAfter : public ImportProgress
{
public:
    explicit CancelAfter(int n = -1) : m_n(n) {}
    bool Step(int records, double fraction) override
    {
        steps.append(records);
        fractions.append(fraction);
        return m_n < 0 || records <= m_n;
    }
    QList<int> steps;
    QList<double> fractions;

private:
    int m_n;
};

class ExchangeTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ctx.Database = std::make_unique<TSQLiteDatabase>(dir.file(QStringLiteral("Tavisto.dbs")));
        ctx.Messages = &messages;
        ASSERT_TRUE(CreateTables(ctx.db(), messages));
    }

    void TearDown() override { EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr) << "cursor left busy"; }

    TSQLiteDatabase& db() { return ctx.db(); }

    QString addGruppe(const QString& id, const QString& name)
    {
        db().ExecSQL(QStringLiteral("INSERT INTO tab_gruppen (Gruppe_ID, Name) VALUES (?, ?)"), {id, name});
        return id;
    }

    QString addAdresse(const QString& id, const QString& gruppe, const QStringList& lines, int aktiv = 1)
    {
        SqlParams p{id, gruppe};
        for (int i = 0; i < 6; ++i)
            p << lines.value(i);
        p << aktiv;
        db().ExecSQL(QStringLiteral("INSERT INTO tab_adressen (Adresse_ID, Gruppe_ID, Line1, Line2, Line3, Line4, "
                                    "Line5, Line6, Aktiv) VALUES (?,?,?,?,?,?,?,?,?)"),
                     p);
        return id;
    }

    void addDaten(const QString& id, const QString& adresse, const QStringList& values)
    {
        SqlParams p{id, adresse};
        for (int i = 0; i < 6; ++i)
            p << values.value(i);
        db().ExecSQL(QStringLiteral("INSERT INTO tab_daten (Daten_ID, Adresse_ID, Telefon, Fax, Handy, Mail, "
                                    "Versand, Bemerkung) VALUES (?,?,?,?,?,?,?,?)"),
                     p);
    }

    void addAbsender(const QString& id, const QStringList& lines)
    {
        SqlParams p{id};
        for (int i = 0; i < 5; ++i)
            p << lines.value(i);
        db().ExecSQL(QStringLiteral("INSERT INTO tab_absender (Absender_ID, Line1, Line2, Line3, Line4, Line5) "
                                    "VALUES (?,?,?,?,?,?)"),
                     p);
    }

    // Every address of the group (all groups when empty), by identifier.
    QList<StoredAdresse> adressen(const QString& gruppe = QString())
    {
        TSQLiteTable t = gruppe.isEmpty()
                             ? db().GetTable(QStringLiteral("SELECT * FROM tab_adressen ORDER BY Adresse_ID"))
                             : db().GetTable(QStringLiteral("SELECT * FROM tab_adressen WHERE Gruppe_ID=? "
                                                            "ORDER BY Adresse_ID"),
                                             {gruppe});
        QList<StoredAdresse> out;
        for (; !t.Eof(); t.Next())
            out.append({t.Field("Adresse_ID"), t.Field("Gruppe_ID"), t.Field("Line1"), t.Field("Line2"),
                        t.Field("Line3"), t.Field("Line4"), t.Field("Line5"), t.Field("Line6"), t.Field("Aktiv")});
        return out;
    }

    int count(const QString& table)
    {
        return db().GetTable(QStringLiteral("SELECT COUNT(*) N FROM ") + table).Field(QStringLiteral("N")).toInt();
    }

    TempDir dir;
    FakeMessageService messages;
    AppContext ctx;
};
