// "Etiketten drucken" in a group of its own on the "Drucken" tab and in the menu's "Drucken"
// submenu, opening the label window on the list's group, search and sort.
#include "MainWindowHarness.h"
#include "labels/TForm_Etiketten.h"
#include "support/ModalAnswer.h"

#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <gtest/gtest.h>

TEST(EtikettenCommand, GroupOfItsOwnAndEntryInTheDruckenMenu)
{
    MainWindowHarness h;
    TForm_Tavisto& w = h.start();
    TToolButton* button = w.Ribbon().Button(QStringLiteral("TB_Etiketten"));
    ASSERT_TRUE(button);
    TToolButton* series = w.Ribbon().Button(QStringLiteral("TB_Seriendruck"));
    EXPECT_NE(button->parentWidget(), series->parentWidget());
    EXPECT_TRUE(w.Ribbon().toolBar(MainRibbon::TabDrucken)->isAncestorOf(button));
    QAction* entry = w.Ribbon().MenuAction(QStringLiteral("PM_MenuButton_Etiketten"));
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->text(), QStringLiteral("Etiketten drucken"));
    auto* drucken = w.Ribbon().Menu()->findChild<QMenu*>(QStringLiteral("PM_MenuButton_Drucken_Menu"));
    ASSERT_TRUE(drucken);
    EXPECT_TRUE(drucken->actions().contains(entry));

    QString opened;
    ModalAnswer close([&](QDialog* d) {
        opened = d->objectName();
        d->accept();
    });
    entry->trigger();
    close.settle();
    EXPECT_EQ(opened, QStringLiteral("TForm_Etiketten"));
}

TEST(EtikettenCommand, TheListsSearchChoosesTheLabels)
{
    MainWindowHarness h;
    h.seed(StandardData());
    TForm_Tavisto& w = h.start();
    h.find<QComboBox>("ComboBox_Adressen_Spalte")->setCurrentIndex(5);
    h.find<QLineEdit>("Edit_Adressen_Suche")->setText(QStringLiteral("e"));
    const QString pdf = h.dir.file(QStringLiteral("Etiketten.pdf"));
    ModalAnswer save([&](QDialog* d) {
        auto* window = qobject_cast<TForm_Etiketten*>(d);
        ASSERT_TRUE(window);
        // The file dialog comes next; answered by a second look once it is open.
        ModalAnswer file([&](QDialog* f) {
            auto* dialog = qobject_cast<QFileDialog*>(f);
            ASSERT_TRUE(dialog);
            dialog->selectFile(pdf);
            f->accept();
        });
        window->findChild<QPushButton*>(QStringLiteral("Button_PdfSpeichern"))->click();
        file.settle();
        d->accept();
    });
    w.Ribbon().Button(QStringLiteral("TB_Etiketten"))->click();
    save.settle();

    QProcess text;
    text.start(QStringLiteral("pdftotext"), {QStringLiteral("-raw"), pdf, QStringLiteral("-")});
    ASSERT_TRUE(text.waitForFinished(60000));
    const QString labels = QString::fromUtf8(text.readAllStandardOutput()).simplified();
    // Becker KG and Klaus Weber match "e"; Anna Schmidt is inactive.
    EXPECT_GE(labels.indexOf(QStringLiteral("Becker KG")), 0) << labels.toStdString();
    EXPECT_LT(labels.indexOf(QStringLiteral("Becker KG")), labels.indexOf(QStringLiteral("Klaus Weber")));
    EXPECT_FALSE(labels.contains(QStringLiteral("Anna")));
}
