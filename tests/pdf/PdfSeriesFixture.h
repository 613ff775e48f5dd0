#pragma once
// A group of four addresses (one inactive) and its sender, shared by the tests of the
// series PDF and of its command, with the poppler tools that read the written file.
#include "envelope/SeriendruckInput.h"
#include "envelope/UmschlagRenderer.h"
#include "pdf/PdfSeriesExport.h"
#include "support/OutputTestContext.h"

#include <QDir>
#include <QImage>
#include <QList>
#include <QProcess>
#include <QRect>
#include <QRegularExpression>
#include <QSizeF>
#include <QStringList>
#include <gtest/gtest.h>

inline const AddressLines kSender{"Lumo Versand GmbH", "Postfach 12", "", "12345 Hausen", ""};
inline const QString kGruppe = QStringLiteral("GR00000001");

struct Adresse
{
    const char* id;
    AddressLines lines;
    bool active;
};

// Inserted in this order; sorted by Line2 the active ones read Anton, Bärbel, Jürgen.
inline const Adresse kAdressen[] = {
    {"AD00000001", {"Herrn", "Jürgen Weiß", "Mühlenstraße 3", "80331 München", ""}, true},
    {"AD00000002", {"Frau", "Bärbel Groß", "Lindenallee 9", "50667 Köln", ""}, true},
    {"AD00000003", {"Firma", "Ignaz Inaktiv", "Nirgendweg 1", "99999 Nirgendwo", ""}, false},
    {"AD00000004", {"Herrn", "Anton Zeller", "Am Rübenfeld 5", "01067 Dresden", "Schweiz"}, true},
};

// A poppler tool's output; a complaint about the file (a broken cross-reference it had to
// rebuild, say) fails the test.
inline QString run(const QString& program, const QStringList& args)
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
inline QList<QSizeF> pageSizes(const QString& pdf)
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

// Each page's turn for viewing in degrees, from pdfinfo.
inline QList<int> pageTurns(const QString& pdf)
{
    const QString info = run(QStringLiteral("pdfinfo"), {QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
                                                         QStringLiteral("100000"), pdf});
    QList<int> turns;
    static const QRegularExpression re(QStringLiteral(R"(Page\s+\d+ rot:\s+(\d+))"));
    for (auto it = re.globalMatch(info); it.hasNext();)
        turns << it.next().captured(1).toInt();
    return turns;
}

inline int pageCount(const QString& pdf)
{
    static const QRegularExpression re(QStringLiteral(R"(Pages:\s+(\d+))"));
    const auto m = re.match(run(QStringLiteral("pdfinfo"), {pdf}));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// One page rasterised at 600 dpi, grey.
inline QImage rasterise(const QString& pdf, int page, const QString& prefix)
{
    run(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("600"), QStringLiteral("-f"), QString::number(page),
                                     QStringLiteral("-l"), QString::number(page), QStringLiteral("-gray"),
                                     QStringLiteral("-png"), QStringLiteral("-singlefile"), pdf, prefix});
    return QImage(prefix + QStringLiteral(".png"));
}

// A lying picture's rectangle after the clockwise turn of a picture H dots high.
inline QRect turned(const QRect& r, int H)
{
    return QRect(H - r.y() - r.height(), r.x(), r.height(), r.width());
}

class PdfSeriesFixture : public ::testing::Test
{
protected:
    PdfSeriesFixture()
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
