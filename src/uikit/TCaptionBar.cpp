#include "uikit/TCaptionBar.h"

#include <QLinearGradient>
#include <QPainter>

TCaptionBar::TCaptionBar(const QString& text, QWidget* parent)
    : QLabel(text, parent), m_top(QColor(0xf4, 0xf7, 0xfc)), m_bottom(QColor(0xd5, 0xdf, 0xee))
{
    setFixedHeight(20);
    setContentsMargins(6, 0, 6, 0);
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setTextFormat(Qt::PlainText);
    setBold(true);
}

void TCaptionBar::setGradient(const QColor& top, const QColor& bottom)
{
    m_top = top;
    m_bottom = bottom;
    update();
}

void TCaptionBar::setBold(bool bold)
{
    QFont f = font();
    f.setBold(bold);
    setFont(f);
}

void TCaptionBar::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    QLinearGradient g(0, 0, 0, height());
    g.setColorAt(0, m_top);
    g.setColorAt(1, m_bottom);
    p.fillRect(rect(), g);
    p.setPen(m_bottom.darker(125));
    p.drawLine(0, height() - 1, width(), height() - 1);
    p.setPen(QColor(0x1e, 0x39, 0x5b));
    const QRect r = contentsRect();
    p.drawText(r, int(alignment()), fontMetrics().elidedText(text(), Qt::ElideRight, r.width()));
}
