#include "printing/QueueCall.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QThread>
#include <QTimer>
#include <QWidget>

#include <chrono>

namespace QueueCall {

namespace {

// Most calls end within this time: they are waited for without entering the event loop.
constexpr int kQuickMs = 40;
// While the event loop runs, the call is looked at this often.
constexpr int kPollMs = 5;

bool isUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::ShortcutOverride:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::Close:
    case QEvent::DragEnter:
    case QEvent::Drop:
        return true;
    default:
        return false;
    }
}

// Holds back input from every window that does not take it while the program waits.
class InputHold : public QObject
{
public:
    InputHold() { qApp->installEventFilter(this); }
    ~InputHold() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (!isUserInput(event->type()))
            return false;
        if (auto* widget = qobject_cast<QWidget*>(watched))
            return !widget->window()->property(kTakesInputWhileWaiting).toBool();
        // Native windows pass input on to their widgets, which are looked at then; anything
        // else (actions' shortcuts) waits.
        return !watched->isWindowType();
    }
};

bool finishedOrAbandon(State& state)
{
    std::lock_guard lock(state.mutex);
    if (state.finished)
        return true;
    state.abandoned = true;
    return false;
}

} // namespace

bool Wait(const std::shared_ptr<State>& state, int timeoutMs)
{
    {
        std::unique_lock lock(state->mutex);
        if (state->done.wait_for(lock, std::chrono::milliseconds(std::min(kQuickMs, timeoutMs)),
                                 [&] { return state->finished; }))
            return true;
    }
    const bool guiThread = qobject_cast<QApplication*>(QCoreApplication::instance()) &&
                           QThread::currentThread() == QCoreApplication::instance()->thread();
    if (!guiThread) {
        std::unique_lock lock(state->mutex);
        state->done.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return state->finished; });
        lock.unlock();
        return finishedOrAbandon(*state);
    }

    QElapsedTimer clock;
    clock.start();
    InputHold hold;
    QEventLoop loop;
    QTimer poll;
    poll.setInterval(kPollMs);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        std::lock_guard lock(state->mutex);
        if (state->finished || clock.elapsed() >= timeoutMs)
            loop.quit();
    });
    poll.start();
    loop.exec();
    return finishedOrAbandon(*state);
}

} // namespace QueueCall
