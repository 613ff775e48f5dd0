// The settings file reader: an arbitrary file loads with every key's default and rule,
// saves, and the saved file reads back to the same window state.
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
    const PrinterFacts printers{2, 0};
    const AppSettings loaded = LoadSettings(ini, screen, printers, [] {});
    SaveSettings(ini, loaded);
    IniFile saved;
    saved.loadFromBytes(ini.toBytes());
    const AppSettings reread = LoadSettings(saved, screen, printers, [] {});
    FUZZ_CHECK(reread.Window == loaded.Window);
    FUZZ_CHECK(reread.ShowNews == loaded.ShowNews);
    return 0;
}
