#include "envelope/UmschlagFormat.h"
#include "printwindows/TDLG_Vorschau.h"
#include "shell/Settings.h"
#include "support/ModalAnswer.h"
#include "support/OutputTestContext.h"

#include <QCheckBox>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

const QStringList kSender{"Hans Summer", "Hagenweg 12", "", "12345 Hausen", "Germany"};
const QStringList kAddress{"Hanna Immer", "Hornweg 22", "", "54321 Mannsee", "Suisse"};
const QRgb kGrey = qRgb(204, 207, 210);

int darkPixels(const QImage& img, const QRect& r)
{
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += qGray(img.pixel(x, y)) < 60;
    return n;
}

bool allGrey(const QImage& img)
{
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixel(x, y) != kGrey)
                return false;
    return true;
}

class VorschauTest : public ::testing::Test
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
    OutputTestContext t;
};

} // namespace

TEST(VorschauFitTest, TargetsOfTheExamplesAndEveryFormatFit)
{
    EXPECT_EQ(VorschauTarget(5196, 2598), QRect(0, 108, 578, 289));
    EXPECT_EQ(VorschauTarget(2598, 5196), QRect(163, 0, 252, 505));
    for (int format = 0; format < kUmschlagFormatCount; ++format)
        for (int dpi : {300, 600, 1200}) {
            const QSize s = *UmschlagSize(format, dpi);
            for (const QSize size : {s, s.transposed()}) {
                const QRect r = VorschauTarget(size.width(), size.height());
                EXPECT_TRUE(QRect(0, 0, 578, 505).contains(r)) << format << " " << dpi;
            }
        }
}

TEST_F(VorschauTest, LyingEnvelopeIsFramedAndShowsBannerAndText)
{
    TDLG_Vorschau d(t.ctx, "AB00000001", "AD00000001");
    EXPECT_EQ(d.windowTitle(), "Vorschau");
    EXPECT_EQ(d.size(), QSize(594, 563));
    const QImage& img = d.Picture();
    ASSERT_EQ(img.size(), QSize(578, 505));
    // Outside the 578 x 289 target at (0, 108): grey.
    EXPECT_EQ(img.pixel(300, 107), kGrey);
    EXPECT_EQ(img.pixel(300, 108 + 289), kGrey);
    // The frame: dark right and bottom edges, light top and left edges.
    EXPECT_EQ(img.pixel(577, 200), qRgb(138, 152, 165));
    EXPECT_EQ(img.pixel(300, 108 + 288), qRgb(138, 152, 165));
    EXPECT_EQ(img.pixel(0, 200), qRgb(186, 195, 203));
    EXPECT_EQ(img.pixel(300, 108), qRgb(186, 195, 203));
    // The black banner, shrunk by 578/5196, near (11, 119); the paper white in between.
    EXPECT_GT(darkPixels(img, QRect(12, 108 + 12, 40, 18)), 600);
    EXPECT_EQ(img.pixel(200, 108 + 20), qRgb(255, 255, 255));
    // Address text from the centre of the target.
    EXPECT_GT(darkPixels(img, QRect(289, 108 + 144, 200, 60)), 0);
    EXPECT_EQ(darkPixels(img, QRect(150, 108 + 200, 130, 80)), 0);
    // The preview selects no printer.
    EXPECT_TRUE(t.printer.selections.isEmpty());
}

TEST_F(VorschauTest, StandingEnvelopeIsUprightAndCentred)
{
    t.ctx.Print().Orientation = 1;
    TDLG_Vorschau d(t.ctx, "AB00000001", "AD00000001");
    const QImage& img = d.Picture();
    EXPECT_EQ(img.pixel(162, 250), kGrey);
    EXPECT_EQ(img.pixel(163 + 252, 250), kGrey);
    EXPECT_EQ(img.pixel(163 + 251, 250), qRgb(138, 152, 165));
    // The banner now lies along the top right.
    EXPECT_GT(darkPixels(img, QRect(163 + 252 - 30, 14, 14, 40)), 300);
    EXPECT_EQ(darkPixels(img, QRect(170, 14, 40, 40)), 0);
}

TEST_F(VorschauTest, SwapShowsAddressTopLeftWithoutBannerOrWarning)
{
    t.ctx.Print().Swap = true;
    TDLG_Vorschau d(t.ctx, "AB00000001", "AD00000001");
    EXPECT_LT(darkPixels(d.Picture(), QRect(12, 108 + 12, 40, 18)), 100);
    EXPECT_TRUE(t.messages.shown.isEmpty());
}

TEST_F(VorschauTest, UnreadableBannerIsReportedAndTheEnvelopeStillShown)
{
    t.ctx.db().ExecSQL(QStringLiteral("UPDATE tab_banner SET Banner=X'00FF0102' WHERE Absender_ID='AB00000001'"));
    TDLG_Vorschau d(t.ctx, "AB00000001", "AD00000001");
    ASSERT_EQ(t.messages.shown.size(), 1);
    EXPECT_TRUE(t.messages.shown[0].text.startsWith("Das Bild ist kein lesbares JPEG")) << t.messages.texts()[0].toStdString();
    // No black banner block in the corner (only the sender's text), the address in its place.
    EXPECT_LT(darkPixels(d.Picture(), QRect(12, 108 + 12, 40, 18)), 100);
    EXPECT_GT(darkPixels(d.Picture(), QRect(289, 108 + 144, 200, 60)), 0);
}

TEST_F(VorschauTest, MissingRecordOrFormatLeavesTheAreaGrey)
{
    struct Case
    {
        const char* name;
        std::function<void(OutputTestContext&)> change;
    };
    const Case cases[] = {
        {"address deleted", [](OutputTestContext& c) { c.ctx.db().ExecSQL("DELETE FROM tab_adressen"); }},
        {"sender deleted", [](OutputTestContext& c) { c.ctx.db().ExecSQL("DELETE FROM tab_absender"); }},
        {"address table missing", [](OutputTestContext& c) { c.ctx.db().ExecSQL("DROP TABLE tab_adressen"); }},
        {"format 10", [](OutputTestContext& c) { c.ctx.Print().FormatIndex = 10; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        OutputTestContext local;
        local.addAbsender("AB00000001", kSender);
        local.addAdresse("AD00000001", kAddress);
        c.change(local);
        TDLG_Vorschau d(local.ctx, "AB00000001", "AD00000001");
        EXPECT_TRUE(allGrey(d.Picture()));
        EXPECT_TRUE(local.messages.shown.isEmpty());
    }
}

TEST_F(VorschauTest, CommandChecksSelectionAndButtonsWork)
{
    for (const auto& [sender, address, message] :
         {std::tuple<QString, QString, QString>{"", "AD00000001", "Bitte wählen Sie einen Absender!"},
          {"AB00000001", "", "Bitte wählen Sie eine Adresse!"}}) {
        t.messages.shown.clear();
        ModalAnswer none([](QDialog* d) { d->reject(); });
        ShowVorschau(t.ctx, nullptr, sender, address);
        none.settle();
        EXPECT_FALSE(none.seen());
        EXPECT_EQ(t.messages.texts(), QStringList{message});
    }

    ModalAnswer help([](QDialog* d) {
        QTest::mouseClick(d->findChild<QPushButton*>("Button_Help"), Qt::LeftButton);
        QTest::keyClick(d, Qt::Key_Escape);
    });
    ShowVorschau(t.ctx, nullptr, "AB00000001", "AD00000001");
    help.settle();
    EXPECT_EQ(help.dialogName(), "TDLG_Vorschau");
    EXPECT_EQ(t.help.topics, QList<int>{1005});

    ModalAnswer enter([](QDialog* d) { QTest::keyClick(d, Qt::Key_Return); });
    ShowVorschau(t.ctx, nullptr, "AB00000001", "AD00000001");
    enter.settle();
    EXPECT_TRUE(enter.seen());
}

TEST_F(VorschauTest, NoPrinterEndsTheCommandWithTheServicesError)
{
    t.printer.printers.clear();
    t.printer.SetPrinterIndex(-1);
    ModalAnswer none([](QDialog* d) { d->reject(); });
    EXPECT_ANY_THROW(ShowVorschau(t.ctx, nullptr, "AB00000001", "AD00000001"));
    none.settle();
    EXPECT_FALSE(none.seen());
}

// "Wie im Drucker": the configured printer's sheet standing, with the envelope where the job
// puts it. The black banner (top-left of the envelope) shows which way it was turned: to the
// left it lies at the sheet's bottom-left, to the right at its top-right; standing, the
// envelope is at the top of the sheet, centred, banner top-right.
TEST_F(VorschauTest, WieImDruckerShowsTheSheetWithTheEnvelopeAsTheJobPutsIt)
{
    struct Case
    {
        const char* name;
        int orientation;
        int turn;                 // the printer's setting
        QRect bannerCorner;       // a part of the sheet (of 357 x 505 at (110, 0))
        QRect emptyCorner;
    };
    const QRect topRight(110 + 357 - 60, 0, 60, 60), bottomLeft(110, 505 - 60, 60, 60);
    // A4 at 600 dpi fits as 357 x 505 at (110, 0); the DL envelope is 110 mm of its 210 mm width.
    const Case cases[] = {
        {"lying, turned to the left", 0, 0, bottomLeft, topRight},
        {"lying, turned to the right", 0, 1, topRight, bottomLeft},
        {"standing", 1, 1, QRect(110 + 357 / 2, 0, 357 / 2, 60), QRect(110, 0, 60, 60)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        t.ctx.Print().Orientation = c.orientation;
        t.ctx.Print().PrinterIndex = 1;
        SetLandscapeTurnOf(t.ctx.Settings.Turns, t.printer.printers[1], c.turn);
        TDLG_Vorschau d(t.ctx, "AB00000001", "AD00000001");
        d.findChild<QCheckBox*>("CheckBox_Blatt")->setChecked(true);
        const QImage& img = d.Picture();
        if (const QString keep = qEnvironmentVariable("TAVISTO_KEEP_PICTURES"); !keep.isEmpty())
            img.save(QStringLiteral("%1/sheet-%2.png").arg(keep).arg(c.orientation * 10 + c.turn));
        // The sheet, standing, framed in the middle of the grey area.
        EXPECT_EQ(img.pixel(108, 250), kGrey);
        EXPECT_EQ(img.pixel(112, 250), qRgb(255, 255, 255));
        EXPECT_EQ(img.pixel(110 + 357 + 2, 250), kGrey);
        // The banner in its corner; the other corner empty.
        EXPECT_GT(darkPixels(img, c.bannerCorner), 100);
        EXPECT_EQ(darkPixels(img, c.emptyCorner), 0);
        // The configured printer was selected for it, and its turn used.
        EXPECT_EQ(t.printer.selections.value(0), 1);
        t.printer.selections.clear();
    }
}
