// The Alt letters of every window the main window opens: each command button has one, no
// two controls shown together share one, and no marked letter leads nowhere. And F1 in the
// windows that came with labels, PDF, vCard and the printer's properties.
#include "MainWindowHarness.h"
#include "printing/TDLG_Druckereigenschaften.h"
#include "support/ModalAnswer.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QKeySequence>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QTabBar>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// The letter that Alt presses, as Qt reads it from the caption.
QChar mnemonicOf(const QString& text)
{
    const QKeySequence alt = QKeySequence::mnemonic(text);
    return alt.isEmpty() ? QChar() : QChar(char16_t(alt[0].key())).toUpper();
}

bool hasLetter(const QString& text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.isLetter(); });
}

// Buttons that Escape presses need no letter.
bool escapeCaption(const QString& text)
{
    return text == u"Abbrechen" || text == u"Schließen";
}

// The faults among the controls shown right now.
void collectShown(QWidget* window, const QString& state, QStringList& faults)
{
    QHash<QChar, QString> seen;
    auto carry = [&](QChar letter, const QString& who) {
        if (seen.contains(letter))
            faults << QStringLiteral("%1: Alt+%2 for \"%3\" and \"%4\"").arg(state, letter, seen[letter], who);
        else
            seen.insert(letter, who);
    };
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(window) || w->window() != window)
            continue;
        if (auto* b = qobject_cast<QAbstractButton*>(w)) {
            const QString text = b->text();
            if (text.isEmpty() || qobject_cast<QTabBar*>(b->parentWidget()))
                continue;
            const QChar m = mnemonicOf(text);
            auto* push = qobject_cast<QPushButton*>(b);
            if (m.isNull() && push && !push->isDefault() && !escapeCaption(text) && hasLetter(text))
                faults << QStringLiteral("%1: no Alt letter on \"%2\"").arg(state, text);
            if (!m.isNull())
                carry(m, text);
        } else if (auto* l = qobject_cast<QLabel*>(w)) {
            const QString text = l->text();
            if (text.contains(u'<') || mnemonicOf(text).isNull())
                continue;
            if (!l->buddy())
                faults << QStringLiteral("%1: \"%2\" marks a letter but leads to no control").arg(state, text);
            else
                carry(mnemonicOf(text), text);
        } else if (auto* g = qobject_cast<QGroupBox*>(w)) {
            if (const QChar m = mnemonicOf(g->title()); !m.isNull())
                carry(m, g->title());
        } else if (auto* tabs = qobject_cast<QTabBar*>(w)) {
            for (int i = 0; i < tabs->count(); ++i)
                if (const QChar m = mnemonicOf(tabs->tabText(i)); !m.isNull())
                    carry(m, tabs->tabText(i));
        }
    }
}

// Every page of every tab bar in turn, as the user can show them.
QStringList mnemonicFaults(QWidget* window)
{
    QStringList faults;
    const QString name = window->objectName();
    collectShown(window, name, faults);
    for (QTabBar* tabs : window->findChildren<QTabBar*>()) {
        const int was = tabs->currentIndex();
        for (int i = 0; i < tabs->count(); ++i) {
            tabs->setCurrentIndex(i);
            collectShown(window, name + u'/' + tabs->tabText(i), faults);
        }
        tabs->setCurrentIndex(was);
    }
    faults.removeDuplicates();
    return faults;
}

// Keys reach a window that is active; the offscreen platform leaves the activation with the
// main window when a modal dialog opens from a command called directly.
void activateModal(QWidget* d)
{
    d->activateWindow();
    if (QApplication::activeWindow() != d)
        QApplication::setActiveWindow(d);
    ASSERT_EQ(QApplication::activeWindow(), d);
}

} // namespace

TEST(Mnemonics, EveryWindowOfTheMainWindowHasOneLetterPerCommandAndNoClash)
{
    MainWindowHarness h;
    h.seed(StandardData() << "DELETE FROM tab_banner");
    TForm_Tavisto& w = h.start();
    showActive(w);
    MainCommands& c = w.Commands();
    const std::pair<const char*, void (MainCommands::*)()> commands[] = {
        {"TDLG_Absender", &MainCommands::TB_Absender_EditClick},
        {"TDLG_Designer", &MainCommands::TB_Absender_DesignerClick},
        {"TDLG_Gruppe", &MainCommands::TB_Gruppe_EditClick},
        {"TDLG_Adresse", &MainCommands::TB_Adresse_EditClick},
        {"DLG_AutoNamen", &MainCommands::TB_Adresse_AutoNamenClick},
        {"TDLG_Vorschau", &MainCommands::TB_VorschauClick},
        {"TDLG_Drucken", &MainCommands::TB_EinzeldruckClick},
        {"TForm_Etiketten", &MainCommands::TB_EtikettenClick},
        {"TDLG_Einstellungen", &MainCommands::TB_EinstellungenClick},
        {"DLG_Backup", &MainCommands::TB_BackupClick},
        {"DLG_Info", &MainCommands::TB_InfoClick},
    };
    QStringList faults;
    for (const auto& [name, slot] : commands) {
        QString opened;
        ModalAnswer answer([&](QDialog* d) {
            opened = d->objectName();
            faults << mnemonicFaults(d);
            d->reject();
        });
        (c.*slot)();
        answer.settle();
        EXPECT_EQ(opened, QString::fromLatin1(name));
    }
    // The printer's properties, with the options a queue typically offers.
    PrinterOption resolution;
    resolution.name = "Resolution";
    resolution.label = QStringLiteral("Auflösung:");
    resolution.choices = {{"600dpi", QStringLiteral("600 dpi")}};
    TDLG_Druckereigenschaften properties(QStringLiteral("Laser"), {resolution});
    properties.setObjectName(QStringLiteral("TDLG_Druckereigenschaften"));
    faults << mnemonicFaults(&properties);
    EXPECT_TRUE(faults.isEmpty()) << faults.join(QStringLiteral("\n")).toStdString();
}

// The check finds a command without a letter and two controls with the same one.
TEST(Mnemonics, TheCheckFindsMissingClashingAndDeadLetters)
{
    QDialog d;
    d.setObjectName(QStringLiteral("Probe"));
    auto* save = new QPushButton(QStringLiteral("Speichern"), &d);
    auto* edit = new QLineEdit(&d);
    auto* label = new QLabel(QStringLiteral("&Suche:"), &d);
    auto* lost = new QLabel(QStringLiteral("&Ohne Ziel"), &d);
    (void)lost;
    label->setBuddy(edit);
    new QPushButton(QStringLiteral("Abbrechen"), &d);
    EXPECT_EQ(mnemonicFaults(&d), (QStringList{"Probe: no Alt letter on \"Speichern\"",
                                               "Probe: \"&Ohne Ziel\" marks a letter but leads to no control"}));
    save->setText(QStringLiteral("&Speichern"));
    EXPECT_EQ(mnemonicFaults(&d).first(), QStringLiteral("Probe: Alt+S for \"&Speichern\" and \"&Suche:\""));
}

TEST(Mnemonics, AltSInTheAddressDialogSavesInsteadOfTypingAnS)
{
    MainWindowHarness h;
    h.seed(StandardData());
    TForm_Tavisto& w = h.start();
    showActive(w);
    bool closedBySave = false;
    QString line1;
    ModalAnswer answer([&](QDialog* d) {
        auto* edit = d->findChild<QLineEdit*>(QStringLiteral("Edit_Line1"));
        activateModal(d);
        edit->setFocus();
        QTest::keyClicks(edit, QStringLiteral("Neu"));
        QTest::keyClick(edit, Qt::Key_S, Qt::AltModifier);
        // A button pressed by its letter clicks a moment later.
        for (int i = 0; i < 50 && d->isVisible(); ++i)
            QTest::qWait(10);
        line1 = edit->text();
        closedBySave = d->result() == QDialog::Accepted;
        if (d->isVisible())
            d->reject();
    });
    w.Commands().TB_Adresse_AddClick();
    answer.settle();
    EXPECT_EQ(line1, QStringLiteral("Neu"));
    EXPECT_TRUE(closedBySave);
    EXPECT_EQ(h.scalar("SELECT COUNT(*) FROM tab_adressen WHERE Line1='Neu'"), "1");
}

TEST(HelpKeys, F1InTheNewWindowsOpensTheirPages)
{
    MainWindowHarness h;
    h.seed(StandardData() << "DELETE FROM tab_banner");
    TForm_Tavisto& w = h.start();
    showActive(w);
    MainCommands& c = w.Commands();

    // F1 where the focus is in the window.
    auto pressF1 = [](QDialog* d, QWidget* focus = nullptr) {
        activateModal(d);
        if (focus)
            focus->setFocus();
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : d;
        QTest::keyClick(target, Qt::Key_F1);
    };
    {
        ModalAnswer answer([&](QDialog* d) {
            pressF1(d);
            d->reject();
        });
        c.TB_EtikettenClick();
        answer.settle();
    }
    {
        // The preview's own page, and on "Wie im Drucker" that view's page.
        ModalAnswer answer([&](QDialog* d) {
            pressF1(d);
            pressF1(d, d->findChild<QCheckBox*>(QStringLiteral("CheckBox_Blatt")));
            d->reject();
        });
        c.TB_VorschauClick();
        answer.settle();
    }
    EXPECT_EQ(h.help.topics, (QList<int>{1014, 1005, 1018}));
    h.help.topics.clear();

    // The windows that the PDF export and the import open: the desktop's file dialog.
    for (auto slot : {&MainCommands::TB_PdfSpeichernClick, &MainCommands::TB_Adresse_ImportClick}) {
        h.messages.answer({Msg::IdOk});
        AnswerWhenShown<QFileDialog> answer([&](QFileDialog* d) {
            pressF1(d);
            d->reject();
        }, 5000);
        (c.*slot)();
        for (int i = 0; i < 100 && !answer.seen(); ++i)
            QTest::qWait(10);
        EXPECT_TRUE(answer.seen());
    }
    EXPECT_EQ(h.help.topics, (QList<int>{1015, 1016}));
    h.help.topics.clear();

    // The main window keeps its own F1 after those commands.
    showActive(w);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
    EXPECT_EQ(h.help.topics, QList<int>{1000});
    h.help.topics.clear();

    // The printer's properties opened from the settings: "Querformat drehen".
    {
        bool seen = false;
        h.printer.showProperties = [&](QWidget* parent) {
            TDLG_Druckereigenschaften d(QStringLiteral("Laser"), {}, LandscapeTurn::Left, parent);
            ModalAnswer answer([&](QDialog* dialog) {
                seen = true;
                pressF1(dialog);
                dialog->reject();
            });
            d.exec();
        };
        ModalAnswer settings([&](QDialog* d) {
            d->findChild<QPushButton*>(QStringLiteral("Button_Printer_Setup"))->click();
            d->reject();
        });
        c.TB_EinstellungenClick();
        settings.settle();
        EXPECT_TRUE(seen);
    }
    EXPECT_EQ(h.help.topics, QList<int>{1017});
}
