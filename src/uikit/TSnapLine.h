#pragma once
#include <QAbstractButton>

// A narrow vertical bar with a turned caption along the edge of a side panel. A click
// collapses the panel to the bar's own width and remembers the panel's width; the next
// click restores it.
class TSnapLine : public QAbstractButton
{
    Q_OBJECT
public:
    TSnapLine(const QString& caption, QWidget* panel, QWidget* content, QWidget* parent = nullptr);

    bool isCollapsed() const { return m_collapsed; }
    // The width the panel has while collapsed: 6 pixels and the caption's width.
    int collapsedWidth() const;
    QSize sizeHint() const override;

signals:
    void collapsedChanged(bool collapsed);

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void toggle();
    void updateHint();

    QWidget* m_panel;
    QWidget* m_content;
    bool m_collapsed = false;
    bool m_hover = false;
    int m_openWidth = 0;
};
