#include "store/GermanCollation.h"
#include "shell/Cp1252.h"
#include "support/StoreFixture.h"

#include <gtest/gtest.h>

namespace {

int compare(const char* a, const char* b)
{
    const QByteArray x = Cp1252::encode(QString::fromUtf8(a));
    const QByteArray y = Cp1252::encode(QString::fromUtf8(b));
    return GermanCollation::Compare(x.constData(), int(x.size()), y.constData(), int(y.size()));
}

} // namespace

TEST(GermanCollation, OrdersLikeAGermanDictionary)
{
    struct Case
    {
        const char* before;
        const char* after;
    };
    const Case ordered[] = {
        {"Ärztebedarf", "Zander"},     // Ä as A, not after Z
        {"Österreicher", "Zander"},    // Ö as O
        {"Arzt", "Ärztebedarf"},       // a shorter word first
        {"Bär", "Barth"},              // ä as a: "bar" before "barth"
        {"Maßmann", "Mast"},           // ß as ss: "mass" before "mast"
        {"Masse", "Maßmann"},
        {"Mueller", "Müller"},         // ü is u, not ue
        {"Muller", "Müller"},          // equal letters: the plain one first
        {"Müller", "müller"},          // equal letters: by their bytes, capital first
        {"von Berg", "Weber"},         // small letters do not go after the capitals
        {"abel", "Berta"},
        {"Übersee", "Ulm"},            // Ü as U
        {"Straße 1", "Straße 2"},
        {"", "A"},
        {"Æsop", "Aff"},               // Æ as ae
        {"Šimek", "Tal"},              // the other letters of the code page by their base letter
    };
    for (const Case& c : ordered) {
        EXPECT_LT(compare(c.before, c.after), 0) << c.before << " < " << c.after;
        EXPECT_GT(compare(c.after, c.before), 0) << c.after << " > " << c.before;
    }
    EXPECT_EQ(compare("Müller", "Müller"), 0);
    EXPECT_EQ(compare("", ""), 0);
}

using GermanCollationDb = StoreFixture;

// The order is known to every connection the program opens, under its name.
TEST_F(GermanCollationDb, SortsTheStoredBytesOnEveryConnection)
{
    const char* names[] = {"Zander", "Österreicher", "müller", "Ärztebedarf", "Müller", "Abel", "Maßmann", "Mast"};
    int n = 0;
    for (const char* name : names)
        db->ExecSQL("INSERT INTO tab_adressen (Adresse_ID, Gruppe_ID, Line1, Aktiv) VALUES (?, 'GR1', ?, 1)",
                    {QStringLiteral("AD%1").arg(++n, 8, 10, QLatin1Char('0')), QString::fromUtf8(name)});
    QStringList sorted;
    for (TSQLiteTable t = db->GetTable("SELECT Line1 FROM tab_adressen\r\n" + GermanCollation::OrderByLine(1)); !t.Eof();
         t.Next())
        sorted << t.FieldAsString(0);
    EXPECT_EQ(sorted, (QStringList{"Abel", "Ärztebedarf", "Maßmann", "Mast", "Müller", "müller", "Österreicher", "Zander"}));
}
