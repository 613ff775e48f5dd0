#include "app/HelpKey.h"

#include "app/AppContext.h"
#include "shell/HelpService.h"

#include <QApplication>
#include <QKeyEvent>
#include <QShortcut>
#include <QWidget>

void InstallHelpKey(QWidget* window, AppContext& ctx, int topic)
{
    InstallHelpKey(window, ctx, [topic] { return topic; });
}

void InstallHelpKey(QWidget* window, AppContext& ctx, std::function<int()> topicFor)
{
    auto* key = new QShortcut(QKeySequence(Qt::Key_F1), window);
    key->setObjectName(QStringLiteral("Shortcut_Help"));
    key->setContext(Qt::WindowShortcut);
    QObject::connect(key, &QShortcut::activated, window, [&ctx, topicFor = std::move(topicFor)] {
        if (ctx.Help)
            ctx.Help->ShowHelpTopic(topicFor());
    });
}

HelpTopicScope::HelpTopicScope(AppContext& ctx, int topic)
    : m_ctx(ctx), m_topic(topic), m_home(QApplication::activeWindow())
{
    qApp->installEventFilter(this);
}

HelpTopicScope::~HelpTopicScope()
{
    qApp->removeEventFilter(this);
}

bool HelpTopicScope::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_F1)
        return false;
    auto* w = static_cast<QWidget*>(watched);
    if (w->window() == m_home)
        return false;
    // A key travels from the focused control up to the window; act on it once.
    QWidget* focus = QApplication::focusWidget();
    if (focus ? w != focus : !w->isWindow())
        return false;
    if (m_ctx.Help)
        m_ctx.Help->ShowHelpTopic(m_topic);
    return true;
}
