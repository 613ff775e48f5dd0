// A group longer than the first rows the list shows at once: the count, the selection and
// the rows before and after the rest arrives.
#include "MainWindowHarness.h"
#include "app/GeneralError.h"
#include "mainwindow/AdressenList.h"
#include "support/ForeignConnection.h"
#include "support/ModalAnswer.h"

#include <QAbstractButton>
#include <QComboBox>

#include <functional>

namespace {

constexpr int kLong = AdressenList::kFirstRows + 400;

// Group GR00000001 with kLong addresses "Zeile <i>" (every third inactive), group
// GR00000002 with one address.
QStringList LongGroup()
{
    return {
        "INSERT INTO tab_gruppen VALUES('GR00000001','Viele')",
        "INSERT INTO tab_gruppen VALUES('GR00000002','Eine')",
        QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                       "INSERT INTO tab_adressen SELECT printf('AD%08d', i), 'GR00000001', 'Zeile ' || i, "
                       "'Weg ' || i, '', '', '', 'Name ' || i, CASE WHEN i % 3 = 0 THEN 0 ELSE 1 END FROM n")
            .arg(kLong),
        "INSERT INTO tab_adressen VALUES('AD90000001','GR00000002','Oma Hilde','Rosenweg','','99084 E','','',1)",
    };
}

AdressenList& list(const MainWindowHarness& h)
{
    return *h.find<AdressenList>("Panel_Adressen");
}

// The list's own rows (the window hands commands the whole list, read to its end).
AdressenModel& rows(const MainWindowHarness& h)
{
    return *list(h).Model();
}

bool waitForRest(const MainWindowHarness& h)
{
    return QTest::qWaitFor([&] { return !list(h).RowsPending(); }, 5000);
}

} // namespace

TEST(LongList, CountsTheWholeGroupBeforeAndAfterTheRestArrives)
{
    MainWindowHarness h;
    h.seed(LongGroup());
    TForm_Tavisto& w = h.start();
    const AdressenModel& a = rows(h);

    ASSERT_TRUE(list(h).RowsPending());
    EXPECT_LT(a.rowCount(), kLong);
    EXPECT_EQ(h.caption("VCap_Adressen"), QStringLiteral("Adressen (%1)").arg(kLong));
    EXPECT_EQ(w.GetSelectedAdresseID(), QStringLiteral("AD00000001"));
    // The user moves to the fourth row before the rest arrives; it stays selected.
    h.adressenGrid()->setCurrentIndex(a.index(3, 1));

    ASSERT_TRUE(waitForRest(h));
    EXPECT_EQ(a.rowCount(), kLong);
    EXPECT_EQ(h.caption("VCap_Adressen"), QStringLiteral("Adressen (%1)").arg(kLong));
    EXPECT_EQ(w.GetSelectedAdresseID(), QStringLiteral("AD00000004"));
    EXPECT_EQ(a.Cell(kLong - 1, AdressenModel::ColNr), QString::number(kLong));
    EXPECT_EQ(a.Cell(kLong - 1, 1), QStringLiteral("Zeile %1").arg(kLong));
    EXPECT_EQ(a.Data(kLong - 1)->Adresse_ID, QStringLiteral("AD%1").arg(kLong, 8, 10, QChar('0')));
    EXPECT_TRUE(h.messages.shown.isEmpty());
}

TEST(LongList, AMarkSetBeforeTheRestArrivesStays)
{
    MainWindowHarness h;
    h.seed(LongGroup());
    h.start();
    AdressenModel& a = rows(h);
    ASSERT_TRUE(list(h).RowsPending());
    list(h).ToggleAktiv(0);
    EXPECT_EQ(a.Cell(0, AdressenModel::ColAktiv), QString());

    ASSERT_TRUE(waitForRest(h));
    EXPECT_EQ(a.Cell(0, AdressenModel::ColAktiv), QString());
    EXPECT_EQ(a.data(a.index(0, 1), Qt::ForegroundRole).value<QColor>(), QColor(112, 111, 119));
    EXPECT_EQ(h.scalar("SELECT Aktiv FROM tab_adressen WHERE Adresse_ID='AD00000001'"), "0");
}

TEST(LongList, SelectingARowNotYetReadReadsTheRestFirst)
{
    MainWindowHarness h;
    h.seed(LongGroup());
    TForm_Tavisto& w = h.start();
    ASSERT_TRUE(list(h).RowsPending());

    w.SelectAdresseByID(QStringLiteral("AD%1").arg(kLong - 10, 8, 10, QChar('0')));
    EXPECT_FALSE(list(h).RowsPending());
    EXPECT_EQ(w.GetSelectedAdresseID(), QStringLiteral("AD%1").arg(kLong - 10, 8, 10, QChar('0')));
    EXPECT_EQ(rows(h).RowCount(), kLong);
}

TEST(LongList, TheRowsShownToCommandsAreTheWholeList)
{
    MainWindowHarness h;
    h.seed(LongGroup());
    TForm_Tavisto& w = h.start();
    ASSERT_TRUE(list(h).RowsPending());

    const AdressenRows& shown = w.AdressenRowsShown();
    EXPECT_EQ(shown.RowCount(), kLong);
    EXPECT_EQ(shown.Cell(kLong - 1, AdressenModel::ColName), QStringLiteral("Name %1").arg(kLong));
}

TEST(LongList, AnotherGroupChosenBeforeTheRestArrivesShowsOnlyItsOwnRows)
{
    MainWindowHarness h;
    h.seed(LongGroup());
    TForm_Tavisto& w = h.start();
    ASSERT_TRUE(list(h).RowsPending());

    w.SelectGruppeByID(QStringLiteral("GR00000002"));
    EXPECT_FALSE(list(h).RowsPending());
    QTest::qWait(50);
    EXPECT_EQ(rows(h).RowCount(), 1);
    EXPECT_EQ(h.caption("VCap_Adressen"), QStringLiteral("Adressen (1)"));
    EXPECT_EQ(w.GetSelectedAdresseID(), QStringLiteral("AD90000001"));
}

TEST(LongList, AFilteredLongListCountsWhatMatches)
{
    MainWindowHarness h;
    h.seed(LongGroup());
    h.start();
    ASSERT_TRUE(waitForRest(h));

    // Two of every three are active: still more than the first rows.
    const int active = kLong - kLong / 3;
    h.find<QComboBox>("ComboBox_Adressen_Ansicht")->setCurrentIndex(1);
    ASSERT_GT(active, AdressenList::kFirstRows);
    EXPECT_TRUE(list(h).RowsPending());
    EXPECT_EQ(h.caption("VCap_Adressen"), QStringLiteral("Adressen (%1) - Gefiltert").arg(active));
    ASSERT_TRUE(waitForRest(h));
    EXPECT_EQ(rows(h).RowCount(), active);
    EXPECT_EQ(h.caption("VCap_Adressen"), QStringLiteral("Adressen (%1) - Gefiltert").arg(active));
    EXPECT_EQ(column(rows(h), AdressenModel::ColAktiv).count(QString()), 0);

    // Sorted, the list is whole at once.
    h.find<QComboBox>("ComboBox_Sort")->setCurrentIndex(1);
    EXPECT_FALSE(list(h).RowsPending());
    EXPECT_EQ(rows(h).RowCount(), active);
    EXPECT_EQ(h.caption("VCap_Adressen"), QStringLiteral("Adressen (%1) - Gefiltert").arg(active));
}

// Another program holds the database file while the rest of a long list is due. The list
// keeps its first rows and the whole count without a word; export, sort names and selecting
// an address beyond the first rows each say why they cannot run and do nothing. Once the
// file is free the rest arrives on its own and the same commands work on the whole list.
TEST(LongList, TheRestThatCannotBeReadStaysToComeAndCommandsSaySo)
{
    MainWindowHarness h;
    h.seed(LongGroup());
    TForm_Tavisto& w = h.start();
    ASSERT_TRUE(list(h).RowsPending());
    const int first = rows(h).rowCount();
    ForeignConnection other(h.databaseFile());
    ASSERT_TRUE(other.exec("BEGIN EXCLUSIVE")) << other.error();

    QTest::qWait(200);  // the rest is tried and refused
    EXPECT_TRUE(list(h).RowsPending()) << "the rest was given up";
    EXPECT_EQ(rows(h).rowCount(), first);
    EXPECT_EQ(h.caption("VCap_Adressen"), QStringLiteral("Adressen (%1)").arg(kLong));
    EXPECT_TRUE(h.messages.shown.isEmpty()) << h.messages.texts().join(" | ").toStdString();

    const QString last = QStringLiteral("AD%1").arg(kLong, 8, 10, QChar('0'));
    const QString selected = w.GetSelectedAdresseID();
    const struct
    {
        const char* command;
        std::function<void()> run;
        const char* consequence;
    } commands[] = {
        {"export", [&] { h.find<QAbstractButton>("TB_Adresse_Export")->click(); }, "Es wurde nichts ausgeführt."},
        {"sort names", [&] { h.find<QAbstractButton>("TB_Adresse_AutoNamen")->click(); }, "Es wurde nichts ausgeführt."},
        // As after the address dialog saved a record that lies beyond the first rows.
        {"select", [&] { RunGuarded(h.ctx.Messages, [&] { w.SelectAdresseByID(last); }); },
         "Die Adresse kann deshalb nicht ausgewählt werden."},
    };
    for (const auto& c : commands) {
        SCOPED_TRACE(c.command);
        h.messages.shown.clear();
        ModalAnswer dialog([](QDialog* d) { d->reject(); });
        c.run();
        dialog.settle();
        EXPECT_FALSE(dialog.seen()) << "the command went on with part of the list: " << dialog.dialogName().toStdString();
        ASSERT_EQ(h.messages.shown.size(), 1);
        const QString text = h.messages.texts().first();
        EXPECT_TRUE(text.startsWith(QStringLiteral("Die Adressliste konnte nicht vollständig gelesen werden "
                                                   "(database is locked). ") +
                                    QString::fromUtf8(c.consequence)))
            << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("von einem anderen Programm verwendet"))) << text.toStdString();
        EXPECT_TRUE(list(h).RowsPending());
        EXPECT_EQ(w.GetSelectedAdresseID(), selected);
    }

    other.release();
    h.messages.shown.clear();
    ASSERT_TRUE(waitForRest(h)) << "the rest did not arrive once the file was free";
    EXPECT_EQ(rows(h).rowCount(), kLong);
    EXPECT_EQ(h.caption("VCap_Adressen"), QStringLiteral("Adressen (%1)").arg(kLong));
    RunGuarded(h.ctx.Messages, [&] { w.SelectAdresseByID(last); });
    EXPECT_EQ(w.GetSelectedAdresseID(), last);
    EXPECT_EQ(w.AdressenRowsShown().RowCount(), kLong);
    EXPECT_TRUE(h.messages.shown.isEmpty()) << h.messages.texts().join(" | ").toStdString();
}
