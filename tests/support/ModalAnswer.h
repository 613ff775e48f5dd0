#pragma once
#include <QApplication>
#include <QDialog>
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
