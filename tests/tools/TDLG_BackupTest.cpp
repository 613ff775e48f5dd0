#include "ToolsFixture.h"

#include "tools/DatabaseBackup.h"
#include "tools/TDLG_Backup.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

namespace {
class BackupDialogTest : public ::testing::Test
{
protected:
    QPushButton* button(TDLG_Backup& d, const char* name) { return d.findChild<QPushButton*>(QLatin1String(name)); }
    QLineEdit* pathEdit(TDLG_Backup& d) { return d.findChild<QLineEdit*>(QStringLiteral("Edit_BackupPath")); }

    ToolsContext env;
};

TEST_F(BackupDialogTest, ShowsTheStoredValuesAndEnablesBackupOnlyWithAPath)
{
    env.ctx.Settings.BackupPath = QStringLiteral("/media/stick/Sicherung");
    env.ctx.Settings.BackupDate = QStringLiteral("07.03.2025 14:05");
    TDLG_Backup dialog(env.ctx);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Daten sichern und wieder herstellen"));
    EXPECT_EQ(pathEdit(dialog)->text(), env.ctx.Settings.BackupPath);
    EXPECT_EQ(pathEdit(dialog)->toolTip(), env.ctx.Settings.BackupPath);
    EXPECT_TRUE(pathEdit(dialog)->isReadOnly());
    EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral("Label_BackupDate"))->text(), env.ctx.Settings.BackupDate);
    EXPECT_FALSE(dialog.RestoreLoaded());
    auto* timer = dialog.findChild<QTimer*>(QStringLiteral("Timer1"));
    ASSERT_NE(timer, nullptr);
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 300);

    dialog.Timer1Timer();
    EXPECT_TRUE(button(dialog, "Button_Backup")->isEnabled());
    pathEdit(dialog)->setText(QStringLiteral("   "));
    dialog.Timer1Timer();
    EXPECT_FALSE(button(dialog, "Button_Backup")->isEnabled());
    EXPECT_TRUE(button(dialog, "Button_Restore")->isEnabled());
    EXPECT_EQ(pathEdit(dialog)->toolTip(), QStringLiteral("   "));

    dialog.reject();
    EXPECT_FALSE(timer->isActive());
}

TEST_F(BackupDialogTest, ChosenFolderGoesIntoThePathButIsNotStoredYet)
{
    TDLG_Backup dialog(env.ctx);
    QString caption;
    dialog.SetFolderChooser([&](QWidget*, const QString& c) {
        caption = c;
        return QStringLiteral("/srv/sicherung");
    });
    QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("Button_BackupPath")), Qt::LeftButton);
    EXPECT_EQ(caption, QStringLiteral("Verzeichnis wählen..."));
    EXPECT_EQ(pathEdit(dialog)->text(), QStringLiteral("/srv/sicherung"));
    EXPECT_EQ(env.ctx.Settings.BackupPath, QString());

    // Cancelling the chooser keeps the path.
    dialog.SetFolderChooser([](QWidget*, const QString&) { return QString(); });
    dialog.Button_BackupPathClick();
    EXPECT_EQ(pathEdit(dialog)->text(), QStringLiteral("/srv/sicherung"));
}

TEST_F(BackupDialogTest, BackupAsksStoresPathAndDateAndCloses)
{
    const QString target = env.tmp.file(QStringLiteral("Sicherung"));
    TDLG_Backup dialog(env.ctx);
    pathEdit(dialog)->setText(target);

    env.messages.answer({Msg::IdCancel});
    dialog.Button_BackupClick();
    EXPECT_EQ(env.ctx.Settings.BackupPath, QString());
    EXPECT_FALSE(QFile::exists(target + QStringLiteral("/Tavisto.dbs")));

    env.messages.shown.clear();
    dialog.Button_BackupClick();
    EXPECT_EQ(env.messages.texts(), (QStringList{BackupText::AskBackup, BackupText::BackupDone}));
    EXPECT_EQ(env.messages.shown[0].buttons, Msg::Ok | Msg::Cancel);
    EXPECT_EQ(env.messages.shown[1].kind, Msg::Information);
    EXPECT_EQ(env.ctx.Settings.BackupPath, target);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d\\d\\.\\d\\d\\.\\d{4} \\d\\d:\\d\\d$"))
                    .match(env.ctx.Settings.BackupDate)
                    .hasMatch())
        << env.ctx.Settings.BackupDate.toStdString();
    EXPECT_TRUE(QFile::exists(target + QStringLiteral("/Tavisto.dbs")));
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    // The label keeps the date it opened with; the next opening shows the new one.
    EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral("Label_BackupDate"))->text(), QString());
}

TEST_F(BackupDialogTest, FailedBackupStoresThePathAndStaysOpen)
{
    TDLG_Backup dialog(env.ctx);
    pathEdit(dialog)->setText(env.ctx.Paths.DataDir.toUpper());
    dialog.Button_BackupClick();
    EXPECT_EQ(env.messages.texts(), (QStringList{BackupText::AskBackup, BackupText::Identical}));
    EXPECT_EQ(env.ctx.Settings.BackupPath, env.ctx.Paths.DataDir.toUpper());
    EXPECT_EQ(env.ctx.Settings.BackupDate, QString());
    EXPECT_NE(dialog.result(), QDialog::Accepted);
}

TEST_F(BackupDialogTest, RestoreWithEmptyPathFindsNoBackup)
{
    TDLG_Backup dialog(env.ctx);
    dialog.Timer1Timer();
    EXPECT_FALSE(button(dialog, "Button_Backup")->isEnabled());
    ASSERT_TRUE(button(dialog, "Button_Restore")->isEnabled());
    QTest::mouseClick(button(dialog, "Button_Restore"), Qt::LeftButton);
    EXPECT_EQ(env.messages.texts(), (QStringList{BackupText::AskRestore, BackupText::NothingSaved}));
    EXPECT_EQ(env.messages.shown[0].kind, Msg::Information);
    EXPECT_EQ(env.messages.shown[0].buttons, Msg::Ok | Msg::Cancel);
    EXPECT_EQ(env.messages.shown[1].kind, Msg::Error);
    EXPECT_FALSE(dialog.RestoreLoaded());
    EXPECT_TRUE(env.ctx.Database);
}

TEST_F(BackupDialogTest, HelpOpensTheBackupTopic)
{
    TDLG_Backup dialog(env.ctx);
    QTest::mouseClick(button(dialog, "Button_Help"), Qt::LeftButton);
    EXPECT_EQ(env.help.topics, QList<int>{1009});
}

TEST(BackupDateText, DayMonthYearHourMinute)
{
    EXPECT_EQ(BackupDateText(QDateTime(QDate(2025, 3, 7), QTime(14, 5, 59))), QStringLiteral("07.03.2025 14:05"));
    EXPECT_EQ(BackupDateText(QDateTime(QDate(2024, 12, 31), QTime(0, 0))), QStringLiteral("31.12.2024 00:00"));
}
} // namespace
