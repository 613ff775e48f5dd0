#include "app/ReverseWords.h"
#include "dialogs/TDLG_Adresse.h"
#include "support/DialogFixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <QToolButton>

class AdresseDialog : public DialogFixture
{
protected:
    void SetUp() override
    {
        DialogFixture::SetUp();
        db().ExecSQL("INSERT INTO tab_gruppen (Gruppe_ID, Name) VALUES ('GR00000001', 'Eins'), ('GR00000002', 'Zwei')");
    }
    template <typename T>
    static T* child(QWidget& d, const char* name)
    {
        T* w = d.findChild<T*>(QString::fromLatin1(name));
        EXPECT_TRUE(w) << name;
        return w;
    }
    static QLineEdit* line(QWidget& d, int n) { return child<QLineEdit>(d, QStringLiteral("Edit_Line%1").arg(n).toLatin1()); }
    static QStringList items(QComboBox* c)
    {
        QStringList l;
        for (int i = 0; i < c->count(); ++i)
            l << c->itemText(i);
        return l;
    }
    void insertAddress(const QString& id, const QStringList& lines, const QString& gruppe = "GR00000001")
    {
        db().ExecSQL("INSERT INTO tab_adressen (Adresse_ID, Gruppe_ID, Line1, Line2, Line3, Line4, Line5, Line6, Aktiv) "
                     "VALUES (?,?,?,?,?,?,?,?,0)",
                     {id, gruppe, lines.value(0), lines.value(1), lines.value(2), lines.value(3), lines.value(4), "Sortname"});
    }
};

TEST_F(AdresseDialog, NewAddressOpensEmptyAndActive)
{
    TDLG_Adresse d(ctx, QString(), "GR00000001", nullptr);
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Neue Adresse hinzufügen..."));
    EXPECT_EQ(child<QTabBar>(d, "TabsControl_Adresse")->currentIndex(), 0);
    for (int n = 1; n <= 5; ++n) {
        EXPECT_TRUE(line(d, n)->text().isEmpty());
        EXPECT_EQ(line(d, n)->maxLength(), 50);
    }
    EXPECT_TRUE(child<QCheckBox>(d, "CheckBox_Aktiv")->isChecked());
    EXPECT_EQ(child<QComboBox>(d, "ComboBox_Line6")->count(), 0);
    EXPECT_EQ(items(child<QComboBox>(d, "ComboBox_Versand")), (QStringList{"Deutsche Post", "Biberpost", "Kurier"}));
    auto* counter = child<QLabel>(d, "Label_Bemerkung_Count");
    EXPECT_EQ(counter->text(), QStringLiteral("Noch 255 Zeichen"));
    EXPECT_EQ(counter->palette().color(QPalette::WindowText), QColor(128, 128, 128));
    EXPECT_EQ(child<QLineEdit>(d, "Edit_Telefon")->maxLength(), 30);
    EXPECT_EQ(child<QLineEdit>(d, "Edit_Mail")->maxLength(), 50);
}

TEST_F(AdresseDialog, RemarkCounterFollowsTheText)
{
    TDLG_Adresse d(ctx, QString(), "GR00000001", nullptr);
    auto* memo = child<QPlainTextEdit>(d, "Memo_Bemerkung");
    auto* counter = child<QLabel>(d, "Label_Bemerkung_Count");
    const struct
    {
        int length;
        const char* text;
        QColor colour;
    } cases[] = {
        {0, "Noch 255 Zeichen", QColor(128, 128, 128)},
        {239, "Noch 16 Zeichen", QColor(128, 128, 128)},
        {240, "Noch 15 Zeichen", QColor(255, 0, 0)},
        {254, "Noch 1 Zeichen", QColor(255, 0, 0)},
        {255, "Keine Eingabe mehr möglich!", QColor(255, 0, 0)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.length);
        memo->setPlainText(QString(c.length, u'x'));
        EXPECT_EQ(counter->text(), QString::fromUtf8(c.text));
        EXPECT_EQ(counter->palette().color(QPalette::WindowText), c.colour);
    }
    // Typing past the limit is cut off at 255 characters.
    memo->setPlainText(QString(254, u'x'));
    memo->moveCursor(QTextCursor::End);
    QTest::keyClicks(memo, "abc");
    EXPECT_EQ(memo->toPlainText().size(), 255);
    EXPECT_EQ(counter->text(), QStringLiteral("Keine Eingabe mehr möglich!"));
}

TEST_F(AdresseDialog, SuggestsEachLineWithItsWordsReversed)
{
    insertAddress("AD00000001", {"Herrn", "Max Mustermann", "Hauptstraße 5", "", ""});
    TDLG_Adresse d(ctx, "AD00000001", "GR00000001", nullptr);
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Adresse bearbeiten..."));
    auto* combo = child<QComboBox>(d, "ComboBox_Line6");
    EXPECT_EQ(items(combo), (QStringList{"Herrn", "Mustermann Max", "5 Hauptstraße"}));
    EXPECT_EQ(combo->currentText(), QStringLiteral("Sortname"));
    EXPECT_EQ(combo->maxVisibleItems(), 20);
    EXPECT_FALSE(child<QCheckBox>(d, "CheckBox_Aktiv")->isChecked());
    // The list is built once: later edits of the lines do not change it.
    line(d, 2)->setText("Erika Musterfrau");
    EXPECT_EQ(items(combo).value(1), QStringLiteral("Mustermann Max"));
}

TEST_F(AdresseDialog, BlankFirstLineIsRefusedOnTheFirstTab)
{
    TDLG_Adresse d(ctx, QString(), "GR00000001", nullptr);
    d.show();
    line(d, 1)->setText("  \t ");
    auto* tabs = child<QTabBar>(d, "TabsControl_Adresse");
    tabs->setCurrentIndex(1);
    child<QPushButton>(d, "Button_Save")->click();
    EXPECT_EQ(messages.texts(), QStringList{"Die 1. Zeile muss angegeben werden!"});
    EXPECT_EQ(messages.shown.value(0).kind, Msg::Error);
    EXPECT_EQ(tabs->currentIndex(), 0);
    EXPECT_TRUE(child<QWidget>(d, "Panel_Daten")->isVisible());
    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(count("SELECT COUNT(*) FROM tab_adressen"), 0);
}

TEST_F(AdresseDialog, NewAddressIsSavedWithItsExtraDataAsTyped)
{
    TDLG_Adresse d(ctx, QString(), "GR00000002", nullptr);
    line(d, 1)->setText("Firma \"Meier\" & Co");
    line(d, 2)->setText("Line2");
    line(d, 3)->setText("  eingerückt  ");
    child<QComboBox>(d, "ComboBox_Line6")->setEditText("Meier");
    child<QCheckBox>(d, "CheckBox_Aktiv")->setChecked(false);
    child<QLineEdit>(d, "Edit_Telefon")->setText("030 123");
    child<QLineEdit>(d, "Edit_Mail")->setText("a@b.de");
    child<QComboBox>(d, "ComboBox_Versand")->setEditText("Brieftaube");
    child<QPlainTextEdit>(d, "Memo_Bemerkung")->setPlainText("Zeile 1\nZeile \"2\"");
    activate(d);
    QTest::keyClick(line(d, 2), Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(d.result(), QDialog::Accepted);
    const QString id = d.AdresseID();
    EXPECT_EQ(id, QStringLiteral("AD00000001"));
    TSQLiteTable a = db().GetTable("SELECT * FROM tab_adressen WHERE Adresse_ID=?", {id});
    ASSERT_EQ(a.Count(), 1);
    EXPECT_EQ(a.Field("Gruppe_ID"), QStringLiteral("GR00000002"));
    EXPECT_EQ(a.Field("Line1"), QStringLiteral("Firma \"Meier\" & Co"));
    EXPECT_EQ(a.Field("Line2"), QStringLiteral("Line2"));
    EXPECT_EQ(a.Field("Line3"), QStringLiteral("  eingerückt  "));
    EXPECT_EQ(a.Field("Line6"), QStringLiteral("Meier"));
    EXPECT_EQ(a.Field("Aktiv"), QStringLiteral("0"));
    TSQLiteTable t = db().GetTable("SELECT * FROM tab_daten WHERE Adresse_ID=?", {id});
    ASSERT_EQ(t.Count(), 1);
    EXPECT_EQ(t.Field("Daten_ID"), QStringLiteral("DA00000001"));
    EXPECT_EQ(t.Field("Telefon"), QStringLiteral("030 123"));
    EXPECT_EQ(t.Field("Fax"), QString());
    EXPECT_EQ(t.Field("Mail"), QStringLiteral("a@b.de"));
    EXPECT_EQ(t.Field("Versand"), QStringLiteral("Brieftaube"));
    EXPECT_EQ(t.Field("Bemerkung"), QStringLiteral("Zeile 1\nZeile \"2\""));
}

TEST_F(AdresseDialog, ExtraDataRowIsInsertedOnceThenUpdatedAndTheGroupNeverChanges)
{
    insertAddress("AD00000004", {"Herrn", "Max Mustermann"});
    {
        // Opened from another group: the address stays where it is.
        TDLG_Adresse d(ctx, "AD00000004", "GR00000002", nullptr);
        child<QLineEdit>(d, "Edit_Fax")->setText("040 1");
        d.Button_SaveClick();
        EXPECT_EQ(d.AdresseID(), QStringLiteral("AD00000004"));
        EXPECT_EQ(d.DatenID(), QStringLiteral("DA00000001"));
    }
    {
        TDLG_Adresse d(ctx, "AD00000004", "GR00000002", nullptr);
        EXPECT_EQ(d.DatenID(), QStringLiteral("DA00000001"));
        EXPECT_EQ(child<QLineEdit>(d, "Edit_Fax")->text(), QStringLiteral("040 1"));
        child<QLineEdit>(d, "Edit_Fax")->setText("040 2");
        line(d, 1)->setText("Frau");
        d.Button_SaveClick();
    }
    EXPECT_EQ(count("SELECT COUNT(*) FROM tab_daten"), 1);
    EXPECT_EQ(value("SELECT Fax FROM tab_daten WHERE Daten_ID='DA00000001'"), QStringLiteral("040 2"));
    EXPECT_EQ(value("SELECT Line1 FROM tab_adressen WHERE Adresse_ID='AD00000004'"), QStringLiteral("Frau"));
    EXPECT_EQ(value("SELECT Gruppe_ID FROM tab_adressen WHERE Adresse_ID='AD00000004'"), QStringLiteral("GR00000001"));
    EXPECT_EQ(count("SELECT COUNT(*) FROM tab_adressen"), 1);
}

TEST_F(AdresseDialog, NewAddressDoesNotInheritExtraDataOfADeletedOne)
{
    // The extra data of a deleted AD00000001 is still in the file; the next new address
    // gets that number again.
    db().ExecSQL("INSERT INTO tab_daten (Daten_ID, Adresse_ID, Telefon) VALUES ('DA00000001', 'AD00000001', 'alt')");
    TDLG_Adresse d(ctx, QString(), "GR00000001", nullptr);
    line(d, 1)->setText("Neu");
    d.Button_SaveClick();
    ASSERT_EQ(d.AdresseID(), QStringLiteral("AD00000001"));
    TDLG_Adresse again(ctx, d.AdresseID(), "GR00000001", nullptr);
    EXPECT_EQ(child<QLineEdit>(again, "Edit_Telefon")->text(), QString());
    EXPECT_EQ(count("SELECT COUNT(*) FROM tab_daten WHERE Adresse_ID='AD00000001'"), 1);
}

TEST_F(AdresseDialog, EscapeDiscardsEditsAndHelpOpensItsTopic)
{
    insertAddress("AD00000001", {"Herrn"});
    TDLG_Adresse d(ctx, "AD00000001", "GR00000001", nullptr);
    d.show();
    line(d, 1)->setText("Geändert");
    child<QToolButton>(d, "Button_Help")->click();
    EXPECT_EQ(help.topics, QList<int>{1004});
    QTest::keyClick(line(d, 1), Qt::Key_Escape);
    EXPECT_EQ(d.result(), QDialog::Rejected);
    EXPECT_EQ(value("SELECT Line1 FROM tab_adressen"), QStringLiteral("Herrn"));
    EXPECT_EQ(count("SELECT COUNT(*) FROM tab_daten"), 0);
}

TEST_F(AdresseDialog, LongStoredValuesAreShownWholeAndSavedUnchanged)
{
    // An imported address joins two fields into one line; a remark written elsewhere can be
    // longer than the field takes and hold Windows line ends.
    const QStringList lines{"Lumo Software GmbH & Co. KG, Geschäftsbereich Briefumschläge", "kurz",
                            "Am Alten Güterbahnhof, Gebäude C, Eingang Nord, 3. Obergeschoss", "", ""};
    insertAddress("AD00000001", lines);
    const QString line6 = QStringLiteral("Geschäftsbereich Briefumschläge KG Co. & GmbH Software Lumo");
    const QString telefon = QStringLiteral("+49 221 1234567-890 (Zentrale, Durchwahl)");
    const QString remark = QString(200, u'a') + QStringLiteral("\r\n") + QString(120, u'b');
    db().ExecSQL("UPDATE tab_adressen SET Line6=? WHERE Adresse_ID='AD00000001'", {line6});
    db().ExecSQL("INSERT INTO tab_daten (Daten_ID, Adresse_ID, Telefon, Mail, Versand, Bemerkung) VALUES "
                 "('DA00000001', 'AD00000001', ?, 'm@example.org', ?, ?)",
                 {telefon, QString(60, u'v'), remark});
    const QString before = value("SELECT Line1 || '|' || Line2 || '|' || Line3 || '|' || Line6 || '|' || Telefon || '|' "
                                 "|| Versand || '|' || Bemerkung FROM tab_adressen JOIN tab_daten USING(Adresse_ID)");

    TDLG_Adresse d(ctx, "AD00000001", "GR00000001", nullptr);
    EXPECT_EQ(line(d, 1)->text(), lines[0]);
    EXPECT_EQ(line(d, 3)->text(), lines[2]);
    EXPECT_EQ(child<QComboBox>(d, "ComboBox_Line6")->currentText(), line6);
    EXPECT_EQ(child<QLineEdit>(d, "Edit_Telefon")->text(), telefon);
    EXPECT_EQ(child<QComboBox>(d, "ComboBox_Versand")->currentText(), QString(60, u'v'));
    EXPECT_EQ(child<QPlainTextEdit>(d, "Memo_Bemerkung")->toPlainText(), QString(remark).replace("\r\n", "\n"));
    // The counter counts the stored remark, which is as long as it may get.
    EXPECT_EQ(child<QLabel>(d, "Label_Bemerkung_Count")->text(), QStringLiteral("Keine Eingabe mehr möglich!"));
    d.Button_SaveClick();
    EXPECT_EQ(value("SELECT Line1 || '|' || Line2 || '|' || Line3 || '|' || Line6 || '|' || Telefon || '|' "
                    "|| Versand || '|' || Bemerkung FROM tab_adressen JOIN tab_daten USING(Adresse_ID)"),
              before);

    // A sort name picked from the suggestions of a long line is taken whole.
    TDLG_Adresse again(ctx, "AD00000001", "GR00000001", nullptr);
    auto* combo = child<QComboBox>(again, "ComboBox_Line6");
    const QString longest = ReverseWords(lines[2]);
    ASSERT_GT(longest.size(), line6.size());
    ASSERT_GE(combo->findText(longest), 0);
    combo->setCurrentIndex(combo->findText(longest));
    EXPECT_EQ(combo->currentText(), longest);
}

TEST_F(AdresseDialog, TypingDoesNotLengthenAFieldBeyondItsLimitOrStoredLength)
{
    const QString longLine(70, u'L');
    insertAddress("AD00000001", {longLine, "kurz"});
    db().ExecSQL("INSERT INTO tab_daten (Daten_ID, Adresse_ID, Bemerkung) VALUES ('DA00000001', 'AD00000001', ?)",
                 {QString(300, u'r')});
    TDLG_Adresse d(ctx, "AD00000001", "GR00000001", nullptr);
    for (QLineEdit* e : {line(d, 1), line(d, 2)}) {
        e->end(false);
        QTest::keyClicks(e, QString(60, u'x'));
    }
    EXPECT_EQ(line(d, 1)->text(), longLine);
    EXPECT_EQ(line(d, 2)->text(), QStringLiteral("kurz") + QString(46, u'x'));
    auto* memo = child<QPlainTextEdit>(d, "Memo_Bemerkung");
    memo->moveCursor(QTextCursor::End);
    QTest::keyClicks(memo, "abc");
    EXPECT_EQ(memo->toPlainText(), QString(300, u'r'));
    QTest::keyClick(memo, Qt::Key_Backspace);
    EXPECT_EQ(child<QLabel>(d, "Label_Bemerkung_Count")->text(), QStringLiteral("Noch 1 Zeichen"));
}

TEST_F(AdresseDialog, FirstLineOfControlCharactersIsBlankButANonBreakingSpaceIsNot)
{
    TDLG_Adresse refused(ctx, QString(), "GR00000001", nullptr);
    line(refused, 1)->setText(QStringLiteral("\u0001\u001f"));
    refused.Button_SaveClick();
    EXPECT_EQ(messages.texts(), QStringList{"Die 1. Zeile muss angegeben werden!"});
    TDLG_Adresse taken(ctx, QString(), "GR00000001", nullptr);
    line(taken, 1)->setText(QStringLiteral("\u00a0"));
    taken.Button_SaveClick();
    EXPECT_EQ(taken.result(), QDialog::Accepted);
    EXPECT_EQ(count("SELECT COUNT(*) FROM tab_adressen"), 1);
}

// A name the code page cannot hold is stored in Latin letters, and the dialog says so once.
TEST_F(AdresseDialog, LettersThePageLacksAreStoredInLatinAndToldOnce)
{
    TDLG_Adresse d(ctx, QString(), "GR00000001", nullptr);
    line(d, 1)->setText(QStringLiteral("Zoë Łukasiewicz"));
    line(d, 2)->setText(QStringLiteral("ul. Długa 5"));
    line(d, 3)->setText(QStringLiteral("Łódź"));
    line(d, 5)->setText(QStringLiteral("Straße 10 €"));
    child<QComboBox>(d, "ComboBox_Line6")->setEditText(QStringLiteral("Юрий"));
    activate(d);
    QTest::keyClick(line(d, 2), Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(d.result(), QDialog::Accepted);
    TSQLiteTable a = db().GetTable("SELECT * FROM tab_adressen WHERE Adresse_ID=?", {d.AdresseID()});
    ASSERT_EQ(a.Count(), 1);
    EXPECT_EQ(a.Field("Line1"), QStringLiteral("Zoë Lukasiewicz"));
    EXPECT_EQ(a.Field("Line2"), QStringLiteral("ul. Dluga 5"));
    EXPECT_EQ(a.Field("Line3"), QStringLiteral("Lódz"));
    EXPECT_EQ(a.Field("Line5"), QStringLiteral("Straße 10 €"));
    EXPECT_EQ(a.Field("Line6"), QStringLiteral("Urij"));
    EXPECT_EQ(messages.texts(),
              QStringList{QStringLiteral("Einige Zeichen wurden durch ähnliche ersetzt: Ł → L, ł → l, ź → z, Юрий → Urij")});

    // Letters the page has: nothing to say.
    messages.shown.clear();
    TDLG_Adresse plain(ctx, QString(), "GR00000001", nullptr);
    line(plain, 1)->setText(QStringLiteral("Müller, Øre, Café, 5 €"));
    activate(plain);
    QTest::keyClick(line(plain, 1), Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(plain.result(), QDialog::Accepted);
    EXPECT_TRUE(messages.texts().isEmpty());
}
