// The printer's properties dialog: the queue's own options, the current values selected,
// the user's choices read back; nothing to choose where the queue offers one value only.
#include "printing/TDLG_Druckereigenschaften.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

QList<PrinterOption> queueOptions()
{
    return {
        {"printer-resolution", "Auflösung:", {{"", "Standard (600 dpi)"}, {"300dpi", "300 dpi"}, {"600dpi", "600 dpi"}}, ""},
        {"media-source", "Papierzufuhr:", {{"auto", "Automatisch"}, {"envelope", "Umschlag"}}, "auto"},
        {"sides", "Duplexdruck:", {{"one-sided", "Einseitig"}}, "one-sided"},
    };
}

} // namespace

TEST(PrinterPropertiesTest, ShowsTheQueuesOptionsAndReturnsTheChoices)
{
    TDLG_Druckereigenschaften d(QStringLiteral("Büro Laser"), queueOptions());
    EXPECT_EQ(d.windowTitle(), "Druckereigenschaften");
    EXPECT_TRUE(d.findChild<QLabel*>("Label_Printer_Name")->text().contains("Büro Laser"));
    EXPECT_EQ(d.findChild<QPushButton*>("Button_OK")->text(), "OK");
    EXPECT_EQ(d.findChild<QPushButton*>("Button_Cancel")->text(), "Abbrechen");

    auto* res = d.findChild<QComboBox*>("ComboBox_printer-resolution");
    auto* source = d.findChild<QComboBox*>("ComboBox_media-source");
    auto* sides = d.findChild<QComboBox*>("ComboBox_sides");
    ASSERT_TRUE(res && source && sides);
    // The queue's three options and the program's own "Querformat drehen".
    EXPECT_EQ(d.findChildren<QComboBox*>().size(), 4);
    EXPECT_EQ(res->currentText(), "Standard (600 dpi)");
    EXPECT_EQ(source->currentText(), "Automatisch");
    EXPECT_TRUE(res->isEnabled());
    EXPECT_FALSE(sides->isEnabled());

    // Unchanged, the queue's defaults are no choice: they stay in charge as the queue has them.
    EXPECT_EQ(d.Choices(), (PrinterChoices{{"printer-resolution", ""}, {"media-source", ""}, {"sides", ""}}));
    res->setCurrentIndex(1);
    source->setCurrentIndex(1);
    EXPECT_EQ(d.Choices(),
              (PrinterChoices{{"printer-resolution", "300dpi"}, {"media-source", "envelope"}, {"sides", ""}}));

    QTest::mouseClick(d.findChild<QPushButton*>("Button_OK"), Qt::LeftButton);
    EXPECT_EQ(d.result(), QDialog::Accepted);
}

TEST(PrinterPropertiesTest, OptionWithoutACurrentValueKeepsTheQueuesOwnSetting)
{
    // The queue names no current paper source and no quality: OK sends neither.
    const QList<PrinterOption> options{
        {"media-source", "Papierzufuhr:", {{"manual", "Manuell"}, {"auto", "Automatisch"}}, ""},
        {"print-quality", "Druckqualität:", {{"3", "Entwurf"}, {"4", "Normal"}}, "7"},
    };
    TDLG_Druckereigenschaften d(QStringLiteral("Büro Laser"), options);
    auto* source = d.findChild<QComboBox*>("ComboBox_media-source");
    auto* quality = d.findChild<QComboBox*>("ComboBox_print-quality");
    ASSERT_TRUE(source && quality);
    EXPECT_EQ(source->currentText(), "Standard des Druckers");
    EXPECT_EQ(quality->currentText(), "Standard des Druckers");
    EXPECT_EQ(source->count(), 3);
    EXPECT_EQ(d.Choices(), (PrinterChoices{{"media-source", ""}, {"print-quality", ""}}));
    source->setCurrentIndex(source->findText("Automatisch"));
    EXPECT_EQ(d.Choices(), (PrinterChoices{{"media-source", "auto"}, {"print-quality", ""}}));
}

TEST(PrinterPropertiesTest, EscapeCancelsAndAQueueWithoutOptionsSaysSo)
{
    TDLG_Druckereigenschaften d(QStringLiteral("Einfach"), {});
    EXPECT_NE(d.findChild<QLabel*>("Label_NoOptions"), nullptr);
    EXPECT_TRUE(d.Choices().empty());
    d.show();
    QTest::keyClick(&d, Qt::Key_Escape);
    EXPECT_EQ(d.result(), QDialog::Rejected);
}

TEST(PrinterPropertiesTest, ResolutionOfAChoice)
{
    const std::pair<QByteArray, int> cases[] = {
        {"300dpi", 300},        {"1200dpi", 1200},      {"600x300dpi", 300}, {"300x600dpi", 300},
        {"2880x1440dpi", 1200}, {"2400dpi", 1200},      {"", 0},             {"300dpc", 0},
        {"dpi", 0},             {"x300dpi", 0},
    };
    for (const auto& [value, dpi] : cases)
        EXPECT_EQ(ResolutionOfChoice(value), dpi) << value.toStdString();
}

TEST(PrinterPropertiesTest, AnEarlierChoiceIsKeptAndADefaultPickedBackIsNoChoice)
{
    QList<PrinterOption> options = queueOptions();
    options[1].current = "envelope";
    options[1].chosen = true;  // picked the last time the dialog was open
    TDLG_Druckereigenschaften d(QStringLiteral("Büro Laser"), options);
    auto* source = d.findChild<QComboBox*>("ComboBox_media-source");
    EXPECT_EQ(source->currentText(), "Umschlag");
    EXPECT_EQ(d.Choices().at("media-source"), "envelope");
    source->setCurrentIndex(source->findData(QByteArray("auto")));
    EXPECT_EQ(d.Choices().at("media-source"), "auto");  // a value the user picked, default or not
}

TEST(PrinterPropertiesTest, TheLandscapeTurnIsShownAndReturned)
{
    for (const LandscapeTurn turn : {LandscapeTurn::Left, LandscapeTurn::Right}) {
        TDLG_Druckereigenschaften d(QStringLiteral("Büro Laser"), queueOptions(), turn);
        auto* box = d.findChild<QComboBox*>("ComboBox_Querformat");
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->accessibleName(), "Querformat drehen:");
        EXPECT_EQ(box->itemText(0), "nach links (Standard)");
        EXPECT_EQ(box->itemText(1), "nach rechts");
        EXPECT_EQ(box->currentIndex(), turn == LandscapeTurn::Right ? 1 : 0);
        EXPECT_EQ(d.Turn(), turn);
        box->setCurrentIndex(turn == LandscapeTurn::Right ? 0 : 1);
        EXPECT_NE(d.Turn(), turn);
    }
}
