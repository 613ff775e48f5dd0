#include "printing/ConfiguredPrinter.h"
#include "printwindows/TDLG_Einstellungen.h"
#include "support/ModalAnswer.h"
#include "support/OutputTestContext.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

namespace {

template <class T>
T* child(QWidget& w, const char* name)
{
    T* c = w.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(c, nullptr) << name;
    return c;
}

QString comboText(QWidget& w, const char* name)
{
    QComboBox* c = child<QComboBox>(w, name);
    return c->currentIndex() < 0 ? QStringLiteral("<none>") : c->currentText();
}

QString checked(QWidget& w, std::initializer_list<const char*> names)
{
    QStringList on;
    for (const char* n : names)
        if (child<QCheckBox>(w, n)->isChecked())
            on << QString::fromLatin1(n);
    return on.join(',');
}

void click(QWidget& w, const char* name)
{
    QAbstractButton* b = child<QAbstractButton>(w, name);
    b->window()->show();
    // Check boxes and buttons on hidden tabs get clicked the way a user's click arrives.
    b->click();
}

} // namespace

TEST(EinstellungenTest, LoadAndSaveMapping)
{
    struct Case
    {
        const char* name;
        std::function<void(PrintSettings&)> stored;
        // What the controls show.
        QString printer, format, size1, size2, font, breakCount, dpi, spaceX, spaceY, moveSpace, orientation, align, move;
        // What saving gives, applied to the stored settings.
        std::function<void(PrintSettings&)> saved;
    };
    const Case cases[] = {
        {"out-of-range values fall back",
         [](PrintSettings& s) {
             s.PrinterIndex = 7; s.FormatIndex = 12; s.SenderFontSize = 15; s.AddressFontSize = 18;
             s.FontName = "liberation sans"; s.BreakCount = 30; s.DpiFactor = 10; s.SpaceX = 3; s.SpaceY = 7;
             s.MoveMode = 3; s.MoveSpace = 10; s.Orientation = 1; s.Alignment = 5;
         },
         "Office Laser", "DL (C5/6) - 110 mm x 220 mm", "<none>", "18", "Liberation Sans", "30.", "10", "300", "0",
         "100", "CheckBox_Vertikal", "", "",
         [](PrintSettings& s) {
             s.PrinterIndex = 0; s.FormatIndex = 2; s.SenderFontSize = 14; s.FontName = "Liberation Sans";
             s.SpaceY = 0; s.MoveMode = 0; s.Alignment = 1;
         }},
        {"missing font and size",
         [](PrintSettings& s) {
             s.PrinterIndex = 1; s.FormatIndex = 5; s.SenderFontSize = 24; s.AddressFontSize = 19;
             s.FontName = "No Such Face"; s.BreakCount = 50; s.DpiFactor = 1; s.SpaceX = 5; s.SpaceY = 0;
             s.MoveMode = 1; s.MoveSpace = 1; s.Orientation = 0; s.Alignment = 2;
             s.PrintBanner = false; s.Swap = true;
         },
         "Tavisto_PDF", "B5 - 176 mm 250 mm", "24", "<none>", "Arial", "50.", "1", "500", "0", "10",
         "CheckBox_Horizontal", "CheckBox_AlignRight", "CheckBox_MoveAdressLeft",
         [](PrintSettings& s) { s.AddressFontSize = 18; s.FontName = "Arial"; }},
        {"valid values stay as they are",
         [](PrintSettings& s) {
             s.PrinterIndex = 0; s.FormatIndex = 9; s.SenderFontSize = 10; s.AddressFontSize = 22; s.FontName = "Liberation Serif";
             s.BreakCount = 10; s.DpiFactor = 5; s.SpaceX = 0; s.SpaceY = 4; s.MoveMode = 2; s.MoveSpace = 6;
             s.Orientation = 0; s.Alignment = 0; s.PrintSender = false; s.PrintAddress = false; s.PrintBlankLines = false;
         },
         "Office Laser", "C3 - 324 mm x 458 mm", "10", "22", "Liberation Serif", "10.", "5", "0", "400", "60",
         "CheckBox_Horizontal", "CheckBox_AlignLeft", "CheckBox_MoveAdressRight", [](PrintSettings&) {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        OutputTestContext t;
        c.stored(t.ctx.Print());
        const PrintSettings before = t.ctx.Print();
        TDLG_Einstellungen d(t.ctx);
        EXPECT_EQ(comboText(d, "ComboBox_Drucker"), c.printer);
        EXPECT_EQ(comboText(d, "ComboBox_Format"), c.format);
        EXPECT_EQ(comboText(d, "ComboBox_FontSize1"), c.size1);
        EXPECT_EQ(comboText(d, "ComboBox_FontSize2"), c.size2);
        EXPECT_EQ(comboText(d, "ComboBox_FontName"), c.font);
        EXPECT_EQ(comboText(d, "ComboBox_BreakCount"), c.breakCount);
        EXPECT_EQ(comboText(d, "ComboBox_DPIFactor"), c.dpi);
        EXPECT_EQ(comboText(d, "ComboBox_SpaceX"), c.spaceX);
        EXPECT_EQ(comboText(d, "ComboBox_SpaceY"), c.spaceY);
        EXPECT_EQ(comboText(d, "ComboBox_MoveAdressSpace"), c.moveSpace);
        EXPECT_EQ(checked(d, {"CheckBox_Horizontal", "CheckBox_Vertikal"}), c.orientation);
        EXPECT_EQ(checked(d, {"CheckBox_AlignLeft", "CheckBox_AlignCenter", "CheckBox_AlignRight"}), c.align);
        EXPECT_EQ(checked(d, {"CheckBox_MoveAdressLeft", "CheckBox_MoveAdressRight", "CheckBox_MoveAdressNo"}), c.move);
        EXPECT_EQ(child<QCheckBox>(d, "CheckBox_Absender")->isChecked(), before.PrintSender);
        EXPECT_EQ(child<QCheckBox>(d, "CheckBox_Banner")->isChecked(), before.PrintBanner);
        EXPECT_EQ(child<QCheckBox>(d, "CheckBox_Adresse")->isChecked(), before.PrintAddress);
        EXPECT_EQ(child<QCheckBox>(d, "CheckBox_Leerzeilen")->isChecked(), before.PrintBlankLines);
        EXPECT_EQ(child<QCheckBox>(d, "CheckBox_SwapDruck")->isChecked(), before.Swap);
        EXPECT_EQ(child<QTabWidget>(d, "PageControl")->currentIndex(), 0);
        EXPECT_EQ(t.ctx.Print(), before);  // loading changes nothing

        PrintSettings expected = before;
        c.saved(expected);
        // The printer is saved by its name too.
        if (before.PrinterName.isEmpty())
            expected.PrinterName = c.printer;
        click(d, "Button_Save");
        EXPECT_EQ(d.result(), QDialog::Accepted);
        EXPECT_EQ(t.ctx.Print(), expected);
        EXPECT_TRUE(t.messages.shown.isEmpty());
    }
}

TEST(EinstellungenTest, DialogTextsAndLists)
{
    OutputTestContext t;
    TDLG_Einstellungen d(t.ctx);
    EXPECT_EQ(d.windowTitle(), "Einstellungen");
    EXPECT_EQ(d.size(), QSize(374, 292));
    QTabWidget* tabs = child<QTabWidget>(d, "PageControl");
    QStringList tabTexts;
    for (int i = 0; i < tabs->count(); ++i)
        tabTexts << tabs->tabText(i);
    EXPECT_EQ(tabTexts, (QStringList{"Drucker", "Format", "Druckausgabe", "Position", "Abstand"}));
    auto items = [&](const char* name) {
        QComboBox* c = child<QComboBox>(d, name);
        QStringList out;
        for (int i = 0; i < c->count(); ++i)
            out << c->itemText(i);
        return out;
    };
    EXPECT_EQ(items("ComboBox_Drucker"), (QStringList{"Office Laser", "Tavisto_PDF"}));
    EXPECT_EQ(items("ComboBox_Format").size(), 10);
    EXPECT_EQ(items("ComboBox_Format")[5], "B5 - 176 mm 250 mm");
    EXPECT_EQ(items("ComboBox_FontSize1"), (QStringList{"10", "12", "14", "16", "18", "20", "22", "24"}));
    EXPECT_EQ(items("ComboBox_FontSize2"), items("ComboBox_FontSize1"));
    EXPECT_EQ(items("ComboBox_BreakCount"), (QStringList{"10.", "20.", "30.", "40.", "50."}));
    EXPECT_EQ(items("ComboBox_DPIFactor"), (QStringList{"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}));
    EXPECT_EQ(items("ComboBox_MoveAdressSpace").last(), "100");
    EXPECT_EQ(items("ComboBox_SpaceX"), (QStringList{"0", "100", "200", "300", "400", "500"}));
    const QStringList fonts = items("ComboBox_FontName");
    QStringList sorted = fonts;
    std::sort(sorted.begin(), sorted.end(), [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    EXPECT_EQ(fonts, sorted);
    EXPECT_EQ(child<QComboBox>(d, "ComboBox_FontName")->maxVisibleItems(), 20);
    EXPECT_EQ(child<QComboBox>(d, "ComboBox_Format")->maxVisibleItems(), 10);
    EXPECT_EQ(child<QCheckBox>(d, "CheckBox_SwapDruck")->text(), "Absender u. Empfänger tauschen (Rückumschlag)");
    EXPECT_EQ(child<QCheckBox>(d, "CheckBox_Leerzeilen")->toolTip(), "Leerzeilen drucken");
    EXPECT_EQ(child<QPushButton>(d, "Button_Printer_Setup")->toolTip(), "Eigenschaften");
    EXPECT_EQ(child<QLabel>(d, "Label_MoveAdressSpace")->text(), "Abstand zur Mitte:");
    // The caption reads "Speichern"; Alt+S presses it.
    EXPECT_EQ(child<QPushButton>(d, "Button_Save")->text(), "&Speichern");
    EXPECT_EQ(child<QPushButton>(d, "Button_Cancel")->text(), "Abbrechen");
}

TEST(EinstellungenTest, CheckBoxRulesOnClicks)
{
    OutputTestContext t;
    t.ctx.Print().Orientation = 0;
    t.ctx.Print().Alignment = 1;
    t.ctx.Print().MoveMode = 0;
    TDLG_Einstellungen d(t.ctx);
    d.show();
    QTabWidget* tabs = child<QTabWidget>(d, "PageControl");
    auto userClick = [&](int tab, const char* name) {
        tabs->setCurrentIndex(tab);
        QCheckBox* box = child<QCheckBox>(d, name);
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
    };
    const std::initializer_list<const char*> orient{"CheckBox_Horizontal", "CheckBox_Vertikal"};
    const std::initializer_list<const char*> align{"CheckBox_AlignLeft", "CheckBox_AlignCenter", "CheckBox_AlignRight"};
    const std::initializer_list<const char*> move{"CheckBox_MoveAdressLeft", "CheckBox_MoveAdressRight", "CheckBox_MoveAdressNo"};

    userClick(0, "CheckBox_Vertikal");
    EXPECT_EQ(checked(d, orient), "CheckBox_Vertikal");
    userClick(0, "CheckBox_Vertikal");  // the checked one: switches to the other
    EXPECT_EQ(checked(d, orient), "CheckBox_Horizontal");
    userClick(0, "CheckBox_Horizontal");
    EXPECT_EQ(checked(d, orient), "CheckBox_Vertikal");

    userClick(0, "CheckBox_AlignRight");
    EXPECT_EQ(checked(d, align), "CheckBox_AlignRight");
    userClick(0, "CheckBox_AlignRight");  // stays checked
    EXPECT_EQ(checked(d, align), "CheckBox_AlignRight");
    userClick(0, "CheckBox_AlignLeft");
    EXPECT_EQ(checked(d, align), "CheckBox_AlignLeft");

    userClick(3, "CheckBox_MoveAdressLeft");
    EXPECT_EQ(checked(d, move), "CheckBox_MoveAdressLeft");
    userClick(3, "CheckBox_MoveAdressLeft");
    EXPECT_EQ(checked(d, move), "CheckBox_MoveAdressLeft");
    userClick(3, "CheckBox_MoveAdressRight");
    EXPECT_EQ(checked(d, move), "CheckBox_MoveAdressRight");

    // The output boxes are independent.
    userClick(2, "CheckBox_Banner");
    EXPECT_FALSE(child<QCheckBox>(d, "CheckBox_Banner")->isChecked());
    EXPECT_TRUE(child<QCheckBox>(d, "CheckBox_Absender")->isChecked());
    EXPECT_TRUE(child<QCheckBox>(d, "CheckBox_Adresse")->isChecked());

    click(d, "Button_Save");
    EXPECT_EQ(t.ctx.Print().Orientation, 1);
    EXPECT_EQ(t.ctx.Print().Alignment, 0);
    EXPECT_EQ(t.ctx.Print().MoveMode, 2);
    EXPECT_FALSE(t.ctx.Print().PrintBanner);
    EXPECT_TRUE(StatusLineText(t.ctx).contains("Orientation: Vertikal  |  Ausrichtung: Links"));
}

TEST(EinstellungenTest, TimerEnablesDistanceAndPropertiesButton)
{
    OutputTestContext t;
    t.ctx.Print().MoveMode = 1;
    t.ctx.Print().MoveSpace = 4;
    TDLG_Einstellungen d(t.ctx);
    d.show();
    QComboBox* space = child<QComboBox>(d, "ComboBox_MoveAdressSpace");
    QLabel* spaceLabel = child<QLabel>(d, "Label_MoveAdressSpace");
    QPushButton* setup = child<QPushButton>(d, "Button_Printer_Setup");
    EXPECT_TRUE(QTest::qWaitFor([&] { return space->isEnabled() && setup->isEnabled(); }, 2000));

    child<QTabWidget>(d, "PageControl")->setCurrentIndex(3);
    child<QCheckBox>(d, "CheckBox_MoveAdressNo")->click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !space->isEnabled() && !spaceLabel->isEnabled(); }, 2000));
    EXPECT_FALSE(setup->isEnabled());  // not on the first tab

    child<QTabWidget>(d, "PageControl")->setCurrentIndex(0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return setup->isEnabled(); }, 2000));
    // The properties of the printer chosen in the list, not yet saved.
    child<QComboBox>(d, "ComboBox_Drucker")->setCurrentIndex(1);
    setup->click();
    EXPECT_EQ(t.printer.propertiesShownFor, QList<int>{1});

    click(d, "Button_Save");
    EXPECT_EQ(t.ctx.Print().MoveMode, 0);
    EXPECT_EQ(t.ctx.Print().MoveSpace, 4);  // saved from the disabled list
    EXPECT_EQ(t.ctx.Print().PrinterIndex, 1);
}

TEST(EinstellungenTest, NoPrinterWarnsOnceAndSavesMinusOne)
{
    OutputTestContext t;
    t.printer.printers.clear();
    TDLG_Einstellungen d(t.ctx);
    EXPECT_EQ(t.messages.texts(), QStringList{QString::fromUtf8(kNoPrinterText)});
    EXPECT_EQ(child<QComboBox>(d, "ComboBox_Drucker")->count(), 0);
    EXPECT_FALSE(child<QPushButton>(d, "Button_Printer_Setup")->isEnabled());
    click(d, "Button_Save");
    EXPECT_EQ(t.ctx.Print().PrinterIndex, -1);
}

TEST(EinstellungenTest, CommandResultAndCancel)
{
    OutputTestContext t;
    const PrintSettings before = t.ctx.Print();
    struct Case
    {
        const char* name;
        std::function<void(QDialog*)> act;
        bool saved;
    };
    const Case cases[] = {
        {"Abbrechen", [](QDialog* d) {
             d->findChild<QCheckBox*>("CheckBox_SwapDruck")->click();
             d->findChild<QPushButton*>("Button_Cancel")->click();
         }, false},
        {"Escape", [](QDialog* d) {
             d->findChild<QCheckBox*>("CheckBox_SwapDruck")->click();
             QTest::keyClick(d, Qt::Key_Escape);
         }, false},
        {"closed", [](QDialog* d) {
             d->findChild<QCheckBox*>("CheckBox_SwapDruck")->click();
             d->close();
         }, false},
        {"help, then Speichern", [](QDialog* d) {
             d->findChild<QPushButton*>("Button_Help")->click();
             d->findChild<QCheckBox*>("CheckBox_SwapDruck")->click();
             d->findChild<QPushButton*>("Button_Save")->click();
         }, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ModalAnswer answer(c.act);
        EXPECT_EQ(ShowEinstellungen(t.ctx, nullptr), c.saved);
        answer.settle();
        EXPECT_EQ(answer.dialogName(), "TDLG_Einstellungen");
        EXPECT_EQ(t.ctx.Print().Swap, c.saved ? !before.Swap : before.Swap);
    }
    EXPECT_EQ(t.help.topics, QList<int>{1008});
    EXPECT_TRUE(StatusLineText(t.ctx).endsWith(" | Rückumschlag"));
}
