#pragma once
#include <QStyledItemDelegate>

// Draws a small square box centred in the cell, crossed when the cell's text is not
// blank; the text itself is not drawn.
class TCheckColumnDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};
