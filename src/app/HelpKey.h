#pragma once
#include <QObject>
#include <QPointer>
#include <functional>

struct AppContext;
class QWidget;

// F1 in a window shows that window's help topic; topicFor may look at the focused control.
void InstallHelpKey(QWidget* window, AppContext& ctx, int topic);
void InstallHelpKey(QWidget* window, AppContext& ctx, std::function<int()> topicFor);

// While it lives, F1 in a window that opens meanwhile and has no help of its own (a file
// dialog, a progress window, a message of the running command) shows the topic. The window
// that was active when it began keeps its own F1.
class HelpTopicScope : public QObject
{
public:
    HelpTopicScope(AppContext& ctx, int topic);
    ~HelpTopicScope() override;
    HelpTopicScope(const HelpTopicScope&) = delete;
    HelpTopicScope& operator=(const HelpTopicScope&) = delete;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    AppContext& m_ctx;
    int m_topic;
    QPointer<QWidget> m_home;
};
