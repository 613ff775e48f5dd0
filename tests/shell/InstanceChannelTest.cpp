#include "shell/InstanceChannel.h"
#include "shell/InstanceGuard.h"
#include "support/TempDir.h"

#include <QApplication>
#include <QFile>
#include <QSignalSpy>
#include <QWidget>
#include <gtest/gtest.h>

// A second start reaches the running instance through the socket beside the lock file, and
// the running instance brings its window to the front.
TEST(InstanceChannel, ASecondStartAsksTheRunningOneToComeToTheFront)
{
    TempDir dir;
    const QString lock = dir.file("Lumo Tavisto");
    InstanceGuard first(lock);
    ASSERT_TRUE(first.held());
    InstanceChannel channel(first.lockFile());
    ASSERT_TRUE(channel.listening());
    QSignalSpy raised(&channel, &InstanceChannel::raiseRequested);

    InstanceGuard second(lock);
    ASSERT_TRUE(second.alreadyRunning());
    EXPECT_EQ(second.lockFile(), lock);
    EXPECT_TRUE(InstanceChannel::askToRaise(second.lockFile()));
    EXPECT_TRUE(raised.wait(3000) || raised.count() == 1);
    EXPECT_EQ(raised.count(), 1);
}

TEST(InstanceChannel, NobodyListensWithoutARunningInstance)
{
    TempDir dir;
    EXPECT_FALSE(InstanceChannel::askToRaise(dir.file("Lumo Tavisto")));
}

TEST(InstanceChannel, TheLockHolderTakesOverASocketLeftByAnInstanceThatDied)
{
    TempDir dir;
    const QString lock = dir.file("Lumo Tavisto");
    {
        // What a killed instance leaves: a socket file nobody listens on.
        QFile stale(InstanceChannel::socketFor(lock));
        ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    }
    InstanceGuard guard(lock);
    InstanceChannel channel(guard.lockFile());
    EXPECT_TRUE(channel.listening());
    QSignalSpy raised(&channel, &InstanceChannel::raiseRequested);
    EXPECT_TRUE(InstanceChannel::askToRaise(lock));
    EXPECT_TRUE(raised.wait(3000) || raised.count() == 1);
}

TEST(InstanceChannel, BringsTheWindowToTheFrontOverAnotherOne)
{
    QWidget main;
    main.setWindowTitle(QStringLiteral("Lumo Tavisto"));
    main.resize(300, 200);
    main.show();
    QWidget other;
    other.resize(300, 200);
    other.show();
    other.activateWindow();
    QApplication::processEvents();
    main.showMinimized();
    QApplication::processEvents();

    InstanceChannel::bringToFront(&main);
    for (int i = 0; i < 50 && QApplication::activeWindow() != &main; ++i)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_EQ(QApplication::activeWindow(), &main);
    EXPECT_FALSE(main.isMinimized());
}
