#include "ToolsFixture.h"

#include "support/FakeAdressenRows.h"
#include "tools/TDLG_AutoNamen.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QTest>

namespace {
constexpr int kLine6 = 6;

class AutoNamenTest : public ::testing::Test
{
protected:
    // Stores the address in the database and shows it in the list.
    int listed(const QString& id, const QStringList& lines, const QString& line6 = {})
    {
        env.addAddress(id, QStringLiteral("GR00000001"), lines, line6);
        return rows.add(id, lines, line6);
    }

    // Runs the dialog's generation as the user would: options set, "Starten" clicked.
    std::unique_ptr<TDLG_AutoNamen> start(int lineIndex = 1, bool onlyMissing = false)
    {
        auto dialog = std::make_unique<TDLG_AutoNamen>(env.ctx, &rows);
        dialog->findChild<QComboBox*>(QStringLiteral("ComboBox_Spalte"))->setCurrentIndex(lineIndex);
        dialog->findChild<QCheckBox*>(QStringLiteral("CheckBox_Update"))->setChecked(onlyMissing);
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("Button_Start")), Qt::LeftButton);
        return dialog;
    }

    ToolsContext env;
    FakeAdressenRows rows;
};

TEST_F(AutoNamenTest, ControlsStartWithLineTwoAndTheOptionOff)
{
    TDLG_AutoNamen dialog(env.ctx, &rows);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Namen automatisch generieren"));
    auto* spalte = dialog.findChild<QComboBox*>(QStringLiteral("ComboBox_Spalte"));
    ASSERT_NE(spalte, nullptr);
    QStringList items;
    for (int i = 0; i < spalte->count(); ++i)
        items << spalte->itemText(i);
    EXPECT_EQ(items, (QStringList{"Zeile 1", "Zeile 2", "Zeile 3", "Zeile 4", "Zeile 5"}));
    EXPECT_EQ(spalte->currentText(), QStringLiteral("Zeile 2"));
    auto* update = dialog.findChild<QCheckBox*>(QStringLiteral("CheckBox_Update"));
    EXPECT_FALSE(update->isChecked());
    EXPECT_EQ(update->toolTip(), QStringLiteral("Namen nach Aufnahme neuer Adressen aktualisieren"));
    EXPECT_FALSE(dialog.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_TRUE(dialog.findChild<QPushButton*>(QStringLiteral("Button_Start"))->isEnabled());

    TDLG_AutoNamen withoutList(env.ctx, nullptr);
    EXPECT_FALSE(withoutList.findChild<QPushButton*>(QStringLiteral("Button_Start"))->isEnabled());
}

TEST_F(AutoNamenTest, ReversesTheChosenLineIntoListAndDatabase)
{
    struct Case
    {
        QString line, name;
    };
    const std::vector<Case> cases{
        {"Max Mustermann", "Mustermann Max"},   {"Hans Peter Müller", "Müller Peter Hans"},
        {"Dr. Hans Meier", "Meier Hans Dr."},   {"Mustermann, Max", "Max Mustermann"},
        {"Meier", "Meier"},                      {"", ""},
        {"   ", ""},
        // A value spelled like a column name is stored as typed.
        {"Line2", "Line2"},
    };
    for (size_t i = 0; i < cases.size(); ++i)
        listed(QStringLiteral("AD%1").arg(i + 1, 8, 10, QChar(u'0')),
               {QStringLiteral("Herrn"), cases[i].line, QStringLiteral("Hauptstraße 1")}, QStringLiteral("alt"));

    auto dialog = start();
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_TRUE(env.messages.shown.isEmpty()) << env.messages.texts().join(u'\n').toStdString();
    EXPECT_FALSE(env.ctx.db().InTransaction());
    for (size_t i = 0; i < cases.size(); ++i) {
        const QString id = QStringLiteral("AD%1").arg(i + 1, 8, 10, QChar(u'0'));
        EXPECT_EQ(rows.Cell(int(i), kLine6), cases[i].name) << cases[i].line.toStdString();
        EXPECT_EQ(env.line6(id), cases[i].name) << cases[i].line.toStdString();
    }
}

TEST_F(AutoNamenTest, LineOneWithASalutationGivesTheSalutation)
{
    listed("AD00000001", {"Herrn", "Max Mustermann"});
    start(0);
    EXPECT_EQ(env.line6("AD00000001"), QStringLiteral("Herrn"));
    EXPECT_EQ(rows.Cell(0, kLine6), QStringLiteral("Herrn"));
}

TEST_F(AutoNamenTest, UpdateOnlyLeavesExistingNamesAlone)
{
    listed("AD00000001", {"Herrn", "Max Mustermann"}, "Von Hand");
    listed("AD00000002", {"Frau", "Erika Musterfrau"}, "  ");
    listed("AD00000003", {"Firma", ""}, "");
    start(1, true);
    EXPECT_EQ(env.line6("AD00000001"), QStringLiteral("Von Hand"));
    EXPECT_EQ(rows.Cell(0, kLine6), QStringLiteral("Von Hand"));
    EXPECT_EQ(env.line6("AD00000002"), QStringLiteral("Musterfrau Erika"));
    EXPECT_EQ(env.line6("AD00000003"), QString());

    // Without the option an empty line clears an existing name.
    rows.rows.clear();
    listed("AD00000004", {"Firma", ""}, "Alter Name");
    start(1, false);
    EXPECT_EQ(env.line6("AD00000004"), QString());
}

TEST_F(AutoNamenTest, UpdateOnlyTakesNonBreakingSpaceAsANameAndControlCharactersAsNone)
{
    listed("AD00000001", {"Herrn", "Max Mustermann"}, QStringLiteral("\u00a0"));
    listed("AD00000002", {"Frau", "Erika Musterfrau"}, QStringLiteral("\u0001\t"));
    start(1, true);
    EXPECT_EQ(env.line6("AD00000001"), QStringLiteral("\u00a0"));
    EXPECT_EQ(env.line6("AD00000002"), QStringLiteral("Musterfrau Erika"));
}

TEST_F(AutoNamenTest, TwoRunsEqualOne)
{
    listed("AD00000001", {"", "Max Mustermann"});
    listed("AD00000002", {"", "Mustermann, Max"});
    start();
    const QStringList once{env.line6("AD00000001"), env.line6("AD00000002"), rows.Cell(0, kLine6), rows.Cell(1, kLine6)};
    start();
    const QStringList twice{env.line6("AD00000001"), env.line6("AD00000002"), rows.Cell(0, kLine6),
                            rows.Cell(1, kLine6)};
    EXPECT_EQ(once, twice);
    EXPECT_EQ(once.first(), QStringLiteral("Mustermann Max"));
}

TEST_F(AutoNamenTest, OnlyTheListedRowsChange)
{
    listed("AD00000001", {"", "Max Mustermann"}, "alt");
    // Another group's address and one the search filtered out: in the database only.
    env.addAddress("AD00000002", "GR00000002", {"", "Erika Musterfrau"}, "bleibt");
    env.addAddress("AD00000003", "GR00000001", {"", "Hans Meier"}, "auch");
    // A row without identifiers is passed over.
    rows.addWithoutData({"", "Ohne Daten"}, "leer");

    auto dialog = start();
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(env.line6("AD00000001"), QStringLiteral("Mustermann Max"));
    EXPECT_EQ(env.line6("AD00000002"), QStringLiteral("bleibt"));
    EXPECT_EQ(env.line6("AD00000003"), QStringLiteral("auch"));
    EXPECT_EQ(rows.Cell(1, kLine6), QStringLiteral("leer"));
}

TEST_F(AutoNamenTest, EmptyListOrMissingTableStillClosesWithOk)
{
    EXPECT_EQ(start()->result(), QDialog::Accepted);
    env.ctx.db().ExecSQL(QStringLiteral("DROP TABLE tab_adressen"));
    rows.add("AD00000001", {"", "Max Mustermann"}, "alt");
    EXPECT_EQ(start()->result(), QDialog::Accepted);
    EXPECT_EQ(rows.Cell(0, kLine6), QStringLiteral("alt"));
    EXPECT_TRUE(env.messages.shown.isEmpty());
}

TEST_F(AutoNamenTest, ErrorKeepsWhatWasWrittenAndTheDialogOpen)
{
    listed("AD00000001", {"", "Max Mustermann"});
    listed("AD00000002", {"", "Erika Musterfrau"}, "alt");
    listed("AD00000003", {"", "Hans Meier"});
    env.ctx.db().ExecSQL(QStringLiteral("CREATE TRIGGER stop BEFORE UPDATE ON tab_adressen "
                                        "WHEN NEW.Adresse_ID='AD00000002' BEGIN SELECT RAISE(ABORT, 'gesperrt'); END"));
    auto dialog = start();
    EXPECT_NE(dialog->result(), QDialog::Accepted);
    ASSERT_EQ(env.messages.shown.size(), 1);
    EXPECT_EQ(env.messages.shown[0].kind, Msg::Error);
    EXPECT_TRUE(env.messages.shown[0].text.contains(QStringLiteral("gesperrt")));
    EXPECT_FALSE(env.ctx.db().InTransaction());
    // The first row was committed; the failing row and the rest are untouched, and the
    // list shows what the database holds.
    EXPECT_EQ(env.line6("AD00000001"), QStringLiteral("Mustermann Max"));
    EXPECT_EQ(env.line6("AD00000002"), QStringLiteral("alt"));
    EXPECT_EQ(rows.Cell(1, kLine6), QStringLiteral("alt"));
    EXPECT_EQ(env.line6("AD00000003"), QString());
    EXPECT_TRUE(dialog->findChild<QPushButton*>(QStringLiteral("Button_Start"))->isEnabled());
    EXPECT_TRUE(dialog->findChild<QPushButton*>(QStringLiteral("Button_Cancel"))->isEnabled());
}

TEST_F(AutoNamenTest, CancelWritesNothingAndHelpOpensTheAddressTopic)
{
    listed("AD00000001", {"", "Max Mustermann"}, "alt");
    TDLG_AutoNamen dialog(env.ctx, &rows);
    QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("Button_Help")), Qt::LeftButton);
    EXPECT_EQ(env.help.topics, QList<int>{1004});
    QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("Button_Cancel")), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(env.line6("AD00000001"), QStringLiteral("alt"));
}
} // namespace
