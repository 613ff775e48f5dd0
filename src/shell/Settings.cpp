#include "shell/Settings.h"

#include "shell/IniFile.h"
#include "shell/MessageService.h"

#include <algorithm>

namespace {

bool isOneOf(int v, std::initializer_list<int> set)
{
    return std::find(set.begin(), set.end(), v) != set.end();
}

const QString kWindow = QStringLiteral("WINDOW");
const QString kSplitter = QStringLiteral("SPLITTER");
const QString kSnapper = QStringLiteral("SNAPPER");
const QString kConfig = QStringLiteral("CONFIG");
const QString kFont = QStringLiteral("FONT");
const QString kDpi = QStringLiteral("DPI");
const QString kSender = QStringLiteral("SENDER");
const QString kDrucken = QStringLiteral("DRUCKEN");
const QString kAdressen = QStringLiteral("ADRESSEN");
const QString kHelp = QStringLiteral("HELP");
const QString kAbsender = QStringLiteral("ABSENDER");
const QString kSpalte = QStringLiteral("SPALTE");
const QString kBackup = QStringLiteral("BACKUP");
const QString kEtiketten = QStringLiteral("ETIKETTEN");
const QString kZuordnung = QStringLiteral("ZUORDNUNG");
const QString kOnline = QStringLiteral("ONLINE");

QString spalte(int i) { return QStringLiteral("Spalte%1").arg(i); }

// One section per printer, keyed by the queue's name.
const QString kPrinterSectionPrefix = QStringLiteral("DRUCKER:");
const QString kTurnKey = QStringLiteral("Querformat");

LandscapeTurns::const_iterator findTurn(const LandscapeTurns& turns, const QString& printer)
{
    return std::find_if(turns.begin(), turns.end(),
                        [&](const auto& t) { return t.first.compare(printer, Qt::CaseInsensitive) == 0; });
}

// The saved printer by its name when that queue is there, else by its index; the name
// stays remembered (a network printer may be back next time).
void resolvePrinter(PrintSettings& p, const QStringList& names)
{
    if (!p.PrinterName.isEmpty()) {
        // CUPS compares queue names without regard to case.
        qsizetype at = names.indexOf(p.PrinterName);
        for (qsizetype i = 0; at < 0 && i < names.size(); ++i)
            if (names[i].compare(p.PrinterName, Qt::CaseInsensitive) == 0)
                at = i;
        if (at >= 0) {
            p.PrinterIndex = int(at);
            p.PrinterName = names[at];
            return;
        }
    } else if (p.PrinterIndex >= 0 && p.PrinterIndex < names.size()) {
        p.PrinterName = names[p.PrinterIndex];
    }
}

} // namespace

AppSettings LoadSettings(const IniFile& ini, QSize screen, const PrinterFacts& printers,
                         const std::function<void()>& warnNoPrinter)
{
    AppSettings s;
    WindowSettings& w = s.Window;
    w.Maximized = ini.readBool(kWindow, QStringLiteral("Maximized"), false);
    w.Left = std::max(0, ini.readInteger(kWindow, QStringLiteral("Left"), screen.width() / 2 - 500));
    w.Top = std::max(0, ini.readInteger(kWindow, QStringLiteral("Top"), screen.height() / 2 - 370));
    w.Width = std::max(kMinWindowWidth, ini.readInteger(kWindow, QStringLiteral("Width"), 1000));
    w.Height = std::max(kMinWindowHeight, ini.readInteger(kWindow, QStringLiteral("Height"), 710));
    w.SplitterAdressen = ini.readInteger(kSplitter, QStringLiteral("Adressen"), 370);
    w.SplitterGruppen = ini.readInteger(kSplitter, QStringLiteral("Gruppen"), 220);
    w.OptionsCollapsed = ini.readBool(kSnapper, QStringLiteral("Adressen"), false);

    PrintSettings& p = s.Print;
    if (printers.Count > 0) {
        p.PrinterIndex = ini.readInteger(kConfig, QStringLiteral("Drucker"), printers.SelectedIndex);
    } else {
        if (warnNoPrinter)
            warnNoPrinter();
        p.PrinterIndex = ini.readInteger(kConfig, QStringLiteral("Drucker"), -1);
    }
    p.PrinterName = ini.readString(kConfig, QStringLiteral("DruckerName"), QString());
    resolvePrinter(p, printers.Names);
    p.FormatIndex = ini.readInteger(kConfig, QStringLiteral("Format"), 2);
    p.Orientation = ini.readInteger(kConfig, QStringLiteral("Direct"), 1);
    if (!isOneOf(p.Orientation, {0, 1}))
        p.Orientation = 1;
    p.Alignment = ini.readInteger(kConfig, QStringLiteral("Align"), 1);
    if (!isOneOf(p.Alignment, {0, 1, 2}))
        p.Alignment = 1;
    p.FontName = ini.readString(kFont, QStringLiteral("Name"), QStringLiteral("Arial"));
    if (p.FontName.trimmed().isEmpty())
        p.FontName = QStringLiteral("Arial");
    p.SenderFontSize = ini.readInteger(kFont, QStringLiteral("Size1"), 14);
    if (!isOneOf(p.SenderFontSize, {10, 12, 14, 16, 18, 20, 22, 24}))
        p.SenderFontSize = 14;
    p.AddressFontSize = ini.readInteger(kFont, QStringLiteral("Size2"), 18);
    if (!isOneOf(p.AddressFontSize, {10, 12, 14, 16, 18, 20, 22, 24}))
        p.AddressFontSize = 18;
    p.DpiFactor = ini.readInteger(kDpi, QStringLiteral("Factor"), 10);
    if (p.DpiFactor < 1 || p.DpiFactor > 10)
        p.DpiFactor = 10;
    p.SpaceX = ini.readInteger(kSender, QStringLiteral("SpaceX"), 0);
    p.SpaceY = ini.readInteger(kSender, QStringLiteral("SpaceY"), 0);
    p.PrintSender = ini.readBool(kDrucken, QStringLiteral("Absender"), true);
    p.PrintBanner = ini.readBool(kDrucken, QStringLiteral("Banner"), true);
    p.PrintAddress = ini.readBool(kDrucken, QStringLiteral("Adresse"), true);
    p.PrintBlankLines = ini.readBool(kDrucken, QStringLiteral("Leerzeilen"), true);
    p.Swap = ini.readBool(kDrucken, QStringLiteral("Swap"), false);
    p.BreakCount = ini.readInteger(kDrucken, QStringLiteral("BreakCount"), 10);
    if (!isOneOf(p.BreakCount, {10, 20, 30, 40, 50}))
        p.BreakCount = 10;
    p.MoveMode = ini.readInteger(kAdressen, QStringLiteral("MoveMode"), 0);
    p.MoveSpace = ini.readInteger(kAdressen, QStringLiteral("MoveSpace"), 1);
    if (p.MoveSpace < 1 || p.MoveSpace > 10)
        p.MoveSpace = 1;

    s.ShowNews = ini.readBool(kHelp, QStringLiteral("Screen"), true);

    for (int i = 0; i < 5; ++i)
        w.AbsenderColumns[i] = std::max(kMinColumnWidth, ini.readInteger(kAbsender, spalte(i + 1), 150));
    for (int i = 0; i < 6; ++i)
        w.AdressenColumns[i] = std::max(kMinColumnWidth, ini.readInteger(kAdressen, spalte(i + 1), 120));
    w.HideNameColumn = ini.readBool(kSpalte, QStringLiteral("Name"), true);

    s.BackupPath = ini.readString(kBackup, QStringLiteral("Path"), QString());
    s.BackupDate = ini.readString(kBackup, QStringLiteral("Date"), QString());

    s.Labels.Template = ini.readString(kEtiketten, QStringLiteral("Vorlage"), QString());
    const int content = ini.readInteger(kEtiketten, QStringLiteral("Inhalt"), 0);
    s.Labels.Content = content >= 0 && content <= 2 ? content : 0;
    s.Labels.Copies = std::clamp(ini.readInteger(kEtiketten, QStringLiteral("Kopien"), 1), 1, 999);

    for (const QString& key : ini.keys(kZuordnung))
        s.Zuordnungen[key] = ini.readString(kZuordnung, key, QString());
    s.TrustedCertificates = ini.readString(kOnline, QStringLiteral("Zertifikate"), QString())
                                .split(u' ', Qt::SkipEmptyParts);

    for (const QString& section : ini.sections())
        if (section.startsWith(kPrinterSectionPrefix, Qt::CaseInsensitive) &&
            section.size() > kPrinterSectionPrefix.size())
            SetLandscapeTurnOf(s.Turns, section.mid(kPrinterSectionPrefix.size()),
                               ini.readInteger(section, kTurnKey, 0) == 1 ? 1 : 0);
    return s;
}

void SaveSettings(IniFile& ini, const AppSettings& s)
{
    const WindowSettings& w = s.Window;
    if (w.Maximized) {
        ini.writeBool(kWindow, QStringLiteral("Maximized"), true);
    } else {
        ini.writeBool(kWindow, QStringLiteral("Maximized"), false);
        ini.writeInteger(kWindow, QStringLiteral("Left"), w.Left);
        ini.writeInteger(kWindow, QStringLiteral("Top"), w.Top);
        ini.writeInteger(kWindow, QStringLiteral("Width"), w.Width);
        ini.writeInteger(kWindow, QStringLiteral("Height"), w.Height);
    }
    ini.writeInteger(kSplitter, QStringLiteral("Adressen"), w.SplitterAdressen);
    ini.writeInteger(kSplitter, QStringLiteral("Gruppen"), w.SplitterGruppen);
    ini.writeBool(kSnapper, QStringLiteral("Adressen"), w.OptionsCollapsed);

    const PrintSettings& p = s.Print;
    ini.writeInteger(kConfig, QStringLiteral("Drucker"), p.PrinterIndex);
    ini.writeString(kConfig, QStringLiteral("DruckerName"), p.PrinterName);
    ini.writeInteger(kConfig, QStringLiteral("Format"), p.FormatIndex);
    ini.writeInteger(kConfig, QStringLiteral("Direct"), p.Orientation);
    ini.writeInteger(kConfig, QStringLiteral("Align"), p.Alignment);
    ini.writeString(kFont, QStringLiteral("Name"), p.FontName);
    ini.writeInteger(kFont, QStringLiteral("Size1"), p.SenderFontSize);
    ini.writeInteger(kFont, QStringLiteral("Size2"), p.AddressFontSize);
    ini.writeInteger(kDpi, QStringLiteral("Factor"), p.DpiFactor);
    ini.writeInteger(kSender, QStringLiteral("SpaceX"), p.SpaceX);
    ini.writeInteger(kSender, QStringLiteral("SpaceY"), p.SpaceY);
    ini.writeBool(kDrucken, QStringLiteral("Absender"), p.PrintSender);
    ini.writeBool(kDrucken, QStringLiteral("Banner"), p.PrintBanner);
    ini.writeBool(kDrucken, QStringLiteral("Adresse"), p.PrintAddress);
    ini.writeBool(kDrucken, QStringLiteral("Leerzeilen"), p.PrintBlankLines);
    ini.writeBool(kDrucken, QStringLiteral("Swap"), p.Swap);
    ini.writeInteger(kDrucken, QStringLiteral("BreakCount"), p.BreakCount);
    ini.writeInteger(kAdressen, QStringLiteral("MoveMode"), p.MoveMode);
    ini.writeInteger(kAdressen, QStringLiteral("MoveSpace"), p.MoveSpace);

    ini.writeBool(kHelp, QStringLiteral("Screen"), s.ShowNews);

    for (int i = 0; i < 5; ++i)
        ini.writeInteger(kAbsender, spalte(i + 1), std::max(kMinColumnWidth, w.AbsenderColumns[i]));
    for (int i = 0; i < 6; ++i)
        ini.writeInteger(kAdressen, spalte(i + 1), std::max(kMinColumnWidth, w.AdressenColumns[i]));
    ini.writeBool(kSpalte, QStringLiteral("Name"), w.HideNameColumn);

    ini.writeString(kBackup, QStringLiteral("Path"), s.BackupPath);
    ini.writeString(kBackup, QStringLiteral("Date"), s.BackupDate);

    ini.writeString(kEtiketten, QStringLiteral("Vorlage"), s.Labels.Template);
    ini.writeInteger(kEtiketten, QStringLiteral("Inhalt"), s.Labels.Content);
    ini.writeInteger(kEtiketten, QStringLiteral("Kopien"), s.Labels.Copies);
    if (!s.TrustedCertificates.isEmpty())
        ini.writeString(kOnline, QStringLiteral("Zertifikate"), s.TrustedCertificates.join(u' '));

    for (const auto& [key, targets] : s.Zuordnungen)
        ini.writeString(kZuordnung, key, targets);

    for (const auto& [printer, turn] : s.Turns)
        ini.writeInteger(kPrinterSectionPrefix + printer, kTurnKey, turn);
}

int LandscapeTurnOf(const LandscapeTurns& turns, const QString& printer)
{
    const auto it = findTurn(turns, printer);
    return it != turns.end() ? it->second : 0;
}

void SetLandscapeTurnOf(LandscapeTurns& turns, const QString& printer, int turn)
{
    const auto it = findTurn(turns, printer);
    if (it != turns.end())
        turns.erase(it);
    turns[printer] = turn;
}

bool SaveSettingsFile(const QString& fileName, const AppSettings& settings, MessageService& messages)
{
    IniFile ini(fileName);
    SaveSettings(ini, settings);
    if (ini.save(fileName))
        return true;
    messages.ErrorMessage(kSettingsNotSaved.arg(fileName));
    return false;
}
