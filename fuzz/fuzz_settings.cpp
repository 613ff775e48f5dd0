// The settings file reader: an arbitrary file loads with every key's default and rule,
// saves, and the saved file reads back to the same window state, output settings (the
// printer found by its name among queues and instances) and printers' landscape turns.
#include "FuzzSupport.h"
#include "shell/IniFile.h"
#include "shell/Settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    IniFile ini;
    ini.loadFromBytes(FuzzSupport::Bytes(data, size));
    // The document survives its own save unchanged.
    const QByteArray once = ini.toBytes();
    IniFile again;
    again.loadFromBytes(once);
    FUZZ_CHECK(again.toBytes() == once);

    const QSize screen(1920, 1080);
    const PrinterFacts printers{3, 0, {"Büro", "Laser", "Laser/Umschlag"}};
    const AppSettings loaded = LoadSettings(ini, screen, printers, [] {});
    SaveSettings(ini, loaded);
    IniFile saved;
    saved.loadFromBytes(ini.toBytes());
    const AppSettings reread = LoadSettings(saved, screen, printers, [] {});
    FUZZ_CHECK(reread.Window == loaded.Window);
    FUZZ_CHECK(reread.ShowNews == loaded.ShowNews);
    // A text value in quotes loses them at its first save, as the Windows profile functions
    // read and write it; from then on the output settings and the turns are stable.
    SaveSettings(saved, reread);
    IniFile twice;
    twice.loadFromBytes(saved.toBytes());
    const AppSettings third = LoadSettings(twice, screen, printers, [] {});
    FUZZ_CHECK(third.Print == reread.Print);
    FUZZ_CHECK(third.Turns == reread.Turns);
    return 0;
}
