#pragma once
#include <QDialog>
#include <functional>

struct AppContext;
class QDateTime;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

// Copies the database file into a backup folder and back. The folder and the time of the
// last backup are kept in the settings (BACKUP/Path, BACKUP/Date).
class TDLG_Backup : public QDialog
{
    Q_OBJECT
public:
    TDLG_Backup(AppContext& ctx, QWidget* parent = nullptr);
    ~TDLG_Backup() override;

    // Set when a restore succeeded: the connection is closed and the caller must open
    // the restored file.
    bool RestoreLoaded() const { return m_restoreLoaded; }

    // The folder chooser; the standard one asks the system. Returns the empty text when
    // the user cancels.
    using FolderChooser = std::function<QString(QWidget* parent, const QString& caption)>;
    void SetFolderChooser(FolderChooser chooser) { m_chooseFolder = std::move(chooser); }

public slots:
    void Button_BackupPathClick();
    void Button_BackupClick();
    void Button_RestoreClick();
    void Timer1Timer();

protected:
    void done(int result) override;

private:
    void Edit_BackupPathChange(const QString& text);

    AppContext& m_ctx;
    bool m_restoreLoaded = false;
    FolderChooser m_chooseFolder;
    QLineEdit* m_path = nullptr;
    QLabel* m_date = nullptr;
    QPushButton* m_backup = nullptr;
    QPushButton* m_restore = nullptr;
    QTimer* m_timer = nullptr;
};

// The main window's command. Shows the dialog; after a restore it opens the restored
// file, adds missing columns and calls reloadLists (sender, group and address lists and
// the status line). Returns false when the program must end: its fatal message has been
// shown.
bool ExecBackupDialog(AppContext& ctx, QWidget* parent, const std::function<void()>& reloadLists);

// The time of a backup as the dialog shows it: "dd.mm.yyyy HH:nn".
QString BackupDateText(const QDateTime& when);
