#include "ExchangeFixture.h"

#include "exchange/ExchangeProgressWindow.h"
#include "exchange/TableImport.h"
#include "exchange/TDLG_FelderZuordnen.h"
#include "sources/TableAdressenSource.h"
#include "support/MemoryTableSource.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

namespace {

using F = AddressField;
const QString kGruppe = QStringLiteral("GR00000001");

// The table import's source over a table in memory, as the command builds it.
class MemoryImport : public AdressenImportSource
{
public:
    MemoryImport(sheets::TableSource& table, ColumnTargets targets) : m_rows(table, 0, std::move(targets), true) {}
    void ReadRecords(const RecordHandler& onRecord) override { m_rows.ReadRecords(onRecord); }
    QString SuccessText(const ImportCounts& counts) const override { return TableImportSuccessText(counts); }

private:
    TableAdressenSource m_rows;
};

const std::vector<QStringList> kClubList = {
    {"Name", "Vorname", "Straße", "PLZ", "Ort", "Telefon"},
    {"Müller", "Max", "Hauptstraße 5", "10115", "Berlin", "030 1"},
    {"Lang", "Eva", "Ring 3", "53111", "Bonn", ""},
    {"", "", "", "", "", "nur Telefon"},
    {"Kurz", "Tom", "Weg 1", "01067", "Dresden", ""},
};
const ColumnTargets kClubTargets{F::Nachname, F::Vorname, F::Strasse, F::Plz, F::Ort, F::Telefon};

class TableImportTest : public ExchangeTest
{
protected:
    void SetUp() override
    {
        ExchangeTest::SetUp();
        addGruppe(kGruppe, QStringLiteral("Verein"));
    }

    bool import(const std::vector<QStringList>& rows, const ColumnTargets& targets, bool skipDuplicates = true,
                ImportProgress* progress = nullptr)
    {
        MemoryTableSource table = MemoryTableSource::OfTexts(rows);
        MemoryImport source(table, targets);
        ImportOptions options;
        options.SkipDuplicates = skipDuplicates;
        options.SkipEmpty = true;
        return ImportAdressenRecords(ctx, kGruppe, source, options, progress);
    }

    QStringList lines()
    {
        QStringList out;
        for (const StoredAdresse& a : adressen(kGruppe))
            out << QStringList{a.Line1, a.Line2, a.Line3, a.Line4, a.Line5}.join(u'|');
        return out;
    }
};

TEST_F(TableImportTest, ClubListComposedCountedAndExtraDataStored)
{
    ASSERT_TRUE(import(kClubList, kClubTargets));
    EXPECT_EQ(lines(), (QStringList{"|Max Müller|Hauptstraße 5||10115 Berlin", "|Eva Lang|Ring 3||53111 Bonn",
                                    "|Tom Kurz|Weg 1||01067 Dresden"}));
    EXPECT_EQ(count(QStringLiteral("tab_daten")), 1) << "only the address with a phone gets extra data";
    EXPECT_EQ(messages.texts(),
              QStringList{"Die Adressen wurden aus der Tabelle importiert.\r\n\r\nImportiert: 3 Adressen\r\n"
                          "Übersprungen, weil schon in der Gruppe: 0 Adressen\r\n"
                          "Übersprungen, weil ohne Angaben für den Umschlag: 1 Zeile"});
}

TEST_F(TableImportTest, ReimportSkipsEveryAddressAndSaysSo)
{
    ASSERT_TRUE(import(kClubList, kClubTargets));
    // Typed differently in the group since: case and blanks do not make another address.
    db().ExecSQL(QStringLiteral("UPDATE tab_adressen SET Line2 = 'MAX   müller' WHERE Line2 = 'Max Müller'"));
    messages.shown.clear();
    ASSERT_TRUE(import(kClubList, kClubTargets));
    EXPECT_EQ(adressen(kGruppe).size(), 3);
    EXPECT_EQ(count(QStringLiteral("tab_daten")), 1);
    EXPECT_EQ(messages.texts(),
              QStringList{"Aus der Tabelle wurde keine Adresse importiert.\r\n\r\nImportiert: 0 Adressen\r\n"
                          "Übersprungen, weil schon in der Gruppe: 3 Adressen\r\n"
                          "Übersprungen, weil ohne Angaben für den Umschlag: 1 Zeile"});

    // Switched off, the same file doubles the group.
    ASSERT_TRUE(import(kClubList, kClubTargets, false));
    EXPECT_EQ(adressen(kGruppe).size(), 6);
}

TEST_F(TableImportTest, DuplicatesOnlyWithinTheTargetGroupAndTheFile)
{
    addGruppe(QStringLiteral("GR00000002"), QStringLiteral("Andere"));
    addAdresse(QStringLiteral("AD00000001"), QStringLiteral("GR00000002"),
               {"", "Max Müller", "Hauptstraße 5", "", "10115 Berlin"});
    addAdresse(QStringLiteral("AD00000002"), kGruppe, {"Herrn", "Eva Lang", "Ring 3", "", "53111 Bonn"});
    std::vector<QStringList> rows = kClubList;
    rows.push_back({"Müller", "Max", "Hauptstraße 5", "10115", "Berlin", ""}); // twice in the file
    rows.push_back({"Mueller", "Max", "Hauptstraße 5", "10115", "Berlin", ""});
    ASSERT_TRUE(import(rows, kClubTargets));
    EXPECT_EQ(lines(), (QStringList{"Herrn|Eva Lang|Ring 3||53111 Bonn", "|Max Müller|Hauptstraße 5||10115 Berlin",
                                    "|Tom Kurz|Weg 1||01067 Dresden", "|Max Mueller|Hauptstraße 5||10115 Berlin"}));
    EXPECT_TRUE(messages.texts().last().contains("Übersprungen, weil schon in der Gruppe: 2 Adressen"));
}

TEST_F(TableImportTest, CancelLeavesTheGroupAsItWas)
{
    addAdresse(QStringLiteral("AD00000001"), kGruppe, {"", "Alt", "", "", ""});
    const QList<StoredAdresse> before = adressen();
    CancelAfter cancel(2);
    EXPECT_FALSE(import(kClubList, kClubTargets, true, &cancel));
    EXPECT_EQ(adressen(), before);
    EXPECT_EQ(count(QStringLiteral("tab_daten")), 0);
    EXPECT_FALSE(db().InTransaction());
    EXPECT_EQ(messages.texts(),
              QStringList{"Der Import wurde abgebrochen. Es wurde keine Adresse übernommen."});
}

TEST_F(TableImportTest, FileBreakingOffHalfwayImportsNothing)
{
    MemoryTableSource table = MemoryTableSource::OfTexts(kClubList);
    table.failAfter = 3;
    MemoryImport source(table, kClubTargets);
    EXPECT_FALSE(ImportAdressenRecords(ctx, kGruppe, source, {true, true}));
    EXPECT_EQ(count(QStringLiteral("tab_adressen")), 0);
    EXPECT_FALSE(db().InTransaction());
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].kind, Msg::Error);
    EXPECT_EQ(messages.shown[0].text, QStringLiteral("Die Datei ist beschädigt."));
}

TEST_F(TableImportTest, ProgressWindowCancelButton)
{
    ExchangeProgressWindow progress(nullptr);
    EXPECT_TRUE(progress.Step(1, 0.1));
    QPushButton* cancel = progress.Dialog()->findChild<QPushButton*>(QStringLiteral("Button_Abbrechen"));
    ASSERT_NE(cancel, nullptr);
    EXPECT_EQ(cancel->text(), QStringLiteral("Abbrechen"));
    cancel->click();
    EXPECT_FALSE(progress.Step(2, 0.2));
    progress.Done();
    EXPECT_FALSE(progress.Dialog()->isVisible()) << "no window left over the message";
}

// The message after the import comes once the progress window is gone.
class RecordingProgress : public ImportProgress
{
public:
    explicit RecordingProgress(FakeMessageService& messages) : m_messages(messages) {}
    bool Step(int, double) override
    {
        EXPECT_FALSE(done);
        return true;
    }
    void Done() override
    {
        done = true;
        messagesBeforeDone = int(m_messages.shown.size());
    }
    bool done = false;
    int messagesBeforeDone = -1;

private:
    FakeMessageService& m_messages;
};

TEST_F(TableImportTest, ProgressEndsBeforeTheMessage)
{
    RecordingProgress progress(messages);
    ASSERT_TRUE(import(kClubList, kClubTargets, true, &progress));
    EXPECT_TRUE(progress.done);
    EXPECT_EQ(progress.messagesBeforeDone, 0);
    EXPECT_EQ(messages.shown.size(), 1);
}

// ---- the window ----

class FelderZuordnenTest : public TableImportTest
{
protected:
    std::unique_ptr<TDLG_FelderZuordnen> open(MemoryTableSource table)
    {
        TDLG_FelderZuordnen::Table t;
        t.fileName = QStringLiteral("/tmp/mitglieder.ods");
        t.source = std::make_unique<MemoryTableSource>(std::move(table));
        return std::make_unique<TDLG_FelderZuordnen>(std::move(t), remembered, messages);
    }

    static QString preview(TDLG_FelderZuordnen& w, int n)
    {
        return w.findChild<QLabel*>(QStringLiteral("Label_Vorschau_%1").arg(n))->text();
    }
    static QComboBox* target(TDLG_FelderZuordnen& w, int column)
    {
        return w.findChild<QComboBox*>(QStringLiteral("ComboBox_Ziel_%1").arg(column));
    }

    RememberedTargets remembered;
};

TEST_F(FelderZuordnenTest, GuessesShowsRowsAndPreviewFollowsTheTargets)
{
    auto w = open(MemoryTableSource::OfTexts(kClubList));
    auto* grid = w->findChild<QTableWidget*>(QStringLiteral("TableWidget_Spalten"));
    ASSERT_NE(grid, nullptr);
    ASSERT_EQ(grid->rowCount(), 6);
    EXPECT_EQ(grid->item(2, 0)->text(), "Straße");
    EXPECT_EQ(grid->item(2, 2)->text(), "Hauptstraße 5");
    EXPECT_EQ(grid->item(2, 3)->text(), "Ring 3");
    EXPECT_EQ(target(*w, 1)->currentText(), "Nachname");
    EXPECT_EQ(target(*w, 2)->currentText(), "Vorname");
    EXPECT_EQ(preview(*w, 1), "\nMax Müller\nHauptstraße 5\n\n10115 Berlin");
    EXPECT_EQ(preview(*w, 3), "\nTom Kurz\nWeg 1\n\n01067 Dresden") << "the row without a name line still counts";
    EXPECT_FALSE(w->findChild<QComboBox*>(QStringLiteral("ComboBox_Tabellenblatt"))->isVisibleTo(w.get()));
    EXPECT_FALSE(w->findChild<QComboBox*>(QStringLiteral("ComboBox_Trennzeichen"))->isVisibleTo(w.get()));
    EXPECT_TRUE(w->findChild<QCheckBox*>(QStringLiteral("CheckBox_Doppelte"))->isChecked());

    // The street column becomes the company: the preview shows it above the name at once.
    QComboBox* street = target(*w, 3);
    street->setCurrentIndex(street->findText(QStringLiteral("Firma")));
    EXPECT_EQ(preview(*w, 1), "Hauptstraße 5\nMax Müller\n\n\n10115 Berlin");
    street->setCurrentIndex(street->findText(QStringLiteral("nicht übernehmen")));
    EXPECT_EQ(preview(*w, 1), "\nMax Müller\n\n\n10115 Berlin");
    EXPECT_EQ(w->Targets()[2], std::nullopt);
}

TEST_F(FelderZuordnenTest, HeaderSwitchedOffMeansChosenByHand)
{
    auto w = open(MemoryTableSource::OfTexts(kClubList));
    QCheckBox* header = w->findChild<QCheckBox*>(QStringLiteral("CheckBox_Ueberschriften"));
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->text(), QStringLiteral("Erste Zeile enthält Spaltenüberschriften"));
    QTest::mouseClick(header, Qt::LeftButton, {}, QPoint(5, header->height() / 2));
    ASSERT_FALSE(header->isChecked());
    EXPECT_FALSE(w->HeaderRow());
    auto* grid = w->findChild<QTableWidget*>(QStringLiteral("TableWidget_Spalten"));
    EXPECT_EQ(grid->item(0, 0)->text(), "Spalte 1");
    EXPECT_EQ(grid->item(0, 2)->text(), "Name") << "the first row is data now";
    for (int c = 1; c <= 6; ++c)
        EXPECT_EQ(target(*w, c)->currentText(), "nicht übernehmen");
    EXPECT_EQ(preview(*w, 1), "\n\n\n\n") << "nothing assigned, nothing composed";
    target(*w, 5)->setCurrentIndex(target(*w, 5)->findText("Ort"));
    EXPECT_EQ(preview(*w, 1), "\n\n\n\nOrt");
    EXPECT_EQ(preview(*w, 2), "\n\n\n\nBerlin");

    QTest::mouseClick(header, Qt::LeftButton, {}, QPoint(5, header->height() / 2));
    EXPECT_EQ(target(*w, 1)->currentText(), "Nachname") << "guessed again";
}

TEST_F(FelderZuordnenTest, SheetChoiceForSeveralSheets)
{
    MemoryTableSource table({{"Hinweise", {MemoryTableSource::Texts({"Stand 2026"})}},
                             {"Mitglieder",
                              {MemoryTableSource::Texts({"Firma", "Ort"}), MemoryTableSource::Texts({"Muster AG", "Köln"})}}});
    auto w = open(std::move(table));
    QComboBox* sheet = w->findChild<QComboBox*>(QStringLiteral("ComboBox_Tabellenblatt"));
    ASSERT_TRUE(sheet->isVisibleTo(w.get()));
    EXPECT_EQ(sheet->count(), 2);
    sheet->setCurrentIndex(1);
    EXPECT_EQ(w->Sheet(), 1);
    EXPECT_EQ(target(*w, 1)->currentText(), "Firma");
    EXPECT_EQ(preview(*w, 1), "Muster AG\n\n\n\nKöln");
}

TEST_F(FelderZuordnenTest, AssignmentRememberedForTheSameHeaders)
{
    {
        auto w = open(MemoryTableSource::OfTexts(kClubList));
        target(*w, 6)->setCurrentIndex(target(*w, 6)->findText("Handy"));
        w->accept();
    }
    ASSERT_EQ(remembered.size(), 1u);
    // The next file with these headers, other rows.
    std::vector<QStringList> next = {kClubList[0], {"Neu", "Nina", "Allee 1", "20095", "Hamburg", "0170 1"}};
    auto w = open(MemoryTableSource::OfTexts(next));
    EXPECT_EQ(target(*w, 6)->currentText(), "Handy");
    EXPECT_EQ(target(*w, 1)->currentText(), "Nachname");
    // Headers that differ are guessed afresh.
    std::vector<QStringList> other = {{"Name", "Vorname", "Straße", "PLZ", "Ort", "Telefon", "Fax"}};
    auto w2 = open(MemoryTableSource::OfTexts(other));
    EXPECT_EQ(target(*w2, 6)->currentText(), "Telefon");
}

} // namespace
