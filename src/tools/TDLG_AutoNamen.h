#pragma once
#include <QDialog>

struct AppContext;
class AdressenRows;
class QCheckBox;
class QComboBox;
class QPushButton;

// Fills the sort names (Line6) of the addresses the address list shows, from a chosen
// address line with its words reversed. The list's cells follow row by row.
class TDLG_AutoNamen : public QDialog
{
    Q_OBJECT
public:
    // rows: the address list; without it "Starten" stays disabled.
    TDLG_AutoNamen(AppContext& ctx, AdressenRows* rows, QWidget* parent = nullptr);

public slots:
    // Generates the names; closes with OK unless a database error ended the run.
    void Button_StartClick();

private:
    void generate();

    AppContext& m_ctx;
    AdressenRows* FStringGrid;
    QComboBox* m_spalte = nullptr;
    QCheckBox* m_update = nullptr;
    QPushButton* m_start = nullptr;
    QPushButton* m_cancel = nullptr;
};

// The main window's command: shows the dialog over the address list. The list's cells
// are already updated when it closes, so no reload follows.
void RunAutoNamen(AppContext& ctx, AdressenRows* rows, QWidget* parent);
