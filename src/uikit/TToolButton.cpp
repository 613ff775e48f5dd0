#include "uikit/TToolButton.h"

#include <QEvent>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>

namespace {
constexpr int kIcon = 32;
constexpr int kPad = 4;

QString plain(QString s)
{
    return s.replace(QStringLiteral("&&"), QStringLiteral("\x01")).remove(u'&').replace(u'\x01', u'&');
}
} // namespace

TToolButton::TToolButton(const QString& caption, const QIcon& icon, const QString& hint, QWidget* parent)
    : QToolButton(parent)
{
    setText(caption);
    setIcon(icon);
    setIconSize(QSize(kIcon, kIcon));
    setToolTip(hint);
    setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    setAutoRaise(true);
    // Reached with Tab inside the ribbon; Space presses it.
    setFocusPolicy(Qt::TabFocus);
    setAccessibleName(plain(caption));
    setAccessibleDescription(hint);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QStringList TToolButton::captionLines() const
{
    const QString t = text();
    const QFontMetrics fm = fontMetrics();
    QStringList best{t};
    int bestWidth = fm.horizontalAdvance(plain(t));
    for (int i = t.indexOf(u' '); i >= 0; i = t.indexOf(u' ', i + 1)) {
        const QString a = t.left(i).trimmed();
        const QString b = t.mid(i + 1).trimmed();
        const int w = std::max(fm.horizontalAdvance(plain(a)), fm.horizontalAdvance(plain(b)));
        if (w < bestWidth || best.size() == 1) {
            bestWidth = w;
            best = QStringList{a, b};
        }
    }
    return best;
}

QSize TToolButton::sizeHint() const
{
    const QFontMetrics fm = fontMetrics();
    int w = kIcon;
    for (const QString& line : captionLines())
        w = std::max(w, fm.horizontalAdvance(plain(line)));
    return {w + 2 * kPad, kPad + kIcon + 3 + 2 * fm.height() + kPad - 2};
}

void TToolButton::changeEvent(QEvent* event)
{
    QToolButton::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        updateGeometry();
}

void TToolButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const bool hot = isEnabled() && (underMouse() || isDown() || hasFocus());
    if (hot) {
        QPainterPath frame;
        frame.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
        QLinearGradient g(0, 0, 0, height());
        g.setColorAt(0, isDown() ? QColor(0xf8, 0xc4, 0x6c) : QColor(0xff, 0xf5, 0xd6));
        g.setColorAt(1, isDown() ? QColor(0xfb, 0xdb, 0x93) : QColor(0xff, 0xd8, 0x7a));
        p.fillPath(frame, g);
        p.setPen(hasFocus() ? QPen(QColor(0x80, 0x50, 0x10), 1, Qt::DotLine) : QPen(QColor(0xd8, 0xa8, 0x4a)));
        p.drawPath(frame);
    }
    const QIcon::Mode mode = isEnabled() ? QIcon::Normal : QIcon::Disabled;
    const QPixmap pm = icon().pixmap(QSize(kIcon, kIcon), devicePixelRatio(), mode);
    p.drawPixmap(QRect((width() - kIcon) / 2, kPad, kIcon, kIcon), pm);

    p.setPen(isEnabled() ? QColor(0x1e, 0x26, 0x33) : QColor(0x9a, 0x9a, 0xa2));
    const QFontMetrics fm = fontMetrics();
    int y = kPad + kIcon + 3;
    for (const QString& line : captionLines()) {
        style()->drawItemText(&p, QRect(0, y, width(), fm.height()), Qt::AlignHCenter | Qt::TextShowMnemonic, palette(),
                              isEnabled(), line);
        y += fm.height();
    }
}
