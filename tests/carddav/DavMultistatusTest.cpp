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

} // namespace
