#pragma once
#include <QStyledItemDelegate>

class QComboBox;

// Draws each entry of the designer's typeface list in its own typeface at 10 points:
// white on RGB 51, 153, 255 when selected, else black on RGB 222, 236, 248 while the list
// has the focus and on white when it has not.
class BannerFontDelegate : public QStyledItemDelegate
{
public:
    explicit BannerFontDelegate(QComboBox* combo);
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // The colours of an entry, for the given state.
    static QColor Background(bool selected, bool listHasFocus);
    static QColor TextColor(bool selected);

private:
    QComboBox* m_combo;
};
