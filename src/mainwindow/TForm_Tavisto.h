#pragma once
#include "app/Startup.h"
#include "mainwindow/AdressenQuery.h"
#include "mainwindow/MainWindowLists.h"

#include <QMainWindow>

struct AppContext;
class AbsenderList;
class AdresseDragController;
class AdressenList;
class AdressenOptionsBar;
class AdressenRows;
class GruppenList;
class MainCommands;
class MainRibbon;
class QSplitter;
class QTimer;
class TCaptionBar;

// The program's main window: the ribbon, the sender list, the groups beside the addresses
// with their options bar, and the status line. Its creation runs the start-up sequence;
// its destruction saves the settings.
class TForm_Tavisto : public QMainWindow, public MainWindowLists
{
    Q_OBJECT
public:
    TForm_Tavisto(AppContext& ctx, const StartupFolders& folders, QWidget* parent = nullptr);
    ~TForm_Tavisto() override;

    // False after a fatal start-up error; its message has been shown and the program ends.
    bool StartedOk() const { return m_started; }
    // Shows the window normal or maximised, as the settings say.
    void ShowAsSaved();

    // The lists, as the commands and other windows use them.
    QWidget* DialogParent() override { return this; }
    void LoadAbsenderList() override;
    void LoadGruppenList() override;
    void LoadAdressenList() override;
    QString GetSelectedAbsenderID() const override;
    QString GetSelectedGruppeID() const override;
    QString GetSelectedAdresseID() const override;
    QString GetGruppeIDAt(int index) const;
    void SelectAbsenderByID(const QString& absenderId) override;
    void SelectGruppeByID(const QString& gruppeId) override;
    void SelectAdresseByID(const QString& adresseId) override;
    void SetBannerMark(const QString& absenderId, const QString& mark) override;
    AdressenFilter CurrentAdressenFilter() const override;
    AdressenRows& AdressenRowsShown() override;

    void BuildStatusLine() override;
    // Each of the three steps on its own: an error in one list is shown by the general
    // error handler and the others are loaded all the same.
    void ReloadAll() override;
    void CloseWindow() override { close(); }

    // Moves the remembered state to the widgets and back.
    void ApplyWindowSettings();
    void CollectWindowSettings();

    MainCommands& Commands() const { return *m_commands; }
    MainRibbon& Ribbon() const { return *m_ribbon; }
    AdresseDragController& AdresseDrag() const { return *m_drag; }
    // The periodic enabling of the commands that need a selection.
    void Timer1Timer();

protected:
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildLayout();
    void connectCommands();
    void FormCreate(const StartupFolders& folders);
    void FormActivate();
    void FormDestroy();

    AppContext& m_ctx;
    bool m_started = false;
    MainRibbon* m_ribbon = nullptr;
    AbsenderList* m_absender = nullptr;
    GruppenList* m_gruppen = nullptr;
    AdressenList* m_adressen = nullptr;
    AdressenOptionsBar* m_options = nullptr;
    QSplitter* m_splitterAbsender = nullptr;
    QSplitter* m_splitterGruppen = nullptr;
    TCaptionBar* m_status = nullptr;
    MainCommands* m_commands = nullptr;
    bool m_onlineRefreshed = false; // the linked groups ticked for the start were updated
    AdresseDragController* m_drag = nullptr;
    QTimer* m_timer = nullptr;
};
