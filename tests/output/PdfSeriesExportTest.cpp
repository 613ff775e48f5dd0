#include "InkProbe.h"
#include "OutputTestContext.h"
#include "output/PdfSeriesExport.h"
#include "output/UmschlagFormat.h"
#include "output/UmschlagLines.h"
#include "output/UmschlagRenderer.h"
#include "support/ModalAnswer.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <gtest/gtest.h>

using InkProbe::inkBox;

namespace {

const AddressLines kSender{"Lumo Versand GmbH", "Postfach 12", "", "12345 Hausen", ""};
const QString kGruppe = QStringLiteral("GR00000001");

struct Adresse
{
    const char* id;
    AddressLines lines;
    bool active;
};

// Inserted in this order; sorted by Line2 the active ones read Anton, Bärbel, Jürgen.
const Adresse kAdressen[] = {
    {"AD00000001", {"Herrn", "Jürgen Weiß", "Mühlenstraße 3", "80331 München", ""}, true},
    {"AD00000002", {"Frau", "Bärbel Groß", "Lindenallee 9", "50667 Köln", ""}, true},
    {"AD00000003", {"Firma", "Ignaz Inaktiv", "Nirgendweg 1", "99999 Nirgendwo", ""}, false},
    {"AD00000004", {"Herrn", "Anton Zeller", "Am Rübenfeld 5", "01067 Dresden", "Schweiz"}, true},
};

// A poppler tool's output; a complaint about the file (a broken cross-reference it had to
// rebuild, say) fails the test.
QString run(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    const bool finished = p.waitForFinished(120000);
    const QByteArray errors = p.readAllStandardError();
    if (!finished || p.exitCode() != 0 || !errors.isEmpty())
        ADD_FAILURE() << program.toStdString() << " " << args.join(' ').toStdString() << ": " << errors.toStdString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

// Each page's size in points, from pdfinfo.
QList<QSizeF> pageSizes(const QString& pdf)
{
    const QString info = run(QStringLiteral("pdfinfo"), {QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
                                                         QStringLiteral("100000"), pdf});
    QList<QSizeF> sizes;
    static const QRegularExpression re(QStringLiteral(R"(Page\s+\d+ size:\s+([\d.]+) x ([\d.]+) pts)"));
    for (auto it = re.globalMatch(info); it.hasNext();) {
        const auto m = it.next();
        sizes << QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble());
    }
    return sizes;
}

int pageCount(const QString& pdf)
{
    static const QRegularExpression re(QStringLiteral(R"(Pages:\s+(\d+))"));
    const auto m = re.match(run(QStringLiteral("pdfinfo"), {pdf}));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// One page rasterised at 600 dpi, grey.
QImage rasterise(const QString& pdf, int page, const QString& prefix)
{
    run(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("600"), QStringLiteral("-f"), QString::number(page),
                                     QStringLiteral("-l"), QString::number(page), QStringLiteral("-gray"),
                                     QStringLiteral("-png"), QStringLiteral("-singlefile"), pdf, prefix});
    return QImage(prefix + QStringLiteral(".png"));
}

// A lying picture's rectangle after the clockwise turn of a picture H dots high.
QRect turned(const QRect& r, int H)
{
    return QRect(H - r.y() - r.height(), r.x(), r.height(), r.width());
}

class PdfSeriesExportTest : public ::testing::Test
{
protected:
    PdfSeriesExportTest()
    {
        t.ctx.db().ExecSQL(QStringLiteral("INSERT INTO tab_gruppen (Gruppe_ID, Name) VALUES (?, ?)"),
                           {kGruppe, QStringLiteral("Kunden")});
        t.addAbsender(QStringLiteral("AB00000001"), kSender);
        for (const Adresse& a : kAdressen) {
            t.addAdresse(QString::fromLatin1(a.id), a.lines);
            if (!a.active)
                t.ctx.db().ExecSQL(QStringLiteral("UPDATE tab_adressen SET Aktiv=0 WHERE Adresse_ID=?"),
                                   {QString::fromLatin1(a.id)});
        }
        PrintSettings& s = t.ctx.Print();
        s.FormatIndex = 2;
        s.Orientation = 0;
    }

    SeriendruckInput input(int sortChoice = 2) const
    {
        SeriendruckInput in;
        in.AbsenderID = QStringLiteral("AB00000001");
        in.GruppeID = kGruppe;
        in.SearchColumn = 5;
        in.SortChoice = sortChoice;
        return in;
    }

    // Writes the group's series into out.pdf of the test folder.
    QString writeSeries(const SeriendruckInput& in)
    {
        const auto series = ReadPdfSeries(t.ctx, in);
        EXPECT_TRUE(series);
        const QString pdf = t.dir.file(QStringLiteral("out.pdf"));
        const PdfWriteOutcome outcome = WritePdfSeries(*series, t.ctx.Print(), 600, pdf);
        EXPECT_EQ(outcome.Status, PdfWriteOutcome::Written) << outcome.Error.toStdString();
        return pdf;
    }

    // The folder's files other than the database.
    QStringList leftovers(const QString& folder) const
    {
        QStringList files = QDir(folder).entryList(QDir::Files | QDir::Hidden);
        files.removeAll(QStringLiteral("Tavisto.dbs"));
        return files;
    }

    OutputTestContext t;
};

} // namespace

TEST_F(PdfSeriesExportTest, TheSeriesStatementChoosesTheAddresses)
{
    struct Case
    {
        const char* name;
        QString search;
        int column;
        int sort;
        QStringList line2;  // the addresses by their Line2, in order
    };
    const Case cases[] = {
        {"no sort: the database's order, inactive left out", "", 5, 0, {"Jürgen Weiß", "Bärbel Groß", "Anton Zeller"}},
        {"sort by Line2", "", 5, 2, {"Anton Zeller", "Bärbel Groß", "Jürgen Weiß"}},
        {"sort by Line4", "", 5, 4, {"Anton Zeller", "Bärbel Groß", "Jürgen Weiß"}},
        {"\"Name\" without sort names: the order they were stored", "", 5, 6, {"Jürgen Weiß", "Bärbel Groß", "Anton Zeller"}},
        {"search in all lines", "ll", 5, 2, {"Anton Zeller", "Bärbel Groß"}},
        {"search in Line3", "allee", 2, 0, {"Bärbel Groß"}},
        {"an inactive match stays out", "Inaktiv", 5, 0, {}},
        {"blanks only are no search", "   ", 1, 2, {"Anton Zeller", "Bärbel Groß", "Jürgen Weiß"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SeriendruckInput in = input(c.sort);
        in.SearchText = c.search;
        in.SearchColumn = c.column;
        const auto series = ReadPdfSeries(t.ctx, in);
        ASSERT_TRUE(series);
        EXPECT_EQ(series->Sender, kSender);
        EXPECT_EQ(series->GruppeName, "Kunden");
        QStringList line2;
        for (const AddressLines& a : series->Addresses)
            line2 << a.value(1);
        EXPECT_EQ(line2, c.line2);
    }
    SeriendruckInput missing = input();
    missing.AbsenderID = QStringLiteral("AB00000099");
    EXPECT_FALSE(ReadPdfSeries(t.ctx, missing));
}

TEST_F(PdfSeriesExportTest, OnePageOfTheFormatsSizePerAddressWithItsLinesAsText)
{
    struct Case
    {
        int format;
        int orientation;
    };
    for (const Case c : {Case{2, 0}, Case{2, 1}, Case{0, 0}, Case{9, 1}}) {
        SCOPED_TRACE(testing::Message() << "format " << c.format << ", orientation " << c.orientation);
        t.ctx.Print().FormatIndex = c.format;
        t.ctx.Print().Orientation = c.orientation;
        const QString pdf = writeSeries(input());
        EXPECT_EQ(pageCount(pdf), 3);
        const auto format = UmschlagFormatAt(c.format);
        const QSizeF lying(format->LongSide * 72.0 / 25.4, format->ShortSide * 72.0 / 25.4);
        const QSizeF expected = c.orientation == 1 ? lying.transposed() : lying;
        const QList<QSizeF> sizes = pageSizes(pdf);
        ASSERT_EQ(sizes.size(), 3);
        for (const QSizeF& size : sizes) {
            EXPECT_NEAR(size.width(), expected.width(), 0.5);
            EXPECT_NEAR(size.height(), expected.height(), 0.5);
        }

        // Every page: the sender, then its address; the pages in the list's order. Words
        // of turned text may come one per line, so white space counts as one blank.
        const QString text = run(QStringLiteral("pdftotext"), {QStringLiteral("-raw"), pdf, QStringLiteral("-")});
        QStringList pages = text.split(QLatin1Char('\f'));
        for (QString& page : pages)
            page = page.simplified();
        ASSERT_GE(pages.size(), 3);
        const AddressLines* expectedAddresses[] = {&kAdressen[3].lines, &kAdressen[1].lines, &kAdressen[0].lines};
        for (int p = 0; p < 3; ++p) {
            SCOPED_TRACE(p + 1);
            qsizetype at = 0;
            for (const AddressLines* block : {&kSender, expectedAddresses[p]})
                for (const QString& line : *block) {
                    if (line.isEmpty())
                        continue;
                    const qsizetype found = pages[p].indexOf(line, at);
                    EXPECT_GE(found, at) << line.toStdString() << " in\n" << pages[p].toStdString();
                    at = std::max(at, found);
                }
        }
        EXPECT_FALSE(text.contains(QStringLiteral("Ignaz"))) << text.toStdString();
    }
}

TEST_F(PdfSeriesExportTest, TextLiesWhereThePrintedPictureHasIt)
{
    // A banner reaches under the first address line: its cell covers the banner on both.
    QImage banner(2700, 1250, QImage::Format_RGB888);
    banner.fill(QColor(40, 40, 40));
    t.setBanner(QStringLiteral("AB00000001"), banner);
    struct Case
    {
        int orientation;
        bool swap;
    };
    for (const Case c : {Case{0, false}, Case{1, false}, Case{0, true}}) {
        SCOPED_TRACE(testing::Message() << "orientation " << c.orientation << ", swap " << c.swap);
        PrintSettings& s = t.ctx.Print();
        s.Orientation = c.orientation;
        s.Swap = c.swap;
        s.SenderFontSize = 12;
        const QString pdf = writeSeries(input());
        const auto series = ReadPdfSeries(t.ctx, input());
        ASSERT_TRUE(series);
        const UmschlagBlocks blocks = AssignBlocks(series->Sender, series->Addresses[2], s.Swap);
        const QImage* usedBanner = blocks.WithBanner && !series->Banner.isNull() ? &series->Banner : nullptr;
        QImage printed;
        RenderUmschlag(&printed, blocks.Upper, blocks.Lower, usedBanner, s, 600);
        const QImage page = rasterise(pdf, 3, t.dir.file(QStringLiteral("page3")));
        ASSERT_FALSE(page.isNull());
        // The page has whole points: up to half a point (4 dots) more or less than the picture.
        ASSERT_LE(std::abs(page.width() - printed.width()), 5);
        ASSERT_LE(std::abs(page.height() - printed.height()), 5);

        const auto layout = LayoutUmschlag(blocks.Upper, blocks.Lower, usedBanner ? usedBanner->size() : QSize(), s, 600);
        ASSERT_TRUE(layout);
        ASSERT_EQ(layout->Lines.size(), 7u);
        auto where = [&](const QRect& lying) { return layout->Turned ? turned(lying, layout->Size.height()) : lying; };
        for (const UmschlagLine& line : layout->Lines) {
            SCOPED_TRACE(line.Text.toStdString());
            // The cell, a little wider; its top few dots are left out, since the tip of a
            // descender above may reach them by a dot in one picture and not the other.
            const QRect cell(line.TopLeft.x() - 20, line.TopLeft.y() + 3,
                             std::min(2300, layout->Size.width() - line.TopLeft.x() + 20), line.LineHeight - 3);
            const QRect inPrint = inkBox(printed, where(cell));
            const QRect inPdf = inkBox(page, where(cell));
            ASSERT_FALSE(inPrint.isEmpty());
            EXPECT_NEAR(inPdf.left(), inPrint.left(), 1);
            EXPECT_NEAR(inPdf.top(), inPrint.top(), 1);
            EXPECT_NEAR(inPdf.right(), inPrint.right(), 1);
            EXPECT_NEAR(inPdf.bottom(), inPrint.bottom(), 1);
        }
        if (usedBanner) {
            // The banner, one pixel per dot; where the address cell covers it, it is white.
            const QRect bannerArea = where(layout->Banner.adjusted(-5, -5, 5, 5));
            const QRect inPrint = inkBox(printed, bannerArea), inPdf = inkBox(page, bannerArea);
            EXPECT_NEAR(inPdf.left(), inPrint.left(), 1);
            EXPECT_NEAR(inPdf.top(), inPrint.top(), 1);
            EXPECT_NEAR(inPdf.right(), inPrint.right(), 1);
            EXPECT_NEAR(inPdf.bottom(), inPrint.bottom(), 1);
            const QPoint underCell = where(QRect(layout->Lines[4].TopLeft + QPoint(5, 5), QSize(1, 1))).topLeft();
            EXPECT_EQ(qGray(printed.pixel(underCell)), 255);
            EXPECT_GE(qGray(page.pixel(underCell)), 250);
        }
    }
}

TEST_F(PdfSeriesExportTest, TheBannerIsOneImageAndTheFontIsEmbedded)
{
    QImage banner(600, 200, QImage::Format_RGB888);
    for (int y = 0; y < banner.height(); ++y)
        for (int x = 0; x < banner.width(); ++x)
            banner.setPixel(x, y, qRgb(x % 256, y, 90));
    t.setBanner(QStringLiteral("AB00000001"), banner);
    const QString pdf = writeSeries(input());

    // pdfimages lists every use of an image on a page; all three uses are one object.
    const QStringList rows = run(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf}).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(rows.size(), 2 + 3) << rows.join('\n').toStdString();
    QSet<QString> objects;
    for (const QString& row : rows.mid(2)) {
        const QStringList cols = row.simplified().split(' ');
        ASSERT_GE(cols.size(), 12);
        EXPECT_EQ(cols[3], "600");  // width
        EXPECT_EQ(cols[4], "200");  // height
        objects.insert(cols[10] + ' ' + cols[11]);
    }
    EXPECT_EQ(objects.size(), 1) << rows.join('\n').toStdString();

    const QStringList fonts = run(QStringLiteral("pdffonts"), {pdf}).split('\n', Qt::SkipEmptyParts).mid(2);
    ASSERT_FALSE(fonts.isEmpty());
    for (const QString& font : fonts) {
        EXPECT_TRUE(font.contains(QStringLiteral("LiberationSans"))) << font.toStdString();
        // name, type (two words), encoding, then emb, sub, uni
        const QStringList cols = font.simplified().split(' ');
        ASSERT_GE(cols.size(), 7);
        EXPECT_EQ(cols[cols.size() - 5], "yes") << font.toStdString();  // embedded
    }
}

namespace {

// Stands in for the save dialog: remembers what it was asked and answers with a file.
struct ChooserScript
{
    QString answer;
    int calls = 0;
    QString title, folder, filter, proposed;

    PdfFileChooser chooser()
    {
        return [this](QWidget*, const QString& t, const QString& d, const QString& f, const QString& name) {
            ++calls;
            title = t;
            folder = d;
            filter = f;
            proposed = name;
            return answer;
        };
    }
};

const QString kOverwrite = QStringLiteral("Es existiert bereits eine Datei unter diesem Namen!\nSoll diese Datei überschrieben werden?");

} // namespace

TEST_F(PdfSeriesExportTest, CommandAsksForTheFileAndWritesIt)
{
    TempDir out;
    ChooserScript script;
    script.answer = out.file(QStringLiteral("Kunden"));  // no extension typed
    ModalAnswer watch([](QDialog*) {});
    PdfSeriesCommand(t.ctx, nullptr, input(), script.chooser());
    watch.settle();
    EXPECT_EQ(script.calls, 1);
    EXPECT_EQ(script.title, "Als PDF speichern");
    EXPECT_EQ(script.filter, "PDF-Datei (*.pdf)");
    EXPECT_EQ(script.proposed, "Kunden");
    EXPECT_EQ(watch.dialogName(), "Form_PdfProgress");
    EXPECT_EQ(leftovers(out.path()), QStringList{"Kunden.pdf"});
    EXPECT_EQ(pageCount(out.file(QStringLiteral("Kunden.pdf"))), 3);
    EXPECT_EQ(t.messages.texts(), QStringList{"3 Umschläge wurden als PDF-Datei gespeichert."});
}

TEST_F(PdfSeriesExportTest, AbbrechenLeavesNoFileAndAnOlderFileAsItWas)
{
    for (const bool older : {false, true}) {
        SCOPED_TRACE(older ? "an older file" : "no file");
        TempDir out;
        const QString pdf = out.file(QStringLiteral("Serie.pdf"));
        if (older)
            out.write(QStringLiteral("Serie.pdf"), "older");
        t.messages.shown.clear();
        t.messages.answer({Msg::IdYes});  // overwrite, when asked
        ChooserScript script;
        script.answer = pdf;
        // "Abbrechen" while the first page is being written.
        ModalAnswer cancel([](QDialog* d) {
            if (auto* button = d->findChild<QPushButton*>(QStringLiteral("Button_Cancel")))
                button->click();
        });
        PdfSeriesCommand(t.ctx, nullptr, input(), script.chooser());
        cancel.settle();
        ASSERT_TRUE(cancel.seen());
        EXPECT_EQ(leftovers(out.path()), older ? QStringList{"Serie.pdf"} : QStringList{});
        if (older) {
            QFile f(pdf);
            ASSERT_TRUE(f.open(QIODevice::ReadOnly));
            EXPECT_EQ(f.readAll(), "older");
        }
        ASSERT_FALSE(t.messages.texts().isEmpty());
        EXPECT_TRUE(t.messages.texts().last().startsWith(QStringLiteral("Das Speichern wurde abgebrochen.")))
            << t.messages.texts().last().toStdString();
    }
}

TEST_F(PdfSeriesExportTest, AnExistingFileIsReplacedOnlyAfterJa)
{
    struct Case
    {
        int answer;
        QByteArray startsWith;
    };
    for (const Case c : {Case{Msg::IdNo, "older"}, Case{Msg::IdYes, "%PDF-"}}) {
        SCOPED_TRACE(c.answer);
        TempDir out;
        const QString pdf = out.write(QStringLiteral("Serie.PDF"), "older");
        t.messages.shown.clear();
        t.messages.answer({c.answer});
        ChooserScript script;
        script.answer = pdf;  // the extension in capitals is kept
        PdfSeriesCommand(t.ctx, nullptr, input(), script.chooser());
        ASSERT_FALSE(t.messages.shown.isEmpty());
        EXPECT_EQ(t.messages.shown.first().text, kOverwrite);
        EXPECT_EQ(t.messages.shown.first().kind, Msg::Warning);
        EXPECT_EQ(leftovers(out.path()), QStringList{"Serie.PDF"});
        QFile f(pdf);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_TRUE(f.readAll().startsWith(c.startsWith));
        EXPECT_EQ(t.messages.shown.size(), c.answer == Msg::IdYes ? 2 : 1);
    }
}

TEST_F(PdfSeriesExportTest, WhatStopsTheCommandBeforeAnythingIsWritten)
{
    struct Case
    {
        const char* name;
        void (*change)(SeriendruckInput&, PrintSettings&);
        QString message;
        bool asksForFile;
    };
    const Case cases[] = {
        {"no sender", [](SeriendruckInput& in, PrintSettings&) { in.AbsenderID.clear(); },
         "Bitte wählen Sie einen Absender!", false},
        {"no group", [](SeriendruckInput& in, PrintSettings&) { in.GruppeID.clear(); }, "Bitte wählen Sie eine Gruppe!",
         false},
        {"sender gone", [](SeriendruckInput& in, PrintSettings&) { in.AbsenderID = "AB00000077"; },
         "Der gewählte Absender wurde nicht gefunden.", false},
        {"nothing matches", [](SeriendruckInput& in, PrintSettings&) { in.SearchText = "Inaktiv"; },
         "Die gewählte Gruppe enthält keine aktiven Adressen, die der Suche entsprechen. Es wurde keine PDF-Datei "
         "gespeichert.",
         false},
        {"unknown format", [](SeriendruckInput&, PrintSettings& s) { s.FormatIndex = 10; },
         "Das eingestellte Umschlagformat ist unbekannt. Bitte wählen Sie unter \"Einstellungen (Druckausgabe)\" ein "
         "Format.",
         false},
        {"dialog cancelled", [](SeriendruckInput&, PrintSettings&) {}, QString(), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SeriendruckInput in = input();
        PrintSettings saved = t.ctx.Print();
        c.change(in, t.ctx.Print());
        t.messages.shown.clear();
        ChooserScript script;  // answers "cancelled"
        PdfSeriesCommand(t.ctx, nullptr, in, script.chooser());
        t.ctx.Print() = saved;
        EXPECT_EQ(script.calls, c.asksForFile ? 1 : 0);
        EXPECT_EQ(t.messages.texts(), c.message.isEmpty() ? QStringList{} : QStringList{c.message});
    }
}

TEST_F(PdfSeriesExportTest, AFileThatCannotBeWrittenIsReportedAndNothingIsLeft)
{
    TempDir out;
    ChooserScript script;
    script.answer = out.file(QStringLiteral("fehlt/Serie.pdf"));  // a folder that does not exist
    PdfSeriesCommand(t.ctx, nullptr, input(), script.chooser());
    ASSERT_EQ(t.messages.shown.size(), 1);
    EXPECT_EQ(t.messages.shown.first().kind, Msg::Error);
    EXPECT_TRUE(t.messages.shown.first().text.startsWith(
        QStringLiteral("Die PDF-Datei \"%1\" konnte nicht gespeichert werden.\n").arg(script.answer)))
        << t.messages.shown.first().text.toStdString();
    EXPECT_TRUE(leftovers(out.path()).isEmpty());
}

TEST_F(PdfSeriesExportTest, AStopBetweenPagesKeepsTheOlderFile)
{
    TempDir out;
    const QString pdf = out.write(QStringLiteral("Serie.pdf"), "older");
    const auto series = ReadPdfSeries(t.ctx, input());
    ASSERT_TRUE(series);
    QList<int> asked;
    const PdfWriteOutcome outcome = WritePdfSeries(*series, t.ctx.Print(), 600, pdf, [&](int k, int n) {
        asked << k << n;
        return k < 2;
    });
    EXPECT_EQ(outcome.Status, PdfWriteOutcome::Cancelled);
    EXPECT_EQ(asked, (QList<int>{0, 3, 1, 3, 2, 3}));
    EXPECT_EQ(leftovers(out.path()), QStringList{"Serie.pdf"});
    QFile f(pdf);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), "older");
}
