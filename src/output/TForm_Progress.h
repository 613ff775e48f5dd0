#pragma once
#include "uikit/PrintMovie.h"

#include <QWidget>

class QLabel;
class ProgressScale;

// The series print's progress window: no caption, no close box, no task-bar button; it
// stays on top and can be neither moved nor resized.
class TForm_Progress : public QWidget
{
    Q_OBJECT
public:
    explicit TForm_Progress(const PrintMovie::Pictures& pictures, QWidget* parent = nullptr);

    void SetStatus(int number, int count);
    void SetStayOnTop(bool onTop);

    QLabel* Label_Status() const { return m_status; }
    ProgressScale* Progress_Scale() const { return m_scale; }
    PrintMovie* PrintMovie_Progress() const { return m_movie; }

private:
    QLabel* m_status;
    ProgressScale* m_scale;
    PrintMovie* m_movie;
};
