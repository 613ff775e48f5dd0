#pragma once
#include <QDialog>

struct AppContext;
class QLabel;
class QPushButton;

enum TDLGDruckTyp { DDT_SINGLE, DDT_SERIES };

// The print confirmation: the kind, the configured printer with a link to its properties,
// the question, "Ja" and "Nein". The result is Msg::IdYes, Msg::IdNo (also Escape) or
// Msg::IdCancel when the window is closed otherwise.
class TDLG_Drucken : public QDialog
{
    Q_OBJECT
public:
    TDLG_Drucken(AppContext& ctx, TDLGDruckTyp ADLGDruckTyp, QWidget* parent = nullptr);

    bool DruckerOK() const { return FDruckerOK; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void reject() override;

private:
    void LinkLabel_Printer_SetupClick();

    AppContext& m_ctx;
    TDLGDruckTyp FDLGDruckTyp;
    bool FDruckerOK = false;
    QLabel* Image_Print;
    QLabel* Label_Typ;
    QLabel* Label_Printer_Titel;
    QLabel* Label_Printer_Name;
    QLabel* LinkLabel_Printer_Setup;
    QLabel* Label_Message;
    QPushButton* Button_Yes;
    QPushButton* Button_No;
};
