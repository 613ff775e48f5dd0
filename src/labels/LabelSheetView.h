#pragma once
#include "labels/LabelLayout.h"

#include <QWidget>

// The sheet drawn to scale: the labels before the start position grey as used, the
// filled ones with their text. A click on a label makes it the start position; so does
// Enter or Space on the label that the arrow keys moved the focus mark to. Screen readers
// hear which label is the start and which one the mark is on.
class LabelSheetView : public QWidget
{
    Q_OBJECT
public:
    explicit LabelSheetView(QWidget* parent = nullptr);

    void SetRun(const LabelRun& run);
    // The label under a point of the widget, -1 when none.
    int SlotAt(const QPoint& pos) const;
    // Where a label is drawn in the widget.
    QRect SlotRect(int slot) const;
    // The label the focus mark is on (the start until the arrow keys move it).
    int FocusSlot() const { return m_focus; }
    // The label next to from in the direction of an arrow key; from itself at the edge.
    int Neighbour(int from, Qt::Key key) const;

    QSize sizeHint() const override { return {300, 420}; }

signals:
    void startChosen(int slot);

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    double scale() const;
    QPointF origin() const;
    void moveFocus(int slot);
    void describe();

    LabelRun m_run;
    int m_focus = 0;
};
