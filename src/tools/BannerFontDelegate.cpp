#include "tools/BannerFontDelegate.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QPainter>

BannerFontDelegate::BannerFontDelegate(QComboBox* combo) : QStyledItemDelegate(combo), m_combo(combo) {}

QColor BannerFontDelegate::Background(bool selected, bool listHasFocus)
{
    if (selected)
        return QColor(51, 153, 255);
    return listHasFocus ? QColor(222, 236, 248) : QColor(Qt::white);
}

QColor BannerFontDelegate::TextColor(bool selected) { return selected ? QColor(Qt::white) : QColor(Qt::black); }

void BannerFontDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const bool selected = option.state & QStyle::State_Selected;
    const bool focus = m_combo->hasFocus() || (m_combo->view() && m_combo->view()->hasFocus());
    painter->save();
    painter->setClipRect(option.rect);
    painter->fillRect(option.rect, Background(selected, focus));
    const QString name = index.data(Qt::DisplayRole).toString();
    QFont font(name);
    font.setPointSize(10);
    painter->setFont(font);
    painter->setPen(TextColor(selected));
    painter->drawText(option.rect.adjusted(1, 0, 0, 0), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, name);
    painter->restore();
}
