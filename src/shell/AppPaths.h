#pragma once
#include <QString>

// Known folders: CSIDL_PERSONAL is the documents folder, CSIDL_APPDATA the per-user
// configuration folder.
enum KnownFolder { CSIDL_PERSONAL = 5, CSIDL_APPDATA = 26 };

// The folder's path with a trailing separator, or the empty text when there is none.
QString GetKnownFolder(KnownFolder kind);

// Creates the folder with any missing parents; false when it cannot exist as a folder.
bool ForceDirectories(const QString& dir);

// The help file: beside the program (as in the build folder), else in the installed
// program's data folder (<prefix>/share/tavisto for <prefix>/bin/tavisto). When neither
// holds it, the place beside the program.
QString FindHelpFile(const QString& programDir);

// The program's folders and files; every folder ends with a separator.
struct AppPaths
{
    QString ProgramDir;
    QString HelpFile;
    QString SettingsDir;
    QString SettingsFile;
    QString DataDir;
    QString DatabaseFile;

    static AppPaths Resolve(const QString& programDir, const QString& appDataFolder, const QString& documentsFolder);
};

inline constexpr const char* kProductFolder = "Lumo Tavisto";
