// "Als PDF speichern" in the ribbon and the menu, carried through to the file.
#include "MainWindowHarness.h"
#include "support/ModalAnswer.h"

#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <gtest/gtest.h>

TEST(PdfCommand, ButtonBesideTheSeriesAndEntryInTheDruckenMenuAlwaysEnabled)
{
    MainWindowHarness h;
    TForm_Tavisto& w = h.start();  // an empty database: nothing selected
    TToolButton* button = w.Ribbon().Button(QStringLiteral("TB_PdfSpeichern"));
    ASSERT_TRUE(button);
    EXPECT_EQ(button->text(), QStringLiteral("Als PDF speichern"));
    EXPECT_EQ(button->toolTip(), QStringLiteral("Umschläge als PDF-Datei speichern"));
    TToolButton* series = w.Ribbon().Button(QStringLiteral("TB_Seriendruck"));
    EXPECT_EQ(button->parentWidget(), series->parentWidget());  // the group "Drucken"
    EXPECT_TRUE(w.Ribbon().toolBar(MainRibbon::TabDrucken)->isAncestorOf(button));

    QAction* entry = w.Ribbon().MenuAction(QStringLiteral("PM_MenuButton_PdfSpeichern"));
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->text(), QStringLiteral("Als PDF speichern"));
    EXPECT_EQ(entry->toolTip(), QStringLiteral("Umschläge als PDF-Datei speichern"));
    auto* drucken = w.Ribbon().Menu()->findChild<QMenu*>(QStringLiteral("PM_MenuButton_Drucken_Menu"));
    ASSERT_TRUE(drucken);
    EXPECT_TRUE(drucken->actions().contains(entry));

    // Like "Seriendruck": enabled without a selection; the command says what is missing.
    w.Timer1Timer();
    EXPECT_TRUE(button->isEnabled());
    EXPECT_TRUE(series->isEnabled());
    entry->trigger();
    EXPECT_EQ(h.messages.texts(), QStringList{QStringLiteral("Bitte wählen Sie einen Absender!")});
    button->click();
    EXPECT_EQ(h.messages.texts().size(), 2);
}

TEST(PdfCommand, TheListsSearchChoosesThePagesOfTheFileNamedInTheDialog)
{
    MainWindowHarness h;
    h.seed(StandardData() << "DELETE FROM tab_banner");
    TForm_Tavisto& w = h.start();
    // "Nur inaktive zeigen" is not the series' business: it takes active addresses.
    h.find<QComboBox>("ComboBox_Adressen_Ansicht")->setCurrentIndex(2);
    h.find<QComboBox>("ComboBox_Adressen_Spalte")->setCurrentIndex(5);
    h.find<QLineEdit>("Edit_Adressen_Suche")->setText(QStringLiteral("e"));
    const QString pdf = h.dir.file(QStringLiteral("Serie"));
    QString title, proposed;
    ModalAnswer save([&](QDialog* d) {
        auto* dialog = qobject_cast<QFileDialog*>(d);
        ASSERT_TRUE(dialog);
        title = dialog->windowTitle();
        proposed = dialog->selectedFiles().value(0);
        dialog->selectFile(pdf);
        d->accept();  // QFileDialog::accept, reached through QDialog
    });
    w.Ribbon().Button(QStringLiteral("TB_PdfSpeichern"))->click();
    save.settle();
    EXPECT_EQ(title, QStringLiteral("Als PDF speichern"));
    EXPECT_TRUE(proposed.endsWith(QStringLiteral("/Kunden"))) << proposed.toStdString();
    EXPECT_EQ(h.messages.texts(), QStringList{QStringLiteral("2 Umschläge wurden als PDF-Datei gespeichert.")});

    QProcess text;
    text.start(QStringLiteral("pdftotext"), {QStringLiteral("-raw"), pdf + QStringLiteral(".pdf"), QStringLiteral("-")});
    ASSERT_TRUE(text.waitForFinished(60000));
    // Standing envelopes (the default) may give turned words one per line.
    const QString pages = QString::fromUtf8(text.readAllStandardOutput()).simplified();
    // Becker KG and Klaus Weber match "e"; Anna Schmidt is inactive.
    EXPECT_LT(pages.indexOf(QStringLiteral("Becker KG")), pages.indexOf(QStringLiteral("Klaus Weber")));
    EXPECT_GE(pages.indexOf(QStringLiteral("Becker KG")), 0);
    EXPECT_FALSE(pages.contains(QStringLiteral("Anna"))) << pages.toStdString();
}
