#include "envelope/PackedAddresses.h"

#include <QList>
#include <gtest/gtest.h>

TEST(PackedAddresses, ReadsBackEveryAddressLineForLine)
{
    const QList<AddressLines> addresses{
        {"Herrn", "Jürgen Weiß", "", "80331 München", ""},
        {"", "", "", "", ""},
        {"Zoë", "€ 5"},
        {},
        {"Firma", "Ende"},
    };
    PackedAddresses packed;
    EXPECT_TRUE(packed.isEmpty());
    for (const AddressLines& a : addresses)
        packed << a;
    ASSERT_EQ(packed.size(), addresses.size());
    for (qsizetype i = 0; i < addresses.size(); ++i)
        EXPECT_EQ(packed[i], addresses[i]) << i;
    QList<AddressLines> iterated;
    for (const AddressLines& a : packed)
        iterated << a;
    EXPECT_EQ(iterated, addresses);
}
