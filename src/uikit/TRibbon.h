#pragma once
#include <QWidget>

class QMenu;
class QStackedWidget;
class QTabBar;
class QToolButton;
class TRibbonGroup;
class TRibbonKeyTips;

// The ribbon: an orange menu button and a strip of tabs on top, the tool bar of the tab
// shown below. Each tab owns one tool bar made of titled groups.
class TRibbon : public QWidget
{
    Q_OBJECT
public:
    explicit TRibbon(QWidget* parent = nullptr);

    // Adds a tab with its (empty) tool bar and returns the tool bar.
    QWidget* addTab(const QString& title);
    TRibbonGroup* addGroup(QWidget* toolBar, const QString& title);
    void setMenu(const QString& caption, QMenu* menu);

    int currentIndex() const;
    void setCurrentIndex(int index);
    int count() const;
    QWidget* toolBar(int index) const;
    QTabBar* tabBar() const { return m_tabs; }
    QToolButton* menuButton() const { return m_menuButton; }
    TRibbonKeyTips* keyTips() const { return m_keyTips; }

signals:
    void currentChanged(int index);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QToolButton* m_menuButton;
    QTabBar* m_tabs;
    QStackedWidget* m_stack;
    TRibbonKeyTips* m_keyTips;
};
