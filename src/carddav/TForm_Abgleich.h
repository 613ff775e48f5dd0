#pragma once
#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

// The progress of one "Aktualisieren": the cards loaded so far and "Abbrechen". Shown
// window-modal while the network runs in the background, so the window keeps painting.
class TForm_Abgleich : public QDialog
{
    Q_OBJECT
public:
    TForm_Abgleich(const QString& bookName, QWidget* parent = nullptr);
    // total -1: not known yet (the cards of a first sync arriving in one answer).
    void SetStatus(int done, int total);

    QLabel* Label_Status() const { return m_status; }
    QPushButton* Button_Abbrechen() const { return m_cancel; }

signals:
    void CancelRequested();

private:
    QLabel* m_status;
    QProgressBar* m_bar;
    QPushButton* m_cancel;
};
