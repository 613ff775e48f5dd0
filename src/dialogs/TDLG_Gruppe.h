#pragma once
#include <QDialog>
#include <QString>

struct AppContext;
class QLineEdit;
class QPushButton;
class QToolButton;

// Creates a group or renames one. Accepted after "Speichern"; GruppeID() then names the
// saved group.
class TDLG_Gruppe : public QDialog
{
    Q_OBJECT
public:
    TDLG_Gruppe(AppContext& ctx, const QString& gruppeId, QWidget* parent = nullptr);

    QString GruppeID() const { return FGruppeID; }

    // "Speichern": refuses a blank name, else saves and accepts.
    void Button_SaveClick();

private:
    void LoadGruppe();
    void SaveGruppe();

    AppContext& m_ctx;
    QString FGruppeID;
    QLineEdit* Edit_Name = nullptr;
    QToolButton* Button_Help = nullptr;
    QPushButton* Button_Save = nullptr;
    QPushButton* Button_Cancel = nullptr;
};
