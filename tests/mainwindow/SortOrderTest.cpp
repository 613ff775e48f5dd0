// The order of the address list in German dictionary order, and the series and the PDF
// export in the list's order for every sort choice.
#include "MainWindowHarness.h"
#include "pdf/PdfSeriesExport.h"
#include "printwindows/Seriendruck.h"

#include <QComboBox>
#include <gtest/gtest.h>

namespace {

// The sort cases in the order expected: umlauts as their base letters, ß as ss, letter
// case ignored; texts equal under that rule by their bytes, equal texts in the order they
// were stored (the two "Schmidt": K-07 was stored first).
struct SortCase
{
    const char* label;  // Line1, tells the addresses apart
    const char* name;   // Line2 and the sort name
};
const SortCase kExpected[] = {
    {"K-01", "Abel"},     {"K-02", "Ärztebedarf"}, {"K-03", "Bär"},    {"K-04", "Barth"},  {"K-05", "Maßmann"},
    {"K-06", "Mast"},     {"K-08", "Mueller"},     {"K-09", "Muller"}, {"K-10", "Müller"}, {"K-11", "müller"},
    {"K-12", "Ost"},      {"K-13", "Österreicher"}, {"K-14", "Otto"},  {"K-07", "Schmidt"}, {"K-15", "Schmidt"},
    {"K-16", "von Berg"}, {"K-17", "Weber"},       {"K-18", "Zander"},
};
// Stored in an order of their own, so that no sort result is the row order by chance.
const char* const kStoredOrder[] = {"K-18", "K-13", "K-02", "K-11", "K-07", "K-16", "K-04", "K-10", "K-01",
                                    "K-15", "K-05", "K-17", "K-09", "K-14", "K-03", "K-12", "K-06", "K-08"};

QStringList seedStatements()
{
    QStringList sql{"INSERT INTO tab_absender VALUES('AB00000001','Lumo GmbH','Weg 1','','12345 Ort','')",
                    "INSERT INTO tab_gruppen VALUES('GR00000001','Kunden')"};
    int n = 0;
    for (const char* label : kStoredOrder)
        for (const SortCase& c : kExpected)
            if (qstrcmp(c.label, label) == 0)
                sql << QStringLiteral("INSERT INTO tab_adressen VALUES('AD%1','GR00000001','%2','%3','','','','%3',1)")
                           .arg(++n, 8, 10, QLatin1Char('0'))
                           .arg(QLatin1String(c.label), QString::fromUtf8(c.name));
    return sql;
}

QStringList expectedLabels()
{
    QStringList labels;
    for (const SortCase& c : kExpected)
        labels << QString::fromLatin1(c.label);
    return labels;
}

SeriendruckInput seriesInput(const TForm_Tavisto& w)
{
    const AdressenFilter f = w.CurrentAdressenFilter();
    SeriendruckInput in;
    in.AbsenderID = QStringLiteral("AB00000001");
    in.GruppeID = f.GruppeID;
    in.SearchText = f.SearchText;
    in.SearchColumn = f.SearchLine;
    in.SortChoice = f.SortIndex;
    return in;
}

} // namespace

// Keeps a fingerprint of each envelope instead of the picture, so that a series of
// envelopes at printer resolution stays small.
class FingerprintPrinter : public FakePrintService
{
public:
    void DrawImage(const QRect& target, const QImage& image) override
    {
        prints << qHashBits(image.constBits(), size_t(image.sizeInBytes()));
        FakePrintService::DrawImage(target, QImage());
    }
    QList<size_t> prints;
};

TEST(SortOrder, ListSeriesAndPdfShareTheGermanOrder)
{
    MainWindowHarness h;
    FingerprintPrinter printer;
    h.ctx.Printer = &printer;
    h.seed(seedStatements());
    TForm_Tavisto& w = h.start();

    // Each address's envelope alone, found by its label.
    QMap<size_t, QString> labelOf;
    for (const SortCase& c : kExpected) {
        SeriendruckInput one = seriesInput(w);
        one.SearchText = QString::fromLatin1(c.label);
        one.SearchColumn = 0;
        printer.prints.clear();
        ASSERT_TRUE(RunSeriendruck(h.ctx, one));
        ASSERT_EQ(printer.prints.size(), 1) << c.label;
        labelOf.insert(printer.prints[0], QString::fromLatin1(c.label));
    }
    ASSERT_EQ(labelOf.size(), std::size(kExpected));  // every envelope tells its address

    const QStringList expected = expectedLabels();
    for (int sort : {2, 6}) {
        SCOPED_TRACE(sort == 2 ? "Zeile 2" : "Name");
        h.find<QComboBox>("ComboBox_Sort")->setCurrentIndex(sort);
        EXPECT_EQ(column(h.adressen(), 1), expected);

        printer.prints.clear();
        ASSERT_TRUE(RunSeriendruck(h.ctx, seriesInput(w)));
        QStringList printed;
        for (size_t print : printer.prints)
            printed << labelOf.value(print, QStringLiteral("?"));
        EXPECT_EQ(printed, expected);

        const auto pdf = ReadPdfSeries(h.ctx, seriesInput(w));
        ASSERT_TRUE(pdf);
        QStringList pages;
        for (const AddressLines& a : pdf->Addresses)
            pages << a.value(0);
        EXPECT_EQ(pages, expected);
    }
}
