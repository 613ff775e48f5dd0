#include "uikit/TSnapLine.h"

#include <QLinearGradient>
#include <QPainter>

TSnapLine::TSnapLine(const QString& caption, QWidget* panel, QWidget* content, QWidget* parent)
    : QAbstractButton(parent), m_panel(panel), m_content(content)
{
    setText(caption);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    setAccessibleName(caption);
    connect(this, &QAbstractButton::clicked, this, &TSnapLine::toggle);
    updateHint();
}

int TSnapLine::collapsedWidth() const
{
    // The caption runs along the bar, so its height across is the font's line height.
    return 6 + fontMetrics().height();
}

QSize TSnapLine::sizeHint() const
{
    return {collapsedWidth(), fontMetrics().horizontalAdvance(text()) + 16};
}

void TSnapLine::toggle()
{
    if (!m_collapsed) {
        m_openWidth = m_panel->width();
        m_content->hide();
        m_panel->setFixedWidth(collapsedWidth());
        m_collapsed = true;
    } else {
        m_content->show();
        m_panel->setFixedWidth(m_openWidth);
        m_collapsed = false;
    }
    updateHint();
    emit collapsedChanged(m_collapsed);
}

void TSnapLine::updateHint()
{
    setToolTip(m_collapsed ? QStringLiteral("Ausklappen") : QStringLiteral("Einklappen"));
    setAccessibleDescription(toolTip());
}

void TSnapLine::enterEvent(QEnterEvent* event)
{
    m_hover = true;
    update();
    QAbstractButton::enterEvent(event);
}

void TSnapLine::leaveEvent(QEvent* event)
{
    m_hover = false;
    update();
    QAbstractButton::leaveEvent(event);
}

void TSnapLine::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    QLinearGradient g(0, 0, width(), 0);
    const QColor base = m_hover ? QColor(0xfd, 0xe7, 0xb0) : QColor(0xdc, 0xe6, 0xf4);
    g.setColorAt(0, base.lighter(108));
    g.setColorAt(1, base.darker(108));
    p.fillRect(rect(), g);
    p.setPen(QColor(0x9a, 0xae, 0xca));
    p.drawLine(0, 0, 0, height());
    p.drawLine(width() - 1, 0, width() - 1, height());

    // A small arrow shows which way the next click goes.
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x1e, 0x39, 0x5b));
    const qreal cx = width() / 2.0;
    const qreal dir = m_collapsed ? -1 : 1;
    const QPointF tri[3] = {{cx - 3 * dir, 6}, {cx + 3 * dir, 10}, {cx - 3 * dir, 14}};
    p.drawPolygon(tri, 3);

    p.setPen(QColor(0x1e, 0x39, 0x5b));
    p.translate(width() / 2.0 - fontMetrics().ascent() / 2.0 + 1, 22);
    p.rotate(90);
    p.drawText(0, 0, text());
}
