#include "support/DialogFixture.h"

#include "store/Schema.h"

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <QWidget>

void DialogFixture::SetUp()
{
    ctx.Database = std::make_unique<TSQLiteDatabase>(dir.file("Tavisto.dbs"));
    ctx.Messages = &messages;
    ctx.Help = &help;
    ASSERT_TRUE(CreateTables(*ctx.Database, messages));
}

QString DialogFixture::value(const QString& sql, const SqlParams& params)
{
    TSQLiteTable t = db().GetTable(sql, params);
    return t.Count() == 0 ? QString() : t.FieldAsString(0);
}

int DialogFixture::count(const QString& sql, const SqlParams& params) { return value(sql, params).toInt(); }

void DialogFixture::onNextModal(std::function<void(QWidget*)> action)
{
    // Polls until the modal dialog is up, then acts on it once.
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            action(modal);
        }
    });
    timer->start();
}

void DialogFixture::activate(QWidget& window)
{
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
}
