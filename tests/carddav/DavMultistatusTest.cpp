#include "carddav/DavMultistatus.h"

#include <gtest/gtest.h>

namespace {

TEST(DavMultistatusTest, NamesAreTheirNamespacesWhateverThePrefix)
{
    // Xandikos writes ns0:, Radicale a default namespace, others D: and a default CardDAV one.
    const QByteArray answers[] = {
        "<ns0:multistatus xmlns:ns0=\"DAV:\" xmlns:ns2=\"urn:ietf:params:xml:ns:carddav\"><ns0:response>"
        "<ns0:href>/b/</ns0:href><ns0:propstat><ns0:status>HTTP/1.1 200 OK</ns0:status><ns0:prop>"
        "<ns0:resourcetype><ns0:collection /><ns2:addressbook /></ns0:resourcetype>"
        "<ns0:displayname>Büro</ns0:displayname></ns0:prop></ns0:propstat></ns0:response></ns0:multistatus>",
        "<?xml version='1.0' encoding='utf-8'?><multistatus xmlns=\"DAV:\" xmlns:CR=\"urn:ietf:params:xml:ns:carddav\">"
        "<response><href>/b/</href><propstat><prop><resourcetype><CR:addressbook /><collection /></resourcetype>"
        "<displayname>Büro</displayname></prop><status>HTTP/1.1 200 OK</status></propstat></response></multistatus>",
        "<D:multistatus xmlns:D=\"DAV:\"><D:response><D:href>/b/</D:href><D:propstat><D:prop>"
        "<D:resourcetype><D:collection/><addressbook xmlns=\"urn:ietf:params:xml:ns:carddav\"/></D:resourcetype>"
        "<D:displayname>B&#252;ro</D:displayname></D:prop><D:status>HTTP/1.1 200 OK</D:status></D:propstat>"
        "</D:response></D:multistatus>",
    };
    for (const QByteArray& xml : answers) {
        const DavMultistatus m = ParseMultistatus(xml);
        ASSERT_TRUE(m.Valid) << xml.constData();
        ASSERT_EQ(m.Responses.size(), 1u);
        const DavResponse& r = m.Responses.front();
        EXPECT_EQ(r.Href, "/b/");
        EXPECT_EQ(r.Text(kDavNs, u"displayname"), "Büro");
        const DavProperty* type = r.Prop(kDavNs, u"resourcetype");
        ASSERT_TRUE(type);
        EXPECT_TRUE(type->Children.contains(DavName(kCarddavNs, u"addressbook")));
        EXPECT_TRUE(type->Children.contains(DavName(kDavNs, u"collection")));
    }
}

TEST(DavMultistatusTest, AWrongNamespaceIsAnotherElement)
{
    // "displayname" in no namespace, "addressbook" in DAV: are not what a client asked for.
    const DavMultistatus m = ParseMultistatus(
        "<multistatus xmlns=\"DAV:\"><response><href>/b/</href><propstat><prop>"
        "<displayname xmlns=\"\">X</displayname><resourcetype><addressbook/></resourcetype></prop>"
        "<status>HTTP/1.1 200 OK</status></propstat></response></multistatus>");
    ASSERT_TRUE(m.Valid);
    EXPECT_EQ(m.Responses.front().Text(kDavNs, u"displayname"), "");
    EXPECT_FALSE(m.Responses.front().Prop(kDavNs, u"resourcetype")->Children.contains(DavName(kCarddavNs, u"addressbook")));
}

TEST(DavMultistatusTest, SyncReportWithRemovedMembersHrefsAndCards)
{
    const DavMultistatus m = ParseMultistatus(
        "<d:multistatus xmlns:d=\"DAV:\" xmlns:c=\"urn:ietf:params:xml:ns:carddav\">"
        "<d:response><d:href>/b/a.vcf</d:href><d:propstat><d:prop><d:getetag>\"1\"</d:getetag>"
        "<c:address-data><![CDATA[BEGIN:VCARD\r\nFN:A & B\r\nEND:VCARD\r\n]]></c:address-data></d:prop>"
        "<d:status>HTTP/1.1 200 OK</d:status></d:propstat>"
        "<d:propstat><d:prop><x:unknown xmlns:x=\"urn:x\"/></d:prop><d:status>HTTP/1.1 404 Not Found</d:status>"
        "</d:propstat></d:response>"
        "<d:response><d:href>/b/weg.vcf</d:href><d:status>HTTP/1.1 404 Not Found</d:status></d:response>"
        "<d:sync-token>http://example.org/sync/7</d:sync-token>"
        "<d:response><d:href>/p/</d:href><d:propstat><d:prop><d:current-user-principal>"
        "<d:href> /principals/anna/ </d:href></d:current-user-principal></d:prop>"
        "<d:status>HTTP/1.1 200 OK</d:status></d:propstat></d:response>"
        "</d:multistatus>");
    ASSERT_TRUE(m.Valid);
    EXPECT_EQ(m.SyncToken, "http://example.org/sync/7");
    ASSERT_EQ(m.Responses.size(), 3u);
    EXPECT_EQ(m.Responses[0].Text(kDavNs, u"getetag"), "\"1\"");
    // XML reads every line end as LF, inside CDATA too; the vCard reader takes either.
    EXPECT_EQ(m.Responses[0].Text(kCarddavNs, u"address-data"), "BEGIN:VCARD\nFN:A & B\nEND:VCARD");
    // A property in a 404 propstat is not there.
    EXPECT_EQ(m.Responses[0].Props.size(), 2);
    EXPECT_EQ(m.Responses[1].Status, 404);
    EXPECT_TRUE(m.Responses[1].Props.isEmpty());
    EXPECT_EQ(m.Responses[2].Prop(kDavNs, u"current-user-principal")->Hrefs, QStringList{"/principals/anna/"});
}

TEST(DavMultistatusTest, WhatIsNoMultistatusIsRefusedWhole)
{
    const QByteArray broken[] = {
        "",
        "<html><body>Not Found</body></html>",
        "<multistatus><response/></multistatus>", // no namespace: not DAV
        "<d:multistatus xmlns:d=\"DAV:\"><d:response><d:href>/a</d:href></d:response>", // cut off
        "<d:multistatus xmlns:d=\"DAV:\"><d:response><d:href>/a</d:href></d:respons></d:multistatus>",
        "<d:multistatus xmlns:d=\"DAV:\"></d:multistatus><second/>",
        "<!DOCTYPE d [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">"
        "<!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\"><!ENTITY e \"&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;\">"
        "<!ENTITY f \"&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;\"><!ENTITY g \"&f;&f;&f;&f;&f;&f;&f;&f;&f;&f;\">]>"
        "<d:multistatus xmlns:d=\"DAV:\"><d:response><d:href>&g;&g;&g;&g;&g;&g;&g;&g;</d:href></d:response>"
        "</d:multistatus>",
    };
    for (const QByteArray& xml : broken) {
        const DavMultistatus m = ParseMultistatus(xml);
        EXPECT_FALSE(m.Valid) << xml.constData();
        EXPECT_TRUE(m.Responses.empty());
    }
}

TEST(DavMultistatusTest, StatusLines)
{
    const std::pair<const char*, int> cases[] = {{"HTTP/1.1 200 OK", 200},       {" HTTP/1.1 404 Not Found ", 404},
                                                 {"HTTP/1.1 207", 207},          {"HTTP/1.1 abc", 0},
                                                 {"", 0},                       {"HTTP/1.1 99999 X", 0}};
    for (const auto& [line, code] : cases)
        EXPECT_EQ(ParseStatusLine(QString::fromLatin1(line)), code) << line;
}

// What a multistatus reads as, for comparing two reads.
QStringList described(const DavMultistatus& m)
{
    QStringList lines{m.Valid ? "valid" : "invalid", m.SyncToken};
    for (const DavResponse& r : m.Responses) {
        lines << r.Href + " " + QString::number(r.Status);
        for (const DavProperty& p : r.Props)
            lines << p.Name + "=" + p.Text + "|" + p.Hrefs.join(",") + "|" + p.Children.join(",");
    }
    return lines;
}

DavMultistatus readInPieces(const QByteArray& xml, int size)
{
    DavMultistatus m;
    DavMultistatusReader reader([&m](DavResponse&& r) { m.Responses.push_back(std::move(r)); });
    bool ok = true;
    for (qsizetype at = 0; ok && at < xml.size(); at += size)
        ok = reader.AddData(xml.mid(at, size));
    m.Valid = ok && reader.Finish();
    if (m.Valid)
        m.SyncToken = reader.SyncToken();
    else
        m.Responses.clear();
    return m;
}

TEST(DavMultistatusTest, AnAnswerReadInPiecesOfAnySizeReadsAsTheWhole)
{
    const QByteArray answers[] = {
        "<?xml version='1.0' encoding='utf-8'?>\n<ns0:multistatus xmlns:ns0=\"DAV:\" "
        "xmlns:ns1=\"urn:ietf:params:xml:ns:carddav\"><ns0:response><ns0:href>/b/</ns0:href><ns0:propstat>"
        "<ns0:status>HTTP/1.1 200 OK</ns0:status><ns0:prop><ns0:getetag>\"0647\"</ns0:getetag></ns0:prop>"
        "</ns0:propstat><ns0:propstat><ns0:status>HTTP/1.1 404 Not Found</ns0:status><ns0:prop><ns1:address-data />"
        "</ns0:prop></ns0:propstat></ns0:response><ns0:response><ns0:href>/b/k%C3%B6ln.vcf</ns0:href><ns0:propstat>"
        "<ns0:status>HTTP/1.1 200 OK</ns0:status><ns0:prop><ns0:getetag>\"4846\"</ns0:getetag><ns1:address-data>"
        "BEGIN:VCARD\nVERSION:3.0\nN:M\xc3\xbcller;J\xc3\xb6rg;;;\nFN:J\xc3\xb6rg &amp; M\xc3\xbcller\nEND:VCARD\n"
        "</ns1:address-data></ns0:prop></ns0:propstat></ns0:response></ns0:multistatus>\n",
        "<d:multistatus xmlns:d=\"DAV:\"><d:response><d:href>/b/</d:href><d:status>HTTP/1.1 507 Insufficient "
        "Storage</d:status><d:error><d:number-of-matches-within-limits/></d:error></d:response>"
        "<d:sync-token>http://example.org/sync/7</d:sync-token><d:response><d:href>/p/</d:href><d:propstat>"
        "<d:prop><d:current-user-principal><d:href> /principals/anna/ </d:href></d:current-user-principal>"
        "<d:resourcetype><d:collection/><x:y xmlns:x=\"urn:x\">z</x:y></d:resourcetype></d:prop>"
        "<d:status>HTTP/1.1 200 OK</d:status></d:propstat></d:response></d:multistatus>",
        // cut off, wrongly nested, followed by more
        "<d:multistatus xmlns:d=\"DAV:\"><d:response><d:href>/a</d:href></d:response>",
        "<d:multistatus xmlns:d=\"DAV:\"><d:response><d:href>/a</d:href></d:respons></d:multistatus>",
        "<d:multistatus xmlns:d=\"DAV:\"></d:multistatus><second/>",
        "<d:multistatus xmlns:d=\"DAV:\"></d:multistatus><sec",
    };
    for (const QByteArray& xml : answers) {
        const QStringList whole = described(ParseMultistatus(xml));
        for (int size = 1; size <= 9; ++size)
            EXPECT_EQ(described(readInPieces(xml, size)), whole) << size << " " << xml.constData();
    }
    const DavMultistatus first = ParseMultistatus(answers[0]);
    ASSERT_EQ(first.Responses.size(), 2u);
    EXPECT_TRUE(first.Responses[1].Text(kCarddavNs, u"address-data").contains(u"FN:Jörg & Müller"));
    EXPECT_FALSE(first.Responses[0].Prop(kCarddavNs, u"address-data"));
    EXPECT_EQ(ParseMultistatus(answers[1]).Responses.front().Status, 507);
    EXPECT_FALSE(ParseMultistatus(answers[5]).Valid);
}

TEST(DavMultistatusTest, EachResponseIsHandedOverWhenItsEndHasArrived)
{
    QStringList hrefs;
    DavMultistatusReader reader([&](DavResponse&& r) { hrefs << r.Href; });
    EXPECT_TRUE(reader.AddData("<d:multistatus xmlns:d=\"DAV:\"><d:response><d:href>/a</d:href></d:resp"));
    EXPECT_TRUE(hrefs.isEmpty());
    EXPECT_TRUE(reader.AddData("onse><d:response><d:href>/b"));
    EXPECT_EQ(hrefs, QStringList{"/a"});
    EXPECT_FALSE(reader.Finish());
    EXPECT_TRUE(reader.AddData("</d:href></d:response></d:multistatus>\r\n"));
    EXPECT_EQ(hrefs, (QStringList{"/a", "/b"}));
    EXPECT_TRUE(reader.AddData("  \n"));
    EXPECT_TRUE(reader.Finish());
    EXPECT_FALSE(reader.AddData("<more/>"));
    EXPECT_FALSE(reader.Finish());
}

} // namespace
