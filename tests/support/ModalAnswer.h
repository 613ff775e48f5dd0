#pragma once
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>
#include <functional>
#include <memory>

// Acts on the next modal dialog once its event loop runs. seen() tells afterwards whether
// one came; call settle() after the code under test so a timer that found no dialog does
// not fire into a later test.
class ModalAnswer
{
public:
    explicit ModalAnswer(std::function<void(QDialog*)> act) : m_seen(std::make_shared<QString>())
    {
        auto seen = m_seen;
        QTimer::singleShot(0, [seen, act] {
            if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                *seen = d->objectName().isEmpty() ? QStringLiteral("?") : d->objectName();
                act(d);
            }
        });
    }
    void settle() { QCoreApplication::processEvents(); }
    bool seen() const { return !m_seen->isEmpty(); }
    QString dialogName() const { return *m_seen; }

private:
    std::shared_ptr<QString> m_seen;
};

// Acts on the first modal dialog of type D once it is shown, however long the code under
// test works before it opens it: a printer's dialog comes after a call to the printing
// system, whose wait runs the event loop (a zero timer would fire before the dialog
// exists). It looks until it acted, timeoutMs passed or it goes out of scope.
template <class D>
class AnswerWhenShown
{
public:
    AnswerWhenShown(std::function<void(D*)> act, int timeoutMs = 60000)
    {
        m_clock.start();
        QObject::connect(&m_timer, &QTimer::timeout, [this, act, timeoutMs] {
            auto* d = qobject_cast<D*>(QApplication::activeModalWidget());
            if (!d && m_clock.elapsed() < timeoutMs)
                return;
            m_timer.stop();
            if (d) {
                m_seen = true;
                act(d);
            }
        });
        m_timer.start(10);
    }
    bool seen() const { return m_seen; }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    bool m_seen = false;
};
