#include "envelope/PrintError.h"
#include "printing/ConfiguredPrinter.h"
#include "support/OutputTestContext.h"

#include <gtest/gtest.h>

TEST(OutputSettingsTest, StatusLineNamesEverySetting)
{
    struct Case
    {
        int printer, format, orientation, alignment;
        bool swap;
        const char* text;
    };
    const Case cases[] = {
        {0, 2, 1, 1, true,
         "Drucker: Office Laser  |  Format: DL (C5/6) - 110 mm x 220 mm  |  Orientation: Vertikal  |  Ausrichtung: Mitte | Rückumschlag"},
        {1, 5, 0, 0, false,
         "Drucker: Tavisto_PDF  |  Format: B5 - 176 mm 250 mm  |  Orientation: Horizontal  |  Ausrichtung: Links"},
        {2, 10, 2, 2, false,
         "Drucker: [Unbekannt]  |  Format: [Unbekannt]  |  Orientation: [Unbekannt]  |  Ausrichtung: Rechts"},
        {-1, 9, -1, 3, true,
         "Drucker: [Unbekannt]  |  Format: C3 - 324 mm x 458 mm  |  Orientation: [Unbekannt]  |  Ausrichtung: [Unbekannt] | Rückumschlag"},
    };
    for (const Case& c : cases) {
        OutputTestContext t;
        PrintSettings& p = t.ctx.Print();
        p.PrinterIndex = c.printer;
        p.FormatIndex = c.format;
        p.Orientation = c.orientation;
        p.Alignment = c.alignment;
        p.Swap = c.swap;
        EXPECT_EQ(StatusLineText(t.ctx), QString::fromUtf8(c.text));
        EXPECT_TRUE(t.messages.shown.isEmpty());
    }
}

TEST(OutputSettingsTest, PrinterNameAndTheNoPrinterWarning)
{
    OutputTestContext t;
    QStringList many;
    for (int i = 0; i < 300; ++i)
        many << QStringLiteral("P%1").arg(i);
    t.printer.printers = many;
    t.ctx.Print().PrinterIndex = 255;
    EXPECT_EQ(PrinterDisplayName(t.ctx), "P255");
    t.ctx.Print().PrinterIndex = 256;  // beyond the first 256 printers
    EXPECT_EQ(PrinterDisplayName(t.ctx), "[Unbekannt]");
    EXPECT_TRUE(t.messages.shown.isEmpty());

    // Without printers every name shows the warning.
    t.printer.printers.clear();
    t.ctx.Print().PrinterIndex = 0;
    EXPECT_EQ(StatusLineText(t.ctx).left(22), "Drucker: [Unbekannt]  ");
    EXPECT_EQ(PrinterDisplayName(t.ctx), "[Unbekannt]");
    ASSERT_EQ(t.messages.shown.size(), 2);
    const QString warning = t.messages.shown[0].text;
    // The first sentence as it always was; then advice for this system, not for another one.
    EXPECT_TRUE(warning.startsWith("Es wurde kein Drucker gefunden! Ohne Drucker können Probleme während der "
                                   "Programmausführung auftreten.\n\n"));
    const QString advice = warning.section("\n\n", 1);
    EXPECT_TRUE(advice.contains("Druckereinstellungen Ihres Systems")) << advice.toStdString();
    EXPECT_TRUE(advice.contains("printer-driver-cups-pdf")) << advice.toStdString();
    EXPECT_FALSE(warning.contains("Windows")) << warning.toStdString();
    EXPECT_FALSE(warning.contains("doPDF")) << warning.toStdString();
    EXPECT_EQ(t.messages.shown[0].kind, Msg::Information);
    EXPECT_EQ(t.messages.shown[0].buttons, Msg::Ok);
}

TEST(OutputSettingsTest, PropertiesDialogForAnotherPrinterKeepsTheSelection)
{
    OutputTestContext t;
    t.printer.SetPrinterIndex(1);
    t.printer.SetOrientation(PageOrientation::Landscape);
    ShowPrinterProperties(t.ctx, 0);
    EXPECT_EQ(t.printer.propertiesShownFor, QList<int>{0});
    EXPECT_EQ(t.printer.PrinterIndex(), 1);

    // Each printer keeps its device settings for the run.
    EXPECT_EQ(t.printer.Orientation(), PageOrientation::Landscape);
    ShowPrinterProperties(t.ctx, 1);
    EXPECT_EQ(t.printer.Orientation(), PageOrientation::Landscape);

    // A failing selection is reported and still ends on the remembered printer.
    t.messages.shown.clear();
    EXPECT_NO_THROW(ShowPrinterProperties(t.ctx, 5));
    EXPECT_EQ(t.printer.PrinterIndex(), 1);
    ASSERT_EQ(t.messages.shown.size(), 1);
    EXPECT_EQ(t.messages.shown[0].kind, Msg::Error);
    EXPECT_TRUE(t.messages.shown[0].text.contains("nicht vorhanden")) << t.messages.shown[0].text.toStdString();
}

TEST(OutputSettingsTest, OrientationAndOffset)
{
    EXPECT_EQ(PageOrientationFor(0), PageOrientation::Landscape);
    EXPECT_EQ(PageOrientationFor(1), PageOrientation::Portrait);
    EXPECT_EQ(PageOrientationFor(2), PageOrientation::Portrait);
    struct Case
    {
        int alignment, page, width, offset;
    };
    for (const Case& c : {Case{0, 4961, 2598, 0}, Case{1, 4961, 2598, 1181}, Case{2, 4961, 2598, 2363},
                          Case{2, 4000, 5196, -1196}, Case{1, 4000, 5197, 2000 - 2598}, Case{3, 4961, 2598, 0},
                          Case{-1, 4961, 2598, 0}})
        EXPECT_EQ(PageOffset(c.alignment, c.page, c.width), c.offset) << c.alignment << " " << c.page << " " << c.width;
}
