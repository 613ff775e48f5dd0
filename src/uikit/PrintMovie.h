#pragma once
#include <QImage>
#include <QTimer>
#include <QWidget>

class QLabel;

// A small printer out of which an envelope slides, built from four pictures: the printer's
// lower part on the control itself, then the envelope, the upper part and a blinking lamp
// as layers in front of it. Fixed at 135 × 100 pixels.
class PrintMovie : public QWidget
{
    Q_OBJECT
public:
    struct Pictures
    {
        QImage top;       // 135 × 52
        QImage bottom;    // 135 × 48
        QImage envelope;  // 39 × 56
        QImage lamp;      // 7 × 5
    };

    explicit PrintMovie(const Pictures& pictures, QWidget* parent = nullptr);

    void start();
    // Stops the timer, puts the envelope back to the top and shows the lamp.
    void stop();
    bool running() const { return m_timer.isActive(); }

    // One timer tick (33 ms): the envelope moves down one pixel while its top is at most
    // 90, else back to 0; every 11th tick toggles the lamp.
    void tick();
    int envelopeTop() const;
    bool lampVisible() const;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QImage m_bottom;
    QLabel* m_envelope;
    QLabel* m_top;
    QLabel* m_lamp;
    QTimer m_timer;
    int m_ticks = 0;
};
