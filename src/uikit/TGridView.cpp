#include "uikit/TGridView.h"

#include "uikit/TCheckColumnDelegate.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QToolTip>

namespace {
// The first column looks like the title row: a flat grey cell, text on the right.
class FixedColumnDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const bool selected = option.state & QStyle::State_Selected;
        painter->fillRect(option.rect, selected ? QColor(0xc9, 0xd8, 0xee) : QColor(0xe9, 0xee, 0xf5));
        painter->setPen(QColor(0x1e, 0x26, 0x33));
        painter->drawText(option.rect.adjusted(2, 0, -4, 0), Qt::AlignRight | Qt::AlignVCenter,
                          index.data(Qt::DisplayRole).toString());
    }
};

// Text in the colour a row asks for; in a disabled grid every row greys alike, so that a
// row of its own colour does not stand out darker than the rest.
class RowTextDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        if (!(option->state & QStyle::State_Enabled) && option->widget)
            option->palette.setBrush(QPalette::Text, option->widget->palette().brush(QPalette::Disabled, QPalette::Text));
    }
};
} // namespace

TGridView::TGridView(QWidget* parent) : QTableView(parent)
{
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(true);
    setGridStyle(Qt::SolidLine);
    setWordWrap(false);
    setTabKeyNavigation(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(20);
    verticalHeader()->setMinimumSectionSize(20);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setFixedHeight(21);
    horizontalHeader()->setMinimumSectionSize(20);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setItemDelegate(new RowTextDelegate(this));
    setItemDelegateForColumn(0, new FixedColumnDelegate(this));
    QPalette pal = palette();
    pal.setColor(QPalette::Highlight, QColor(0x3d, 0x7b, 0xc9));
    pal.setColor(QPalette::HighlightedText, Qt::white);
    pal.setColor(QPalette::Inactive, QPalette::Highlight, QColor(0xc9, 0xd8, 0xee));
    pal.setColor(QPalette::Inactive, QPalette::HighlightedText, QColor(0x1e, 0x26, 0x33));
    setPalette(pal);
    setStyleSheet(QStringLiteral("QTableView { gridline-color: #d4dce8; }"));
}

void TGridView::setCheckColumn(int column)
{
    setItemDelegateForColumn(column, new TCheckColumnDelegate(this));
}

QString TGridView::RowHint(const QAbstractItemModel& model, int row)
{
    QStringList lines;
    for (int c = 0; c < model.columnCount(); ++c) {
        QString text = model.data(model.index(row, c), Qt::DisplayRole).toString();
        if (text.isEmpty())
            continue;
        text.replace(u'|', u'/');
        lines << model.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString() + QStringLiteral(": ") + text;
    }
    return lines.join(u'\n');
}

bool TGridView::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::ToolTip && model()) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QModelIndex index = indexAt(help->pos());
        const QString hint = index.isValid() ? RowHint(*model(), index.row()) : QString();
        if (hint.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), hint, viewport(), visualRect(index));
        return true;
    }
    return QTableView::viewportEvent(event);
}

void TGridView::mousePressEvent(QMouseEvent* event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton)
        QTableView::mousePressEvent(event);
    emit cellPressed(index, event->button());
}

void TGridView::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The press that completes a double click is no cell press.
    emit gridDoubleClicked();
    event->accept();
}

void TGridView::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        emit returnPressed();
        event->accept();
        return;
    case Qt::Key_Delete:
        emit deletePressed();
        event->accept();
        return;
    default:
        QTableView::keyPressEvent(event);
    }
}
