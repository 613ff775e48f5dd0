#pragma once
#include "app/Startup.h"
#include "mainwindow/AdressenQuery.h"

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

    // The lists, as the commands and other windows use them.
    void LoadAbsenderList();
    void LoadGruppenList();
    void LoadAdressenList();
    QString GetSelectedAbsenderID() const;
    QString GetSelectedGruppeID() const;
    QString GetSelectedAdresseID() const;
    QString GetGruppeIDAt(int index) const;
    void SelectAbsenderByID(const QString& absenderId);
    void SelectGruppeByID(const QString& gruppeId);
    void SelectAdresseByID(const QString& adresseId);
    void SetBannerMark(const QString& absenderId, const QString& mark);
    // The selected group with the options bar's state (series print reads it).
    AdressenFilter CurrentAdressenFilter() const;
    // The rows the address list shows (export, sort names).
    AdressenRows& AdressenRowsShown();

    void BuildStatusLine();
    // The sender list, the group list (with the first group's addresses) and the status line.
    void ReloadAll();

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
    AdresseDragController* m_drag = nullptr;
    QTimer* m_timer = nullptr;
};
