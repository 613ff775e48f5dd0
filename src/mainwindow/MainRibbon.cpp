#include "mainwindow/MainRibbon.h"

#include "uikit/RibbonIcons.h"
#include "uikit/TRibbonGroup.h"
#include "uikit/TToolButton.h"

#include <QMenu>

namespace {
struct ButtonDef
{
    const char* name;
    const char* caption;
    const char* hint;
    RibbonGlyph glyph;
    RibbonBadge badge;
};

struct GroupDef
{
    int tab;
    const char* title;
    std::initializer_list<ButtonDef> buttons;
};

using G = RibbonGlyph;
using B = RibbonBadge;

// The divider of "Import und Export" stands after its first button.
const GroupDef kGroups[] = {
    {MainRibbon::TabAbsender, "Absenderdaten",
     {{"TB_Absender_Add", "&Neuen Absender hinzufügen", "Neuen Absender hinzufügen (Alt+N)", G::Absender, B::Add},
      {"TB_Absender_Edit", "Absenderdaten &bearbeiten", "Gewählten Absender bearbeiten (Alt+B)", G::Absender, B::Edit},
      {"TB_Absender_Delete", "Absender &löschen", "Gewählten Absender entfernen (Alt+L)", G::Absender, B::Delete}}},
    {MainRibbon::TabAbsender, "Designer",
     {{"TB_Absender_Designer", "Banner/ Firmenlogo", "Banner für gewählten Absender gestalten", G::Banner, B::None}}},
    {MainRibbon::TabAbsender, "Export",
     {{"TB_Absender_Copy", "Absenderdaten &kopieren", "Absenderdaten in die Zwischenablage kopieren (Alt+K)",
       G::Kopieren, B::None},
      {"TB_Absender_Export", "Absender e&xportieren", "Alle Absender als CSV-Datei exportieren (Alt+X)", G::Export,
       B::None}}},
    {MainRibbon::TabAdressen, "Gruppen",
     {{"TB_Gruppe_Add", "Neue &Gruppe erstellen", "Neue Gruppe erstellen (Alt+G)", G::Gruppe, B::Add},
      {"TB_Gruppe_Edit", "Gruppe &umbenennen", "Gewählte Gruppe umbennen (Alt+U)", G::Gruppe, B::Edit},
      {"TB_Gruppe_Delete", "Gruppe &entfernen", "Gewählten Gruppe entfernen (Alt+E)", G::Gruppe, B::Delete}}},
    {MainRibbon::TabAdressen, "Online-Adressbuch",
     {{"TB_Gruppe_Online", "Mit Online-Adressbuch verbinden …",
       "Gewählte Gruppe mit einem Online-Adressbuch (CardDAV) verbinden", G::Gruppe, B::Add},
      {"TB_Gruppe_Aktualisieren", "Aktualisieren", "Gewählte Gruppe vom Online-Adressbuch aktualisieren", G::Import,
       B::None}}},
    {MainRibbon::TabAdressen, "Adressen",
     {{"TB_Adresse_Add", "&Neue Adresse hinzufügen", "Neue Adresse hinzufügen (Alt+N)", G::Adresse, B::Add},
      {"TB_Adresse_Edit", "Adressdaten &bearbeiten", "Gewählte Adresse bearbeiten (Alt+B)", G::Adresse, B::Edit},
      {"TB_Adresse_Delete", "Adresse &löschen", "Gewählte Adresse entfernen (Alt+L)", G::Adresse, B::Delete}}},
    {MainRibbon::TabAdressen, "Import und Export",
     {{"TB_Adresse_Copy", "Adressdaten &kopieren", "Adressdaten in die Zwischenablage kopieren (Alt+K)", G::Kopieren,
       B::None},
      {"TB_Adresse_Import", "Adressen i&mportieren", "Adressen aus CSV-Datei importieren (Alt+I)", G::Import, B::None},
      {"TB_Adresse_Export", "Adressen e&xportieren", "Adressen als Text- oder CSV-Datei exportieren (Alt+X)", G::Export,
       B::None}}},
    {MainRibbon::TabAdressen, "Optionen",
     {{"TB_Adresse_AutoNamen", "Namen generieren", "Namen für das Sortieren automatisch erstellen", G::Namen,
       B::None}}},
    {MainRibbon::TabDrucken, "Vorschau",
     {{"TB_Vorschau", "&Druckvorschau", "Druckvorschau (Alt+D)", G::Vorschau, B::None}}},
    {MainRibbon::TabDrucken, "Drucken",
     {{"TB_Einzeldruck", "&Einzeldruck", "Einzelnen Umschlag drucken (Alt+E)", G::Einzeldruck, B::None},
      {"TB_Seriendruck", "&Seriendruck", "Mehrere Umschläge drucken (Alt+S)", G::Seriendruck, B::None},
      {"TB_PdfSpeichern", "Als PDF speichern", "Umschläge als PDF-Datei speichern", G::Export, B::None}}},
    {MainRibbon::TabDrucken, "Etiketten",
     {{"TB_Etiketten", "Etiketten drucken", "Adressen auf Etikettenbögen drucken", G::Seriendruck, B::None}}},
    {MainRibbon::TabOptionen, "",
     {{"TB_Einstellungen", "&Einstellungen (Druckausgabe)", "Druckausgabe anpassen (Alt+E)", G::Einstellungen,
       B::None},
      {"TB_Backup", "Daten &sichern und wieder herstellen", "Datensicherung (Alt+S)", G::Backup, B::None}}},
    {MainRibbon::TabHilfe, "Unterstützung & Support",
     {{"TB_Hilfe", "Programmhilfe aufrufen", "Hilfethemen (F1)", G::Hilfe, B::None},
      {"TB_Info", "Informationen zum Programm", "Information (F2)", G::Info, B::None}}},
};
} // namespace

MainRibbon::MainRibbon(QWidget* parent) : TRibbon(parent)
{
    QWidget* bars[] = {addTab(QStringLiteral("Absender")), addTab(QStringLiteral("Adressen")),
                       addTab(QStringLiteral("Drucken")), addTab(QStringLiteral("Optionen")),
                       addTab(QStringLiteral("Hilfe"))};
    for (const GroupDef& g : kGroups) {
        TRibbonGroup* group = addGroup(bars[g.tab], QString::fromUtf8(g.title));
        for (const ButtonDef& b : g.buttons) {
            auto* button = new TToolButton(QString::fromUtf8(b.caption), RibbonIcon(b.glyph, b.badge),
                                           QString::fromUtf8(b.hint));
            button->setObjectName(QString::fromLatin1(b.name));
            group->addButton(button);
            m_buttons.insert(button->objectName(), button);
            if (button->objectName() == QLatin1String("TB_Adresse_Copy"))
                m_divider = group->addDivider();
        }
    }
    buildMenu();
    setCurrentIndex(TabAbsender);
}

void MainRibbon::buildMenu()
{
    m_menu = new QMenu(this);
    m_menu->setObjectName(QStringLiteral("PopupMenu_MenuButton"));
    m_menu->setToolTipsVisible(true);
    auto add = [this](QMenu* menu, const char* name, const QString& caption, const QString& hint,
                      const QKeySequence& shortcut = {}) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        a->setToolTip(hint);
        a->setStatusTip(hint);
        if (!shortcut.isEmpty()) {
            // Shown in the menu only: F1 and F2 are the window's own keys.
            a->setShortcut(shortcut);
            a->setShortcutContext(Qt::WidgetShortcut);
        }
        m_actions.insert(a->objectName(), a);
        return a;
    };
    add(m_menu, "PM_MenuButton_Absender", QStringLiteral("&Neuer Absender"), QStringLiteral("Einen neuen Absender hinzufügen"));
    add(m_menu, "PM_MenuButton_Gruppe", QStringLiteral("Neue &Gruppe"), QStringLiteral("Eine neue Gruppe erstellen"));
    add(m_menu, "PM_MenuButton_Adresse", QStringLiteral("&Adresse"), QStringLiteral("Eine neue Adresse hinzufügen"));
    m_menu->addSeparator();
    QMenu* drucken = m_menu->addMenu(QStringLiteral("&Drucken"));
    drucken->setObjectName(QStringLiteral("PM_MenuButton_Drucken_Menu"));
    drucken->menuAction()->setObjectName(QStringLiteral("PM_MenuButton_Drucken"));
    drucken->menuAction()->setToolTip(QStringLiteral("Einzel- und Serienduck"));
    drucken->setToolTipsVisible(true);
    m_actions.insert(drucken->menuAction()->objectName(), drucken->menuAction());
    add(drucken, "PM_MenuButton_Druckvorschau", QStringLiteral("Druck&vorschau"), QStringLiteral("Vorschau der Druckausgabe"));
    drucken->addSeparator();
    add(drucken, "PM_MenuButton_Einzeldruck", QStringLiteral("&Einzeldruck"), QStringLiteral("Einzelnen Umschlag drucken"));
    add(drucken, "PM_MenuButton_Seriendruck", QStringLiteral("&Seriendruck"), QStringLiteral("Mehrere Umschläge drucken"));
    add(drucken, "PM_MenuButton_PdfSpeichern", QStringLiteral("Als PDF speichern"),
        QStringLiteral("Umschläge als PDF-Datei speichern"));
    drucken->addSeparator();
    add(drucken, "PM_MenuButton_Etiketten", QStringLiteral("Etiketten drucken"),
        QStringLiteral("Adressen auf Etikettenbögen drucken"));
    add(m_menu, "PM_MenuButton_Einstellungen", QStringLiteral("&Einstellungen"), QStringLiteral("Druckausgabe anpassen"));
    m_menu->addSeparator();
    add(m_menu, "PM_MenuButton_Datensicherung", QStringLiteral("Daten&sicherung"),
        QStringLiteral("Daten sichern und wiederherstellen"));
    m_menu->addSeparator();
    add(m_menu, "PM_MenuButton_Hilfe", QStringLiteral("&Hilfe"), QStringLiteral("Programmhilfe aufrufen"), QKeySequence(Qt::Key_F1));
    add(m_menu, "PM_MenuButton_Info", QStringLiteral("&Info"), QStringLiteral("Information zum Programm"), QKeySequence(Qt::Key_F2));
    m_menu->addSeparator();
    add(m_menu, "PM_MenuButton_Beenden", QStringLiteral("Programm &beenden"), QString());
    setMenu(QStringLiteral("Menü"), m_menu);
}

TToolButton* MainRibbon::Button(const QString& name) const
{
    return m_buttons.value(name);
}

QAction* MainRibbon::MenuAction(const QString& name) const
{
    return m_actions.value(name);
}
