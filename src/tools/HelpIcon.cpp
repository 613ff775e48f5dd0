#include "tools/HelpIcon.h"

#include <QPainter>
#include <QPixmap>

QIcon HelpIcon()
{
    QIcon icon;
    for (int size : {16, 24, 32}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(31, 73, 125), size / 16.0));
        p.setBrush(QColor(58, 118, 190));
        p.drawEllipse(QRectF(0.5, 0.5, size - 1.0, size - 1.0));
        QFont font(QStringLiteral("Arial"));
        font.setBold(true);
        font.setPixelSize(size * 3 / 4);
        p.setFont(font);
        p.setPen(Qt::white);
        p.drawText(QRect(0, 0, size, size), Qt::AlignCenter, QStringLiteral("?"));
        icon.addPixmap(pixmap);
    }
    return icon;
}
