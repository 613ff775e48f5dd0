#include "uikit/ColorPicker.h"

#include "uikit/ColorPickerWindow.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QToolButton>

ColorPicker::ColorPicker(QWidget* parent) : QFrame(parent), m_button(new QToolButton(this))
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(1);
    setMinimumHeight(20);
    setAccessibleName(QStringLiteral("Farbe"));
    m_button->setObjectName(QStringLiteral("Button_Color"));
    m_button->setToolTip(QStringLiteral("Farbe wählen..."));
    m_button->setAccessibleName(QStringLiteral("Farbe wählen..."));
    m_button->setArrowType(Qt::DownArrow);
    m_button->setFocusPolicy(Qt::StrongFocus);
    connect(m_button, &QToolButton::clicked, this, &ColorPicker::openWindow);
}

void ColorPicker::setColor(const QColor& color)
{
    if (color == m_color)
        return;
    m_color = color;
    setAccessibleDescription(color.name());
    update();
}

void ColorPicker::openWindow()
{
    if (m_window)
        return;
    auto* w = new ColorPickerWindow(this);
    m_window = w;
    connect(w, &ColorPickerWindow::colorPicked, this, &ColorPicker::pick);
    const QRect panel(mapToGlobal(QPoint(0, 0)), size());
    const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    const int screenHeight = s ? s->geometry().y() + s->geometry().height() : 1 << 20;
    w->move(ColorPickerWindow::Placement(panel, screenHeight));
    w->show();
}

void ColorPicker::pick(const QColor& color)
{
    setColor(color);
    emit colorChosen(color);
}

void ColorPicker::paintEvent(QPaintEvent* e)
{
    {
        QPainter p(this);
        p.fillRect(contentsRect(), m_color);
    }
    QFrame::paintEvent(e);
}

void ColorPicker::resizeEvent(QResizeEvent* e)
{
    QFrame::resizeEvent(e);
    // Square, as high as the panel less 3 pixels, 1 from the right edge and 2 from the top.
    const int side = qMax(1, height() - 3);
    m_button->setGeometry(width() - 1 - side, 2, side, side);
}
