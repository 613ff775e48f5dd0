#include "dialogs/TDLG_Gruppe.h"
#include "support/DialogFixture.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

class GruppeDialog : public DialogFixture
{
protected:
    QLineEdit* name(TDLG_Gruppe& d) { return d.findChild<QLineEdit*>("Edit_Name"); }
};

TEST_F(GruppeDialog, NewGroupIsInsertedWithItsNameAsTyped)
{
    TDLG_Gruppe d(ctx, QString(), nullptr);
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Neue Gruppe erstellen..."));
    ASSERT_TRUE(name(d));
    EXPECT_TRUE(name(d)->text().isEmpty());
    EXPECT_EQ(name(d)->maxLength(), 50);
    // Leading blanks, a double quote and a column's name are all kept as typed.
    for (const QString& typed : {QStringLiteral("  Kunden \"A\""), QStringLiteral("Name")}) {
        TDLG_Gruppe n(ctx, QString(), nullptr);
        name(n)->setText(typed);
        n.findChild<QPushButton*>("Button_Save")->click();
        EXPECT_EQ(n.result(), QDialog::Accepted);
        ASSERT_FALSE(n.GruppeID().isEmpty());
        EXPECT_TRUE(n.GruppeID().startsWith("GR"));
        EXPECT_EQ(value("SELECT Name FROM tab_gruppen WHERE Gruppe_ID=?", {n.GruppeID()}), typed);
    }
    EXPECT_EQ(count("SELECT COUNT(*) FROM tab_gruppen"), 2);
}

TEST_F(GruppeDialog, RenamingKeepsTheIdentifierAndItsAddresses)
{
    db().ExecSQL("INSERT INTO tab_gruppen (Gruppe_ID, Name) VALUES ('GR00000007', 'Alt')");
    db().ExecSQL("INSERT INTO tab_adressen (Adresse_ID, Gruppe_ID, Line1, Aktiv) VALUES ('AD00000001', 'GR00000007', 'X', 1)");
    TDLG_Gruppe d(ctx, "GR00000007", nullptr);
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Gruppe bearbeiten..."));
    EXPECT_EQ(name(d)->text(), QStringLiteral("Alt"));
    name(d)->setText("Neu");
    activate(d);
    QTest::keyClick(&d, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(d.GruppeID(), QStringLiteral("GR00000007"));
    EXPECT_EQ(value("SELECT Name FROM tab_gruppen WHERE Gruppe_ID='GR00000007'"), QStringLiteral("Neu"));
    EXPECT_EQ(count("SELECT COUNT(*) FROM tab_gruppen"), 1);
    EXPECT_EQ(value("SELECT Gruppe_ID FROM tab_adressen"), QStringLiteral("GR00000007"));
}

TEST_F(GruppeDialog, BlankNameIsRefusedAndTheDialogStays)
{
    for (const QString& blank : {QString(), QStringLiteral("   ")}) {
        messages.shown.clear();
        TDLG_Gruppe d(ctx, QString(), nullptr);
        d.show();
        name(d)->setText(blank);
        d.findChild<QPushButton*>("Button_Save")->click();
        EXPECT_TRUE(d.isVisible());
        EXPECT_EQ(messages.texts(), QStringList{"Es wurde kein Name angegeben!"});
        EXPECT_EQ(messages.shown.value(0).kind, Msg::Error);
        EXPECT_TRUE(d.GruppeID().isEmpty());
    }
    EXPECT_EQ(count("SELECT COUNT(*) FROM tab_gruppen"), 0);
}

TEST_F(GruppeDialog, EscapeCancelsAndHelpOpensItsTopic)
{
    TDLG_Gruppe d(ctx, QString(), nullptr);
    d.show();
    name(d)->setText("Nicht gespeichert");
    d.findChild<QToolButton*>("Button_Help")->click();
    EXPECT_EQ(help.topics, QList<int>{1003});
    QTest::keyClick(name(d), Qt::Key_Escape);
    EXPECT_EQ(d.result(), QDialog::Rejected);
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(count("SELECT COUNT(*) FROM tab_gruppen"), 0);
}

TEST_F(GruppeDialog, FailedInsertCanBeRetried)
{
    // A trigger makes the first insert fail; the dialog must not then take the new ID
    // and later "update" a row that was never written.
    db().ExecSQL("CREATE TABLE fail_once (n INTEGER)");
    db().ExecSQL("INSERT INTO fail_once VALUES (1)");
    db().ExecSQL("CREATE TRIGGER t BEFORE INSERT ON tab_gruppen WHEN (SELECT COUNT(*) FROM fail_once) > 0 "
                 "BEGIN SELECT RAISE(ABORT, 'nein'); END");
    TDLG_Gruppe d(ctx, QString(), nullptr);
    name(d)->setText("Zweiter Versuch");
    EXPECT_ANY_THROW(d.Button_SaveClick());
    EXPECT_TRUE(d.GruppeID().isEmpty());
    EXPECT_FALSE(db().InTransaction());
    db().ExecSQL("DELETE FROM fail_once");
    d.Button_SaveClick();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(value("SELECT Name FROM tab_gruppen WHERE Gruppe_ID=?", {d.GruppeID()}), QStringLiteral("Zweiter Versuch"));
}

TEST_F(GruppeDialog, LongStoredNameIsShownWholeKeptUnlessEditedAndNotLengthenedByTyping)
{
    const QString stored = QStringLiteral("Kunden aus dem Import der Messe in Köln, Halle 7, Stand 12");
    ASSERT_GT(stored.size(), 50);
    db().ExecSQL("INSERT INTO tab_gruppen (Gruppe_ID, Name) VALUES ('GR00000001', ?)", {stored});
    {
        TDLG_Gruppe d(ctx, "GR00000001", nullptr);
        EXPECT_EQ(name(d)->text(), stored);
        d.findChild<QPushButton*>("Button_Save")->click();
        EXPECT_EQ(value("SELECT Name FROM tab_gruppen"), stored);
    }
    {
        TDLG_Gruppe d(ctx, "GR00000001", nullptr);
        name(d)->end(false);
        QTest::keyClicks(name(d), "xyz");
        EXPECT_EQ(name(d)->text(), stored);
        QTest::keyClick(name(d), Qt::Key_Backspace);
        QTest::keyClicks(name(d), "3!");
        EXPECT_EQ(name(d)->text(), stored.chopped(1) + u'3');
        d.findChild<QPushButton*>("Button_Save")->click();
        EXPECT_EQ(value("SELECT Name FROM tab_gruppen"), stored.chopped(1) + u'3');
    }
}

TEST_F(GruppeDialog, OnlyCodesUpToTheSpaceMakeANameBlank)
{
    for (const QString& blank : {QStringLiteral("\u0001\u0002"), QStringLiteral("\t \u001f")}) {
        messages.shown.clear();
        TDLG_Gruppe d(ctx, QString(), nullptr);
        name(d)->setText(blank);
        d.Button_SaveClick();
        EXPECT_EQ(messages.texts(), QStringList{"Es wurde kein Name angegeben!"});
    }
    EXPECT_EQ(count("SELECT COUNT(*) FROM tab_gruppen"), 0);
    // A non-breaking space is a character like any other.
    TDLG_Gruppe d(ctx, QString(), nullptr);
    name(d)->setText(QStringLiteral("\u00a0"));
    d.Button_SaveClick();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(value("SELECT Name FROM tab_gruppen"), QStringLiteral("\u00a0"));
}
