#pragma once
#include <QHash>
#include <QList>
#include <QObject>
#include <QPoint>
#include <QPointer>

class QAbstractButton;
class QKeyEvent;
class QLabel;
class QWidget;
class TRibbon;

// The ribbon's key tips, as office programs show them: F10 or a lone Alt puts a letter on
// every tab and on the menu button; a tab's letter opens that tab and puts letters on its
// commands; a command's letter presses it. Escape steps back one level, a mouse click or
// leaving the window ends it. While the focus is in the ribbon, Ctrl+Tab and
// Ctrl+Shift+Tab (and the arrow keys on the tabs) move between the tabs.
class TRibbonKeyTips : public QObject
{
    Q_OBJECT
public:
    enum class Level { Off, Tabs, Commands };

    explicit TRibbonKeyTips(TRibbon* ribbon);

    Level level() const { return m_level; }
    // The letter of a tab, of the menu button and of a command of the tab's tool bar.
    QString tabTip(int index) const;
    QString menuTip() const { return m_menuTip; }
    QString commandTip(QAbstractButton* button) const;
    // The tips on screen, for the tests and the accessibility tree.
    QList<QLabel*> visibleTips() const;

    void showTabs();
    void showCommands(int tab);
    void hideTips();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool handleKey(QWidget* target, QKeyEvent* key);
    bool ownsWindowOf(QWidget* w) const;
    void assignTabTips();
    QHash<QAbstractButton*, QString> commandTips(int tab) const;
    QLabel* tipLabel(const QString& letter, const QString& name, QPoint at, bool enabled);
    void clearLabels();
    void stepTab(int delta);
    void leave(bool restoreFocus);

    TRibbon* m_ribbon;
    Level m_level = Level::Off;
    int m_tab = -1;
    bool m_altAlone = false;
    QStringList m_tabTips;
    QString m_menuTip;
    QHash<QAbstractButton*, QString> m_commandTips;
    QList<QLabel*> m_labels;
    QPointer<QWidget> m_focusBefore;
};
