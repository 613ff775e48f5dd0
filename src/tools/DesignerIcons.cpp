#include "tools/DesignerIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <functional>

namespace {

const QColor Blue(50, 102, 204);
const QColor Outline(90, 100, 115);

// Draws on a 32 × 32 canvas; Qt scales it to the button's icon size.
QIcon draw(const std::function<void(QPainter&)>& paint)
{
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    paint(p);
    p.end();
    return QIcon(pm);
}

void page(QPainter& p, const QRectF& r)
{
    p.setPen(QPen(Outline, 2));
    p.setBrush(Qt::white);
    p.drawRect(r);
    p.setPen(QPen(QColor(160, 170, 180), 2));
    for (qreal y = r.top() + 6; y < r.bottom() - 3; y += 5)
        p.drawLine(QPointF(r.left() + 4, y), QPointF(r.right() - 4, y));
}

} // namespace

namespace DesignerIcons {

QIcon Help()
{
    return draw([](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(Blue);
        p.drawEllipse(QRectF(2, 2, 28, 28));
        QFont f;
        f.setPixelSize(22);
        f.setBold(true);
        p.setFont(f);
        p.setPen(Qt::white);
        p.drawText(QRectF(2, 2, 28, 28), Qt::AlignCenter, QStringLiteral("?"));
    });
}

QIcon Refresh()
{
    return draw([](QPainter& p) {
        p.setPen(QPen(Blue, 4, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(5, 5, 22, 22), 60 * 16, 280 * 16);
        QPainterPath head;
        head.moveTo(18, 2);
        head.lineTo(28, 8);
        head.lineTo(17, 13);
        head.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(Blue);
        p.drawPath(head);
    });
}

QIcon Open()
{
    return draw([](QPainter& p) {
        p.setPen(QPen(QColor(170, 120, 20), 2));
        p.setBrush(QColor(240, 190, 70));
        QPainterPath folder;
        folder.moveTo(3, 8);
        folder.lineTo(12, 8);
        folder.lineTo(15, 11);
        folder.lineTo(29, 11);
        folder.lineTo(29, 27);
        folder.lineTo(3, 27);
        folder.closeSubpath();
        p.drawPath(folder);
        p.setBrush(QColor(252, 215, 110));
        QPainterPath front;
        front.moveTo(3, 27);
        front.lineTo(8, 15);
        front.lineTo(31, 15);
        front.lineTo(29, 27);
        front.closeSubpath();
        p.drawPath(front);
    });
}

QIcon Paste()
{
    return draw([](QPainter& p) {
        p.setPen(QPen(QColor(120, 80, 40), 2));
        p.setBrush(QColor(190, 140, 80));
        p.drawRoundedRect(QRectF(4, 5, 20, 24), 2, 2);
        p.setBrush(QColor(200, 205, 210));
        p.drawRect(QRectF(9, 2, 10, 6));
        page(p, QRectF(13, 12, 16, 18));
    });
}

QIcon Copy()
{
    return draw([](QPainter& p) {
        page(p, QRectF(3, 3, 17, 21));
        page(p, QRectF(12, 9, 17, 21));
    });
}

QIcon Delete()
{
    return draw([](QPainter& p) {
        p.setPen(QPen(QColor(200, 40, 40), 5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(7, 7), QPointF(25, 25));
        p.drawLine(QPointF(25, 7), QPointF(7, 25));
    });
}

} // namespace DesignerIcons
