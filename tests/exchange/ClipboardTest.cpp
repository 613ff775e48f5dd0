#include "ExchangeFixture.h"

#include "exchange/ClipboardCopy.h"

#include <QClipboard>

namespace {

TEST_F(ExchangeTest, ClipboardGetsOnlyNonBlankLinesOneToFive)
{
    addAbsender("AB00000001", {"Firma", " ", " Straße 1", "", "12345 Köln"});
    db().ExecSQL("INSERT INTO tab_banner VALUES ('BN00000001', 'AB00000001', x'FF')");
    addGruppe("GR00000001", "Kunden");
    addAdresse("AD00000001", "GR00000001", {"Herrn", "Max Muster", "", "Weg 2", "", "Muster Max"}, 0);
    addDaten("DA00000001", "AD00000001", {"0221 123", "", "", "max@example.org"});

    CopyAbsenderToClipboard(ctx, "AB00000001");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("Firma\r\n Straße 1\r\n12345 Köln\r\n"));
    CopyAdresseToClipboard(ctx, "AD00000001");
    // Neither the sort name, nor the active mark, nor the telephone or mail.
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("Herrn\r\nMax Muster\r\nWeg 2\r\n"));
    EXPECT_EQ(messages.texts(), (QStringList{"Die Absenderdaten wurden in die Zwischenablage kopiert.",
                                             "Die Adressdaten wurden in die Zwischenablage kopiert."}));
    EXPECT_EQ(messages.shown.value(1).kind, Msg::Information);
}

TEST_F(ExchangeTest, ClipboardKeepsNonBreakingSpacesAndDropsControlCharacters)
{
    addAbsender("AB00000001", {"Firma", QStringLiteral("\u00a0"), QStringLiteral("\u0001\u0007"), QStringLiteral("\u00a0 \u00a0"),
                               QStringLiteral("\t\u001f ")});
    CopyAbsenderToClipboard(ctx, "AB00000001");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("Firma\r\n\u00a0\r\n\u00a0 \u00a0\r\n"));
}

TEST_F(ExchangeTest, ClipboardCopyWithoutSelectionDoesNothing)
{
    QGuiApplication::clipboard()->setText(QStringLiteral("vorher"));
    CopyAbsenderToClipboard(ctx, QString());
    CopyAdresseToClipboard(ctx, QString());
    CopyAdresseToClipboard(ctx, "AD00000404");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("vorher"));
    EXPECT_TRUE(messages.shown.isEmpty());
}

} // namespace
