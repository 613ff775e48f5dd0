#pragma once
#include "shell/AppPaths.h"
#include "shell/Settings.h"
#include "store/TSQLiteDatabase.h"

#include <memory>

class MessageService;
class HelpService;
class PrintService;

// What the program holds for the whole run. Built by the program entry (or by a test
// with fakes) and handed by reference to every window and dialog.
struct AppContext
{
    AppPaths Paths;
    // The one connection; replaced only around a restore.
    std::unique_ptr<TSQLiteDatabase> Database;
    // PrintSettings, window state, news flag and backup values.
    AppSettings Settings;

    MessageService* Messages = nullptr;
    HelpService* Help = nullptr;
    PrintService* Printer = nullptr;

    TSQLiteDatabase& db() { return *Database; }
    PrintSettings& Print() { return Settings.Print; }
};
