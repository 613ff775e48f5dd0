#pragma once
#include <QTableView>

class QAbstractItemModel;

// A grid of whole-row selection with 20-pixel rows, lines, resizable columns and no
// editing. Its first column is drawn like a fixed title column; a check column draws
// crossed boxes. Hovering over a data row shows the row's cells as a tooltip.
class TGridView : public QTableView
{
    Q_OBJECT
public:
    explicit TGridView(QWidget* parent = nullptr);
    void setCheckColumn(int column);

    // The tooltip of a row: one line "title: text" per non-empty cell, "|" shown as "/".
    static QString RowHint(const QAbstractItemModel& model, int row);

signals:
    // After the view's own handling of a single press (not the press of a double click).
    void cellPressed(const QModelIndex& index, Qt::MouseButton button);
    void gridDoubleClicked();
    // Return or Enter, and Delete, whatever the modifiers.
    void returnPressed();
    void deletePressed();

protected:
    bool viewportEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};
