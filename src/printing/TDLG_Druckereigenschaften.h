#pragma once
#include "printing/PrinterOptions.h"
#include "printing/PrintService.h"

#include <QDialog>

class QComboBox;

// The properties of one printer, as its queue offers them: a list per option (resolution,
// paper, paper source, duplex, ...), which way the printer takes a landscape envelope,
// "OK" and "Abbrechen". It edits no printer list: the printer is the one it was opened for.
class TDLG_Druckereigenschaften : public QDialog
{
    Q_OBJECT
public:
    TDLG_Druckereigenschaften(const QString& printerName, const QList<PrinterOption>& options,
                              LandscapeTurn turn = LandscapeTurn::Left, QWidget* parent = nullptr);

    // Every option's value by option name: what the user picked, or kept of an earlier
    // choice; empty where a default was left as it was.
    PrinterChoices Choices() const;
    // "Querformat drehen".
    LandscapeTurn Turn() const;

private:
    QList<PrinterOption> m_options;
    QList<QComboBox*> m_boxes;
    QList<int> m_shown;  // each box's row when the dialog opened
    QComboBox* m_turn;
};
