#include "envelope/PrintError.h"
#include "printing/QueueCall.h"
#include "printwindows/Seriendruck.h"
#include "printwindows/TForm_Progress.h"
#include "shell/TerminationSignals.h"
#include "store/ESQLiteException.h"
#include "support/ForeignConnection.h"
#include "support/ModalAnswer.h"
#include "support/OutputTestContext.h"
#include "uikit/ProgressScale.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <thread>
#include <gtest/gtest.h>
#include <csignal>

namespace {

const QStringList kSender{"Hans Summer", "Hagenweg 12", "", "12345 Hausen", "Germany"};

QString pauseText(int printed, int count)
{
    return QStringLiteral("Es wurden %1 von %2 Adressen gedruckt. Klicken Sie auf OK, um den Seriendruck fortzuführen.")
        .arg(printed)
        .arg(count);
}
const QString kReallyStop = QStringLiteral("Wollen Sie den Seriendruck wirklich abbrechen?");

// Reads the progress window at the start of every job.
class WatchingPrinter : public FakePrintService
{
public:
    void BeginDoc() override
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* p = qobject_cast<TForm_Progress*>(w)) {
                positions << p->Progress_Scale()->position();
                statuses << p->Label_Status()->text();
                visible << p->isVisible();
            }
        FakePrintService::BeginDoc();
    }
    QList<int> positions;
    QStringList statuses;
    QList<bool> visible;
};

// Hands every job over to a queue that takes its time, as a network queue does, and
// presses the progress window's "Abbrechen" while the first one is handed over.
class SlowQueue : public FakePrintService
{
public:
    void EndDoc() override
    {
        if (jobs.size() == 1)
            QTimer::singleShot(50, [] {
                for (QWidget* w : QApplication::topLevelWidgets())
                    if (auto* p = qobject_cast<TForm_Progress*>(w)) {
                        statusWhileHandingOver = p->Label_Status()->text();
                        QTest::mouseClick(p->Button_Abbrechen(), Qt::LeftButton);
                    }
            });
        QueueCall::Run(
            [] {
                std::this_thread::sleep_for(std::chrono::milliseconds(250));
                return 0;
            },
            5000, QStringLiteral("antwortet nicht"));
        FakePrintService::EndDoc();
    }
    static inline QString statusWhileHandingOver;
};

class SeriendruckTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        t.ctx.Printer = &printer;
        t.addAbsender("AB00000001", kSender);
        t.ctx.Print().BreakCount = 10;
    }
    // Addresses "Empfänger 1".. in the group; every fourth one inactive when asked.
    void addAddresses(int active, int inactive = 0)
    {
        for (int i = 1; i <= active + inactive; ++i) {
            t.ctx.db().ExecSQL("INSERT INTO tab_adressen (Adresse_ID,Gruppe_ID,Line1,Line2,Aktiv) VALUES (?,?,?,?,?)",
                               {QString("AD%1").arg(i, 8, 10, QChar('0')), "GR00000001",
                                QString("Empfänger %1").arg(i, 3, 10, QChar('0')), "Weg 1", i > active ? 0 : 1});
        }
    }
    SeriendruckInput input() const { return {"AB00000001", "GR00000001", "", 5, 1}; }
    QStringList titles() const
    {
        QStringList list;
        for (const auto& job : printer.jobs)
            list << job.title;
        return list;
    }

    OutputTestContext t;
    WatchingPrinter printer;
};

QStringList pageTitles(int n)
{
    QStringList list;
    for (int i = 1; i <= n; ++i)
        list << QStringLiteral("Tavisto_Page_%1").arg(i);
    return list;
}

} // namespace

TEST_F(SeriendruckTest, PausesAfterEveryBreakCountEnvelopes)
{
    struct Case
    {
        int active;
        QList<int> answers;      // scripted answers to the boxes, in order
        QStringList messages;    // the boxes shown
        int jobs;
    };
    const Case cases[] = {
        {25, {Msg::IdOk, Msg::IdOk}, {pauseText(10, 25), pauseText(20, 25)}, 25},
        {10, {}, {}, 10},
        {11, {Msg::IdOk}, {pauseText(10, 11)}, 11},
        // Cancel, then "Nein": the series goes on with the current address.
        {12, {Msg::IdCancel, Msg::IdNo}, {pauseText(10, 12), kReallyStop}, 12},
        // Cancel, then "Ja": exactly the first ten.
        {25, {Msg::IdCancel, Msg::IdYes}, {pauseText(10, 25), kReallyStop}, 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.active);
        t.ctx.db().ExecSQL("DELETE FROM tab_adressen");
        printer.jobs.clear();
        t.messages.shown.clear();
        addAddresses(c.active, 3);
        for (int a : c.answers)
            t.messages.answer({a});
        EXPECT_TRUE(RunSeriendruck(t.ctx, input()));
        EXPECT_EQ(t.messages.texts(), c.messages);
        EXPECT_EQ(titles(), pageTitles(c.jobs));  // inactive addresses are never printed
        for (const auto& job : printer.jobs)
            EXPECT_TRUE(job.ended && !job.aborted);
    }
}

TEST_F(SeriendruckTest, ProgressShowsTheEnvelopeBeingPrinted)
{
    addAddresses(3);
    printer.setCurrentOrientation(PageOrientation::Portrait);
    t.ctx.Print().Orientation = 0;
    ASSERT_TRUE(RunSeriendruck(t.ctx, input()));
    EXPECT_EQ(printer.positions, QList<int>({0, 1, 2}));  // never the maximum
    EXPECT_EQ(printer.statuses, QStringList({"Adresse 1 von 3 wird gedruckt...", "Adresse 2 von 3 wird gedruckt...",
                                             "Adresse 3 von 3 wird gedruckt..."}));
    EXPECT_EQ(printer.visible, QList<bool>({true, true, true}));
    for (const auto& job : printer.jobs)
        EXPECT_EQ(job.orientation, PageOrientation::Landscape);
    EXPECT_EQ(printer.currentOrientation(), PageOrientation::Portrait);
    // The window is gone afterwards.
    for (QWidget* w : QApplication::topLevelWidgets())
        EXPECT_EQ(qobject_cast<TForm_Progress*>(w), nullptr);
}

TEST_F(SeriendruckTest, OrderFollowsTheListsSortNameIncluded)
{
    t.ctx.db().ExecSQL("INSERT INTO tab_adressen (Adresse_ID,Gruppe_ID,Line1,Line6,Aktiv) VALUES "
                       "('AD00000001','GR00000001','Zorn','Zorn',1),('AD00000002','GR00000001','Adam','Adam',1)");
    SeriendruckInput in = input();
    in.SortChoice = 0;  // "Keine": the order they were stored
    RunSeriendruck(t.ctx, in);
    in.SortChoice = 6;  // "Name": by the sort name, as the list shows them
    RunSeriendruck(t.ctx, in);
    ASSERT_EQ(printer.jobs.size(), 4);
    // "Keine" prints Zorn, Adam; "Name" Adam, Zorn.
    EXPECT_EQ(printer.jobs[0].images[0], printer.jobs[3].images[0]);
    EXPECT_EQ(printer.jobs[1].images[0], printer.jobs[2].images[0]);
    EXPECT_NE(printer.jobs[0].images[0], printer.jobs[1].images[0]);
}

TEST_F(SeriendruckTest, UnknownFormatPausesButPrintsNothing)
{
    addAddresses(11);
    t.ctx.Print().FormatIndex = 12;
    t.messages.answer({Msg::IdOk});
    EXPECT_TRUE(RunSeriendruck(t.ctx, input()));
    EXPECT_EQ(t.messages.texts(), QStringList{pauseText(10, 11)});
    EXPECT_TRUE(printer.jobs.isEmpty());
}

TEST_F(SeriendruckTest, MissingSenderOrNoMatch)
{
    addAddresses(2);
    SeriendruckInput in = input();
    in.AbsenderID = "AB00000099";
    EXPECT_FALSE(RunSeriendruck(t.ctx, in));
    in = input();
    in.SearchText = "niemand";
    EXPECT_TRUE(RunSeriendruck(t.ctx, in));
    EXPECT_TRUE(printer.jobs.isEmpty());
    EXPECT_TRUE(t.messages.shown.isEmpty());
}

TEST_F(SeriendruckTest, CommandChecksSelectionConfirmsAndReenablesTheWindowAfterAnError)
{
    addAddresses(2);
    QWidget mainWindow;
    SeriendruckInput in = input();
    in.AbsenderID.clear();
    SeriendruckCommand(t.ctx, &mainWindow, in);
    in = input();
    in.GruppeID.clear();
    SeriendruckCommand(t.ctx, &mainWindow, in);
    EXPECT_EQ(t.messages.texts(), QStringList({"Bitte wählen Sie einen Absender!", "Bitte wählen Sie eine Gruppe!"}));

    // "Nein" in the confirmation: nothing.
    ModalAnswer no([](QDialog* d) { QTest::mouseClick(d->findChild<QPushButton*>("Button_No"), Qt::LeftButton); });
    SeriendruckCommand(t.ctx, &mainWindow, input());
    no.settle();
    EXPECT_TRUE(no.seen());
    EXPECT_TRUE(printer.jobs.isEmpty());

    // A printer that fails: the error passes on, the window is usable again, the job abandoned.
    printer.failOnDraw = true;
    printer.setCurrentOrientation(PageOrientation::Portrait);
    t.ctx.Print().Orientation = 0;
    bool disabledWhileRunning = false;
    ModalAnswer yes([&](QDialog* d) {
        disabledWhileRunning = !mainWindow.isEnabled();
        QTest::mouseClick(d->findChild<QPushButton*>("Button_Yes"), Qt::LeftButton);
    });
    EXPECT_THROW(SeriendruckCommand(t.ctx, &mainWindow, input()), PrintError);
    yes.settle();
    EXPECT_FALSE(disabledWhileRunning);  // disabled only once confirmed
    EXPECT_TRUE(mainWindow.isEnabled());
    ASSERT_EQ(printer.jobs.size(), 1);
    EXPECT_TRUE(printer.jobs[0].aborted);
    EXPECT_EQ(printer.currentOrientation(), PageOrientation::Portrait);
}

namespace {

// Another program holding the database file with an exclusive lock.
class FileLock : public ForeignConnection
{
public:
    explicit FileLock(const QString& file) : ForeignConnection(file), m_locked(exec("BEGIN EXCLUSIVE")) {}
    bool locked() const { return m_locked; }

private:
    bool m_locked;
};

// Takes the lock once the fifth envelope has been printed.
class LockingPrinter : public FakePrintService
{
public:
    void EndDoc() override
    {
        FakePrintService::EndDoc();
        if (jobs.size() == 5)
            lock = std::make_unique<FileLock>(file);
    }
    QString file;
    std::unique_ptr<FileLock> lock;
};

bool progressShown()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (qobject_cast<TForm_Progress*>(w) && w->isVisible())
            return true;
    return false;
}

} // namespace

// The series reads its addresses before the first envelope: a file locked before the start
// ends it with the database's error and nothing printed; a lock taken in the middle cannot
// stop it.
TEST_F(SeriendruckTest, FileLockedByAnotherProgram)
{
    addAddresses(12);
    QWidget mainWindow;
    {
        FileLock lock(t.ctx.db().FileName());
        ASSERT_TRUE(lock.locked());
        printer.setCurrentOrientation(PageOrientation::Portrait);
        ModalAnswer yes([](QDialog* d) { d->done(Msg::IdYes); });
        EXPECT_THROW(SeriendruckCommand(t.ctx, &mainWindow, input()), ESQLiteException);
        yes.settle();
        EXPECT_TRUE(mainWindow.isEnabled());
        EXPECT_TRUE(printer.jobs.isEmpty());
        EXPECT_FALSE(progressShown());
        EXPECT_EQ(printer.currentOrientation(), PageOrientation::Portrait);
    }

    LockingPrinter locking;
    locking.file = t.ctx.db().FileName();
    t.ctx.Printer = &locking;
    EXPECT_TRUE(RunSeriendruck(t.ctx, input()));
    ASSERT_TRUE(locking.lock && locking.lock->locked());
    EXPECT_EQ(locking.jobs.size(), 12);
    for (const auto& job : locking.jobs)
        EXPECT_TRUE(job.ended && !job.aborted) << job.title.toStdString();
    EXPECT_FALSE(progressShown());
}

namespace {

// A termination signal (the session logs out) arriving after the third envelope.
class SignallingPrinter : public FakePrintService
{
public:
    void EndDoc() override
    {
        FakePrintService::EndDoc();
        if (jobs.size() == 3)
            ::raise(SIGTERM);
    }
};

// A termination signal arriving while the pause question is open; the program closes the
// question for it, which answers Cancel.
class SignalledPause : public FakeMessageService
{
public:
    int ShowMessageBox(const QString& text, int kind, int sound, int buttons, int helpContext) override
    {
        const int answer = FakeMessageService::ShowMessageBox(text, kind, sound, buttons, helpContext);
        if (!text.startsWith(QStringLiteral("Es wurden")))
            return answer;
        ::raise(SIGTERM);
        QApplication::processEvents();
        return Msg::IdCancel;
    }
};

} // namespace

// The program asked to end stops a running series without asking anything more; what is
// printed stays printed, nothing is left half done.
TEST_F(SeriendruckTest, TerminationSignalEndsTheSeries)
{
    addAddresses(12);
    {
        TerminationSignals termination;
        SignallingPrinter signalling;
        t.ctx.Printer = &signalling;
        EXPECT_TRUE(RunSeriendruck(t.ctx, input()));
        EXPECT_TRUE(TerminationSignals::Requested());
        EXPECT_EQ(signalling.jobs.size(), 3);
        for (const auto& job : signalling.jobs)
            EXPECT_TRUE(job.ended && !job.aborted);
        EXPECT_TRUE(t.messages.shown.isEmpty());
    }
    EXPECT_FALSE(TerminationSignals::Requested());

    TerminationSignals termination;
    SignalledPause messages;
    t.ctx.Messages = &messages;
    t.ctx.Printer = &printer;
    EXPECT_TRUE(RunSeriendruck(t.ctx, input()));
    EXPECT_EQ(printer.jobs.size(), 10);
    EXPECT_EQ(messages.texts(), QStringList{pauseText(10, 12)}) << "no question whether to stop";
    t.ctx.Messages = &t.messages;
}

TEST(SeriendruckCancel, AbbrechenPressedWhileAJobIsHandedOverEndsTheSeriesAfterThatJob)
{
    struct Case
    {
        int answer;
        int printed;
    };
    for (const Case c : {Case{Msg::IdYes, 1}, Case{Msg::IdNo, 4}}) {
        OutputTestContext t;
        SlowQueue printer;
        t.ctx.Printer = &printer;
        t.addAbsender("AB00000001", kSender);
        for (int i = 1; i <= 4; ++i)
            t.addAdresse(QString("AD%1").arg(i, 8, 10, QChar('0')), {QString("Empfänger %1").arg(i), "", "", "", ""});
        t.messages.answer({c.answer});
        SlowQueue::statusWhileHandingOver.clear();
        EXPECT_TRUE(RunSeriendruck(t.ctx, {"AB00000001", "GR00000001", "", 5, 0}));
        EXPECT_EQ(SlowQueue::statusWhileHandingOver, "Adresse 1 von 4 wird gedruckt...");
        EXPECT_EQ(t.messages.texts(), QStringList{kReallyStop});
        EXPECT_EQ(printer.jobs.size(), c.printed);
        for (const auto& job : printer.jobs)
            EXPECT_TRUE(job.ended && !job.aborted);
    }
}
