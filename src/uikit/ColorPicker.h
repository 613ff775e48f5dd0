#pragma once
#include <QColor>
#include <QFrame>
#include <QPointer>

#include "uikit/ColorPickerWindow.h"

class QToolButton;

// A small lowered panel that shows a colour, with a button at its right edge that opens
// the colour window below (or above) the panel. A chosen colour becomes the panel's
// colour and is reported by colorChosen; setColor reports nothing.
class ColorPicker : public QFrame
{
    Q_OBJECT
public:
    explicit ColorPicker(QWidget* parent = nullptr);

    QColor color() const { return m_color; }
    void setColor(const QColor& color);

    QToolButton* button() const { return m_button; }
    // The open colour window, or null.
    ColorPickerWindow* window() const { return m_window; }
    // Opens the colour window; does nothing while one is open.
    void openWindow();

signals:
    void colorChosen(const QColor& color);

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    void pick(const QColor& color);

    QColor m_color = Qt::white;
    QToolButton* m_button;
    QPointer<ColorPickerWindow> m_window;
};
