#include "envelope/PrintError.h"
#include "envelope/UmschlagRenderer.h"
#include "printing/ConfiguredPrinter.h"
#include "printwindows/JpegResource.h"
#include "printwindows/SinglePrint.h"
#include "store/RecordOperations.h"
#include "support/InkProbe.h"
#include "support/ModalAnswer.h"
#include "support/OutputTestContext.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using InkProbe::inkBox;

namespace {

const QStringList kSender{"Hans Summer", "Hagenweg 12", "", "12345 Hausen", "Germany"};
const QStringList kAddress{"Hanna Immer", "Hornweg 22", "", "54321 Mannsee", "Suisse"};
const QString kSwapWarning = QStringLiteral(
    "Absender und Empfänger werden getauscht (Rückumschlag)! Sie können diese Druckoption im Dialog Einstellungen ändern.");

class SinglePrintTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        t.addAbsender("AB00000001", kSender);
        t.addAdresse("AD00000001", kAddress);
        QImage banner(400, 200, QImage::Format_RGB888);
        banner.fill(Qt::black);
        t.setBanner("AB00000001", banner);
    }

    // Runs the command, answering the confirmation dialog with the given button (or
    // closing it when button is empty).
    ModalAnswer runCommand(const char* button, const QString& sender = "AB00000001",
                           const QString& address = "AD00000001")
    {
        ModalAnswer answer([button](QDialog* d) {
            if (button)
                QTest::mouseClick(d->findChild<QPushButton*>(button), Qt::LeftButton);
            else
                d->close();
        });
        EinzeldruckCommand(t.ctx, nullptr, sender, address);
        answer.settle();
        return answer;
    }

    QImage reference(const QStringList& upper, const QStringList& lower, bool withBanner)
    {
        QImage banner;
        if (withBanner)
            LoadBanner(t.ctx.db(), "AB00000001", banner);
        QImage img;
        RenderUmschlag(&img, upper, lower, withBanner ? &banner : nullptr, t.ctx.Print(), 600);
        return img;
    }

    OutputTestContext t;
};

} // namespace

TEST_F(SinglePrintTest, MissingSelectionIsReportedAndNothingPrints)
{
    struct Case
    {
        QString sender, address, message;
    };
    const Case cases[] = {{"", "AD00000001", "Bitte wählen Sie einen Absender!"},
                          {"", "", "Bitte wählen Sie einen Absender!"},
                          {"AB00000001", "", "Bitte wählen Sie eine Adresse!"}};
    for (const Case& c : cases) {
        t.messages.shown.clear();
        const ModalAnswer answer = runCommand("Button_Yes", c.sender, c.address);
        EXPECT_FALSE(answer.seen());
        ASSERT_EQ(t.messages.shown.size(), 1);
        EXPECT_EQ(t.messages.shown[0].text, c.message);
        EXPECT_EQ(t.messages.shown[0].kind, Msg::Information);
    }
    EXPECT_TRUE(t.printer.jobs.isEmpty());
}

TEST_F(SinglePrintTest, YesPrintsOneJobAndRestoresTheOrientation)
{
    t.printer.setCurrentOrientation(PageOrientation::Portrait);
    const ModalAnswer answer = runCommand("Button_Yes");
    EXPECT_EQ(answer.dialogName(), "TDLG_Drucken");
    EXPECT_TRUE(t.messages.shown.isEmpty());
    ASSERT_EQ(t.printer.jobs.size(), 1);
    const auto& job = t.printer.jobs[0];
    EXPECT_EQ(job.title, "Tavisto");
    EXPECT_EQ(job.printerIndex, 0);
    EXPECT_EQ(job.orientation, PageOrientation::Landscape);
    EXPECT_TRUE(job.ended);
    ASSERT_EQ(job.targets.size(), 1);
    EXPECT_EQ(job.targets[0], QRect(0, 0, 5196, 2598));
    EXPECT_EQ(job.images[0], reference(kSender, kAddress, true));
    EXPECT_EQ(t.printer.currentOrientation(), PageOrientation::Portrait);
}

TEST_F(SinglePrintTest, NoOrClosedConfirmationPrintsNothing)
{
    for (const char* button : {"Button_No", static_cast<const char*>(nullptr)}) {
        const ModalAnswer answer = runCommand(button);
        EXPECT_TRUE(answer.seen());
    }
    EXPECT_TRUE(t.printer.jobs.isEmpty());
    EXPECT_TRUE(t.messages.shown.isEmpty());
}

TEST_F(SinglePrintTest, ConfirmationResults)
{
    struct Case
    {
        const char* name;
        std::function<void(QDialog*)> act;
        int result;
    };
    const Case cases[] = {
        {"Ja", [](QDialog* d) { QTest::mouseClick(d->findChild<QPushButton*>("Button_Yes"), Qt::LeftButton); }, Msg::IdYes},
        {"Enter", [](QDialog* d) { QTest::keyClick(d, Qt::Key_Return); }, Msg::IdYes},
        {"Nein", [](QDialog* d) { QTest::mouseClick(d->findChild<QPushButton*>("Button_No"), Qt::LeftButton); }, Msg::IdNo},
        {"Escape", [](QDialog* d) { QTest::keyClick(d, Qt::Key_Escape); }, Msg::IdNo},
        {"closed", [](QDialog* d) { d->close(); }, Msg::IdCancel},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ModalAnswer answer(c.act);
        EXPECT_EQ(ConfirmPrint(t.ctx, nullptr, DDT_SINGLE), c.result);
        answer.settle();
    }
}

TEST_F(SinglePrintTest, SwapWarnsFirstAndCancelShowsNoDialog)
{
    t.ctx.Print().Swap = true;
    t.messages.answer({Msg::IdCancel});
    const ModalAnswer cancelled = runCommand("Button_Yes");
    EXPECT_FALSE(cancelled.seen());
    ASSERT_EQ(t.messages.texts(), QStringList{kSwapWarning});
    EXPECT_EQ(t.messages.shown[0].buttons, Msg::Ok | Msg::Cancel);
    EXPECT_EQ(t.messages.shown[0].kind, Msg::Information);
    EXPECT_TRUE(t.printer.jobs.isEmpty());

    // OK goes on: the address in the sender's place, the sender at the centre, no banner.
    t.messages.answer({Msg::IdOk});
    const ModalAnswer confirmed = runCommand("Button_Yes");
    EXPECT_TRUE(confirmed.seen());
    ASSERT_EQ(t.printer.jobs.size(), 1);
    const QImage printed = t.printer.jobs[0].images[0];
    EXPECT_EQ(printed, reference(kAddress, kSender, false));
    EXPECT_NE(printed, reference(kAddress, kSender, true));
    EXPECT_LT(inkBox(printed, QRect(100, 100, 400, 200)).height(), 200);  // no black banner block
}

TEST_F(SinglePrintTest, DeletedSenderPrintsNothingAndSaysNothing)
{
    t.ctx.db().ExecSQL("DELETE FROM tab_absender WHERE Absender_ID = ?", {"AB00000001"});
    runCommand("Button_Yes");
    EXPECT_TRUE(t.printer.jobs.isEmpty());
    EXPECT_TRUE(t.messages.shown.isEmpty());
    EXPECT_FALSE(RunEinzeldruck(t.ctx, "AB00000001", "AD00000001"));
}

TEST_F(SinglePrintTest, DeletedAddressPrintsTheSenderAlone)
{
    t.ctx.db().ExecSQL("DELETE FROM tab_adressen WHERE Adresse_ID = ?", {"AD00000001"});
    EXPECT_TRUE(RunEinzeldruck(t.ctx, "AB00000001", "AD00000001"));
    ASSERT_EQ(t.printer.jobs.size(), 1);
    const QImage printed = t.printer.jobs[0].images[0];
    EXPECT_FALSE(inkBox(printed, QRect(100, 400, 2000, 800)).isEmpty());
    EXPECT_EQ(inkBox(printed, QRect(2598, 1299, 2598, 1299)), QRect());
}

TEST_F(SinglePrintTest, IdentifierWithQuotesIsAValueNotSql)
{
    t.addAbsender("AB\"1", {"Quote \"Sender\"", "", "", "", ""});
    EXPECT_TRUE(RunEinzeldruck(t.ctx, "AB\"1", "AD00000001"));
    EXPECT_FALSE(RunEinzeldruck(t.ctx, "Line1", "AD00000001"));
    EXPECT_EQ(t.printer.jobs.size(), 1);
}

TEST_F(SinglePrintTest, PagePlacementFollowsAlignmentAndOrientation)
{
    struct Case
    {
        int orientation;
        int alignment;
        QRect target;
        PageOrientation page;
    };
    // Landscape page 6814 dots wide, portrait 4760; DL is 5196 x 2598 lying.
    const Case cases[] = {
        {0, 0, QRect(0, 0, 5196, 2598), PageOrientation::Landscape},
        {0, 1, QRect(6814 / 2 - 2598, 0, 5196, 2598), PageOrientation::Landscape},
        {0, 2, QRect(6814 - 5196, 0, 5196, 2598), PageOrientation::Landscape},
        {0, 7, QRect(0, 0, 5196, 2598), PageOrientation::Landscape},
        {1, 1, QRect(2380 - 1299, 0, 2598, 5196), PageOrientation::Portrait},
        {1, 2, QRect(4760 - 2598, 0, 2598, 5196), PageOrientation::Portrait},
        {5, 0, QRect(0, 0, 5196, 2598), PageOrientation::Portrait},  // any other value: portrait, unturned
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(QStringLiteral("orientation %1 alignment %2").arg(c.orientation).arg(c.alignment).toStdString());
        t.printer.jobs.clear();
        t.ctx.Print().Orientation = c.orientation;
        t.ctx.Print().Alignment = c.alignment;
        ASSERT_TRUE(RunEinzeldruck(t.ctx, "AB00000001", "AD00000001"));
        ASSERT_EQ(t.printer.jobs.size(), 1);
        EXPECT_EQ(t.printer.jobs[0].targets[0], c.target);
        EXPECT_EQ(t.printer.jobs[0].orientation, c.page);
    }
    // A picture wider than the page lies partly left of it.
    EXPECT_EQ(PageOffset(2, 4000, 5196), -1196);
    EXPECT_EQ(PageOffset(1, 4961, 2598), 1181);
}

TEST_F(SinglePrintTest, PrintingErrorsAbandonTheJobAndRestoreOrientation)
{
    struct Case
    {
        const char* name;
        bool onBegin, onDraw, onEnd;
    };
    for (const Case& c : {Case{"begin", true, false, false}, Case{"draw", false, true, false}, Case{"end", false, false, true}}) {
        SCOPED_TRACE(c.name);
        FakePrintService& p = t.printer;
        p.jobs.clear();
        p.setCurrentOrientation(PageOrientation::Portrait);
        p.failOnBegin = c.onBegin;
        p.failOnDraw = c.onDraw;
        p.failOnEnd = c.onEnd;
        EXPECT_THROW(RunEinzeldruck(t.ctx, "AB00000001", "AD00000001"), PrintError);
        EXPECT_FALSE(p.Printing());
        EXPECT_EQ(p.currentOrientation(), PageOrientation::Portrait);
        for (const auto& job : p.jobs)
            EXPECT_FALSE(job.ended);
        if (c.onDraw) {
            ASSERT_EQ(p.jobs.size(), 1);
            EXPECT_TRUE(p.jobs[0].aborted);
        }
    }
}

TEST_F(SinglePrintTest, UnknownFormatStartsNoJob)
{
    t.ctx.Print().FormatIndex = 10;
    EXPECT_FALSE(RunEinzeldruck(t.ctx, "AB00000001", "AD00000001"));
    EXPECT_TRUE(t.printer.jobs.isEmpty());
}

TEST_F(SinglePrintTest, ConfirmationDialogContents)
{
    struct Case
    {
        TDLGDruckTyp kind;
        const char* typ;
        const char* message;
    };
    const Case cases[] = {{DDT_SINGLE, "Einzeldruck", "Soll die gewählte Adresse gedruckt werden?"},
                          {DDT_SERIES, "Seriendruck", "Sollen alle aktiven Adressen gedruckt werden?"}};
    t.ctx.Print().PrinterIndex = 1;
    for (const Case& c : cases) {
        TDLG_Drucken d(t.ctx, c.kind);
        EXPECT_EQ(d.windowTitle(), "Drucken");
        EXPECT_EQ(d.size(), QSize(441, 193));
        EXPECT_EQ(d.findChild<QLabel*>("Label_Typ")->text(), QString::fromUtf8(c.typ));
        EXPECT_EQ(d.findChild<QLabel*>("Label_Message")->text(), QString::fromUtf8(c.message));
        EXPECT_EQ(d.findChild<QLabel*>("Label_Printer_Titel")->text(), "Drucker: ");
        EXPECT_EQ(d.findChild<QLabel*>("Label_Printer_Name")->text(), "Tavisto_PDF");
        EXPECT_TRUE(d.findChild<QLabel*>("LinkLabel_Printer_Setup")->isEnabled());
        const QPixmap picture = d.findChild<QLabel*>("Image_Print")->pixmap();
        EXPECT_EQ(picture.size(), QSize(160, 140));
        EXPECT_FALSE(picture.toImage().isGrayscale());
        EXPECT_TRUE(d.findChild<QPushButton*>("Button_Yes")->isDefault());
        EXPECT_TRUE(d.DruckerOK());
    }
    EXPECT_TRUE(t.messages.shown.isEmpty());
}

TEST(JpegResourceTest, LoadsColourPicturesAndRefusesUnknownNames)
{
    QLabel label;
    EXPECT_TRUE(LoadJpegResource("PRINT_SERIES", &label));
    EXPECT_EQ(label.pixmap().size(), QSize(160, 140));
    QLabel untouched;
    EXPECT_FALSE(LoadJpegResource("NO_SUCH_PICTURE", &untouched));
    EXPECT_TRUE(untouched.pixmap().isNull());
    EXPECT_FALSE(LoadJpegResource("PRINT_SINGLE", nullptr));
}

TEST_F(SinglePrintTest, LinkOpensTheConfiguredPrintersPropertiesAndKeepsTheSelection)
{
    t.ctx.Print().PrinterIndex = 1;
    t.printer.SetPrinterIndex(0);
    TDLG_Drucken d(t.ctx, DDT_SINGLE);
    emit d.findChild<QLabel*>("LinkLabel_Printer_Setup")->linkActivated("#");
    EXPECT_EQ(t.printer.propertiesShownFor, QList<int>{1});
    EXPECT_EQ(t.printer.PrinterIndex(), 0);
}

TEST_F(SinglePrintTest, NoPrinterWarnsTwiceAndShowsUnknown)
{
    t.printer.printers.clear();
    TDLG_Drucken d(t.ctx, DDT_SINGLE);
    EXPECT_EQ(t.messages.texts(), (QStringList{QString::fromUtf8(kNoPrinterText), QString::fromUtf8(kNoPrinterText)}));
    EXPECT_EQ(t.messages.shown[0].kind, Msg::Information);
    EXPECT_EQ(d.findChild<QLabel*>("Label_Printer_Name")->text(), "[Unbekannt]");
    EXPECT_FALSE(d.findChild<QLabel*>("LinkLabel_Printer_Setup")->isEnabled());
    EXPECT_FALSE(d.DruckerOK());

    // "Ja" still confirms; the printing service's error then ends the print.
    ModalAnswer answer([](QDialog* dlg) { QTest::mouseClick(dlg->findChild<QPushButton*>("Button_Yes"), Qt::LeftButton); });
    EXPECT_THROW(EinzeldruckCommand(t.ctx, nullptr, "AB00000001", "AD00000001"), PrintError);
    answer.settle();
    EXPECT_TRUE(t.printer.jobs.isEmpty());
}
