#include "uikit/TRibbon.h"

#include "uikit/TRibbonGroup.h"
#include "uikit/TRibbonKeyTips.h"

#include <QHBoxLayout>
#include <QLinearGradient>
#include <QMenu>
#include <QPainter>
#include <QStackedWidget>
#include <QTabBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
constexpr int kRibbonHeight = 119;
constexpr int kStripHeight = 24;

// The tool bar under a tab: a pale gradient with the groups from the left.
class ToolBarPane : public QWidget
{
public:
    explicit ToolBarPane(QWidget* parent) : QWidget(parent)
    {
        auto* h = new QHBoxLayout(this);
        h->setContentsMargins(3, 2, 3, 2);
        h->setSpacing(2);
        h->addStretch(1);
    }
    void add(TRibbonGroup* group)
    {
        auto* h = static_cast<QHBoxLayout*>(layout());
        h->insertWidget(h->count() - 1, group);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        QLinearGradient g(0, 0, 0, height());
        g.setColorAt(0, QColor(0xfb, 0xfc, 0xfe));
        g.setColorAt(1, QColor(0xdf, 0xe8, 0xf5));
        p.fillRect(rect(), g);
        p.setPen(QColor(0x9a, 0xae, 0xca));
        p.drawLine(0, height() - 1, width(), height() - 1);
        p.drawLine(0, 0, 0, height());
        p.drawLine(width() - 1, 0, width() - 1, height());
    }
};
} // namespace

TRibbon::TRibbon(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Ribbon"));
    setFixedHeight(kRibbonHeight);

    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(2, 2, 2, 0);
    v->setSpacing(0);

    auto* strip = new QHBoxLayout;
    strip->setContentsMargins(0, 0, 0, 0);
    strip->setSpacing(4);
    m_menuButton = new QToolButton(this);
    m_menuButton->setObjectName(QStringLiteral("MenuButton"));
    m_menuButton->setPopupMode(QToolButton::InstantPopup);
    m_menuButton->setFocusPolicy(Qt::TabFocus);
    m_menuButton->setFixedSize(64, kStripHeight - 2);
    m_menuButton->setStyleSheet(QStringLiteral(
        "QToolButton { color: white; font-weight: bold; border: 1px solid #c55a11; border-radius: 3px;"
        " background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #fbb45c, stop:1 #e8701a); }"
        "QToolButton:hover { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #ffc878, stop:1 #f08228); }"
        "QToolButton:pressed { background: #d0600f; }"
        "QToolButton:focus { border: 1px dotted #402000; }"
        "QToolButton::menu-indicator { image: none; width: 0; }"));
    strip->addWidget(m_menuButton, 0, Qt::AlignBottom);

    m_tabs = new QTabBar(this);
    m_tabs->setObjectName(QStringLiteral("Ribbon_Tabs"));
    m_tabs->setDrawBase(false);
    m_tabs->setExpanding(false);
    // Reached with Tab like any control; the arrow keys and Ctrl+Tab then change the tab.
    m_tabs->setFocusPolicy(Qt::TabFocus);
    m_tabs->setStyleSheet(QStringLiteral(
        "QTabBar::tab { padding: 3px 12px; margin-right: 1px; color: #1e395b; border: 1px solid transparent;"
        " border-bottom: none; border-top-left-radius: 3px; border-top-right-radius: 3px; }"
        "QTabBar::tab:selected { background: #fbfcfe; border-color: #9aaeca; }"
        "QTabBar::tab:!selected:hover { background: #eef3fa; border-color: #c4d2e6; }"));
    strip->addWidget(m_tabs, 0, Qt::AlignBottom);
    strip->addStretch(1);
    v->addLayout(strip);

    m_stack = new QStackedWidget(this);
    v->addWidget(m_stack, 1);

    m_keyTips = new TRibbonKeyTips(this);

    connect(m_tabs, &QTabBar::currentChanged, this, [this](int i) {
        m_stack->setCurrentIndex(i);
        emit currentChanged(i);
    });
}

QWidget* TRibbon::addTab(const QString& title)
{
    auto* pane = new ToolBarPane(m_stack);
    pane->setAccessibleName(title);
    m_stack->addWidget(pane);
    m_tabs->addTab(title);
    return pane;
}

TRibbonGroup* TRibbon::addGroup(QWidget* toolBar, const QString& title)
{
    auto* group = new TRibbonGroup(title, toolBar);
    static_cast<ToolBarPane*>(toolBar)->add(group);
    return group;
}

void TRibbon::setMenu(const QString& caption, QMenu* menu)
{
    m_menuButton->setText(caption);
    m_menuButton->setAccessibleName(caption);
    m_menuButton->setMenu(menu);
}

int TRibbon::currentIndex() const
{
    return m_tabs->currentIndex();
}

void TRibbon::setCurrentIndex(int index)
{
    m_tabs->setCurrentIndex(index);
    m_stack->setCurrentIndex(index);
}

int TRibbon::count() const
{
    return m_tabs->count();
}

QWidget* TRibbon::toolBar(int index) const
{
    return m_stack->widget(index);
}

void TRibbon::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    QLinearGradient g(0, 0, 0, height());
    g.setColorAt(0, QColor(0xe4, 0xec, 0xf7));
    g.setColorAt(1, QColor(0xd3, 0xdf, 0xef));
    p.fillRect(rect(), g);
}
