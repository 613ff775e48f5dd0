#pragma once
#include "uikit/PrintMovie.h"

#include <QWidget>

class QLabel;
class ProgressScale;
class QPushButton;

// The series print's progress window: no caption, no close box, no task-bar button; it
// stays on top and can be neither moved nor resized. Its "Abbrechen" takes clicks also
// while a job is being handed over.
class TForm_Progress : public QWidget
{
    Q_OBJECT
public:
    explicit TForm_Progress(const PrintMovie::Pictures& pictures, QWidget* parent = nullptr);

    void SetStatus(int number, int count);
    void SetStayOnTop(bool onTop);
    // Whether "Abbrechen" was pressed since the last call.
    bool TakeCancelRequest();

    QLabel* Label_Status() const { return m_status; }
    ProgressScale* Progress_Scale() const { return m_scale; }
    QPushButton* Button_Abbrechen() const { return m_cancel; }

private:
    QLabel* m_status;
    ProgressScale* m_scale;
    PrintMovie* m_movie;
    QPushButton* m_cancel;
    bool m_cancelRequested = false;
};
