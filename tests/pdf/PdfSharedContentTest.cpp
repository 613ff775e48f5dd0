#include "pdf/PdfSharedContent.h"

#include <QList>
#include <gtest/gtest.h>

namespace {

// A page as Qt's writer draws an envelope: the page's setup, then one group per line of
// text inside the painter's own group.
QByteArray page(const QList<QByteArray>& lines)
{
    QByteArray content = "/GSa gs /CSp cs /CSp CS\n0.120000000 0 0 -0.120000000 0 312 cm\nq q\nQ\nQ q\nq\n";
    int y = 100;
    for (const QByteArray& glyphs : lines) {
        content += "q\n/CSp cs 0 0 0 scn\n/GSa gs\nBT\n/F7 79 Tf 1 0 0 -1 0 0 Tm\n100 -" + QByteArray::number(y) +
                   " Td " + glyphs + " Tj\nET\nQ\n";
        y += 90;
    }
    return content + "Q Q\n";
}

} // namespace

TEST(PdfSharedContent, TheLongestRunOfWholeGroupsBothBeginWith)
{
    const QByteArray sender1 = "<00010002000300040005>", sender2 = "<0006000700080009>", sender3 = "<000A000B>";
    struct Case
    {
        const char* name;
        QByteArray first, second;
        QList<QByteArray> sharedLines;  // the lines of first whose groups are the run
    };
    const Case cases[] = {
        {"sender, then different addresses", page({sender1, sender2, sender3, "<0011>", "<0012>"}),
         page({sender1, sender2, sender3, "<0021>", "<0012>"}), {sender1, sender2, sender3}},
        // The address's first glyph is the same, the group is not.
        {"a group the common beginning ends inside", page({sender1, "<00310032>"}), page({sender1, "<00310033>"}),
         {sender1}},
        {"nothing in common past the setup", page({sender1}), page({sender2}), {}},
        {"the same page twice", page({sender1, sender2}), page({sender1, sender2}), {sender1, sender2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto run = FindSharedRun({c.first, c.second});
        if (c.sharedLines.isEmpty()) {
            EXPECT_FALSE(run);
            continue;
        }
        ASSERT_TRUE(run);
        const QByteArray shared = c.first.mid(run->Start, run->End - run->Start);
        // Whole groups, one per shared line, and nothing else.
        EXPECT_TRUE(shared.startsWith("q\n") && shared.endsWith("\nQ\n")) << shared.toStdString();
        EXPECT_EQ(shared.count("BT\n"), c.sharedLines.size());
        for (const QByteArray& line : c.sharedLines)
            EXPECT_TRUE(shared.contains(line)) << line.toStdString();
        EXPECT_EQ(c.first.left(run->End), c.second.left(run->End));
    }
}

TEST(PdfSharedContent, NoRunAcrossOtherOperatorsALiteralStringOrUnevenDepths)
{
    // Groups separated by another operator are two runs: the longer one counts.
    const QByteArray separated = "q\nA\nQ\nX\nq\nBB\nQ\nq\nCC\nQ\nrest\n";
    auto run = FindSharedRun({separated, separated + "more\n"});
    ASSERT_TRUE(run);
    EXPECT_EQ(separated.mid(run->Start, run->End - run->Start), "q\nBB\nQ\nq\nCC\nQ\n");
    // A literal string may hold "Q" on a line of its own: nothing past it is read.
    EXPECT_FALSE(FindSharedRun({"(x\nQ\n) Tj\nq\nA\nQ\n", "(x\nQ\n) Tj\nq\nA\nQ\n"}));
    // Groups opened on a line of several operators are not whole groups of their own.
    EXPECT_FALSE(FindSharedRun({"q q\nA\nQ\nQ\n", "q q\nA\nQ\nQ\n"}));
    // A "Q" without its "q" ends the search.
    EXPECT_FALSE(FindSharedRun({"Q\nq\nA\nQ\n", "Q\nq\nA\nQ\n"}));
}

TEST(PdfSharedContent, ACallReplacesTheRunWhereTheContentBeginsLikeTheModel)
{
    const QByteArray first = page({"<0001>", "<0002>", "<0003>"});
    const QByteArray second = page({"<0001>", "<0002>", "<0004>"});
    const auto run = FindSharedRun({first, second});
    ASSERT_TRUE(run);
    const auto called = CallSharedRun(second, first, *run, "/Form1");
    ASSERT_TRUE(called);
    EXPECT_EQ(*called, second.left(run->Start) + "/Form1 Do\n" + second.mid(run->End));
    EXPECT_FALSE(called->contains("<0001>"));
    EXPECT_TRUE(called->contains("<0004>"));
    // A page that begins otherwise keeps its own content.
    EXPECT_FALSE(CallSharedRun(page({"<0009>", "<0002>"}), first, *run, "/Form1"));
    EXPECT_FALSE(CallSharedRun(first.left(run->End - 1), first, *run, "/Form1"));
}

TEST(PdfSharedContent, TheRunIsWhatEveryPageGivenBeginsWith)
{
    // Two pages alike in their salutation too, a third not: the run stops before it.
    const QByteArray a = page({"<0001>", "<0002>", "<0011>", "<0021>"});
    const QByteArray b = page({"<0001>", "<0002>", "<0011>", "<0022>"});
    const QByteArray c = page({"<0001>", "<0002>", "<0012>", "<0023>"});
    const auto two = FindSharedRun({a, b});
    const auto three = FindSharedRun({a, b, c});
    ASSERT_TRUE(two && three);
    EXPECT_EQ(a.mid(two->Start, two->End - two->Start).count("BT\n"), 3);
    EXPECT_EQ(a.mid(three->Start, three->End - three->Start).count("BT\n"), 2);
    EXPECT_FALSE(FindSharedRun({a}));
}
