#pragma once
#include "mainwindow/AdressenQuery.h"

#include <QString>

class AdressenRows;
class QWidget;

// What the main window's commands read and call of the window: the selections, the three
// lists, the status line. The window implements it and hands itself to the commands, which
// know nothing else of it.
class MainWindowLists
{
public:
    virtual ~MainWindowLists() = default;

    // The parent of the dialogs the commands open.
    virtual QWidget* DialogParent() = 0;

    virtual QString GetSelectedAbsenderID() const = 0;
    virtual QString GetSelectedGruppeID() const = 0;
    virtual QString GetSelectedAdresseID() const = 0;
    virtual void LoadAbsenderList() = 0;
    virtual void LoadGruppenList() = 0;
    virtual void LoadAdressenList() = 0;
    virtual void SelectAbsenderByID(const QString& absenderId) = 0;
    virtual void SelectGruppeByID(const QString& gruppeId) = 0;
    virtual void SelectAdresseByID(const QString& adresseId) = 0;
    virtual void SetBannerMark(const QString& absenderId, const QString& mark) = 0;
    // The selected group with the options bar's state (series print reads it).
    virtual AdressenFilter CurrentAdressenFilter() const = 0;
    // The rows the address list shows (export, sort names).
    virtual AdressenRows& AdressenRowsShown() = 0;
    virtual void BuildStatusLine() = 0;
    // The sender list, the group list (with the first group's addresses) and the status line.
    virtual void ReloadAll() = 0;
    // Closes the window, which ends the program.
    virtual void CloseWindow() = 0;
};
