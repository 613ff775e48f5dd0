#include "LabelFixtures.h"
#include "labels/LabelTemplates.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace {

constexpr double kMm = 72.0 / 25.4;

TEST(LabelLength, UnitsOfTheDatabase)
{
    const struct
    {
        const char* text;
        std::optional<double> points;
    } cases[] = {
        {"36pt", 36.0},       {"12.5", 12.5},         {"2in", 144.0},   {"70mm", 70 * kMm},
        {" 1cm ", 10 * kMm},  {"3pc", 36.0},          {"-4.5mm", -4.5 * kMm},
        {"", std::nullopt},   {"mm", std::nullopt},   {"7 furlong", std::nullopt},
        {"1e999", std::nullopt}, {"nan", std::nullopt},
    };
    for (const auto& c : cases) {
        const auto got = ParseLabelLength(QString::fromUtf8(c.text));
        ASSERT_EQ(got.has_value(), c.points.has_value()) << c.text;
        if (got) {
            EXPECT_NEAR(*got, *c.points, 1e-9) << c.text;
        }
    }
}

TEST(LabelTemplates, EveryInstalledFileReadsWithoutError)
{
    const LabelCatalog& catalog = InstalledCatalog();
    EXPECT_TRUE(catalog.Errors.isEmpty()) << catalog.Errors.join('\n').toStdString();
    // Many hundred sheets are offered from some thirty makers.
    EXPECT_GT(catalog.Templates.size(), 500);
    EXPECT_GT(catalog.Brands().size(), 20);
    for (const LabelTemplate& t : catalog.Templates) {
        EXPECT_TRUE(t.PaperId == "A4" || t.PaperId == "US-Letter") << t.Name().toStdString();
        EXPECT_GT(t.Count(), 0) << t.Name().toStdString();
    }
}

TEST(LabelTemplates, ZweckformAndAveryFromTheRealFiles)
{
    const LabelTemplate& z = InstalledTemplate("Zweckform 3475");
    EXPECT_EQ(z.PaperId, "A4");
    EXPECT_EQ(z.Count(), 24);
    EXPECT_NEAR(z.LabelSize.width() / kMm, 70.0, 0.1);
    EXPECT_NEAR(z.LabelSize.height() / kMm, 36.0, 0.1);
    const QList<QRectF> zr = z.LabelRects();
    EXPECT_NEAR(zr[0].top() / kMm, 4.43, 0.01);
    EXPECT_NEAR(zr[1].left() - zr[0].right(), 0.0, 0.01);  // three across, edge to edge
    EXPECT_NEAR(zr[3].top(), zr[0].bottom(), 0.01);        // label 4 opens the second row

    // L7163 is kept as an equivalent of 7163 and takes that sheet.
    const LabelTemplate& a = InstalledTemplate("Avery L7163");
    EXPECT_EQ(a.Count(), 14);
    EXPECT_NEAR(a.LabelSize.width() / kMm, 99.1, 0.1);
    EXPECT_NEAR(a.LabelSize.height() / kMm, 38.1, 0.1);
    EXPECT_GT(a.Round, 0.0);
    const QList<QRectF> ar = a.LabelRects();
    EXPECT_GT(ar[1].left() - ar[0].right(), 1.0) << "a gap between the columns";
    EXPECT_EQ(ar[2].left(), ar[0].left());
}

TEST(LabelTemplates, SearchAsYouType)
{
    const struct
    {
        const char* brand;
        const char* words;
        const char* expected;
    } cases[] = {{"", "3475", "Zweckform 3475"}, {"", "l7163", "Avery L7163"}, {"", "Herma 4283", "Herma 4283"},
                 {"Zweckform", "3475", "Zweckform 3475"}};
    for (const auto& c : cases) {
        QStringList names;
        for (const LabelTemplate* t : InstalledCatalog().Search(c.brand, c.words))
            names << t->Name();
        EXPECT_TRUE(names.contains(c.expected)) << c.words << ": " << names.join(", ").toStdString();
    }
    EXPECT_TRUE(InstalledCatalog().Search("Avery", "3475").isEmpty());
}

// What the program offers from a file: rectangles on A4 and Letter, their equivalents;
// no round, elliptical or CD labels, no rolls, no other papers.
TEST(LabelTemplates, OnlyRectangularSheetsOnA4AndLetter)
{
    const QByteArray xml = R"(<?xml version="1.0"?>
<Glabels-templates>
  <Template brand="T" part="rect" size="A4" _description="Adressen">
    <Label-rectangle id="0" width="70mm" height="36mm" round="2mm">
      <Markup-margin size="5"/>
      <Layout nx="3" ny="8" x0="0" y0="4.43mm" dx="70mm" dy="36mm"/>
    </Label-rectangle>
  </Template>
  <Template brand="T" part="letter" size="US-Letter">
    <Label-rectangle id="0" width="2in" height="1in"><Layout nx="2" ny="2" x0="1in" y0="1in" dx="3in" dy="2in"/></Label-rectangle>
  </Template>
  <Template brand="T" part="round" size="A4"><Label-round id="0" radius="20mm"><Layout nx="2" ny="2" x0="0" y0="0" dx="50mm" dy="50mm"/></Label-round></Template>
  <Template brand="T" part="cd" size="A4"><Label-cd id="0" radius="58mm" hole="20mm"><Layout nx="1" ny="2" x0="0" y0="0" dx="0" dy="120mm"/></Label-cd></Template>
  <Template brand="T" part="roll" size="roll" width="62mm" height="100mm"><Label-rectangle id="0" width="62mm" height="29mm"><Layout nx="1" ny="1" x0="0" y0="0" dx="0" dy="0"/></Label-rectangle></Template>
  <Template brand="T" part="a5" size="A5"><Label-rectangle id="0" width="20mm" height="20mm"><Layout nx="1" ny="1" x0="0" y0="0" dx="0" dy="0"/></Label-rectangle></Template>
  <Template brand="T" part="nolayout" size="A4"><Label-rectangle id="0" width="20mm" height="20mm"/></Template>
  <Template brand="T" part="rect-twin" equiv="rect"/>
  <Template brand="T" part="round-twin" equiv="round"/>
</Glabels-templates>)";
    TempDir dir;
    dir.write("t-templates.xml", xml);
    const LabelCatalog catalog = LoadLabelCatalog({dir.path()});
    EXPECT_TRUE(catalog.Errors.isEmpty());
    QStringList names;
    for (const LabelTemplate& t : catalog.Templates)
        names << t.Part;
    EXPECT_EQ(names, QStringList({"letter", "rect", "rect-twin"}));
    const LabelTemplate* twin = catalog.Find("T rect-twin");
    ASSERT_NE(twin, nullptr);
    EXPECT_EQ(twin->Description, "Adressen");
    EXPECT_EQ(twin->Count(), 24);
    EXPECT_DOUBLE_EQ(twin->MarkupMargin, 5.0);
    EXPECT_NEAR(twin->Round, 2 * kMm, 1e-9);
    EXPECT_EQ(catalog.Find("T letter")->Media(), "na_letter_8.5x11in");
    EXPECT_EQ(twin->Media(), "iso_a4_210x297mm");
    // Without a markup margin the text keeps 1.5 mm from the edge.
    EXPECT_NEAR(LabelInnerMargin(*catalog.Find("T letter")), 1.5 * kMm, 1e-9);
}

TEST(LabelTemplates, BrokenFilesAreRefusedWithAMessage)
{
    const char* broken[] = {
        "<Glabels-templates><Template brand=\"T\" part=\"x\" size=\"A4\">",  // cut off
        "<Glabels-templates><Template brand=\"T\" part=\"x\"></Glabels-templates>",
        "<Glabels-templates></Glabels-templates><more/>",
        "not xml at all",
        "",
        "<Something-else/>",
    };
    for (const char* xml : broken) {
        const LabelTemplateFile file = ReadLabelTemplateFile(xml, "kaputt.xml");
        EXPECT_TRUE(file.Templates.isEmpty()) << xml;
        EXPECT_TRUE(file.Error.contains("kaputt.xml")) << xml << " -> " << file.Error.toStdString();
    }

    // One broken file leaves the others usable and is named.
    TempDir dir;
    dir.write("a-templates.xml", "<Glabels-templates><Template brand=\"T\" part=\"1\" size=\"A4\">"
                                 "<Label-rectangle width=\"20mm\" height=\"10mm\"><Layout nx=\"1\" ny=\"1\" x0=\"0\" "
                                 "y0=\"0\"/></Label-rectangle></Template></Glabels-templates>");
    dir.write("b-templates.xml", "<Glabels-templates><Template");
    const LabelCatalog catalog = LoadLabelCatalog({dir.path()});
    ASSERT_EQ(catalog.Errors.size(), 1);
    EXPECT_TRUE(catalog.Errors[0].contains("b-templates.xml"));
    ASSERT_EQ(catalog.Templates.size(), 1);
    EXPECT_EQ(catalog.Templates[0].Name(), "T 1");
}

TEST(LabelTemplates, NoDatabaseGivesNoTemplates)
{
    TempDir dir;
    const LabelCatalog catalog = LoadLabelCatalog({dir.file("missing"), dir.path()});
    EXPECT_TRUE(catalog.Templates.isEmpty());
    EXPECT_TRUE(catalog.Errors.isEmpty());
}

} // namespace
