#include "labels/LabelSheetView.h"

#include "labels/LabelPainter.h"

#include <QMouseEvent>
#include <QPainter>

LabelSheetView::LabelSheetView(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Sheet_Etiketten"));
    setAccessibleName(QStringLiteral("Etikettenbogen"));
    setMinimumSize(200, 280);
    setCursor(Qt::PointingHandCursor);
}

void LabelSheetView::SetRun(const LabelRun& run)
{
    m_run = run;
    update();
}

double LabelSheetView::scale() const
{
    if (m_run.Page.isEmpty())
        return 1.0;
    return std::min((width() - 8.0) / m_run.Page.width(), (height() - 8.0) / m_run.Page.height());
}

QPointF LabelSheetView::origin() const
{
    const double s = scale();
    return {(width() - m_run.Page.width() * s) / 2.0, (height() - m_run.Page.height() * s) / 2.0};
}

QRect LabelSheetView::SlotRect(int slot) const
{
    if (slot < 0 || slot >= m_run.Slots.size())
        return QRect();
    const double s = scale();
    const QRect r = m_run.Slots[slot];
    const QPointF o = origin();
    return QRectF(o.x() + r.left() * s, o.y() + r.top() * s, r.width() * s, r.height() * s).toRect();
}

int LabelSheetView::SlotAt(const QPoint& pos) const
{
    for (int i = 0; i < m_run.Slots.size(); ++i)
        if (SlotRect(i).contains(pos))
            return i;
    return -1;
}

void LabelSheetView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    if (m_run.Page.isEmpty())
        return;
    const double s = scale();
    const QPointF o = origin();
    p.translate(o);
    p.scale(s, s);
    p.fillRect(QRect(QPoint(), m_run.Page), Qt::white);
    p.setPen(QPen(Qt::darkGray, 0));
    p.drawRect(QRect(QPoint(), m_run.Page));
    LabelPaintOptions options;
    options.Frames = true;
    options.ShowUsed = true;
    PaintLabelSheet(p, m_run, 0, nullptr, options);
}

void LabelSheetView::mousePressEvent(QMouseEvent* event)
{
    const int slot = SlotAt(event->position().toPoint());
    if (slot >= 0)
        emit startChosen(slot);
}
