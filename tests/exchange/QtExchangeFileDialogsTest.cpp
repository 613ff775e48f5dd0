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

TEST(QtExchangeFileDialogs, OpenGivesTheChosenFileOrNothing)
{
    TempDir dir;
    const QString file = dir.write("in.csv", "h\n");
    QtExchangeFileDialogs dialogs;
    QString title;
    QStringList filters;
    answerDialog(QString(), file, true, &title, &filters);
    EXPECT_EQ(dialogs.OpenFileName(nullptr, "Adressen importieren", dir.path(), "CSV-Datei (*.csv)"), file);
    EXPECT_EQ(title, QStringLiteral("Adressen importieren"));
    EXPECT_EQ(filters, QStringList{"CSV-Datei (*.csv)"});
    answerDialog(QString(), file, false, &title, &filters);
    EXPECT_TRUE(dialogs.OpenFileName(nullptr, "Adressen importieren", dir.path(), "CSV-Datei (*.csv)").isEmpty());
}

} // namespace
