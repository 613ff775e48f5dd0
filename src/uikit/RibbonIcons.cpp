#include "uikit/RibbonIcons.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <cmath>

namespace {

const QColor kInk(0x1e, 0x39, 0x5b);
const QColor kBlue(0x2f, 0x6f, 0xc0);
const QColor kPaper(0xff, 0xff, 0xff);

void fillGrad(QPainter& p, const QPainterPath& path, const QColor& c)
{
    const QRectF r = path.boundingRect();
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, c.lighter(135));
    g.setColorAt(1, c);
    p.fillPath(path, g);
    p.setPen(QPen(c.darker(160), 1));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
}

QPainterPath rounded(const QRectF& r, qreal radius)
{
    QPainterPath path;
    path.addRoundedRect(r, radius, radius);
    return path;
}

void person(QPainter& p, qreal x, qreal y, qreal s, const QColor& c)
{
    QPainterPath head;
    head.addEllipse(QPointF(x + 8 * s, y + 6 * s), 5 * s, 5 * s);
    QPainterPath body;
    body.moveTo(x, y + 22 * s);
    body.cubicTo(x, y + 12 * s, x + 16 * s, y + 12 * s, x + 16 * s, y + 22 * s);
    body.closeSubpath();
    fillGrad(p, body, c);
    fillGrad(p, head, QColor(0xf1, 0xc2, 0x8e));
}

void page(QPainter& p, const QRectF& r, int lines)
{
    fillGrad(p, rounded(r, 1.5), QColor(0xe8, 0xee, 0xf6));
    p.setPen(QPen(QColor(0x8a, 0x9c, 0xb5), 1.2));
    for (int i = 0; i < lines; ++i) {
        const qreal y = r.top() + 5 + i * 4;
        p.drawLine(QPointF(r.left() + 4, y), QPointF(r.right() - 4 - (i % 2) * 4, y));
    }
}

void envelope(QPainter& p, const QRectF& r)
{
    fillGrad(p, rounded(r, 1), QColor(0xf5, 0xe9, 0xc8));
    p.setPen(QPen(QColor(0xa8, 0x8a, 0x4a), 1));
    p.drawLine(r.topLeft(), QPointF(r.center().x(), r.center().y() + 1));
    p.drawLine(r.topRight(), QPointF(r.center().x(), r.center().y() + 1));
}

void printer(QPainter& p)
{
    fillGrad(p, rounded(QRectF(4, 12, 24, 11), 2), QColor(0x6c, 0x7a, 0x8e));
    page(p, QRectF(9, 3, 14, 11), 1);
    fillGrad(p, rounded(QRectF(8, 20, 16, 9), 1), kPaper);
    p.setBrush(QColor(0x5c, 0xd0, 0x5c));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(24.5, 15.5), 1.5, 1.5);
}

void arrow(QPainter& p, QPointF from, QPointF to, const QColor& c)
{
    p.setPen(QPen(c, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(from, to);
    const qreal a = std::atan2(to.y() - from.y(), to.x() - from.x());
    QPainterPath head;
    head.moveTo(to + QPointF(std::cos(a) * 3, std::sin(a) * 3));
    head.lineTo(to + QPointF(std::cos(a + 2.4) * 6, std::sin(a + 2.4) * 6));
    head.lineTo(to + QPointF(std::cos(a - 2.4) * 6, std::sin(a - 2.4) * 6));
    head.closeSubpath();
    p.setPen(Qt::NoPen);
    p.fillPath(head, c);
}

void letterDisc(QPainter& p, const QString& letter)
{
    QPainterPath disc;
    disc.addEllipse(QRectF(3, 3, 26, 26));
    fillGrad(p, disc, kBlue);
    QFont f(QStringLiteral("Liberation Serif"));
    f.setPixelSize(20);
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRectF(3, 3, 26, 26), Qt::AlignCenter, letter);
}

void gear(QPainter& p)
{
    QPainterPath g;
    const QPointF c(16, 16);
    for (int i = 0; i < 16; ++i) {
        const qreal a = i * M_PI / 8;
        const qreal r = (i % 2 == 0) ? 13 : 10;
        const QPointF pt = c + QPointF(std::cos(a) * r, std::sin(a) * r);
        i == 0 ? g.moveTo(pt) : g.lineTo(pt);
    }
    g.closeSubpath();
    QPainterPath hole;
    hole.addEllipse(c, 4, 4);
    fillGrad(p, g.subtracted(hole), QColor(0x7a, 0x88, 0x9c));
}

void glyph(QPainter& p, RibbonGlyph which)
{
    switch (which) {
    case RibbonGlyph::Absender:
        envelope(p, QRectF(2, 14, 22, 15));
        person(p, 13, 2, 0.9, kBlue);
        break;
    case RibbonGlyph::Gruppe: {
        QPainterPath back;
        back.moveTo(2, 7);
        back.lineTo(11, 7);
        back.lineTo(14, 10);
        back.lineTo(29, 10);
        back.lineTo(29, 27);
        back.lineTo(2, 27);
        back.closeSubpath();
        fillGrad(p, back, QColor(0xe0, 0xa8, 0x30));
        fillGrad(p, rounded(QRectF(2, 13, 27, 14), 1), QColor(0xf6, 0xc9, 0x4e));
        break;
    }
    case RibbonGlyph::Adresse:
        fillGrad(p, rounded(QRectF(2, 6, 27, 20), 2), QColor(0xe8, 0xee, 0xf6));
        person(p, 5, 9, 0.6, kBlue);
        p.setPen(QPen(QColor(0x8a, 0x9c, 0xb5), 1.4));
        for (int i = 0; i < 3; ++i)
            p.drawLine(QPointF(16, 12 + i * 4), QPointF(26, 12 + i * 4));
        break;
    case RibbonGlyph::Banner:
        fillGrad(p, rounded(QRectF(2, 6, 28, 20), 1.5), QColor(0x9c, 0xc8, 0xf0));
        {
            QPainterPath hill;
            hill.moveTo(3, 25);
            hill.lineTo(12, 14);
            hill.lineTo(18, 20);
            hill.lineTo(22, 16);
            hill.lineTo(29, 25);
            hill.closeSubpath();
            fillGrad(p, hill, QColor(0x4c, 0x9a, 0x3c));
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(0xff, 0xd8, 0x40));
            p.drawEllipse(QPointF(24, 11), 3, 3);
        }
        break;
    case RibbonGlyph::Kopieren:
        fillGrad(p, rounded(QRectF(5, 4, 22, 26), 2), QColor(0xb0, 0x80, 0x50));
        page(p, QRectF(8, 8, 16, 19), 4);
        fillGrad(p, rounded(QRectF(11, 2, 10, 5), 1.5), QColor(0x8a, 0x9c, 0xb5));
        break;
    case RibbonGlyph::Export:
        page(p, QRectF(3, 3, 17, 24), 5);
        arrow(p, QPointF(14, 20), QPointF(27, 20), QColor(0x2e, 0x9a, 0x3c));
        break;
    case RibbonGlyph::Import:
        page(p, QRectF(12, 3, 17, 24), 5);
        arrow(p, QPointF(2, 20), QPointF(16, 20), QColor(0x2e, 0x7a, 0xd0));
        break;
    case RibbonGlyph::Namen: {
        QFont f(QStringLiteral("Liberation Sans"));
        f.setPixelSize(14);
        f.setBold(true);
        p.setFont(f);
        p.setPen(kBlue);
        p.drawText(QRectF(1, 1, 16, 15), Qt::AlignCenter, QStringLiteral("A"));
        p.setPen(QColor(0xc0, 0x50, 0x20));
        p.drawText(QRectF(15, 16, 16, 15), Qt::AlignCenter, QStringLiteral("Z"));
        arrow(p, QPointF(7, 18), QPointF(7, 28), kInk);
        arrow(p, QPointF(25, 14), QPointF(25, 4), kInk);
        break;
    }
    case RibbonGlyph::Vorschau: {
        envelope(p, QRectF(2, 4, 24, 17));
        QPainterPath lens;
        lens.addEllipse(QPointF(19, 19), 7, 7);
        p.setBrush(QColor(0xd8, 0xec, 0xff, 0xc0));
        p.setPen(QPen(QColor(0x55, 0x60, 0x70), 2.2));
        p.drawPath(lens);
        p.setPen(QPen(QColor(0x55, 0x60, 0x70), 3.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(24.5, 24.5), QPointF(29, 29));
        break;
    }
    case RibbonGlyph::Einzeldruck:
        printer(p);
        envelope(p, QRectF(16, 18, 14, 11));
        break;
    case RibbonGlyph::Seriendruck:
        printer(p);
        envelope(p, QRectF(12, 14, 14, 10));
        envelope(p, QRectF(14, 17, 14, 10));
        envelope(p, QRectF(16, 20, 14, 10));
        break;
    case RibbonGlyph::Einstellungen:
        gear(p);
        break;
    case RibbonGlyph::Backup:
        fillGrad(p, rounded(QRectF(3, 3, 24, 25), 2), QColor(0x3a, 0x5c, 0x90));
        fillGrad(p, rounded(QRectF(8, 3, 14, 9), 1), QColor(0xd8, 0xdd, 0xe4));
        fillGrad(p, rounded(QRectF(7, 16, 16, 12), 1), kPaper);
        arrow(p, QPointF(20, 24), QPointF(28, 16), QColor(0x2e, 0x9a, 0x3c));
        break;
    case RibbonGlyph::Hilfe:
        letterDisc(p, QStringLiteral("?"));
        break;
    case RibbonGlyph::Info:
        letterDisc(p, QStringLiteral("i"));
        break;
    }
}

void badge(QPainter& p, RibbonBadge which)
{
    const QRectF r(18, 18, 13, 13);
    switch (which) {
    case RibbonBadge::None:
        return;
    case RibbonBadge::Add:
    case RibbonBadge::Delete: {
        QPainterPath disc;
        disc.addEllipse(r);
        fillGrad(p, disc, which == RibbonBadge::Add ? QColor(0x2e, 0x9a, 0x3c) : QColor(0xc8, 0x28, 0x28));
        p.setPen(QPen(Qt::white, 2.2, Qt::SolidLine, Qt::RoundCap));
        const QPointF c = r.center();
        if (which == RibbonBadge::Add) {
            p.drawLine(c + QPointF(-3.5, 0), c + QPointF(3.5, 0));
            p.drawLine(c + QPointF(0, -3.5), c + QPointF(0, 3.5));
        } else {
            p.drawLine(c + QPointF(-3, -3), c + QPointF(3, 3));
            p.drawLine(c + QPointF(3, -3), c + QPointF(-3, 3));
        }
        return;
    }
    case RibbonBadge::Edit: {
        p.save();
        p.translate(24, 24);
        p.rotate(45);
        fillGrad(p, rounded(QRectF(-3, -10, 6, 16), 1), QColor(0xf0, 0xb0, 0x30));
        QPainterPath tip;
        tip.moveTo(-3, 6);
        tip.lineTo(3, 6);
        tip.lineTo(0, 11);
        tip.closeSubpath();
        fillGrad(p, tip, QColor(0x50, 0x40, 0x30));
        p.restore();
        return;
    }
    }
}

} // namespace

QIcon RibbonIcon(RibbonGlyph which, RibbonBadge badgeKind)
{
    QIcon icon;
    for (const int scale : {1, 2}) {
        QPixmap pm(32 * scale, 32 * scale);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        p.scale(scale, scale);
        glyph(p, which);
        badge(p, badgeKind);
        p.end();
        pm.setDevicePixelRatio(scale);
        icon.addPixmap(pm);
    }
    return icon;
}
