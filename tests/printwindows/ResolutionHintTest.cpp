// What a resolution other than 600 dpi does to the printed text, said beside the resolution
// in the printer's properties, with the font-size factor that keeps the size one click away.
#include "support/InkProbe.h"
#include "support/OutputTestContext.h"
#include "printing/ConfiguredPrinter.h"
#include "printing/ResolutionHint.h"
#include "printing/TDLG_Druckereigenschaften.h"
#include "printwindows/TDLG_Einstellungen.h"
#include "envelope/UmschlagRenderer.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

QList<PrinterOption> queueOptions()
{
    return {{"printer-resolution",
             "Auflösung:",
             {{"300dpi", "300 dpi"}, {"600dpi", "600 dpi"}, {"1200dpi", "1200 dpi"}},
             "600dpi"}};
}

// The height of the address's ink on paper, in millimetres.
double printedInkHeightMm(int dpi, int factor)
{
    PrintSettings s;
    s.FormatIndex = 0;
    s.Orientation = 0;
    s.FontName = QStringLiteral("Arial");
    s.AddressFontSize = 18;
    s.DpiFactor = factor;
    s.PrintSender = false;
    QImage picture;
    RenderUmschlag(&picture, {}, {"HHHH", "", "", "", ""}, nullptr, s, dpi);
    return InkProbe::inkBox(picture, picture.rect()).height() * 25.4 / dpi;
}

} // namespace

// The rule behind the hint, checked against the printed picture itself: the text grows with
// the square of the fall in resolution, and the factor named keeps it nearest its size.
TEST(ResolutionHintTest, TheNamedFactorKeepsThePrintedSize)
{
    const double at600 = printedInkHeightMm(600, 10);
    struct Case
    {
        int dpi;
        double scaleWithFactor10;
        int keep;
    };
    const Case cases[] = {{600, 1.0, 10}, {300, 4.0, 3}, {150, 16.0, 1}, {1200, 0.25, 10}};
    for (const Case& c : cases) {
        EXPECT_NEAR(PrintedTextScale(c.dpi, 10), c.scaleWithFactor10, c.scaleWithFactor10 * 0.03) << c.dpi;
        EXPECT_EQ(FactorKeepingSize(c.dpi), c.keep) << c.dpi;
    }
    // On the picture: at 300 dpi the text with factor 10 is four times as high on paper, and
    // no factor prints nearer to the size at 600 dpi than the one named (3).
    EXPECT_NEAR(printedInkHeightMm(300, 10) / at600, 4.0, 0.2);
    EXPECT_NEAR(printedInkHeightMm(1200, 10) / at600, 0.25, 0.02);
    const double kept = std::abs(std::log(printedInkHeightMm(300, 3) / at600));
    for (int f = 1; f <= 10; ++f)
        if (f != 3)
            EXPECT_LT(kept, std::abs(std::log(printedInkHeightMm(300, f) / at600))) << f;
}

TEST(ResolutionHintTest, Texts)
{
    EXPECT_TRUE(ResolutionHintText(600, 10).isEmpty());
    const QString rule = QStringLiteral("Die Schriftgrößen der Einstellungen gelten für 600 dpi mit dem Umrechnungsfaktor 10. ");
    EXPECT_EQ(ResolutionHintText(300, 10),
              rule + "Bei 300 dpi und dem Umrechnungsfaktor 10 wird die Schrift 4-mal so groß gedruckt. Am nächsten an "
                     "der Größe bei 600 dpi ist sie mit dem Umrechnungsfaktor 3 (1,2-mal so groß).");
    EXPECT_EQ(ResolutionHintText(1200, 10),
              rule + "Bei 1200 dpi und dem Umrechnungsfaktor 10 wird die Schrift nur 25 % so groß gedruckt. Kein "
                     "Umrechnungsfaktor bringt sie bei dieser Auflösung näher an die Größe bei 600 dpi.");
    // Back at 600 dpi with a factor taken for 300: the way back is named too.
    EXPECT_EQ(ResolutionHintText(600, 3),
              rule + "Bei 600 dpi und dem Umrechnungsfaktor 3 wird die Schrift nur 31 % so groß gedruckt. Mit dem "
                     "Umrechnungsfaktor 10 bleibt sie etwa so groß wie bei 600 dpi.");
}

TEST(ResolutionHintTest, ThePropertiesDialogSaysItBesideTheResolutionAndTakesTheFactor)
{
    TDLG_Druckereigenschaften d(QStringLiteral("Büro Laser"), queueOptions());
    d.ShowFactorHint(10);
    d.show();
    auto* res = d.findChild<QComboBox*>("ComboBox_printer-resolution");
    auto* hint = d.findChild<QLabel*>("Label_ResolutionHint");
    auto* take = d.findChild<QPushButton*>("Button_TakeDpiFactor");
    ASSERT_TRUE(res && hint && take);
    EXPECT_FALSE(hint->isVisible());  // 600 dpi: nothing to say

    res->setCurrentIndex(res->findData(QByteArray("300dpi")));
    EXPECT_TRUE(hint->isVisible());
    EXPECT_TRUE(hint->text().contains("4-mal so groß"));
    EXPECT_TRUE(take->isVisible());
    EXPECT_EQ(take->text(), "Umrechnungsfaktor 3 übernehmen");
    QTest::mouseClick(take, Qt::LeftButton);
    EXPECT_EQ(d.TakenDpiFactor(), 3);
    EXPECT_FALSE(take->isVisible());
    EXPECT_TRUE(hint->text().contains("Der Umrechnungsfaktor 3 wird mit „OK“ in die Einstellungen übernommen."));

    // A dialog opened without the settings' factor says nothing.
    TDLG_Druckereigenschaften plain(QStringLiteral("Büro Laser"), queueOptions());
    plain.show();
    plain.findChild<QComboBox*>("ComboBox_printer-resolution")->setCurrentIndex(0);
    EXPECT_FALSE(plain.findChild<QLabel*>("Label_ResolutionHint")->isVisible());
}

TEST(ResolutionHintTest, ATakenFactorGoesIntoTheSettingsAndTheSettingsDialog)
{
    OutputTestContext t;
    t.printer.propertiesDpiFactor = 3;
    EXPECT_EQ(ShowPrinterProperties(t.ctx, 0), 3);
    EXPECT_EQ(t.printer.propertiesFactorShown, QList<int>{10});
    EXPECT_EQ(t.ctx.Print().DpiFactor, 3);

    // From the settings dialog: shown with the dialog's own (unsaved) factor, and its list
    // follows what was taken.
    t.ctx.Print().DpiFactor = 10;
    t.printer.propertiesDpiFactor = 5;
    TDLG_Einstellungen d(t.ctx);
    auto* factor = d.findChild<QComboBox*>("ComboBox_DPIFactor");
    factor->setCurrentIndex(7);
    d.findChild<QPushButton*>("Button_Printer_Setup")->click();
    EXPECT_EQ(t.printer.propertiesFactorShown.last(), 8);
    EXPECT_EQ(factor->currentText(), "5");
    EXPECT_EQ(t.ctx.Print().DpiFactor, 5);

    // Nothing taken: nothing changes.
    t.printer.propertiesDpiFactor.reset();
    EXPECT_EQ(ShowPrinterProperties(t.ctx, 0), 0);
    EXPECT_EQ(t.ctx.Print().DpiFactor, 5);
}
