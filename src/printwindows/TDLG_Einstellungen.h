#pragma once
#include <QDialog>

struct AppContext;
struct PrintSettings;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTabWidget;
class QTimer;

// Edits every output setting in memory: "Speichern" copies the controls into PrintSettings
// and closes with Accepted; "Abbrechen", Escape or closing leave PrintSettings as it was.
class TDLG_Einstellungen : public QDialog
{
    Q_OBJECT
public:
    TDLG_Einstellungen(AppContext& ctx, QWidget* parent = nullptr);

    // What the controls hold, as it would be saved.
    PrintSettings ControlsToSettings() const;

private:
    void LoadSettings();
    void SaveSettings();
    void Timer1Timer();
    QWidget* buildDruckerPage();
    QWidget* buildFormatPage();
    QWidget* buildDruckausgabePage();
    QWidget* buildPositionPage();
    QWidget* buildAbstandPage();

    AppContext& m_ctx;
    QTabWidget* PageControl;
    QComboBox* ComboBox_Drucker;
    QPushButton* Button_Printer_Setup;
    QCheckBox* CheckBox_Horizontal;
    QCheckBox* CheckBox_Vertikal;
    QCheckBox* CheckBox_AlignLeft;
    QCheckBox* CheckBox_AlignCenter;
    QCheckBox* CheckBox_AlignRight;
    QComboBox* ComboBox_Format;
    QComboBox* ComboBox_FontSize1;
    QComboBox* ComboBox_FontSize2;
    QComboBox* ComboBox_FontName;
    QCheckBox* CheckBox_Absender;
    QCheckBox* CheckBox_Banner;
    QCheckBox* CheckBox_Adresse;
    QCheckBox* CheckBox_Leerzeilen;
    QCheckBox* CheckBox_SwapDruck;
    QComboBox* ComboBox_BreakCount;
    QComboBox* ComboBox_DPIFactor;
    QCheckBox* CheckBox_MoveAdressLeft;
    QCheckBox* CheckBox_MoveAdressRight;
    QCheckBox* CheckBox_MoveAdressNo;
    QLabel* Label_MoveAdressSpace;
    QComboBox* ComboBox_MoveAdressSpace;
    QComboBox* ComboBox_SpaceX;
    QComboBox* ComboBox_SpaceY;
    QPushButton* Button_Help;
    QPushButton* Button_Save;
    QPushButton* Button_Cancel;
    QTimer* Timer1;
};

// The "Einstellungen" command: true when the user saved (the status line is then rebuilt).
bool ShowEinstellungen(AppContext& ctx, QWidget* parent);
