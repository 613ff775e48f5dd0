// The user closes the main window while a print waits for the printing system: the window
// waits for the print, as every other input does, and closes once it is done.
#include "MainWindowHarness.h"
#include "printing/QueueCall.h"
#include "support/KeepRunning.h"
#include "printwindows/TDLG_Drucken.h"
#include "support/ModalAnswer.h"

#include <QAbstractButton>
#include <QWindow>

#include <chrono>
#include <thread>

namespace {

// A queue that takes its time over the hand-over, as a network queue does; the user closes
// the main window meanwhile.
class SlowQueue : public FakePrintService
{
public:
    QWidget* window = nullptr;
    bool openAfterTheClose = false;

    void EndDoc() override
    {
        QTimer::singleShot(100, window, [this] { window->windowHandle()->close(); });
        QTimer::singleShot(300, window, [this] { openAfterTheClose = window->isVisible(); });
        QueueCall::Run(
            [] {
                std::this_thread::sleep_for(std::chrono::milliseconds(500));
                return 0;
            },
            5000, QStringLiteral("Der Drucker „Office Laser“ antwortet nicht."));
        FakePrintService::EndDoc();
    }
};

} // namespace

TEST(MainWindowClose, ClosingDuringAPrintWaitsForThePrintThenCloses)
{
    const KeepRunning keep;
    MainWindowHarness h;
    SlowQueue queue;
    h.ctx.Printer = &queue;
    // The standard banners are placeholders no picture reader accepts.
    h.seed(StandardData() << "DELETE FROM tab_banner");
    TForm_Tavisto& w = h.start();
    queue.window = &w;
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));

    AnswerWhenShown<TDLG_Drucken> yes(
        [](TDLG_Drucken* d) { d->findChild<QAbstractButton*>(QStringLiteral("Button_Yes"))->click(); });
    h.find<QAbstractButton>("TB_Einzeldruck")->click();

    ASSERT_TRUE(yes.seen());
    EXPECT_TRUE(h.messages.shown.isEmpty()) << h.messages.texts().join(" | ").toStdString();
    EXPECT_TRUE(queue.openAfterTheClose) << "the window closed in the middle of the print";
    ASSERT_EQ(queue.jobs.size(), 1);
    EXPECT_TRUE(queue.jobs[0].ended);
    EXPECT_TRUE(h.messages.shown.isEmpty()) << h.messages.texts().join(" | ").toStdString();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !w.isVisible(); }, 2000)) << "the user's close was lost";
}
