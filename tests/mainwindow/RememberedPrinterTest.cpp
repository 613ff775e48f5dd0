#include "MainWindowHarness.h"
#include "support/ModalAnswer.h"

#include <QComboBox>
#include <QPushButton>

namespace {

// Answers every modal dialog of the print: the settings choose a printer (or are left as
// they are) and are saved, the confirmation says "Ja".
class PrintDialogs
{
public:
    explicit PrintDialogs(QString choose = {}) : m_choose(std::move(choose))
    {
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!d)
                return;
            names << d->objectName();
            if (d->objectName() == QLatin1String("TDLG_Einstellungen")) {
                auto* printers = d->findChild<QComboBox*>("ComboBox_Drucker");
                shownInSettings = printers->currentText();
                if (!m_choose.isEmpty())
                    printers->setCurrentIndex(printers->findText(m_choose));
                d->findChild<QPushButton*>("Button_Save")->click();
            } else if (d->objectName() == QLatin1String("TDLG_Drucken")) {
                d->done(Msg::IdYes);
            } else {
                d->reject();
            }
        });
        m_timer.start();
    }
    QStringList names;
    QString shownInSettings;

private:
    QString m_choose;
    QTimer m_timer;
};

// The settings file of an earlier run: the second queue, by index and name.
void rememberPrinter(MainWindowHarness& h, const char* name)
{
    QByteArray ini = "[HELP]\r\nScreen=0\r\n[CONFIG]\r\nDrucker=1\r\n";
    if (name)
        ini += QByteArray("DruckerName=") + name + "\r\n";
    h.dir.write(QStringLiteral("config/Lumo Tavisto/Tavisto.ini"), ini);
    h.seed(StandardData() << "DELETE FROM tab_banner");
}

const QString kGone = QStringLiteral(
    "Der zuletzt gewählte Drucker „Etiketten_Laser“ ist nicht mehr vorhanden. Gedruckt würde jetzt auf „Tavisto_PDF“, "
    "der an seiner Stelle in der Druckerliste steht.\n\n"
    "Mit „OK“ wählen Sie den Drucker in den Einstellungen; mit „Abbrechen“ wird nichts gedruckt.");

TEST(RememberedPrinter, AQueueGoneSinceTheLastRunIsNamedBeforeTheFirstPrint)
{
    MainWindowHarness h;
    rememberPrinter(h, "Etiketten_Laser");  // the list is "Office Laser", "Tavisto_PDF"
    TForm_Tavisto& w = h.start();
    w.SelectAbsenderByID(QStringLiteral("AB00000003"));
    w.SelectAdresseByID(QStringLiteral("AD00000001"));

    // "Abbrechen": nothing printed, no confirmation; the next print asks again.
    for (int attempt = 0; attempt < 2; ++attempt) {
        h.messages.shown.clear();
        h.messages.answer({Msg::IdCancel});
        PrintDialogs dialogs;
        w.Commands().TB_EinzeldruckClick();
        QCoreApplication::processEvents();
        ASSERT_EQ(h.messages.shown.size(), 1);
        EXPECT_EQ(h.messages.shown[0].text, kGone);
        EXPECT_EQ(h.messages.shown[0].kind, Msg::Warning);
        EXPECT_EQ(h.messages.shown[0].buttons, Msg::Ok | Msg::Cancel);
        EXPECT_TRUE(dialogs.names.isEmpty());
        EXPECT_TRUE(h.printer.jobs.isEmpty());
    }

    // "OK" opens the settings on the printer; the one chosen there prints, and is the one
    // remembered from now on.
    h.messages.shown.clear();
    h.messages.answer({Msg::IdOk});
    {
        PrintDialogs dialogs(QStringLiteral("Office Laser"));
        w.Commands().TB_EinzeldruckClick();
        EXPECT_EQ(dialogs.names, QStringList({"TDLG_Einstellungen", "TDLG_Drucken"}));
        EXPECT_EQ(dialogs.shownInSettings, "Tavisto_PDF");
    }
    ASSERT_EQ(h.printer.jobs.size(), 1);
    EXPECT_EQ(h.printer.jobs[0].printerIndex, 0);
    EXPECT_EQ(h.ctx.Print().PrinterName, "Office Laser");
    EXPECT_TRUE(h.caption("VGradPanel_Status").startsWith("Drucker: Office Laser"));

    // Said once: the series that follows asks only its own question.
    h.messages.shown.clear();
    {
        PrintDialogs dialogs;
        w.Commands().TB_SeriendruckClick();
        EXPECT_EQ(dialogs.names, QStringList({"TDLG_Drucken"}));
    }
    EXPECT_TRUE(h.messages.shown.isEmpty()) << h.messages.texts().join('|').toStdString();
    EXPECT_EQ(h.printer.jobs.size(), 3);  // two active addresses in "Kunden"

    // And the next start finds it by its name.
    h.restart();
    EXPECT_EQ(h.ctx.Print().PrinterName, "Office Laser");
    EXPECT_EQ(h.ctx.Print().PrinterIndex, 0);
}

TEST(RememberedPrinter, KeepingTheNeighbourInTheSettingsIsAChoiceToo)
{
    MainWindowHarness h;
    rememberPrinter(h, "Etiketten_Laser");
    TForm_Tavisto& w = h.start();
    h.messages.answer({Msg::IdOk});
    {
        PrintDialogs dialogs;  // saved as shown
        w.Commands().TB_SeriendruckClick();
        EXPECT_EQ(dialogs.names, QStringList({"TDLG_Einstellungen", "TDLG_Drucken"}));
    }
    EXPECT_EQ(h.messages.texts(), QStringList{kGone});
    ASSERT_EQ(h.printer.jobs.size(), 2);
    EXPECT_EQ(h.printer.jobs[0].printerIndex, 1);
    EXPECT_EQ(h.ctx.Print().PrinterName, "Tavisto_PDF");
}

TEST(RememberedPrinter, AFileWithoutANameKeepsTheIndexRuleWithoutAWord)
{
    MainWindowHarness h;
    rememberPrinter(h, nullptr);
    TForm_Tavisto& w = h.start();
    w.SelectAbsenderByID(QStringLiteral("AB00000003"));
    w.SelectAdresseByID(QStringLiteral("AD00000001"));
    PrintDialogs dialogs;
    w.Commands().TB_EinzeldruckClick();
    EXPECT_EQ(dialogs.names, QStringList({"TDLG_Drucken"}));
    EXPECT_TRUE(h.messages.shown.isEmpty()) << h.messages.texts().join('|').toStdString();
    ASSERT_EQ(h.printer.jobs.size(), 1);
    EXPECT_EQ(h.printer.jobs[0].printerIndex, 1);
}

} // namespace
