#pragma once
#include <QWidget>

class QHBoxLayout;
class QLabel;
class TToolButton;

// A titled group of tool buttons on a ribbon tool bar; the title sits under the buttons
// and a thin line closes the group on the right.
class TRibbonGroup : public QWidget
{
    Q_OBJECT
public:
    explicit TRibbonGroup(const QString& title, QWidget* parent = nullptr);
    TToolButton* addButton(TToolButton* button);
    // A thin divider item between buttons of one group.
    QWidget* addDivider();
    QString title() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QHBoxLayout* m_row;
    QLabel* m_title;
};
