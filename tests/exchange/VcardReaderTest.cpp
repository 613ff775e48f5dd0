#include "exchange/VcardReader.h"

#include <QStringEncoder>
#include <gtest/gtest.h>

namespace {

// A card as "group.NAME=value" per property (value decoded, escapes still in place).
QList<QStringList> summary(const std::vector<Vcard>& cards)
{
    QList<QStringList> out;
    for (const Vcard& card : cards) {
        QStringList props;
        for (const VcardProperty& p : card.Properties)
            props << (p.Group.isEmpty() ? QString() : p.Group + u'.') + p.Name + u'=' + p.Value;
        out << props;
    }
    return out;
}

struct ReadCase
{
    const char* name;
    QByteArray bytes;
    QList<QStringList> expected;
};

void PrintTo(const ReadCase& c, std::ostream* os) { *os << c.name; }

class VcardReadTable : public ::testing::TestWithParam<ReadCase>
{
};

TEST_P(VcardReadTable, CardsAndProperties)
{
    EXPECT_EQ(summary(ReadVcards(GetParam().bytes)), GetParam().expected);
}

QByteArray utf16le(const QString& text)
{
    QStringEncoder enc(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom);
    return enc(text);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, VcardReadTable,
    ::testing::Values(
        ReadCase{"FoldedWithBlankCrLf", "BEGIN:VCARD\r\nNOTE:eins zw\r\n ei drei\r\nEND:VCARD\r\n",
                 {{"NOTE=eins zwei drei"}}},
        ReadCase{"FoldedWithTabLf", "BEGIN:VCARD\nNOTE:eins\n\tzwei\n \n END:VCARD\nEND:VCARD\n",
                 {{"NOTE=einszweiEND:VCARD"}}},
        ReadCase{"CrAlone", "BEGIN:VCARD\rFN:Anna\rEND:VCARD\r", {{"FN=Anna"}}},
        ReadCase{"FoldInsideName", "BEGIN:VCARD\r\nTE\r\n L;TYPE=work:1\r\nEND:VCARD\r\n", {{"TEL=1"}}},
        ReadCase{"QuotedPrintableSoftBreaks",
                 "BEGIN:VCARD\r\nNOTE;ENCODING=QUOTED-PRINTABLE:Zeile=0D=0Azwei=\r\nte H=C3=\r\n=A4lfte =3D=\r\n"
                 "\r\nEND:VCARD\r\n",
                 {{"NOTE=Zeile\r\nzweite Hälfte ="}}},
        ReadCase{"QuotedPrintableBareParameter", "BEGIN:VCARD\r\nFN;QUOTED-PRINTABLE;CHARSET=UTF-8:J=C3=BCrgen\r\nEND:VCARD",
                 {{"FN=Jürgen"}}},
        ReadCase{"QuotedPrintableLowerCase", "BEGIN:VCARD\r\nFN;encoding=quoted-printable:M=c3=bcller\r\nEND:VCARD",
                 {{"FN=Müller"}}},
        ReadCase{"QuotedPrintableBadEscapeKept", "BEGIN:VCARD\r\nFN;ENCODING=QUOTED-PRINTABLE:a=ZZb=4\r\nEND:VCARD",
                 {{"FN=a=ZZb=4"}}},
        // An exporter that ends its last quoted-printable line with "=" must not lose the card's end.
        ReadCase{"SoftBreakBeforeEnd",
                 "BEGIN:VCARD\r\nNOTE;ENCODING=QUOTED-PRINTABLE:abc=\r\nEND:VCARD\r\nBEGIN:VCARD\r\nFN:B\r\nEND:VCARD\r\n",
                 {{"NOTE=abc"}, {"FN=B"}}},
        ReadCase{"CharsetLatin1", "BEGIN:VCARD\r\nFN;CHARSET=ISO-8859-1;ENCODING=QUOTED-PRINTABLE:Sch=E4fer\r\nEND:VCARD",
                 {{"FN=Schäfer"}}},
        // Windows writes its code page under the Latin-1 name: 0x80 is the euro sign there.
        ReadCase{"CharsetLatin1FromWindows", "BEGIN:VCARD\r\nNOTE;CHARSET=ISO-8859-1;ENCODING=QUOTED-PRINTABLE:=80 =84a=93\r\nEND:VCARD",
                 {{"NOTE=€ „a“"}}},
        ReadCase{"CharsetWindows1252Raw", "BEGIN:VCARD\r\nNOTE;CHARSET=Windows-1252:50 \x80 \x84gut\x93\r\nEND:VCARD",
                 {{"NOTE=50 € „gut“"}}},
        ReadCase{"CharsetLatin9ByName", "BEGIN:VCARD\r\nNOTE;CHARSET=ISO-8859-15:50 \xA4\r\nEND:VCARD",
                 {{"NOTE=50 €"}}},
        ReadCase{"UnknownCharsetGuessed", "BEGIN:VCARD\r\nFN;CHARSET=X-NONSENSE:K\xC3\xB6ln\r\nEND:VCARD",
                 {{"FN=Köln"}}},
        ReadCase{"NoCharsetUtf8", "BEGIN:VCARD\r\nFN:K\xC3\xB6ln\r\nEND:VCARD", {{"FN=Köln"}}},
        ReadCase{"NoCharsetInvalidUtf8IsWindows1252", "BEGIN:VCARD\r\nFN:K\xF6ln \x80\r\nEND:VCARD", {{"FN=Köln €"}}},
        ReadCase{"DeclaredUtf8ButWindows1252", "BEGIN:VCARD\r\nFN;CHARSET=UTF-8:K\xF6ln\r\nEND:VCARD", {{"FN=Köln"}}},
        ReadCase{"ByteOrderMark", "\xEF\xBB\xBF" "BEGIN:VCARD\r\nFN:Anna\r\nEND:VCARD\r\n", {{"FN=Anna"}}},
        // Files joined with cat: each keeps its mark.
        ReadCase{"ByteOrderMarkAtAnyLine",
                 "\xEF\xBB\xBF" "BEGIN:VCARD\r\nFN:A\r\nEND:VCARD\r\n\xEF\xBB\xBF" "BEGIN:VCARD\r\nFN:B\r\n"
                 "END:VCARD\r\n\xEF\xBB\xBF" "BEGIN:VCARD\n\xEF\xBB\xBF" "item1.ADR:;;Weg 1\nEND:VCARD\n",
                 {{"FN=A"}, {"FN=B"}, {"item1.ADR=;;Weg 1"}}},
        // A CR LF written once more in text mode: no empty line between a line and its fold.
        ReadCase{"CrCrLfLineEnds",
                 "BEGIN:VCARD\r\r\nNOTE:eins\r\r\n zwei\r\r\nFN;ENCODING=QUOTED-PRINTABLE:J=C3=\r\r\n=BCrgen\r\r\n"
                 "END:VCARD\r\r\nBEGIN:VCARD\r\r\nFN:B\r\r\nEND:VCARD\r\r\n",
                 {{"NOTE=einszwei", "FN=Jürgen"}, {"FN=B"}}},
        ReadCase{"SoftBreakFollowedByBlanks",
                 "BEGIN:VCARD\r\nNOTE;ENCODING=QUOTED-PRINTABLE:zwei= \r\nte H=C3= \t\r\n=A4lfte =3D= \r\n"
                 "END:VCARD\r\nBEGIN:VCARD\r\nFN:B\r\nEND:VCARD\r\n",
                 {{"NOTE=zweite Hälfte ="}, {"FN=B"}}},
        // A UTC offset written without quotes keeps its colon; other colons still end the name.
        ReadCase{"ColonInsideUnquotedOffset",
                 "BEGIN:VCARD\r\nADR;TZ=+01:00:;;Weg 1;Wien;;1010;\r\nFN;X-TZ=-05:30,+01:00;TYPE=x:Anna\r\n"
                 "TEL;PREF=1:01:23\r\nNOTE;X-A=b:+01:00:\r\nEND:VCARD\r\n",
                 {{"ADR=;;Weg 1;Wien;;1010;", "FN=Anna", "TEL=01:23", "NOTE=+01:00:"}}},
        // Version 2.1 writes the agent's card on the lines after AGENT; 3.0 escapes it into the value.
        ReadCase{"AgentHoldsACard",
                 "BEGIN:VCARD\r\nVERSION:2.1\r\nFN:Chefin\r\nAGENT:\r\nBEGIN:VCARD\r\nVERSION:2.1\r\n"
                 "FN:Assistent\r\nAGENT:\r\nBEGIN:VCARD\r\nFN:Vertretung\r\nEND:VCARD\r\nEND:VCARD\r\nTEL:1\r\n"
                 "END:VCARD\r\nBEGIN:VCARD\r\nFN:B\r\nAGENT:BEGIN:VCARD\\nFN:C\\nEND:VCARD\r\nEND:VCARD\r\n",
                 {{"VERSION=2.1", "FN=Chefin", "AGENT=", "TEL=1"}, {"FN=B", "AGENT=BEGIN:VCARD\\nFN:C\\nEND:VCARD"}}},
        ReadCase{"Utf16WithMark", utf16le("BEGIN:VCARD\r\nFN;CHARSET=ISO-8859-1:Jörg\r\nEND:VCARD\r\n"), {{"FN=Jörg"}}},
        ReadCase{"GarbageBetweenCards",
                 "Kopfzeile\r\nFN:draussen\r\nBEGIN:VCARD\r\nFN:A\r\nkein Doppelpunkt\r\n:ohne Namen\r\nEND:VCARD\r\n"
                 "\r\n-- Trenner --\r\nTEL:0\r\nBEGIN:VCARD\r\nFN:B\r\nEND:VCARD\r\nnachher",
                 {{"FN=A"}, {"FN=B"}}},
        ReadCase{"GroupsAndLowerCaseNames",
                 "begin:vcard\nitem1.adr;type=HOME:;;Weg 1;Ort;;1;\nitem1.X-ABLabel:Ferienhaus\nend:vcard\n",
                 {{"item1.ADR=;;Weg 1;Ort;;1;", "item1.X-ABLABEL=Ferienhaus"}}},
        ReadCase{"ColonInsideQuotedParameter", "BEGIN:VCARD\r\nX-A;LABEL=\"a:b;c\":wert:mit:doppelpunkt\r\nEND:VCARD",
                 {{"X-A=wert:mit:doppelpunkt"}}},
        ReadCase{"EscapesStayInValue", "BEGIN:VCARD\r\nN:M\\;ller;Hans\\,Peter;;;\r\nEND:VCARD",
                 {{"N=M\\;ller;Hans\\,Peter;;;"}}},
        ReadCase{"PictureStaysBase64",
                 "BEGIN:VCARD\r\nPHOTO;ENCODING=BASE64;JPEG:/9j/4AAQ\r\n SkZJRg==\r\n\r\nFN:A\r\nEND:VCARD",
                 {{"PHOTO=/9j/4AAQSkZJRg==", "FN=A"}}},
        ReadCase{"CardWithoutEndKept", "BEGIN:VCARD\r\nFN:A\r\nEND:VCARD\r\nBEGIN:VCARD\r\nFN:B\r\nTEL:1", {{"FN=A"}, {"FN=B", "TEL=1"}}},
        ReadCase{"BeginInsideCardStartsAnother", "BEGIN:VCARD\r\nFN:A\r\nBEGIN:VCARD\r\nFN:B\r\nEND:VCARD\r\n",
                 {{"FN=A"}, {"FN=B"}}},
        ReadCase{"EndOfOtherObjectIgnored", "BEGIN:VCARD\r\nFN:A\r\nEND:VCALENDAR\r\nTEL:1\r\nEND:VCARD\r\n",
                 {{"FN=A", "TEL=1"}}},
        ReadCase{"Empty", "", {}},
        ReadCase{"OnlyGarbage", QByteArrayLiteral("\x00\xFF\r\n:\r\n;;;\r\n=\r\n"), {}}),
    [](const auto& info) { return std::string(info.param.name); });

// Parameters in the forms of 2.1, 3.0 and 4.0.
struct ParamCase
{
    const char* line;
    QStringList types; // each must be found by HasType
    int preference;
};

void PrintTo(const ParamCase& c, std::ostream* os) { *os << c.line; }

class VcardParamTable : public ::testing::TestWithParam<ParamCase>
{
};

TEST_P(VcardParamTable, TypesAndPreference)
{
    const std::vector<Vcard> cards =
        ReadVcards(QByteArray("BEGIN:VCARD\r\n") + GetParam().line + QByteArray("\r\nEND:VCARD\r\n"));
    ASSERT_EQ(cards.size(), 1u);
    ASSERT_EQ(cards[0].Properties.size(), 1u);
    const VcardProperty& p = cards[0].Properties[0];
    for (const QString& t : GetParam().types)
        EXPECT_TRUE(p.HasType(t)) << t.toStdString();
    EXPECT_FALSE(p.HasType(u"home"));
    EXPECT_EQ(p.Preference(), GetParam().preference);
}

INSTANTIATE_TEST_SUITE_P(Params, VcardParamTable,
                         ::testing::Values(ParamCase{"TEL;WORK;VOICE:1", {"work", "VOICE"}, 0},
                                           ParamCase{"TEL;CELL;PREF:1", {"cell"}, 1},
                                           ParamCase{"TEL;TYPE=work,voice;TYPE=pref:1", {"WORK", "voice"}, 1},
                                           ParamCase{"TEL;type=WORK;type=VOICE;type=pref:1", {"work", "voice"}, 1},
                                           ParamCase{"TEL;TYPE=\"work,fax\":1", {"work", "fax"}, 0},
                                           ParamCase{"TEL;VALUE=uri;PREF=2;TYPE=cell:tel:1", {"cell"}, 2},
                                           ParamCase{"EMAIL;PREF=7;PREF=3:a@b", {}, 3},
                                           ParamCase{"EMAIL;PREF=0;PREF=abc;PREF=101:a@b", {}, 0},
                                           ParamCase{"ADR;ENCODING=QUOTED-PRINTABLE;CHARSET=UTF-8;WORK:;;a", {"work"}, 0}));

TEST(VcardReader, ParameterValuesAndEncodingOfBareForms)
{
    const std::vector<Vcard> cards =
        ReadVcards("BEGIN:VCARD\r\nNOTE;QUOTED-PRINTABLE;CHARSET=ISO-8859-1;X-Leer=:=E4\r\nEND:VCARD\r\n");
    ASSERT_EQ(cards.size(), 1u);
    const VcardProperty& p = cards[0].Properties.at(0);
    EXPECT_EQ(p.Param(u"ENCODING"), QStringList{"QUOTED-PRINTABLE"});
    EXPECT_EQ(p.Param(u"CHARSET"), QStringList{"ISO-8859-1"});
    EXPECT_TRUE(p.Param(u"X-LEER").isEmpty());
    EXPECT_TRUE(p.Param(u"TYPE").isEmpty());
    EXPECT_EQ(p.Value, QStringLiteral("ä"));

    const std::vector<Vcard> offset = ReadVcards("BEGIN:VCARD\r\nADR;TZ=+01:00;TYPE=work:;;Weg 1\r\nEND:VCARD\r\n");
    ASSERT_EQ(offset.size(), 1u);
    EXPECT_EQ(offset[0].Properties.at(0).Param(u"TZ"), QStringList{"+01:00"});
    EXPECT_TRUE(offset[0].Properties.at(0).HasType(u"work"));
}

// Components and text with their escapes resolved.
TEST(VcardReader, ComponentsAndTextResolveEscapes)
{
    const struct
    {
        const char* value;
        QStringList components;
        QString text;
    } cases[] = {
        {"M\\;ller;Hans;;;", {"M;ller", "Hans", "", "", ""}, "M;ller;Hans;;;"},
        {"a\\nb\\Nc\\,d\\;e\\\\f\\:g", {"a\nb\nc,d;e\\f:g"}, "a\nb\nc,d;e\\f:g"},
        // An escaped backslash before a semicolon leaves the semicolon a separator.
        {";;Weg\\\\;Ort", {"", "", "Weg\\", "Ort"}, ";;Weg\\;Ort"},
        {"C:\\Daten\\alt", {"C:\\Daten\\alt"}, "C:\\Daten\\alt"},
        {"Ende\\", {"Ende\\"}, "Ende\\"},
        {"", {""}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        VcardProperty p;
        p.Value = QString::fromUtf8(c.value);
        EXPECT_EQ(p.Components(), c.components);
        EXPECT_EQ(p.Text(), c.text);
    }
}

TEST(VcardReader, FirstFindsTheFirstOfAName)
{
    const std::vector<Vcard> cards = ReadVcards("BEGIN:VCARD\r\nTEL:1\r\nFN:A\r\nTEL:2\r\nEND:VCARD\r\n");
    ASSERT_EQ(cards.size(), 1u);
    ASSERT_NE(cards[0].First(u"TEL"), nullptr);
    EXPECT_EQ(cards[0].First(u"TEL")->Value, QStringLiteral("1"));
    EXPECT_EQ(cards[0].First(u"ORG"), nullptr);
}

} // namespace
