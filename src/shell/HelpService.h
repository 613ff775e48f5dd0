#pragma once

// Help topics by context number; the real viewer shows the program's help file.
namespace HelpContext {
enum : int {
    Main = 1000,
    Absender = 1002,
    Gruppe = 1003,
    Adresse = 1004,
    Vorschau = 1005,
    Einstellungen = 1008,
    Backup = 1009,
    Designer = 1013,
    Etiketten = 1014,
    PdfSpeichern = 1015,
    VcardImport = 1016,
    Querformat = 1017,
    WieImDrucker = 1018,
};
}

class HelpService
{
public:
    virtual ~HelpService() = default;
    virtual void ShowHelpTopic(int context) = 0;
};
