// What an envelope job would lose without a word: lines its right edge cuts, an envelope
// larger than the job's paper. Each is named before printing, and the preview marks the cut.
#include "support/InkProbe.h"
#include "support/OutputTestContext.h"
#include "printing/EnvelopeWarnings.h"
#include "printwindows/Seriendruck.h"
#include "printwindows/SinglePrint.h"
#include "printwindows/TDLG_Vorschau.h"
#include "printing/UmschlagFit.h"
#include "envelope/UmschlagFormat.h"
#include "envelope/UmschlagRenderer.h"

#include <QLabel>
#include <gtest/gtest.h>

namespace {

const QStringList kSender{"Hans Summer", "Hagenweg 12", "", "12345 Hausen", "Germany"};
// 50 characters, as many as the address dialog takes: at the default size it runs past a
// C6 envelope's right edge.
const QString kLongLine = QStringLiteral("Forschungsanstalt für Wald- und Forstwirtschaft AG");
const QStringList kLongAddress{"Hanna Immer", kLongLine, "Hornweg 22", "54321 Mannsee", ""};
const QStringList kShortAddress{"Hanna Immer", "Hornweg 22", "", "54321 Mannsee", "Suisse"};
const PrinterSheet kDlSheet{"iso_dl_110x220mm", {11000, 22000}, {300, 300, 300, 300}};
const PrinterSheet kA4Sheet{"iso_a4_210x297mm", {21000, 29700}, {635, 635, 635, 635}};
constexpr int kC6 = 0;
constexpr int kDl = 2;

class EnvelopeWarningsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        t.addAbsender("AB00000001", kSender);
        t.addAdresse("AD00000001", kLongAddress);
        t.addAdresse("AD00000002", kShortAddress);
        t.ctx.Print().FormatIndex = kC6;
        t.ctx.Print().Orientation = 0;
    }
    std::optional<UmschlagLayout> layoutOf(const QStringList& address, int format, int orientation = 0)
    {
        PrintSettings s = t.ctx.Print();
        s.FormatIndex = format;
        s.Orientation = orientation;
        return LayoutUmschlag(kSender, address, QSize(), s, 600);
    }
    // The boxes offering "Trotzdem drucken" (a warning with OK and Cancel in the fake).
    QStringList warnings() const
    {
        QStringList list;
        for (const auto& m : t.messages.shown)
            if (m.kind == Msg::Warning && m.buttons == (Msg::Ok | Msg::Cancel))
                list << m.text;
        return list;
    }
    void addSeries(const QList<QStringList>& addresses)
    {
        int n = 10;
        for (const QStringList& a : addresses)
            t.ctx.db().ExecSQL("INSERT INTO tab_adressen (Adresse_ID,Gruppe_ID,Line1,Line2,Line3,Line4,Line5,Aktiv) "
                               "VALUES (?,?,?,?,?,?,?,1)",
                               {QString("AD%1").arg(++n, 8, 10, QChar('0')), "GR00000009", a[0], a[1], a[2], a[3], a[4]});
    }

    OutputTestContext t;
};

} // namespace

// The cut is measured on the same layout the picture is painted from: where it says a line
// is cut, the painted picture has that line's ink up to its last column.
TEST_F(EnvelopeWarningsTest, CutLinesAreTheLinesThePictureCutsAtItsRightEdge)
{
    struct Case
    {
        const char* what;
        QStringList address;
        int format;
        QStringList cut;
    };
    const Case cases[] = {
        {"50 characters on C6", kLongAddress, kC6, {kLongLine}},
        {"the same on DL, which is wide enough", kLongAddress, kDl, {}},
        {"a short address on C6", kShortAddress, kC6, {}},
        {"blanks past the edge cut no ink", {"Hanna Immer" + QString(80, ' '), "Hornweg 22", "", "", ""}, kC6, {}},
    };
    for (const Case& c : cases) {
        const auto layout = layoutOf(c.address, c.format);
        ASSERT_TRUE(layout) << c.what;
        QStringList cut;
        for (const CutLine& line : CutLines(*layout)) {
            cut << line.Text;
            EXPECT_TRUE(line.Lower) << c.what;
        }
        EXPECT_EQ(cut, c.cut) << c.what;

        QImage picture;
        PaintUmschlag(picture, *layout, nullptr);
        for (const UmschlagLine& line : layout->Lines) {
            if (line.Text != kLongLine)
                continue;
            const QRect band(picture.width() - 8, line.TopLeft.y(), 8, line.LineHeight);
            EXPECT_EQ(InkProbe::inkBox(picture, band).isEmpty(), c.cut.isEmpty()) << c.what;
        }
    }
}

TEST_F(EnvelopeWarningsTest, StandingEnvelopeMarksTheCutAtTheBottomEdge)
{
    const auto layout = layoutOf(kLongAddress, kC6, 1);
    ASSERT_TRUE(layout);
    const std::vector<CutLine> cut = CutLines(*layout);
    ASSERT_EQ(cut.size(), 1u);
    const QRect lying(layout->Size.width() - 10, cut[0].Cell.top(), 10, cut[0].Cell.height());
    const QRect standing = PictureRect(*layout, lying);
    EXPECT_EQ(standing.bottom(), layout->PictureSize().height() - 1);
    EXPECT_EQ(standing.height(), 10);
    QImage picture;
    PaintUmschlag(picture, *layout, nullptr);
    EXPECT_FALSE(InkProbe::inkBox(picture, standing).isEmpty());
}

TEST_F(EnvelopeWarningsTest, SinglePrintNamesTheAddressAndPrintsOnlyWhenTheUserGoesOn)
{
    // Cancelled: nothing printed.
    t.messages.answer({Msg::IdCancel});
    EXPECT_FALSE(RunEinzeldruck(t.ctx, "AB00000001", "AD00000001"));
    EXPECT_TRUE(t.printer.jobs.isEmpty());
    ASSERT_EQ(warnings().size(), 1);
    EXPECT_EQ(warnings()[0], QStringLiteral("Die Adresse „Hanna Immer“ passt nicht auf den Umschlag. Die Zeile "
                                            "„Forschungsanstalt für Wald- und Forstwirtschaft AG“ wird am rechten "
                                            "Rand abgeschnitten."));

    // "Trotzdem drucken": printed as it is.
    t.messages.shown.clear();
    t.messages.answer({Msg::IdOk});
    EXPECT_TRUE(RunEinzeldruck(t.ctx, "AB00000001", "AD00000001"));
    EXPECT_EQ(warnings().size(), 1);
    EXPECT_EQ(t.printer.jobs.size(), 1);

    // An address that fits: no question.
    t.messages.shown.clear();
    EXPECT_TRUE(RunEinzeldruck(t.ctx, "AB00000001", "AD00000002"));
    EXPECT_TRUE(warnings().isEmpty());
    EXPECT_EQ(t.printer.jobs.size(), 2);
}

TEST_F(EnvelopeWarningsTest, WithTheSwapTheAddressIsStillNamedAsTheAddress)
{
    t.ctx.Print().Swap = true;
    t.ctx.Print().FormatIndex = kC6;
    // The address is now the upper block, from the left: a line long enough to reach the edge.
    t.addAdresse("AD00000003", {"Hanna Immer", kLongLine + " " + kLongLine + " " + kLongLine, "", "", ""});
    t.messages.answer({Msg::IdCancel});
    EXPECT_FALSE(RunEinzeldruck(t.ctx, "AB00000001", "AD00000003"));
    ASSERT_EQ(warnings().size(), 1);
    EXPECT_TRUE(warnings()[0].startsWith(QStringLiteral("Die Adresse „Hanna Immer“"))) << warnings()[0].toStdString();
}

TEST_F(EnvelopeWarningsTest, SeriesListsEveryAddressOnceBeforeItStarts)
{
    addSeries({{"Erika Lang", kLongLine, "", "", ""},
               {"Kurt Kurz", "Weg 1", "", "", ""},
               {"Otto Lang", kLongLine, kLongLine, "", ""}});
    t.messages.answer({Msg::IdCancel});
    EXPECT_TRUE(RunSeriendruck(t.ctx, {"AB00000001", "GR00000009", "", 5, 0}));
    EXPECT_TRUE(t.printer.jobs.isEmpty());
    ASSERT_EQ(warnings().size(), 1);
    const QStringList lines = warnings()[0].split('\n');
    ASSERT_EQ(lines.size(), 2) << warnings()[0].toStdString();
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("Die Adresse „Erika Lang“ passt nicht auf den Umschlag.")));
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("Die Adresse „Otto Lang“ passt nicht auf den Umschlag. Die Zeilen")));

    // Going on prints every envelope, without asking again.
    t.messages.shown.clear();
    t.messages.answer({Msg::IdOk});
    EXPECT_TRUE(RunSeriendruck(t.ctx, {"AB00000001", "GR00000009", "", 5, 0}));
    EXPECT_EQ(warnings().size(), 1);
    EXPECT_EQ(t.printer.jobs.size(), 3);
}

TEST(CutLinesWarningTest, NamesTheSenderOnceAndCountsWhatALongListLeavesOut)
{
    QList<CutRecord> records;
    for (int i = 1; i <= 18; ++i)
        records << CutRecord{true, "Hans Summer", {"Sehr lange Absenderzeile"}}
                << CutRecord{false, QStringLiteral("Empfänger %1").arg(i), {"Zeile"}};
    const QStringList lines = CutLinesWarning(records).split('\n');
    EXPECT_EQ(lines.count(QStringLiteral("Der Absender „Hans Summer“ passt nicht auf den Umschlag. Die Zeile „Sehr "
                                         "lange Absenderzeile“ wird am rechten Rand abgeschnitten.")),
              1);
    EXPECT_EQ(lines.size(), 16);
    EXPECT_EQ(lines.last(), QStringLiteral("Dazu 4 weitere Adressen."));
    EXPECT_TRUE(CutLinesWarning({}).isEmpty());
}

// The envelope as the job lays it onto the sheet (a lying one turned onto a portrait sheet)
// against the paper's size.
TEST(FitsOnSheetTest, EnvelopeAgainstTheJobsPaper)
{
    struct Case
    {
        const char* what;
        int format;
        PageTurn turn;
        bool standing;
        PrinterSheet sheet;
        bool fits;
    };
    const Case cases[] = {
        {"C6 lying on DL paper", kC6, PageTurn::Left, false, kDlSheet, false},
        {"C6 standing on DL paper", kC6, PageTurn::None, true, kDlSheet, false},
        {"DL lying on DL paper", kDl, PageTurn::Left, false, kDlSheet, true},
        {"DL turned right on DL paper", kDl, PageTurn::Right, false, kDlSheet, true},
        {"DL lying on an untured DL page", kDl, PageTurn::None, false, kDlSheet, false},
        {"C6 lying on A4", kC6, PageTurn::Left, false, kA4Sheet, true},
        {"C4 lying on A4", 6, PageTurn::Left, false, kA4Sheet, false},
        {"C5 standing on A4", 3, PageTurn::None, true, kA4Sheet, true},
    };
    for (const Case& c : cases)
        for (int dpi : {300, 600}) {
            QSize picture = *UmschlagSize(c.format, dpi);
            if (c.standing)
                picture.transpose();
            EXPECT_EQ(FitsOnSheet(picture, dpi, c.sheet, c.turn), c.fits) << c.what << " at " << dpi;
        }
}

TEST_F(EnvelopeWarningsTest, AnEnvelopeLargerThanThePaperIsNamedBeforeSingleAndSeriesPrint)
{
    t.printer.sheet = kDlSheet;
    t.messages.answer({Msg::IdCancel});
    EXPECT_FALSE(RunEinzeldruck(t.ctx, "AB00000001", "AD00000002"));
    EXPECT_TRUE(t.printer.jobs.isEmpty());
    ASSERT_EQ(warnings().size(), 1);
    EXPECT_EQ(warnings()[0],
              QStringLiteral("Der Umschlag „C6 - 114 mm x 162 mm“ ist größer als das Papier „Umschlag DL (110 × 220 "
                             "mm)“, das der Drucker „Office Laser“ für den Auftrag nimmt. Was über das Papier "
                             "hinausragt, wird nicht gedruckt.\nDas Papier stellen Sie unter „Druckereigenschaften "
                             "ändern...“ ein, das Umschlagformat in den Einstellungen."));

    // Both faults in one box; going on prints.
    t.messages.shown.clear();
    t.messages.answer({Msg::IdOk});
    EXPECT_TRUE(RunEinzeldruck(t.ctx, "AB00000001", "AD00000001"));
    ASSERT_EQ(warnings().size(), 1);
    EXPECT_TRUE(warnings()[0].contains(QStringLiteral("Umschlag DL")));
    EXPECT_TRUE(warnings()[0].contains(QStringLiteral("Die Adresse „Hanna Immer“")));
    EXPECT_EQ(t.printer.jobs.size(), 1);

    // The series: once, before the first envelope.
    t.messages.shown.clear();
    t.printer.jobs.clear();
    addSeries({{"Kurt Kurz", "Weg 1", "", "", ""}, {"Karl Kurz", "Weg 2", "", "", ""}});
    t.messages.answer({Msg::IdCancel});
    EXPECT_TRUE(RunSeriendruck(t.ctx, {"AB00000001", "GR00000009", "", 5, 0}));
    EXPECT_EQ(warnings().size(), 1);
    EXPECT_TRUE(t.printer.jobs.isEmpty());

    // DL envelopes on DL paper: nothing to say.
    t.ctx.Print().FormatIndex = kDl;
    t.messages.shown.clear();
    EXPECT_TRUE(RunEinzeldruck(t.ctx, "AB00000001", "AD00000002"));
    EXPECT_TRUE(warnings().isEmpty());
}

TEST_F(EnvelopeWarningsTest, PreviewMarksTheCutLineRedAtTheEdge)
{
    auto redIn = [](const QImage& img, const QRect& r) {
        int n = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x) {
                const QColor c = img.pixelColor(x, y);
                n += c.red() > 180 && c.green() < 60 && c.blue() < 60;
            }
        return n;
    };
    const QRect all(0, 0, 578, 505);
    {
        TDLG_Vorschau d(t.ctx, "AB00000001", "AD00000002");
        EXPECT_EQ(redIn(d.Picture(), all), 0);
    }
    TDLG_Vorschau d(t.ctx, "AB00000001", "AD00000001");
    const QImage& img = d.Picture();
    // C6 lying: a 578 x 406 target; the mark sits inside its right edge, at the cut line's
    // height (the second address line, below the centre), and nowhere else.
    const QRect target = VorschauTarget(3826, 2692);
    const QRect edge(target.right() - 6, target.top(), 7, target.height());
    EXPECT_GT(redIn(img, edge), 20);
    EXPECT_EQ(redIn(img, all), redIn(img, edge));
    const auto layout = layoutOf(kLongAddress, kC6);
    const CutLine cut = CutLines(*layout).front();
    const double scale = double(target.height()) / layout->Size.height();
    const int top = target.top() + int(cut.Cell.top() * scale), bottom = target.top() + int(cut.Cell.bottom() * scale);
    EXPECT_EQ(redIn(img, QRect(edge.left(), target.top(), 7, top - target.top() - 1)), 0);
    EXPECT_GT(redIn(img, QRect(edge.left(), top, 7, bottom - top)), 0);
    EXPECT_FALSE(d.findChild<QLabel*>("Image_Vorschau")->toolTip().isEmpty());
}
