#include "shell/IniFile.h"
#include "support/TempDir.h"

#include <QFile>
#include <gtest/gtest.h>

TEST(IniFile, SectionsAndKeysMatchWithoutCase)
{
    IniFile ini;
    ini.loadFromBytes("[Window]\r\nleft = 12\r\n[font]\r\nNAME=Times New Roman\r\n");
    EXPECT_EQ(ini.readInteger("WINDOW", "Left", 0), 12);
    EXPECT_EQ(ini.readString("FONT", "name", ""), "Times New Roman");
    EXPECT_EQ(ini.readString("FONT", "Missing", "def"), "def");
}

TEST(IniFile, IntegersAsTheProfileFunctionsReadThem)
{
    struct Case { const char* value; int expected; };
    const Case cases[] = {
        {"42", 42}, {"-7", -7}, {" 5 ", 5}, {"0x1F", 31}, {"0XfF", 255},
        {"abc", 99}, {"", 99}, {"12abc", 99}, {"99999999999", 99}, {"0x", 99},
        {"2147483647", 2147483647}, {"-2147483648", int(-2147483648LL)},
    };
    for (const Case& c : cases) {
        IniFile ini;
        ini.loadFromBytes(QByteArray("[S]\nK=") + c.value + "\n");
        EXPECT_EQ(ini.readInteger("S", "K", 99), c.expected) << c.value;
    }
}

TEST(IniFile, TextsAreCutAt2047Characters)
{
    IniFile ini;
    ini.loadFromBytes("[S]\nK=" + QByteArray(5000, 'x') + "\n");
    EXPECT_EQ(ini.readString("S", "K", "").size(), 2047);
}

TEST(IniFile, WritingKeepsUnknownKeysAndSectionsInPlace)
{
    IniFile ini;
    ini.loadFromBytes("; comment\r\n[Other]\r\nmine=1\r\n\r\n[WINDOW]\r\nLeft=1\r\nExtra=keep\r\n");
    ini.writeInteger("window", "left", 300);
    ini.writeInteger("WINDOW", "Top", 40);
    ini.writeString("NEW", "Key", "Wert ä");
    EXPECT_EQ(ini.toBytes(), QByteArray("; comment\r\n[Other]\r\nmine=1\r\n\r\n[WINDOW]\r\nleft=300\r\nExtra=keep\r\n"
                                        "Top=40\r\n[NEW]\r\nKey=Wert \xE4\r\n"));
}

TEST(IniFile, SavesInWindows1252AndReadsBack)
{
    TempDir dir;
    const QString path = dir.file("Tavisto.ini");
    IniFile ini;
    ini.writeString("FONT", "Name", "Schönschrift");
    ASSERT_TRUE(ini.save(path));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("[FONT]\r\nName=Sch\xF6nschrift\r\n"));
    EXPECT_EQ(IniFile(path).readString("font", "name", ""), "Schönschrift");
}

TEST(IniFile, SaveIntoAMissingFolderFailsAndLeavesNothing)
{
    TempDir dir;
    // A regular file where the folder must be: the write fails even as root.
    const QString blocker = dir.write("blocker", "x");
    IniFile ini;
    ini.writeInteger("S", "K", 1);
    EXPECT_FALSE(ini.save(blocker + "/Tavisto.ini"));
}

TEST(IniFile, BinaryGarbageReadsAsDefaults)
{
    QByteArray garbage;
    for (int i = 0; i < 4096; ++i)
        garbage.append(char((i * 7919) % 256));
    IniFile ini;
    ini.loadFromBytes(garbage);
    EXPECT_EQ(ini.readInteger("CONFIG", "Format", 2), 2);
    ini.writeInteger("CONFIG", "Format", 3);
    IniFile again;
    again.loadFromBytes(ini.toBytes());
    EXPECT_EQ(again.readInteger("CONFIG", "Format", 2), 3);
}
