#include "exchange/QtExchangeFileDialogs.h"
#include "support/TempDir.h"

#include <QApplication>
#include <QFileDialog>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// Answers the next file dialog: picks the filter entry and the file, then accepts or cancels.
void answerDialog(const QString& filter, const QString& file, bool accept, QString* title, QStringList* filters)
{
    QTimer::singleShot(0, [=] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        *title = dialog->windowTitle();
        *filters = dialog->nameFilters();
        if (!filter.isEmpty())
            dialog->selectNameFilter(filter);
        dialog->selectFile(file);
        if (accept)
            static_cast<QDialog*>(dialog)->accept(); // QFileDialog::accept checks the name
        else
            dialog->reject();
    });
}

TEST(QtExchangeFileDialogs, SaveReportsTheChosenFilterEntry)
{
    TempDir dir;
    QtExchangeFileDialogs dialogs;
    const QStringList filters{"Textdatei (*.txt)", "CSV-Datei (*.csv)"};
    QString title;
    QStringList shownFilters;

    answerDialog("CSV-Datei (*.csv)", dir.file("Adressen"), true, &title, &shownFilters);
    ExchangeFileDialogs::SaveChoice c =
        dialogs.SaveFileName(nullptr, "Adressen exportieren", dir.path(), filters, 0, "Adressen");
    EXPECT_EQ(title, QStringLiteral("Adressen exportieren"));
    EXPECT_EQ(shownFilters, filters);
    EXPECT_EQ(c.fileName, dir.file("Adressen"));
    EXPECT_EQ(c.filterIndex, 1);

    answerDialog(QString(), dir.file("Absender"), true, &title, &shownFilters);
    c = dialogs.SaveFileName(nullptr, "Absender exportieren", dir.path(), filters, 0, "Absender");
    EXPECT_EQ(c.fileName, dir.file("Absender"));
    EXPECT_EQ(c.filterIndex, 0);

    answerDialog(QString(), dir.file("x"), false, &title, &shownFilters);
    c = dialogs.SaveFileName(nullptr, "Absender exportieren", dir.path(), filters, 0, "Absender");
    EXPECT_TRUE(c.fileName.isEmpty());
}

TEST(QtExchangeFileDialogs, OpenGivesTheChosenFileAndFilterOrNothing)
{
    TempDir dir;
    const QString csv = dir.write("in.csv", "h\n");
    const QString vcf = dir.write("in.vcf", "BEGIN:VCARD\nEND:VCARD\n");
    const QStringList offered{"CSV-Datei (*.csv)", "vCard-Datei (*.vcf)"};
    QtExchangeFileDialogs dialogs;
    QString title;
    QStringList filters;

    answerDialog(QString(), csv, true, &title, &filters);
    ExchangeFileDialogs::FileChoice c = dialogs.OpenFileName(nullptr, "Adressen importieren", dir.path(), offered);
    EXPECT_EQ(title, QStringLiteral("Adressen importieren"));
    EXPECT_EQ(filters, offered);
    EXPECT_EQ(c.fileName, csv);
    EXPECT_EQ(c.filterIndex, 0);

    answerDialog("vCard-Datei (*.vcf)", vcf, true, &title, &filters);
    c = dialogs.OpenFileName(nullptr, "Adressen importieren", dir.path(), offered);
    EXPECT_EQ(c.fileName, vcf);
    EXPECT_EQ(c.filterIndex, 1);

    answerDialog(QString(), csv, false, &title, &filters);
    EXPECT_TRUE(dialogs.OpenFileName(nullptr, "Adressen importieren", dir.path(), offered).fileName.isEmpty());
}

} // namespace
