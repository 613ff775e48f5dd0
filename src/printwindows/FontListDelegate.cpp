#include "printwindows/FontListDelegate.h"

#include <QPainter>

void FontListDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const QString name = index.data(Qt::DisplayRole).toString();
    QColor background = Qt::white;
    QColor text = Qt::black;
    if (option.state & QStyle::State_Selected) {
        background = QColor(51, 153, 255);
        text = Qt::white;
    } else if (option.state & QStyle::State_HasFocus || (option.widget && option.widget->hasFocus())) {
        background = QColor(222, 236, 248);
    }
    painter->save();
    painter->fillRect(option.rect, background);
    QFont font(name);
    font.setPointSize(10);
    painter->setFont(font);
    painter->setPen(text);
    painter->drawText(option.rect.adjusted(1, 0, 0, 0), Qt::AlignLeft | Qt::AlignTop, name);
    painter->restore();
}
