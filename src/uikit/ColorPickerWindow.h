#pragma once
#include <QColor>
#include <QWidget>
#include <array>

// The pop-up of a colour picker: 128 swatches in 8 rows of 16. A click on a swatch
// reports its colour and closes the window; losing the activation, Enter, Escape, Tab and
// F4 close it without a choice.
class ColorPickerWindow : public QWidget
{
    Q_OBJECT
public:
    static constexpr int Width = 245;
    static constexpr int Height = 125;
    static constexpr int Columns = 16;
    static constexpr int Rows = 8;

    explicit ColorPickerWindow(QWidget* parent = nullptr);

    // The swatch colours, row by row from left to right.
    static const std::array<QRgb, Columns * Rows>& Swatches();
    // The swatch's square inside the window.
    static QRect SwatchRect(int index);
    // The swatch under a point of the window, or -1.
    static int SwatchAt(QPoint pos);
    // The window's top left corner on the screen: right edge on the panel's right edge,
    // below the panel, or above it when it would reach the bottom of the screen.
    static QPoint Placement(const QRect& panelOnScreen, int screenHeight);

    int HotSwatch() const { return m_hot; }

signals:
    void colorPicked(const QColor& color);

protected:
    void paintEvent(QPaintEvent*) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void leaveEvent(QEvent*) override;
    void keyPressEvent(QKeyEvent* e) override;
    bool focusNextPrevChild(bool) override { return false; }

private:
    void setHot(int index);
    int m_hot = -1;
};
