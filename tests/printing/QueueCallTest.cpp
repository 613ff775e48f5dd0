// The wait for a call into the printing system: the windows keep painting, input reaches
// only the windows that take it while waiting, and a call that hangs is given up with the
// caller's message.
#include "envelope/PrintError.h"
#include "printing/QueueCall.h"
#include "support/KeepRunning.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QWindow>
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

namespace {

// A main window that counts the close requests it handled.
class ClosingWindow : public QWidget
{
public:
    int closes = 0;

protected:
    void closeEvent(QCloseEvent* event) override
    {
        ++closes;
        QWidget::closeEvent(event);
    }
};

int slowCall()
{
    return QueueCall::Run(
        [] {
            std::this_thread::sleep_for(500ms);
            return 7;
        },
        5000, "langsam");
}

} // namespace

// The user closes the main window (its close button, as the window system asks) while a
// call is waited for: the window stays until the call returned and its caller went on,
// then closes as asked; the call's result is not lost to a close that ended the program.
TEST(QueueCall, AWindowClosedDuringACallClosesOnceTheCallReturned)
{
    const KeepRunning keep;
    ClosingWindow window;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    bool openAfterTheClose = false;
    QTimer::singleShot(100, &window, [&] { window.windowHandle()->close(); });
    QTimer::singleShot(300, &window, [&] { openAfterTheClose = window.isVisible(); });

    EXPECT_EQ(slowCall(), 7);
    EXPECT_TRUE(openAfterTheClose) << "the window closed in the middle of the call";
    EXPECT_TRUE(window.isVisible()) << "the window closed before the caller had the result";
    EXPECT_EQ(window.closes, 0);

    EXPECT_TRUE(QTest::qWaitFor([&] { return !window.isVisible(); }, 2000)) << "the close was lost";
    EXPECT_EQ(window.closes, 1);
}

// After the call its caller shows a message: the window closes only once that is answered,
// and once only, however often the user pressed the close button.
TEST(QueueCall, AWindowClosedDuringACallWaitsForTheMessageAfterIt)
{
    const KeepRunning keep;
    ClosingWindow window;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QTimer::singleShot(100, &window, [&] { window.windowHandle()->close(); });
    QTimer::singleShot(200, &window, [&] { window.windowHandle()->close(); });
    EXPECT_EQ(slowCall(), 7);

    QDialog message(&window);
    bool openWhileAsked = false;
    QTimer::singleShot(200, &message, [&] {
        openWhileAsked = window.isVisible();
        message.accept();
    });
    message.exec();
    EXPECT_TRUE(openWhileAsked);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window.isVisible(); }, 2000)) << "the close was lost";
    EXPECT_EQ(window.closes, 1);
}
