#include "tools/TDLG_Backup.h"

#include "app/AppContext.h"
#include "app/BlankText.h"
#include "app/Startup.h"
#include "shell/HelpService.h"
#include "shell/MessageService.h"
#include "tools/DatabaseBackup.h"
#include "tools/HelpIcon.h"

#include <QDateTime>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

QString BackupDateText(const QDateTime& when)
{
    return when.toString(QStringLiteral("dd.MM.yyyy HH:mm"));
}

TDLG_Backup::TDLG_Backup(AppContext& ctx, QWidget* parent) : QDialog(parent), m_ctx(ctx)
{
    setObjectName(QStringLiteral("DLG_Backup"));
    setWindowTitle(QStringLiteral("Daten sichern und wieder herstellen"));
    m_chooseFolder = [](QWidget* owner, const QString& caption) {
        return QFileDialog::getExistingDirectory(owner, caption, QString(), QFileDialog::ShowDirsOnly);
    };

    auto* intro = new QLabel(QStringLiteral("Bitte wählen Sie das Verzeichnis, in das die zu sichernden Daten kopiert "
                                            "werden sollen. Aus diesem Verzeichnis erfolgt später auch die Daten- "
                                            "Wiederherstellung."),
                             this);
    intro->setObjectName(QStringLiteral("Label_PathChange"));
    intro->setWordWrap(true);

    auto* pathLabel = new QLabel(QStringLiteral("Verzeichnis der Datensicherung:"), this);
    pathLabel->setObjectName(QStringLiteral("Label_BackupPath"));
    m_path = new QLineEdit(this);
    m_path->setObjectName(QStringLiteral("Edit_BackupPath"));
    m_path->setReadOnly(true);
    m_path->setFocusPolicy(Qt::ClickFocus);
    m_path->setStyleSheet(QStringLiteral("QLineEdit { background-color: rgb(248, 240, 224); }"));
    pathLabel->setBuddy(m_path);
    connect(m_path, &QLineEdit::textChanged, this, &TDLG_Backup::Edit_BackupPathChange);

    auto* choose = new QPushButton(QStringLiteral("&Verzeichnis wählen..."), this);
    choose->setObjectName(QStringLiteral("Button_BackupPath"));
    choose->setAutoDefault(false);

    auto* dateLabel = new QLabel(QStringLiteral("Letzte Datensicherung:"), this);
    dateLabel->setObjectName(QStringLiteral("Label2"));
    m_date = new QLabel(this);
    m_date->setObjectName(QStringLiteral("Label_BackupDate"));

    auto* help = new QPushButton(this);
    help->setObjectName(QStringLiteral("Button_Help"));
    help->setIcon(HelpIcon());
    help->setAccessibleName(QStringLiteral("Hilfe"));
    help->setToolTip(QStringLiteral("Hilfe"));
    help->setAutoDefault(false);
    m_backup = new QPushButton(QStringLiteral("Datenbank &sichern"), this);
    m_backup->setObjectName(QStringLiteral("Button_Backup"));
    m_backup->setToolTip(QStringLiteral("Datensicherung starten"));
    m_backup->setAutoDefault(false);
    m_restore = new QPushButton(QStringLiteral("&Wiederherstellen"), this);
    m_restore->setObjectName(QStringLiteral("Button_Restore"));
    m_restore->setToolTip(QStringLiteral("Gesicherte Daten ins Programm übernehmen"));
    m_restore->setAutoDefault(false);
    auto* cancel = new QPushButton(QStringLiteral("Abbrechen"), this);
    cancel->setObjectName(QStringLiteral("Button_Cancel"));
    cancel->setAutoDefault(false);

    auto* chooseRow = new QHBoxLayout;
    chooseRow->addStretch();
    chooseRow->addWidget(choose);
    auto* dateRow = new QHBoxLayout;
    dateRow->addWidget(dateLabel);
    dateRow->addWidget(m_date, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(help);
    buttons->addStretch();
    buttons->addWidget(m_backup);
    buttons->addWidget(m_restore);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addSpacing(8);
    layout->addWidget(pathLabel);
    layout->addWidget(m_path);
    layout->addLayout(chooseRow);
    layout->addSpacing(4);
    layout->addLayout(dateRow);
    layout->addSpacing(12);
    layout->addLayout(buttons);
    setFixedWidth(500);

    connect(help, &QPushButton::clicked, this, [this] {
        if (m_ctx.Help)
            m_ctx.Help->ShowHelpTopic(HelpContext::Backup);
    });
    connect(choose, &QPushButton::clicked, this, &TDLG_Backup::Button_BackupPathClick);
    connect(m_backup, &QPushButton::clicked, this, &TDLG_Backup::Button_BackupClick);
    connect(m_restore, &QPushButton::clicked, this, &TDLG_Backup::Button_RestoreClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    m_path->setText(m_ctx.Settings.BackupPath);
    m_date->setText(m_ctx.Settings.BackupDate);
    m_restoreLoaded = false;

    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("Timer1"));
    m_timer->setInterval(300);
    connect(m_timer, &QTimer::timeout, this, &TDLG_Backup::Timer1Timer);
    Timer1Timer();
    m_timer->start();
}

TDLG_Backup::~TDLG_Backup() = default;

void TDLG_Backup::done(int result)
{
    m_timer->stop();
    QDialog::done(result);
}

void TDLG_Backup::Edit_BackupPathChange(const QString& text)
{
    if (m_path->toolTip() != text)
        m_path->setToolTip(text);
}

void TDLG_Backup::Timer1Timer()
{
    const bool canBackup = !IsBlank(m_path->text());
    if (m_backup->isEnabled() != canBackup)
        m_backup->setEnabled(canBackup);
    if (!m_restore->isEnabled())
        m_restore->setEnabled(true);
}

void TDLG_Backup::Button_BackupPathClick()
{
    const QString folder = m_chooseFolder(this, QStringLiteral("Verzeichnis wählen..."));
    if (!folder.isEmpty())
        m_path->setText(folder);
}

void TDLG_Backup::Button_BackupClick()
{
    if (m_ctx.Messages->ConfirmOkCancel(BackupText::AskBackup) != Msg::IdOk)
        return;
    m_ctx.Settings.BackupPath = m_path->text();
    if (!RunBackup(m_ctx, m_path->text()))
        return;
    m_ctx.Settings.BackupDate = BackupDateText(QDateTime::currentDateTime());
    m_ctx.Messages->InfoMessage(BackupText::BackupDone);
    accept();
}

void TDLG_Backup::Button_RestoreClick()
{
    if (m_ctx.Messages->InfoCancel(BackupText::AskRestore) != Msg::IdOk)
        return;
    m_ctx.Settings.BackupPath = m_path->text();
    if (!RunRestore(m_ctx, m_path->text()))
        return;
    m_restoreLoaded = true;
    accept();
}

bool ExecBackupDialog(AppContext& ctx, QWidget* parent, const std::function<void()>& reloadLists)
{
    bool restored = false;
    {
        TDLG_Backup dialog(ctx, parent);
        dialog.exec();
        restored = dialog.RestoreLoaded();
    }
    if (restored) {
        if (const QString fatal = OpenRestoredDatabase(ctx); !fatal.isEmpty()) {
            ctx.Messages->ErrorMessage(fatal);
            return false;
        }
        if (reloadLists)
            reloadLists();
        return true;
    }
    // A failed restore keeps the current file open; should even that have failed, the
    // program cannot go on without its data.
    if (!ctx.Database) {
        ctx.Messages->ErrorMessage(StartupText::OpenFailed);
        return false;
    }
    return true;
}
