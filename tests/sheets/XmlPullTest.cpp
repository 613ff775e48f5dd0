// The pull reader under the .xlsx and .ods readers: it must walk a document as
// QXmlStreamReader walks it (elements, namespaces, attributes, text with references and
// line ends resolved) and refuse what QXmlStreamReader refuses, however the stream cuts
// the bytes.
#include "sheets/XmlPull.h"
#include "support/DribbleDevice.h"

#include <QBuffer>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <cstring>

using sheets::xml::PullReader;

namespace {

struct Trace
{
    QStringList tokens;
    bool error = false;
};

QString element(QStringView kind, QStringView ns, QStringView name)
{
    return kind.toString() + u'{' + ns.toString() + u'}' + name.toString();
}

// Elements with their attributes, and the text inside the root element, neighbouring
// pieces joined.
Trace qtTrace(const QByteArray& xml)
{
    QXmlStreamReader r(xml);
    Trace t;
    QString text;
    int depth = 0;
    auto flush = [&] {
        if (!text.isEmpty())
            t.tokens << QStringLiteral("T:") + text;
        text.clear();
    };
    while (!r.atEnd()) {
        r.readNext();
        if (r.isStartElement()) {
            flush();
            QString s = element(u"S", r.namespaceUri(), r.name());
            for (const QXmlStreamAttribute& a : r.attributes())
                s += u' ' + element(u"", a.namespaceUri(), a.name()) + u'=' + a.value().toString();
            t.tokens << s;
            ++depth;
        } else if (r.isEndElement()) {
            flush();
            t.tokens << element(u"E", r.namespaceUri(), r.name());
            --depth;
        } else if (r.isCharacters() && depth > 0) {
            text += r.text();
        }
    }
    flush();
    t.error = r.hasError();
    return t;
}

Trace ourTrace(QIODevice& device)
{
    PullReader r(&device);
    Trace t;
    QString text;
    auto flush = [&] {
        if (!text.isEmpty())
            t.tokens << QStringLiteral("T:") + text;
        text.clear();
    };
    auto s = [](QByteArrayView v) { return QString::fromUtf8(v); };
    while (!r.AtEnd()) {
        r.ReadNext();
        if (r.IsStartElement()) {
            flush();
            QString e = element(u"S", s(r.NamespaceUri()), s(r.Name()));
            for (const PullReader::AttributeView& a : r.Attributes()) {
                e += u' ' + element(u"", s(a.ns), s(a.name)) + u'=' + s(a.value);
                EXPECT_EQ(r.Attribute(a.ns, a.name), a.value); // found by its name as well
            }
            t.tokens << e;
        } else if (r.IsEndElement()) {
            flush();
            t.tokens << element(u"E", s(r.NamespaceUri()), s(r.Name()));
        } else if (r.IsCharacters()) {
            text += s(r.Text());
        }
    }
    flush();
    t.error = r.HasError();
    return t;
}

// The document through one large read, and cut into pieces of 1, 2, 3 and 7 bytes.
void expectLikeQt(const QByteArray& xml)
{
    const Trace qt = qtTrace(xml);
    QBuffer whole;
    whole.setData(xml);
    whole.open(QIODevice::ReadOnly);
    const Trace ours = ourTrace(whole);
    EXPECT_EQ(ours.error, qt.error) << xml.toStdString();
    if (!qt.error) {
        EXPECT_EQ(ours.tokens, qt.tokens) << xml.toStdString();
    }
    for (const qint64 step : {1, 2, 3, 7}) {
        Dribble pieces(xml, step);
        const Trace cut = ourTrace(pieces);
        EXPECT_EQ(cut.error, ours.error) << step << ": " << xml.toStdString();
        if (!ours.error) {
            EXPECT_EQ(cut.tokens, ours.tokens) << step << ": " << xml.toStdString();
            EXPECT_GE(pieces.Reads, xml.size() / step) << "the device was asked for every piece";
        }
    }
}

class WellFormed : public ::testing::TestWithParam<const char*>
{
};

TEST_P(WellFormed, WalksAsQXmlStreamReaderDoes)
{
    const QByteArray xml(GetParam());
    ASSERT_FALSE(qtTrace(xml).error) << GetParam();
    expectLikeQt(xml);
}

INSTANTIATE_TEST_SUITE_P(
    Documents, WellFormed,
    ::testing::Values(
        // a worksheet as Excel and openpyxl write it
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
        "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" xmlns:r=\"urn:r\">"
        "<sheetData><row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t xml:space=\"preserve\"> M\xC3\xBCller &amp; S\xC3\xB6hne </t>"
        "</is></c><c r=\"B1\" s=\"3\"><f>A1</f><v>1067</v></c></row></sheetData></worksheet>",
        // byte order mark; CR LF and a lone CR in text are LF
        "\xEF\xBB\xBF<a>x\r\ny\rz\r\n</a>",
        // references and blanks in attribute values, ">" inside quotes, single quotes
        "<a b='1 &lt; 2' c=\"x&#9;y&#x41;&#252;\" d=\"line\r\nbreak\ttab\nnl\" e=\"q>r\" f=\"\"/>",
        "<a>&lt;&gt;&amp;&quot;&apos;&#65;&#x20AC;&#x1F600;\xE2\x82\xAC</a>",
        // prefixes, a default namespace, one taken back, one prefix bound anew inside
        "<o:doc xmlns:o=\"urn:o\" xmlns=\"urn:d\"><o:t a=\"1\" o:b=\"2\"><inner xmlns=\"\">x</inner>"
        "<o:x xmlns:o=\"urn:other\" o:y=\"3\"/><o:z/></o:t><plain/></o:doc>",
        // comments, instructions and CDATA are left out or taken as text
        "<!-- c --><?pi x?>\n<a><!-- in -->x<![CDATA[<b>&amp;</b>\r\n]]>y<?p?></a><!-- after -->\n",
        "<a  b = \"1\"  \n c\t=\t'2'></a  >",
        "<a/>",
        "<a>1<b>2<c>3</c>4</b>5<d/>6</a>",
        // a cell of content.xml
        "<office:document-content xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
        "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
        "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\"><office:body><table:table table:name=\"A &amp; B\">"
        "<table:table-row table:number-rows-repeated=\"2\"><table:table-cell office:value-type=\"string\">"
        "<text:p> f\xC3\xBChrend<text:s text:c=\"2\"/>und<text:span>  Span</text:span></text:p></table:table-cell>"
        "</table:table-row></table:table></office:body></office:document-content>"));

class Broken : public ::testing::TestWithParam<const char*>
{
};

TEST_P(Broken, IsRefusedAsQXmlStreamReaderRefusesIt)
{
    const QByteArray xml(GetParam());
    ASSERT_TRUE(qtTrace(xml).error) << GetParam();
    expectLikeQt(xml);
}

INSTANTIATE_TEST_SUITE_P(Documents, Broken,
                         ::testing::Values("", "   ", "<a>", "<a><b></a></b>", "<a></a><b/>", "<a>x</a>y", "<p:a/>",
                                           "<a p:b=\"1\"/>", "<a b=\"1\" b=\"2\"/>", "<a>&nbsp;</a>", "<a>&amp</a>",
                                           "<a b=\"<\"/>", "<a>\x01</a>", "<a>&#0;</a>", "<a>&#xD800;</a>",
                                           "<a><![CDATA[x</a>", "<a b=1/>", "<a b=\"1\"c=\"2\"/>", "<a b/>",
                                           "<?xml version=\"1.0\"?><?xml version=\"1.0\"?><a/>", "<a><!-- x </a>",
                                           "</a>", "<1a/>", "<a xmlns:p=\"\"/>", "<a></a",
                                           "<a>\xEF\xBB\xBF</a><", "text<a/>"));

// Tokens far longer than one read (a long comment, attribute value, text, CDATA section,
// instruction) come whole, however the stream cuts them.
TEST(PullReader, TokensLongerThanAReadComeWhole)
{
    const QByteArray longText(300000, 'x');
    const QByteArray xml = "<a v=\"" + longText + "'>\"><!--" + longText + "--><?pi " + longText + "?><![CDATA[" + longText +
                           "]]>" + longText + "&amp;" + longText + "</a>";
    for (const qint64 step : {qint64(4096), qint64(65536 + 7), qint64(xml.size())}) {
        Dribble pieces(xml, step);
        const Trace t = ourTrace(pieces);
        ASSERT_FALSE(t.error) << step;
        ASSERT_EQ(t.tokens.size(), 3) << step;
        EXPECT_EQ(t.tokens[0], QStringLiteral("S{}a {}v=") + QString::fromLatin1(longText) + QStringLiteral("'>"));
        EXPECT_EQ(t.tokens[1], QStringLiteral("T:") + QString::fromLatin1(longText + longText + '&' + longText));
        EXPECT_EQ(t.tokens[2], QStringLiteral("E{}a"));
    }
    // A reference that runs on past any entity's length is no reference.
    Dribble pieces("<a>&" + longText + ";</a>", 4096);
    EXPECT_TRUE(ourTrace(pieces).error);
}

// An attribute twice is refused in a tag with few attributes and in one with many.
TEST(PullReader, RefusesAnAttributeTwice)
{
    for (const int count : {3, 40}) {
        QByteArray distinct = "<a", twice;
        for (int i = 0; i < count; ++i)
            distinct += " b" + QByteArray::number(i) + "=\"1\"";
        twice = distinct + " b1=\"2\"/>";
        distinct += "/>";
        expectLikeQt(distinct);
        expectLikeQt(twice);
        QBuffer b;
        b.setData(twice);
        b.open(QIODevice::ReadOnly);
        EXPECT_TRUE(ourTrace(b).error) << count;
    }
}

// What no spreadsheet holds is refused rather than half read: a document type (with its
// own entities) and encodings other than UTF-8.
TEST(PullReader, RefusesDocumentTypesAndOtherEncodings)
{
    for (const char* xml : {"<!DOCTYPE a [<!ENTITY e \"x\">]><a>&e;</a>",
                            "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a>\xFC</a>", "\xFF\xFE<\0a\0/\0>\0"}) {
        QBuffer b;
        b.setData(QByteArray(xml, qsizetype(std::strlen(xml)) + (xml[0] == '\xFF' ? 7 : 0)));
        b.open(QIODevice::ReadOnly);
        EXPECT_TRUE(ourTrace(b).error) << xml;
    }
}

// The walk the readers of sheets rely on: skipping an element, an element's text with or
// without its children's, an attribute that is absent (null) against one that is empty.
TEST(PullReader, SkipsElementsAndReadsElementText)
{
    QBuffer b;
    b.setData("<r xmlns:x=\"urn:x\"><c t=\"\" x:v=\"1\"><f>SUM(<i>A1</i>)</f><v>4<i>2</i>2</v></c><after/></r>");
    b.open(QIODevice::ReadOnly);
    PullReader r(&b);
    ASSERT_EQ(r.ReadNext(), PullReader::StartElement); // r
    ASSERT_EQ(r.ReadNext(), PullReader::StartElement); // c
    EXPECT_FALSE(r.Attribute({}, "t").isNull());
    EXPECT_TRUE(r.Attribute({}, "t").isEmpty());
    EXPECT_TRUE(r.Attribute({}, "s").isNull());
    EXPECT_TRUE(r.Attribute({}, "v").isNull()); // it has a namespace
    EXPECT_EQ(r.Attribute("urn:x", "v"), "1");
    ASSERT_EQ(r.ReadNext(), PullReader::StartElement); // f
    EXPECT_EQ(r.ReadElementText(true), "SUM(A1)");
    ASSERT_EQ(r.ReadNext(), PullReader::StartElement); // v
    EXPECT_EQ(r.ReadElementText(false), "42");
    ASSERT_EQ(r.ReadNext(), PullReader::EndElement); // c
    ASSERT_EQ(r.ReadNext(), PullReader::StartElement);
    EXPECT_EQ(r.Name(), "after");
    r.SkipCurrentElement();
    EXPECT_TRUE(r.IsEndElement());
    EXPECT_EQ(r.Name(), "after");
    EXPECT_EQ(r.ReadNext(), PullReader::EndElement);
    EXPECT_EQ(r.ReadNext(), PullReader::EndDocument);
    EXPECT_TRUE(r.AtEnd());
    EXPECT_FALSE(r.HasError());
}

} // namespace
