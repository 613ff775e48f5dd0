#include "labels/LabelSheetView.h"

#include "labels/LabelPainter.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <limits>

LabelSheetView::LabelSheetView(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Sheet_Etiketten"));
    // Named for what it does: the product box beside it is the "Etikettenbogen".
    setAccessibleName(QStringLiteral("Startetikett wählen"));
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(200, 280);
    setCursor(Qt::PointingHandCursor);
}

void LabelSheetView::SetRun(const LabelRun& run)
{
    m_run = run;
    // A new start (or sheet) puts the mark on it.
    m_focus = m_run.Slots.isEmpty() ? 0 : std::clamp(m_run.Start, 0, int(m_run.Slots.size()) - 1);
    describe();
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

int LabelSheetView::Neighbour(int from, Qt::Key key) const
{
    if (from < 0 || from >= m_run.Slots.size())
        return from;
    // Sheets with more than one grid have no plain rows and columns: the nearest label in
    // the key's direction, a step aside weighing more than a step along.
    const QPointF here = QRectF(m_run.Slots[from]).center();
    QPointF along;
    switch (key) {
    case Qt::Key_Left: along = {-1, 0}; break;
    case Qt::Key_Right: along = {1, 0}; break;
    case Qt::Key_Up: along = {0, -1}; break;
    case Qt::Key_Down: along = {0, 1}; break;
    default: return from;
    }
    int best = from;
    double bestCost = std::numeric_limits<double>::max();
    for (int i = 0; i < m_run.Slots.size(); ++i) {
        const QPointF d = QRectF(m_run.Slots[i]).center() - here;
        const double forward = d.x() * along.x() + d.y() * along.y();
        if (forward < 1.0)
            continue;
        const double aside = std::abs(d.x() * along.y() - d.y() * along.x());
        const double cost = forward + 3.0 * aside;
        if (cost < bestCost) {
            bestCost = cost;
            best = i;
        }
    }
    return best;
}

void LabelSheetView::moveFocus(int slot)
{
    if (slot == m_focus || slot < 0 || slot >= m_run.Slots.size())
        return;
    m_focus = slot;
    describe();
    update();
}

void LabelSheetView::describe()
{
    const int count = int(m_run.Slots.size());
    QString text;
    if (count > 0) {
        text = QStringLiteral("Startetikett: Etikett %1 von %2.").arg(m_run.Start + 1).arg(count);
        if (m_focus != m_run.Start)
            text += QStringLiteral(" Markiert: Etikett %1; Eingabe- oder Leertaste macht es zum Startetikett.")
                        .arg(m_focus + 1);
        else
            text += QStringLiteral(" Pfeiltasten wählen ein anderes Etikett.");
    }
    if (text == accessibleDescription())
        return;
    setAccessibleDescription(text);
    QAccessibleEvent changed(this, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&changed);
}

void LabelSheetView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    if (m_run.Page.isEmpty())
        return;
    const double s = scale();
    const QPointF o = origin();
    p.save();
    p.translate(o);
    p.scale(s, s);
    p.fillRect(QRect(QPoint(), m_run.Page), Qt::white);
    p.setPen(QPen(Qt::darkGray, 0));
    p.drawRect(QRect(QPoint(), m_run.Page));
    LabelPaintOptions options;
    options.Frames = true;
    options.ShowUsed = true;
    PaintLabelSheet(p, m_run, 0, nullptr, options);
    p.restore();
    if (hasFocus()) {
        // The keyboard's mark: a thick frame in the selection colour around the label.
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(QPen(palette().color(QPalette::Highlight), 3));
        p.setBrush(Qt::NoBrush);
        p.drawRect(SlotRect(m_focus).adjusted(-1, -1, 1, 1));
    }
}

void LabelSheetView::mousePressEvent(QMouseEvent* event)
{
    const int slot = SlotAt(event->position().toPoint());
    if (slot >= 0)
        emit startChosen(slot);
}

void LabelSheetView::keyPressEvent(QKeyEvent* event)
{
    if (m_run.Slots.isEmpty() || event->modifiers() & ~Qt::KeypadModifier) {
        QWidget::keyPressEvent(event);
        return;
    }
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
        moveFocus(Neighbour(m_focus, Qt::Key(event->key())));
        break;
    case Qt::Key_Home:
        moveFocus(0);
        break;
    case Qt::Key_End:
        moveFocus(int(m_run.Slots.size()) - 1);
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        emit startChosen(m_focus);
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

void LabelSheetView::focusInEvent(QFocusEvent* event)
{
    update();
    QWidget::focusInEvent(event);
}

void LabelSheetView::focusOutEvent(QFocusEvent* event)
{
    update();
    QWidget::focusOutEvent(event);
}
