#pragma once
#include "app/Startup.h"

#include <QMainWindow>

struct AppContext;

// The program's main window. Its creation runs the start-up sequence; its destruction
// saves the settings.
class TForm_Tavisto : public QMainWindow
{
    Q_OBJECT
public:
    TForm_Tavisto(AppContext& ctx, const StartupFolders& folders, QWidget* parent = nullptr);
    ~TForm_Tavisto() override;

    // False after a fatal start-up error; its message has been shown and the program ends.
    bool StartedOk() const { return m_started; }
    // Shows the window normal or maximised, as the settings say.
    void ShowAsSaved();

protected:
    void changeEvent(QEvent* event) override;

private:
    void FormCreate(const StartupFolders& folders);
    void FormActivate();
    void FormDestroy();
    void ApplyWindowSettings();
    void CollectWindowSettings();

    AppContext& m_ctx;
    bool m_started = false;
};
