#include "uikit/ProgressScale.h"

#include <QAccessible>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

ProgressScale::ProgressScale(QWidget* parent) : QWidget(parent)
{
    setAccessibleName(QStringLiteral("Fortschritt"));
}

void ProgressScale::setMinimum(int value)
{
    m_min = std::max(0, value);
    setMaximum(m_max);
}

void ProgressScale::setMaximum(int value)
{
    m_max = std::max(m_min, value);
    setPosition(m_pos);
}

void ProgressScale::setPosition(int value)
{
    m_pos = std::clamp(value, 0, m_max);
    setAccessibleDescription(QStringLiteral("%1 von %2").arg(m_pos).arg(m_max));
    update();
}

int ProgressScale::filledWidth() const
{
    return m_max > 0 ? int(qint64(width()) * m_pos / m_max) : 0;
}

void ProgressScale::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath frame;
    frame.addRoundedRect(r, 3, 3);
    p.setClipPath(frame);

    QLinearGradient rest(0, 0, 0, height());
    rest.setColorAt(0, QColor(246, 246, 246));
    rest.setColorAt(1, QColor(214, 214, 214));
    p.fillRect(rect(), rest);

    QLinearGradient done(0, 0, 0, height());
    done.setColorAt(0, QColor(130, 220, 120));
    done.setColorAt(0.5, QColor(60, 180, 60));
    done.setColorAt(1, QColor(30, 140, 40));
    p.fillRect(QRect(0, 0, filledWidth(), height()), done);

    p.setClipping(false);
    p.setPen(QColor(150, 150, 150));
    p.drawPath(frame);
}
