#include "printing/QueueCall.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QPointer>
#include <QThread>
#include <QTimer>
#include <QWidget>

#include <chrono>
#include <utility>

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

// Windows the user closed while a call was waited for. They close once no call is waited
// for and no other window is modal: the call's caller finishes what it does first (a job
// handed over is reported, a timeout is read), then the window goes as the user asked.
class PendingCloses : public QObject
{
public:
    static PendingCloses& instance()
    {
        static QPointer<PendingCloses> closes;
        if (!closes)
            closes = new PendingCloses(qApp);
        return *closes;
    }
    void add(QWidget* window)
    {
        if (!m_windows.contains(window))
            m_windows.append(window);
    }
    void callStarted() { ++m_calls; }
    void callEnded()
    {
        --m_calls;
        later(0);
    }

private:
    using QObject::QObject;
    void later(int ms)
    {
        if (!m_windows.isEmpty())
            QTimer::singleShot(ms, this, [this] { closeNow(); });
    }
    void closeNow()
    {
        m_windows.removeAll(nullptr);
        if (m_calls > 0 || m_windows.isEmpty())
            return;
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && !m_windows.contains(modal)) {
            later(kPollMs * 10);
            return;
        }
        const QList<QPointer<QWidget>> windows = std::exchange(m_windows, {});
        for (const QPointer<QWidget>& window : windows)
            if (window)
                window->close();
    }

    QList<QPointer<QWidget>> m_windows;
    int m_calls = 0;
};

// Holds back input from every window that does not take it while the program waits. A
// window closed meanwhile stays open until the call returned, then closes.
class InputHold : public QObject
{
public:
    InputHold()
    {
        PendingCloses::instance().callStarted();
        qApp->installEventFilter(this);
    }
    ~InputHold() override
    {
        qApp->removeEventFilter(this);
        PendingCloses::instance().callEnded();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (!isUserInput(event->type()))
            return false;
        if (auto* widget = qobject_cast<QWidget*>(watched)) {
            if (widget->window()->property(kTakesInputWhileWaiting).toBool())
                return false;
            if (event->type() == QEvent::Close) {
                // Swallowed alone, an accepted close still closes the window.
                event->ignore();
                if (widget->isWindow())
                    PendingCloses::instance().add(widget);
            }
            return true;
        }
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
