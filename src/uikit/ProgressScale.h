#pragma once
#include <QWidget>

// A progress bar with a green gradient for the done part and a light grey one for the
// rest, in a grey frame with slightly rounded corners.
class ProgressScale : public QWidget
{
    Q_OBJECT
public:
    explicit ProgressScale(QWidget* parent = nullptr);

    // The minimum is at least 0, the maximum at least the minimum, the position within
    // 0..maximum.
    void setMinimum(int value);
    void setMaximum(int value);
    void setPosition(int value);
    int minimum() const { return m_min; }
    int maximum() const { return m_max; }
    int position() const { return m_pos; }
    // Width of the filled part: width × position / maximum.
    int filledWidth() const;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    int m_min = 0;
    int m_max = 100;
    int m_pos = 0;
};
