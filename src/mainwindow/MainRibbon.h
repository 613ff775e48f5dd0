#pragma once
#include "uikit/TRibbon.h"

#include <QHash>

class QAction;
class QMenu;
class TToolButton;

// The main window's ribbon: the five tabs with their groups and tool buttons, and the
// "Menü" button with PopupMenu_MenuButton. Buttons and menu entries are found by their
// object names ("TB_Absender_Add", "PM_MenuButton_Hilfe").
class MainRibbon : public TRibbon
{
    Q_OBJECT
public:
    enum Tab { TabAbsender = 0, TabAdressen, TabDrucken, TabOptionen, TabHilfe };

    explicit MainRibbon(QWidget* parent = nullptr);
    TToolButton* Button(const QString& name) const;
    QAction* MenuAction(const QString& name) const;
    QMenu* Menu() const { return m_menu; }
    // The divider item before import and export in "Import und Export".
    QWidget* ImportExportDivider() const { return m_divider; }
    QList<TToolButton*> Buttons() const { return m_buttons.values(); }

private:
    void buildMenu();

    QHash<QString, TToolButton*> m_buttons;
    QHash<QString, QAction*> m_actions;
    QMenu* m_menu = nullptr;
    QWidget* m_divider = nullptr;
};
