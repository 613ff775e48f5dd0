// The wait for a call into the printing system: the windows keep painting, input reaches
// only the windows that take it while waiting, and a call that hangs is given up with the
// caller's message.
#include "envelope/PrintError.h"
#include "printing/QueueCall.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

using namespace std::chrono_literals;

// Runs a call of the given length while a timer ticks and a click goes to each window.
struct WaitScene
{
    QPushButton mainWindow{QStringLiteral("Einzeldruck")};
    QPushButton progress{QStringLiteral("Abbrechen")};
    int mainClicks = 0;
    int progressClicks = 0;
    int ticks = 0;
    QTimer timer;

    WaitScene()
    {
        progress.setProperty(QueueCall::kTakesInputWhileWaiting, true);
        mainWindow.show();
        progress.show();
        QObject::connect(&mainWindow, &QPushButton::clicked, [this] { ++mainClicks; });
        QObject::connect(&progress, &QPushButton::clicked, [this] { ++progressClicks; });
        QObject::connect(&timer, &QTimer::timeout, [this] { ++ticks; });
        timer.start(10);
        QTimer::singleShot(100, [this] {
            QTest::mouseClick(&mainWindow, Qt::LeftButton);
            QTest::mouseClick(&progress, Qt::LeftButton);
        });
    }
};

} // namespace

TEST(QueueCall, AnsweringCallsGiveTheirResultOrTheirError)
{
    EXPECT_EQ(QueueCall::Run([] { return 42; }, 1000, "langsam"), 42);
    try {
        QueueCall::Run([]() -> int { throw PrintError(QStringLiteral("Der Drucker „X“ ist angehalten.")); }, 1000,
                       "langsam");
        ADD_FAILURE() << "the call's error was lost";
    } catch (const PrintError& e) {
        EXPECT_EQ(e.message(), "Der Drucker „X“ ist angehalten.");
    }
}

TEST(QueueCall, WhileASlowCallRunsTheWindowsPaintAndOnlyTheProgressWindowTakesInput)
{
    WaitScene scene;
    const int result = QueueCall::Run(
        [] {
            std::this_thread::sleep_for(400ms);
            return 7;
        },
        5000, "langsam");
    EXPECT_EQ(result, 7);
    EXPECT_GT(scene.ticks, 5) << "the event loop did not run during the call";
    EXPECT_EQ(scene.progressClicks, 1);
    EXPECT_EQ(scene.mainClicks, 0) << "a command could start a second time while the first waits";
    // Afterwards every window takes input again.
    QTest::mouseClick(&scene.mainWindow, Qt::LeftButton);
    EXPECT_EQ(scene.mainClicks, 1);
}

TEST(QueueCall, ACallThatDoesNotAnswerIsGivenUpWithTheMessageAndItsLateResultCleanedUp)
{
    WaitScene scene;
    std::atomic<bool> release{false};
    std::atomic<int> cleanedUp{0};
    try {
        QueueCall::Run(
            [&] {
                while (!release)
                    std::this_thread::sleep_for(5ms);
                return 12;  // a job the scheduler took after all
            },
            300, QStringLiteral("Der Drucker „Fern“ antwortet nicht."),
            [&](const int& job) { cleanedUp = job; });
        ADD_FAILURE() << "no timeout";
    } catch (const PrintError& e) {
        EXPECT_EQ(e.message(), "Der Drucker „Fern“ antwortet nicht.");
    }
    EXPECT_GT(scene.ticks, 5);
    release = true;
    EXPECT_TRUE(QTest::qWaitFor([&] { return cleanedUp == 12; }, 5000)) << "the late job was not cancelled";
}
