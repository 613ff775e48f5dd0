#pragma once
#include "labels/LabelLayout.h"

#include <QWidget>

// The sheet drawn to scale: the labels before the start position grey as used, the
// filled ones with their text. A click on a label makes it the start position.
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

    QSize sizeHint() const override { return {300, 420}; }

signals:
    void startChosen(int slot);

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    double scale() const;
    QPointF origin() const;

    LabelRun m_run;
};
