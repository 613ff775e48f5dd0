#include "shell/IniFile.h"
#include "shell/Settings.h"

#include <functional>
#include <gtest/gtest.h>

namespace {

const QSize kScreen(1920, 1080);

AppSettings load(const QByteArray& file, QSize screen = kScreen, PrinterFacts printers = {2, 1},
                 int* warnings = nullptr)
{
    IniFile ini;
    ini.loadFromBytes(file);
    return LoadSettings(ini, screen, printers, [warnings] {
        if (warnings)
            ++*warnings;
    });
}

} // namespace

TEST(Settings, DefaultsWithoutAFile)
{
    const AppSettings s = load("");
    const WindowSettings& w = s.Window;
    EXPECT_EQ(w.Left, 460);
    EXPECT_EQ(w.Top, 170);
    EXPECT_EQ(w.Width, 1000);
    EXPECT_EQ(w.Height, 710);
    EXPECT_FALSE(w.Maximized);
    EXPECT_EQ(w.SplitterAdressen, 370);
    EXPECT_EQ(w.SplitterGruppen, 220);
    EXPECT_TRUE(w.HideNameColumn);
    PrintSettings expected;
    expected.PrinterIndex = 1; // the printer selected at start
    EXPECT_EQ(s.Print, expected);
    EXPECT_EQ(s.Print.FormatIndex, 2);
    EXPECT_EQ(s.Print.Orientation, 1);
    EXPECT_EQ(s.Print.FontName, "Arial");
    EXPECT_TRUE(s.ShowNews);
}

// Each row: one key in the file and what it becomes in memory.
TEST(Settings, LoadTimeRules)
{
    struct Case
    {
        const char* file;
        std::function<int(const AppSettings&)> field;
        int expected;
    };
    const Case cases[] = {
        {"[FONT]\nSize1=11", [](auto& s) { return s.Print.SenderFontSize; }, 14},
        {"[FONT]\nSize1=24", [](auto& s) { return s.Print.SenderFontSize; }, 24},
        {"[FONT]\nSize2=9", [](auto& s) { return s.Print.AddressFontSize; }, 18},
        {"[DPI]\nFactor=0", [](auto& s) { return s.Print.DpiFactor; }, 10},
        {"[DPI]\nFactor=3", [](auto& s) { return s.Print.DpiFactor; }, 3},
        {"[DRUCKEN]\nBreakCount=25", [](auto& s) { return s.Print.BreakCount; }, 10},
        {"[DRUCKEN]\nBreakCount=40", [](auto& s) { return s.Print.BreakCount; }, 40},
        {"[CONFIG]\nDirect=2", [](auto& s) { return s.Print.Orientation; }, 1},
        {"[CONFIG]\nDirect=0", [](auto& s) { return s.Print.Orientation; }, 0},
        {"[CONFIG]\nAlign=-1", [](auto& s) { return s.Print.Alignment; }, 1},
        {"[CONFIG]\nFormat=12", [](auto& s) { return s.Print.FormatIndex; }, 12},
        {"[CONFIG]\nDrucker=7", [](auto& s) { return s.Print.PrinterIndex; }, 7},
        {"[ADRESSEN]\nMoveSpace=11", [](auto& s) { return s.Print.MoveSpace; }, 1},
        {"[ADRESSEN]\nMoveMode=3", [](auto& s) { return s.Print.MoveMode; }, 3},
        {"[SENDER]\nSpaceX=7", [](auto& s) { return s.Print.SpaceX; }, 7},
        {"[ABSENDER]\nSpalte3=40", [](auto& s) { return s.Window.AbsenderColumns[2]; }, 100},
        {"[ADRESSEN]\nSpalte6=-1", [](auto& s) { return s.Window.AdressenColumns[5]; }, 100},
        {"[ADRESSEN]\nSpalte2=250", [](auto& s) { return s.Window.AdressenColumns[1]; }, 250},
        {"[WINDOW]\nLeft=-50", [](auto& s) { return s.Window.Left; }, 0},
        {"[WINDOW]\nWidth=300", [](auto& s) { return s.Window.Width; }, 800},
        {"[WINDOW]\nHeight=200", [](auto& s) { return s.Window.Height; }, 500},
        {"[WINDOW]\nLeft=99999999999999", [](auto& s) { return s.Window.Left; }, 460},
        {"[SNAPPER]\nAdressen=1", [](auto& s) { return int(s.Window.OptionsCollapsed); }, 1},
        {"[DRUCKEN]\nSwap=5", [](auto& s) { return int(s.Print.Swap); }, 1},
        {"[HELP]\nScreen=0", [](auto& s) { return int(s.ShowNews); }, 0},
        {"[SPALTE]\nName=0", [](auto& s) { return int(s.Window.HideNameColumn); }, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.field(load(c.file)), c.expected) << c.file;
}

TEST(Settings, BlankFontNameBecomesArial)
{
    EXPECT_EQ(load("[FONT]\nName=   \n").Print.FontName, "Arial");
    EXPECT_EQ(load("[FONT]\nName=Liberation Serif\n").Print.FontName, "Liberation Serif");
}

TEST(Settings, NarrowScreenPutsTheWindowAtTheLeftEdge)
{
    EXPECT_EQ(load("", QSize(800, 600)).Window.Left, 0);
}

TEST(Settings, NoPrinterWarnsAndFallsBackToMinusOne)
{
    int warnings = 0;
    EXPECT_EQ(load("", kScreen, {0, -1}, &warnings).Print.PrinterIndex, -1);
    EXPECT_EQ(warnings, 1);
    warnings = 0;
    load("", kScreen, {1, 0}, &warnings);
    EXPECT_EQ(warnings, 0);
}

TEST(Settings, SaveThenLoadGivesTheSameValues)
{
    AppSettings s = load("");
    s.Print.FontName = "Liberation Serif";
    s.Print.Swap = true;
    s.Print.BreakCount = 30;
    s.Window.Left = 12;
    s.Window.AbsenderColumns = {101, 102, 103, 104, 105};
    s.BackupPath = "/tmp/Sicherung ä/";
    s.BackupDate = "09.12.2026 23:59";
    s.Labels = {"Avery L7163", 2, 12};
    IniFile ini;
    SaveSettings(ini, s);
    IniFile again;
    again.loadFromBytes(ini.toBytes());
    const AppSettings back = LoadSettings(again, kScreen, {2, 1}, {});
    EXPECT_EQ(back.Print, s.Print);
    EXPECT_EQ(back.Window, s.Window);
    EXPECT_EQ(back.BackupPath, s.BackupPath);
    EXPECT_EQ(back.BackupDate, s.BackupDate);
    EXPECT_EQ(back.Labels, s.Labels);
}

TEST(Settings, LabelChoicesOutOfRangeFallBack)
{
    const struct
    {
        const char* file;
        LabelSettings expected;
    } cases[] = {
        {"", {"", 0, 1}},
        {"[ETIKETTEN]\r\nVorlage=Zweckform 3475\r\nInhalt=1\r\nKopien=30\r\n", {"Zweckform 3475", 1, 30}},
        {"[etiketten]\r\nInhalt=3\r\nKopien=0\r\n", {"", 0, 1}},
        {"[ETIKETTEN]\r\nInhalt=-1\r\nKopien=5000\r\n", {"", 0, 999}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(load(c.file).Labels, c.expected) << c.file;
}

TEST(Settings, NewFileHasTheSectionsInOrder)
{
    IniFile ini;
    SaveSettings(ini, load(""));
    const QString text = QString::fromLatin1(ini.toBytes());
    const char* order[] = {"[WINDOW]", "[SPLITTER]", "[SNAPPER]", "[CONFIG]", "[FONT]", "[DPI]", "[SENDER]",
                           "[DRUCKEN]", "[ADRESSEN]", "[HELP]", "[ABSENDER]", "[SPALTE]", "[BACKUP]", "[ETIKETTEN]"};
    qsizetype last = -1;
    for (const char* section : order) {
        const qsizetype at = text.indexOf(QLatin1String(section));
        EXPECT_GT(at, last) << section;
        last = at;
    }
}

TEST(Settings, MaximisedSaveKeepsTheOldBoundsAndOtherKeys)
{
    IniFile ini;
    ini.loadFromBytes("[WINDOW]\r\nMaximized=0\r\nLeft=11\r\nTop=22\r\nWidth=933\r\nHeight=644\r\nCustom=x\r\n"
                      "[MINE]\r\nA=1\r\n");
    AppSettings s = load("");
    s.Window.Maximized = true;
    s.Window.Left = 0;
    s.Window.Width = 1920;
    SaveSettings(ini, s);
    EXPECT_EQ(ini.readInteger("WINDOW", "Maximized", 0), 1);
    EXPECT_EQ(ini.readInteger("WINDOW", "Left", 0), 11);
    EXPECT_EQ(ini.readInteger("WINDOW", "Width", 0), 933);
    EXPECT_EQ(ini.readString("WINDOW", "Custom", ""), "x");
    EXPECT_EQ(ini.readInteger("MINE", "A", 0), 1);
}

TEST(Settings, HiddenNameColumnIsSavedAs100)
{
    AppSettings s = load("");
    s.Window.AdressenColumns[5] = -1;
    IniFile ini;
    SaveSettings(ini, s);
    EXPECT_EQ(ini.readInteger("ADRESSEN", "Spalte6", 0), 100);
    EXPECT_EQ(ini.readInteger("SPALTE", "Name", 0), 1);
}

TEST(Settings, MemoryValuesAreSavedWithoutRangeRules)
{
    AppSettings s = load("");
    s.Print.FormatIndex = 12;
    s.Print.MoveMode = 3;
    IniFile ini;
    SaveSettings(ini, s);
    EXPECT_EQ(ini.readInteger("CONFIG", "Format", 0), 12);
    EXPECT_EQ(ini.readInteger("ADRESSEN", "MoveMode", 0), 3);
}

TEST(Settings, ThePrinterIsFoundByItsSavedNameBeforeItsIndex)
{
    struct Case
    {
        const char* name;
        QByteArray config;
        QStringList queues;
        int index;
        QString printerName;
    };
    const QStringList queues{"Büro", "Laser", "Tavisto_PDF"};
    const Case cases[] = {
        {"name and index agree", "[CONFIG]\nDrucker=1\nDruckerName=Laser\n", queues, 1, "Laser"},
        {"a queue added before it moves the index", "[CONFIG]\nDrucker=1\nDruckerName=Laser\n",
         {"Aa_Neu", "Büro", "Laser", "Tavisto_PDF"}, 2, "Laser"},
        {"queue names ignore case", "[CONFIG]\nDrucker=0\nDruckerName=LASER\n", queues, 1, "Laser"},
        {"a missing queue: the index rule, the name kept for its return",
         "[CONFIG]\nDrucker=2\nDruckerName=Umschlagdrucker\n", queues, 2, "Umschlagdrucker"},
        {"an older file without a name gets the name of its index", "[CONFIG]\nDrucker=2\n", queues, 2,
         "Tavisto_PDF"},
        {"no key at all: the selected printer by name", "", queues, 1, "Laser"},
        {"an index outside the list names nothing", "[CONFIG]\nDrucker=9\n", queues, 9, ""},
        {"an instance is a printer of its own", "[CONFIG]\nDrucker=0\nDruckerName=Laser/Umschlag\n",
         {"Laser", "Laser/Umschlag"}, 1, "Laser/Umschlag"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const AppSettings s = load(c.config, kScreen, {int(c.queues.size()), 1, c.queues});
        EXPECT_EQ(s.Print.PrinterIndex, c.index);
        EXPECT_EQ(s.Print.PrinterName, c.printerName);
        // The index stays as the older files have it, the name beside it.
        IniFile ini;
        SaveSettings(ini, s);
        EXPECT_EQ(ini.readInteger("CONFIG", "Drucker", -7), c.index);
        EXPECT_EQ(ini.readString("CONFIG", "DruckerName", "-"), c.printerName);
    }
}

TEST(Settings, EachPrinterKeepsItsLandscapeTurnInASectionOfItsOwn)
{
    const AppSettings s = load("[CONFIG]\nDrucker=0\n"
                               "[DRUCKER:Laser/Umschlag]\nQuerformat=1\n"
                               "[drucker:Tavisto_PDF]\nQuerformat=0\n"
                               "[DRUCKER:Alt]\nQuerformat=7\n"
                               "[DRUCKER:]\nQuerformat=1\n");
    EXPECT_EQ(LandscapeTurnOf(s.Turns, "Laser/Umschlag"), 1);
    EXPECT_EQ(LandscapeTurnOf(s.Turns, "laser/umschlag"), 1);  // CUPS ignores case
    EXPECT_EQ(LandscapeTurnOf(s.Turns, "Tavisto_PDF"), 0);
    EXPECT_EQ(LandscapeTurnOf(s.Turns, "Alt"), 0);             // only 1 turns right
    EXPECT_EQ(LandscapeTurnOf(s.Turns, "Laser"), 0);           // the queue is not its instance
    EXPECT_EQ(s.Turns.size(), 3u);

    AppSettings changed = s;
    SetLandscapeTurnOf(changed.Turns, "LASER/UMSCHLAG", 0);
    SetLandscapeTurnOf(changed.Turns, "Büro", 1);
    IniFile ini;
    ini.loadFromBytes("[DRUCKER:Laser/Umschlag]\nQuerformat=1\n");
    SaveSettings(ini, changed);
    const AppSettings back = LoadSettings(ini, kScreen, {2, 1}, {});
    EXPECT_EQ(LandscapeTurnOf(back.Turns, "Laser/Umschlag"), 0);
    EXPECT_EQ(LandscapeTurnOf(back.Turns, "Büro"), 1);
    EXPECT_EQ(back.Turns.size(), 4u);
    // The keys of the other sections are where the format has them.
    EXPECT_EQ(ini.readInteger("CONFIG", "Direct", -1), 1);
}

TEST(Settings, ColumnAssignmentsOfImportedTablesComeBack)
{
    AppSettings s = load("[ZUORDNUNG]\r\nKabc=Vorname,-,Ort\r\nkDEF=Strasse\r\n[CONFIG]\r\nFormat=2\r\n");
    EXPECT_EQ(s.Zuordnungen, (std::map<QString, QString>{{"Kabc", "Vorname,-,Ort"}, {"kDEF", "Strasse"}}));
    s.Zuordnungen["K123"] = "Nachname";
    IniFile ini;
    SaveSettings(ini, s);
    EXPECT_EQ(ini.keys(QStringLiteral("zuordnung")), (QStringList{"K123", "Kabc", "kDEF"}));
    IniFile again;
    again.loadFromBytes(ini.toBytes());
    EXPECT_EQ(LoadSettings(again, kScreen, {2, 1}, [] {}).Zuordnungen, s.Zuordnungen);
    EXPECT_TRUE(ini.keys(QStringLiteral("FEHLT")).isEmpty());
}
