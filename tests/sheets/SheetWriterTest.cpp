// WriteTableFile: the sheet it writes opens in openpyxl and odfpy (as LibreOffice and
// Excel would open it) and in our own readers, with every text as it was given.
#include "SheetFiles.h"
#include "sheets/TableSource.h"
#include "support/QtPrint.h"
#include "support/TempDir.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

#include <gtest/gtest.h>

using namespace sheets;

namespace {

const QStringList kHeader{"Zeile 1", "Name", "Bemerkung"};
const QList<QStringList> kRows{
    {"Müller & Söhne <GmbH>", "Müller", "sagt \"Hallo\""},
    {"  zwei führende", "drei   mitten", "Ende  "},
    {"Tab\tda", "Zeile\nneu", "_x0041_ bleibt"},
    {"", "", "nur hinten"},
    {"Straße 1", "", ""},
    {"Ünïcödé €", "Ł ő 中", "x"},
    {"CR LF\r\nda", "nur CR\rda", "LF\nCR LF\r\n"},
};

void write(const QString& path, const QList<QStringList>& rows)
{
    qsizetype next = 0;
    WriteTableFile(path, QStringLiteral("Adressen"), kHeader, [&](QStringList& row) {
        if (next >= rows.size())
            return false;
        row = rows.at(next++);
        return true;
    });
}

// The rows as the file holds them, trailing empty cells left off.
QList<QStringList> expected()
{
    QList<QStringList> rows{kHeader};
    for (QStringList row : kRows) {
        while (!row.isEmpty() && row.last().isEmpty())
            row.removeLast();
        rows << row;
    }
    return rows;
}

// The cells as Python's readers see them.
QList<QStringList> readByPython(const QString& path)
{
    static const char* script = R"(
import json, sys
p = sys.argv[1]
rows = []
if p.endswith(".xlsx"):
    import openpyxl
    wb = openpyxl.load_workbook(p)
    ws = wb.worksheets[0]
    assert ws.title == "Adressen", ws.title
    for r in ws.iter_rows(values_only=True):
        rows.append(["" if v is None else str(v) for v in r])
else:
    from odf.opendocument import load
    from odf.table import Table, TableRow, TableCell
    from odf import teletype
    doc = load(p)
    t = doc.spreadsheet.getElementsByType(Table)[0]
    assert t.getAttribute("name") == "Adressen"
    for r in t.getElementsByType(TableRow):
        rows.append([teletype.extractText(c) for c in r.getElementsByType(TableCell)])
for r in rows:
    while r and r[-1] == "":
        r.pop()
print(json.dumps(rows))
)";
    int code = -1;
    const QByteArray out = SheetFiles::Python({QStringLiteral("-c"), QString::fromUtf8(script), path}, &code);
    EXPECT_EQ(code, 0);
    QList<QStringList> rows;
    for (const QJsonValue& r : QJsonDocument::fromJson(out).array()) {
        QStringList cells;
        for (const QJsonValue& c : r.toArray())
            cells << c.toString();
        rows << cells;
    }
    return rows;
}

class SheetWriter : public ::testing::TestWithParam<const char*>
{
};

TEST_P(SheetWriter, WritesWhatOpenpyxlOdfpyAndOurReadersReadBack)
{
    TempDir dir;
    const QString path = dir.file(QStringLiteral("Adressen.") + QString::fromLatin1(GetParam()));
    write(path, kRows);
    QList<QStringList> python = expected();
    // Text that looks like one of Excel's escapes is written escaped ("_x005F_" is "_"),
    // and a carriage return as "_x000D_", as Excel and LibreOffice read them; openpyxl
    // leaves the escapes as they stand.
    if (path.endsWith(QLatin1String(".xlsx"))) {
        python[3][2] = QStringLiteral("_x005F_x0041_ bleibt");
        for (QString& cell : python.last())
            cell.replace(u'\r', QStringLiteral("_x000D_"));
    }
    EXPECT_EQ(readByPython(path), python);
    std::unique_ptr<TableSource> source = OpenTableFile(path);
    EXPECT_EQ(source->SheetNames(), QStringList{"Adressen"});
    const std::vector<Row> rows = SheetFiles::Rows(*source);
    EXPECT_EQ(SheetFiles::Texts(rows), expected());
    for (const Row& row : rows)
        for (const Cell& c : row)
            EXPECT_FALSE(c.Number) << c.Text.toStdString(); // every cell is text
}

TEST_P(SheetWriter, AFailedWriteLeavesTheOldFile)
{
    TempDir dir;
    const QString path = dir.file(QStringLiteral("Adressen.") + QString::fromLatin1(GetParam()));
    write(path, kRows);
    QFile before(path);
    ASSERT_TRUE(before.open(QIODevice::ReadOnly));
    const QByteArray old = before.readAll();
    before.close();
    // The rows' source fails half-way (the database went away, say).
    int n = 0;
    EXPECT_THROW(WriteTableFile(path, QStringLiteral("Adressen"), kHeader,
                                [&](QStringList& row) -> bool {
                                    if (++n > 3)
                                        throw std::runtime_error("gone");
                                    row = kRows.at(0);
                                    return true;
                                }),
                 std::runtime_error);
    QFile after(path);
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_EQ(after.readAll(), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QFileInfo(path).fileName()}); // no scraps

    // A folder that does not exist: a German message, nothing written.
    try {
        write(dir.file(QStringLiteral("fehlt/Adressen.") + QString::fromLatin1(GetParam())), kRows);
        FAIL() << "written";
    } catch (const SheetError& e) {
        EXPECT_TRUE(e.Message().contains(QStringLiteral("konnte nicht geschrieben werden"))) << e.Message().toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, SheetWriter, ::testing::Values("xlsx", "ods"));

TEST(SheetWriterKinds, OnlyOdsAndXlsx)
{
    TempDir dir;
    EXPECT_THROW(write(dir.file(QStringLiteral("Adressen.csv")), kRows), SheetError);
    EXPECT_FALSE(QFileInfo::exists(dir.file(QStringLiteral("Adressen.csv"))));
}

} // namespace
