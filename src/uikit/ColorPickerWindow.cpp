#include "uikit/ColorPickerWindow.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

ColorPickerWindow::ColorPickerWindow(QWidget* parent) : QWidget(parent, Qt::Popup | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("ColorPickerWindow"));
    setAccessibleName(QStringLiteral("Farbe wählen"));
    setFixedSize(Width, Height);
    setMouseTracking(true);
    setAttribute(Qt::WA_DeleteOnClose);
    // The click that closes the pop-up on the picker's own button must not reopen it.
    setAttribute(Qt::WA_NoMouseReplay);
}

const std::array<QRgb, ColorPickerWindow::Columns * ColorPickerWindow::Rows>& ColorPickerWindow::Swatches()
{
    static const std::array<QRgb, Columns * Rows> colours = {
        0x003366, 0x336699, 0x3366CC, 0x003399, 0x000099, 0x0000CC, 0x000066, 0x006666,
        0x006699, 0x0099CC, 0x0066CC, 0x0033CC, 0x0000FF, 0x3333FF, 0x333399, 0x008080,
        0x009999, 0x33CCCC, 0x00CCFF, 0x0099FF, 0x0066FF, 0x3366FF, 0x3333CC, 0x666699,
        0x339966, 0x00CC99, 0x00FFCC, 0x00FFFF, 0x33CCFF, 0x3399FF, 0x6699FF, 0x6666FF,
        0x6600FF, 0x6600CC, 0x339933, 0x00CC66, 0x00FF99, 0x66FFCC, 0x66FFFF, 0x66CCFF,
        0x99CCFF, 0x9999FF, 0x9966FF, 0x9933FF, 0x9900FF, 0x006600, 0x00CC00, 0x00FF00,
        0x66FF99, 0x99FFCC, 0xCCFFFF, 0xCCECFF, 0xCCCCFF, 0xCC99FF, 0xCC66FF, 0xCC00FF,
        0x9900CC, 0x003300, 0x008000, 0x33CC33, 0x66FF66, 0x99FF99, 0xCCFFCC, 0xFFFFFF,
        0xFFCCFF, 0xFF99FF, 0xFF66FF, 0xFF00FF, 0xCC00CC, 0x660066, 0x336600, 0x009900,
        0x66FF33, 0x99FF66, 0xCCFF99, 0xFFFFCC, 0xFFCCCC, 0xFF99CC, 0xFF66CC, 0xFF33CC,
        0xCC0099, 0x800080, 0x333300, 0x669900, 0x99FF33, 0xCCFF66, 0xFFFF99, 0xFFCC99,
        0xFF9999, 0xFF6699, 0xFF3399, 0xCC3399, 0x990099, 0x666633, 0x99CC00, 0xCCFF33,
        0xFFFF66, 0xFFCC66, 0xFF9966, 0xFF7C80, 0xFF0066, 0xD60093, 0x993366, 0x808000,
        0xCCCC00, 0xFFFF00, 0xFFCC00, 0xFF9933, 0xFF6600, 0xFF5050, 0xCC0066, 0x660033,
        0x996633, 0xCC9900, 0xFF9900, 0xCC6600, 0xFF3300, 0xFF0000, 0xCC0000, 0x990033,
        0x663300, 0x996600, 0xCC3300, 0x993300, 0x990000, 0x800000, 0xA50021, 0x000000,
    };
    return colours;
}

QRect ColorPickerWindow::SwatchRect(int index)
{
    return QRect(3 + 15 * (index % Columns), 3 + 15 * (index / Columns), 14, 14);
}

int ColorPickerWindow::SwatchAt(QPoint pos)
{
    for (int i = 0; i < Columns * Rows; ++i)
        if (SwatchRect(i).contains(pos))
            return i;
    return -1;
}

QPoint ColorPickerWindow::Placement(const QRect& panel, int screenHeight)
{
    const int panelBottom = panel.y() + panel.height();
    const int left = panel.x() + panel.width() - Width;
    if (panelBottom + Height >= screenHeight)
        return QPoint(left, panel.y() - Height);
    return QPoint(left, panelBottom);
}

void ColorPickerWindow::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), QColor(234, 235, 236));
    p.setPen(QColor(202, 206, 207));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    const auto& colours = Swatches();
    for (int i = 0; i < int(colours.size()); ++i) {
        const QRect r = SwatchRect(i);
        p.fillRect(r, QColor(colours[size_t(i)]));
        p.setPen(i == m_hot ? QColor(100, 114, 130) : QColor(137, 150, 165));
        p.drawRect(r.adjusted(0, 0, -1, -1));
    }
}

void ColorPickerWindow::setHot(int index)
{
    if (index == m_hot)
        return;
    m_hot = index;
    update();
}

void ColorPickerWindow::mouseMoveEvent(QMouseEvent* e) { setHot(SwatchAt(e->position().toPoint())); }

void ColorPickerWindow::leaveEvent(QEvent*) { setHot(-1); }

void ColorPickerWindow::mouseReleaseEvent(QMouseEvent* e)
{
    const int i = SwatchAt(e->position().toPoint());
    if (i < 0 || e->button() != Qt::LeftButton)
        return;
    const QColor chosen(Swatches()[size_t(i)]);
    close();
    emit colorPicked(chosen);
}

void ColorPickerWindow::keyPressEvent(QKeyEvent* e)
{
    switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_F4:
        close();
        return;
    default:
        QWidget::keyPressEvent(e);
    }
}
