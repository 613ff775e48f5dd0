#include "LabelFixtures.h"
#include "labels/MoCatalog.h"
#include "labels/TForm_Etiketten.h"
#include "support/OutputTestContext.h"
#include "support/TempDir.h"

#include <QFile>
#include <QListWidget>
#include <QProcess>

#include <gtest/gtest.h>

namespace {

// A catalogue compiled by GNU msgfmt from a .po text.
QByteArray compiled(const TempDir& dir, const QByteArray& po, const QStringList& options = {})
{
    const QString source = dir.write(QStringLiteral("t.po"), po);
    const QString target = dir.file(QStringLiteral("t.mo"));
    QProcess msgfmt;
    msgfmt.start(QStringLiteral("msgfmt"), QStringList(options) << QStringLiteral("-o") << target << source);
    EXPECT_TRUE(msgfmt.waitForFinished(30000));
    EXPECT_EQ(msgfmt.exitCode(), 0) << msgfmt.readAllStandardError().toStdString();
    QFile f(target);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

// A little-endian catalogue of the pairs, laid out as msgfmt lays it out (header, the
// two tables, then the strings each followed by a zero byte), without a hash table.
// sameString: every entry names the first pair's strings instead of its own.
QByteArray handMade(const QList<std::pair<QByteArray, QByteArray>>& pairs, bool sameString = false)
{
    auto word = [](QByteArray& out, quint32 v) {
        for (int i = 0; i < 4; ++i)
            out += char((v >> (8 * i)) & 0xff);
    };
    const quint32 n = quint32(pairs.size());
    const quint32 originals = 28, translations = originals + 8 * n;
    QByteArray head, strings;
    word(head, 0x950412de);
    word(head, 0);
    word(head, n);
    word(head, originals);
    word(head, translations);
    word(head, 0);
    word(head, translations + 8 * n);
    QByteArray idTable, textTable;
    const quint32 stringsAt = translations + 8 * n;
    for (const auto& [id, text] : pairs) {
        const auto& [firstId, firstText] = pairs.first();
        const bool own = !sameString || strings.isEmpty();
        const QByteArray& idBytes = own ? id : firstId;
        const QByteArray& textBytes = own ? text : firstText;
        const quint32 idAt = own ? stringsAt + quint32(strings.size()) : stringsAt;
        if (own)
            strings += idBytes + '\0';
        const quint32 textAt = own ? stringsAt + quint32(strings.size()) : stringsAt + quint32(firstId.size()) + 1;
        if (own)
            strings += textBytes + '\0';
        word(idTable, quint32(idBytes.size()));
        word(idTable, idAt);
        word(textTable, quint32(textBytes.size()));
        word(textTable, textAt);
    }
    return head + idTable + textTable + strings;
}

TEST(LabelDescriptions, TheDistributionsGermanCatalogueNamesTheProducts)
{
    // The catalogue glabels-data installs, read from the system's data folders.
    const QString file = GermanCatalogFile("glabels-3.0", {"/usr/local/share", "/usr/share"});
    ASSERT_EQ(file, "/usr/share/locale/de/LC_MESSAGES/glabels-3.0.mo") << "glabels-data is not installed";
    EXPECT_FALSE(LabelDescriptionsCatalog().isEmpty());

    const struct
    {
        const char* product;
        const char* description;
    } cases[] = {
        {"Zweckform 3475", "Adressaufkleber"},  // "Address Labels"
        {"Avery 5160", "Adressaufkleber"},      // Letter, the same text
        {"Avery L7163", "Adressaufkleber"},     // sold as the same sheet as 7163
        {"Poundland 30", "Labels"},             // no translation: as the maker wrote it
    };
    for (const auto& c : cases)
        EXPECT_EQ(InstalledTemplate(c.product).Description, QString::fromUtf8(c.description)) << c.product;

    // The window lists and searches them in German.
    OutputTestContext t;
    TForm_Etiketten w(t.ctx, InstalledCatalog(), {}, {}, {});
    auto* list = w.findChild<QListWidget*>("ListBox_Vorlagen");
    bool shown = false;
    for (int i = 0; i < list->count(); ++i)
        shown = shown || list->item(i)->text() == QStringLiteral("Zweckform 3475 – Adressaufkleber");
    EXPECT_TRUE(shown);
    EXPECT_FALSE(InstalledCatalog().Search("Zweckform", "Adressaufkleber").isEmpty());
}

TEST(LabelDescriptions, CataloguesAsMsgfmtWritesThem)
{
    TempDir dir;
    const QByteArray po = "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=UTF-8\\n\"\n\n"
                          "msgid \"Address Labels\"\nmsgstr \"Adressaufkleber\"\n\n"
                          "msgid \"Round labels\"\nmsgstr \"Runde Etiketten für Gläser\"\n\n"
                          "msgid \"Untranslated\"\nmsgstr \"\"\n\n"
                          "msgid \"%d label\"\nmsgid_plural \"%d labels\"\nmsgstr[0] \"%d Etikett\"\n"
                          "msgstr[1] \"%d Etiketten\"\n\n"
                          "msgctxt \"Brand\"\nmsgid \"Any\"\nmsgstr \"Alle\"\n";
    for (const QStringList& options : {QStringList{}, QStringList{"--endianness=big"}}) {
        const MoCatalog c = MoCatalog::FromBytes(compiled(dir, po, options));
        const std::string which = options.join(' ').toStdString();
        EXPECT_EQ(c.Translate("Address Labels"), "Adressaufkleber") << which;
        EXPECT_EQ(c.Translate("Round labels"), "Runde Etiketten für Gläser") << which;
        EXPECT_EQ(c.Translate("Untranslated"), "Untranslated") << which;
        EXPECT_EQ(c.Translate("Not in it"), "Not in it") << which;
        EXPECT_EQ(c.Translate("%d label"), "%d Etikett") << which;
        // A text with a context is no plain message.
        EXPECT_EQ(c.Translate("Any"), "Any") << which;
    }

    // Another charset is decoded as the header names it.
    const QByteArray latin1 = QByteArray("msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=ISO-8859-1\\n\"\n\n"
                                         "msgid \"Square labels\"\nmsgstr \"Quadratische Etiketten \xe4\xf6\xfc\"\n");
    EXPECT_EQ(MoCatalog::FromBytes(compiled(dir, latin1)).Translate("Square labels"), "Quadratische Etiketten äöü");
}

// Found by the fuzzer: a translation ending in half a UTF-8 sequence came back empty (the
// decoder kept the byte for the next translation, which it then spoilt).
TEST(LabelDescriptions, ATranslationThatDoesNotDecodeLeavesTheMessageAndSpoilsNoOther)
{
    const QByteArray header = "Content-Type: text/plain; charset=UTF-8\n";
    const MoCatalog c = MoCatalog::FromBytes(handMade({{"", header},
                                                       {"Address Labels", "Adressaufkleber\xc3"},
                                                       {"Apples", "\xc3\x84pfel"},
                                                       {"Broken", "\xc2"},
                                                       {"Round labels", "Runde Etiketten"}}));
    ASSERT_FALSE(c.isEmpty());
    EXPECT_EQ(c.Translate("Address Labels"), "Address Labels");
    EXPECT_EQ(c.Translate("Apples"), "Äpfel");
    EXPECT_EQ(c.Translate("Broken"), "Broken");
    EXPECT_EQ(c.Translate("Round labels"), "Runde Etiketten");
    // The same in a charset of one byte per character, which never breaks.
    const MoCatalog latin1 = MoCatalog::FromBytes(
        handMade({{"", "Content-Type: text/plain; charset=ISO-8859-1\n"}, {"Apples", "\xc4pfel\xc3"}}));
    EXPECT_EQ(latin1.Translate("Apples"), "ÄpfelÃ");
}

// Entries that name the same bytes again and again would make a small file take
// gigabytes (8,000 entries of a 64 KB file, each naming the whole file). msgfmt writes
// every string once.
TEST(LabelDescriptions, EntriesSharingTheirStringsOverAndOverAreNoCatalogue)
{
    QList<std::pair<QByteArray, QByteArray>> pairs{{"Address Labels", QByteArray(4000, 'x')}};
    for (int i = 0; i < 200; ++i)
        pairs.append(std::pair<QByteArray, QByteArray>());
    EXPECT_TRUE(MoCatalog::FromBytes(handMade(pairs, true)).isEmpty());
    // Shared a few times it is still read.
    EXPECT_EQ(MoCatalog::FromBytes(handMade(pairs.mid(0, 3), true)).Translate("Address Labels"),
              QString(4000, u'x'));
}

TEST(LabelDescriptions, ABrokenCatalogueTranslatesNothing)
{
    TempDir dir;
    const QByteArray good = compiled(dir, "msgid \"Address Labels\"\nmsgstr \"Adressaufkleber\"\n");
    ASSERT_FALSE(MoCatalog::FromBytes(good).isEmpty());

    QByteArray wrongMagic = good;
    wrongMagic[0] = 'X';
    QByteArray offsetPastTheEnd = good;
    offsetPastTheEnd[16 + 0] = char(0xff);  // the translations' table beyond the file
    offsetPastTheEnd[16 + 3] = char(0x7f);
    QByteArray countTooLarge = good;
    countTooLarge[8 + 3] = char(0x7f);
    const QByteArray cases[] = {QByteArray(), QByteArray("\xde\x12\x04"), good.left(good.size() / 2), wrongMagic,
                                offsetPastTheEnd, countTooLarge};
    for (const QByteArray& bytes : cases) {
        const MoCatalog c = MoCatalog::FromBytes(bytes);
        EXPECT_TRUE(c.isEmpty()) << bytes.size();
        EXPECT_EQ(c.Translate("Address Labels"), "Address Labels");
    }
    EXPECT_TRUE(MoCatalog::FromFile(dir.file("missing.mo")).isEmpty());

    // A catalogue that is missing or broken leaves the products in English.
    dir.write("t-templates.xml", R"(<Glabels-templates><Template brand="T" part="1" size="A4" _description="Address Labels">
<Label-rectangle width="20mm" height="10mm"><Layout nx="1" ny="1" x0="0" y0="0"/></Label-rectangle></Template>
</Glabels-templates>)");
    EXPECT_EQ(LoadLabelCatalog({dir.path()}, MoCatalog::FromBytes(wrongMagic)).Templates.value(0).Description,
              "Address Labels");
    EXPECT_EQ(LoadLabelCatalog({dir.path()}, MoCatalog::FromBytes(good)).Templates.value(0).Description,
              "Adressaufkleber");
}

} // namespace
