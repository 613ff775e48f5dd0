#pragma once
#include "shell/PrintSettings.h"

#include <QSize>
#include <QString>
#include <QStringList>
#include <array>
#include <map>
#include <functional>

class IniFile;
class MessageService;

// The main window's remembered state; the window moves it to and from its widgets.
struct WindowSettings
{
    bool Maximized = false;
    int Left = 0;
    int Top = 0;
    int Width = 1000;
    int Height = 710;
    int SplitterAdressen = 370;  // height of Panel_Gruppen_Adressen
    int SplitterGruppen = 220;   // width of Panel_Gruppen
    bool OptionsCollapsed = false;
    std::array<int, 5> AbsenderColumns{150, 150, 150, 150, 150};
    std::array<int, 6> AdressenColumns{120, 120, 120, 120, 120, 120};
    bool HideNameColumn = true;

    bool operator==(const WindowSettings&) const = default;
};

// Which way each printer takes a landscape envelope: queue name → 0 turned a quarter to the
// left (the default), 1 to the right. Queue names are compared without regard to case.
using LandscapeTurns = std::map<QString, int>;

// The label window's choices (section ETIKETTEN): the template by maker and part, what goes
// on the labels (0 the group's addresses, 1 the selected address, 2 the sender), the copies.
struct LabelSettings
{
    QString Template;
    int Content = 0;
    int Copies = 1;
    bool operator==(const LabelSettings&) const = default;
};

struct AppSettings
{
    WindowSettings Window;
    PrintSettings Print;
    LandscapeTurns Turns;
    bool ShowNews = true;
    QString BackupPath;
    QString BackupDate;
    LabelSettings Labels;
    // The column assignments of imported tables, by the key of their header row
    // (section ZUORDNUNG).
    std::map<QString, QString> Zuordnungen;
    // SHA-256 fingerprints of server certificates the user chose to trust (section ONLINE),
    // each for that certificate only.
    QStringList TrustedCertificates;
};

struct PrinterFacts
{
    int Count = 0;
    int SelectedIndex = -1;  // the printer the printing service selected at start
    QStringList Names;       // the printer list, to find the saved printer by its name
};

// 0 (to the left) or 1 (to the right) for the printer; 0 when none was set.
int LandscapeTurnOf(const LandscapeTurns& turns, const QString& printer);
void SetLandscapeTurnOf(LandscapeTurns& turns, const QString& printer, int turn);

inline constexpr int kMinWindowWidth = 800;
inline constexpr int kMinWindowHeight = 500;
inline constexpr int kMinColumnWidth = 100;

// Reads every key with its default and load-time rule. warnNoPrinter runs while the
// printer key is read when the system has no printer.
AppSettings LoadSettings(const IniFile& ini, QSize screen, const PrinterFacts& printers,
                         const std::function<void()>& warnNoPrinter);

// Writes every key in the fixed order. A maximised window writes Maximized=1 only, so the
// last normal bounds stay from an earlier save.
void SaveSettings(IniFile& ini, const AppSettings& settings);

// SaveSettings into the settings file, keeping the keys of other programs' versions. The
// file is replaced whole; when that fails the old file stays as it was and the user is
// told in a message. False on failure.
bool SaveSettingsFile(const QString& fileName, const AppSettings& settings, MessageService& messages);

inline const QString kSettingsNotSaved = QStringLiteral(
    "Die Einstellungen konnten nicht gespeichert werden!\n\n%1\n\nDie bisherigen Einstellungen bleiben erhalten.");
