#include "uikit/TCheckColumnDelegate.h"

#include <QApplication>
#include <QPainter>

void TCheckColumnDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    opt.text.clear();
    const QStyle* style = opt.widget ? opt.widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);

    const bool checked = !index.data(Qt::DisplayRole).toString().trimmed().isEmpty();
    const int side = 11;
    const QRect box(opt.rect.center().x() - side / 2, opt.rect.center().y() - side / 2, side, side);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->setPen(QColor(0x5a, 0x6e, 0x8c));
    painter->setBrush(Qt::white);
    painter->drawRect(box);
    if (checked) {
        painter->setRenderHint(QPainter::Antialiasing, true);
        painter->setPen(QPen(QColor(0x1e, 0x39, 0x5b), 1.6));
        painter->drawLine(QPointF(box.left() + 2.5, box.top() + 2.5), QPointF(box.right() - 1.5, box.bottom() - 1.5));
        painter->drawLine(QPointF(box.right() - 1.5, box.top() + 2.5), QPointF(box.left() + 2.5, box.bottom() - 1.5));
    }
    painter->restore();
}
