#include "mainwindow/TForm_Tavisto.h"

#include "printing/ConfiguredPrinter.h"

#include "app/AppContext.h"
#include "app/GeneralError.h"
#include "exchange/AdresseDragController.h"
#include "mainwindow/AbsenderList.h"
#include "mainwindow/AdressenList.h"
#include "mainwindow/AdressenModel.h"
#include "mainwindow/AdressenOptionsBar.h"
#include "mainwindow/GruppenList.h"
#include "mainwindow/MainCommands.h"
#include "mainwindow/MainRibbon.h"
#include "printing/PrintService.h"
#include "shell/IniFile.h"
#include "shell/MessageService.h"
#include "tools/NewsNotice.h"
#include "uikit/HintWindow.h"
#include "uikit/TCaptionBar.h"
#include "uikit/TGridView.h"
#include "uikit/TToolButton.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QListView>
#include <QMenu>
#include <QScreen>
#include <QSplitter>
#include <QTimer>
#include <QVBoxLayout>

namespace {
const QString kCaption = QStringLiteral("Lumo Tavisto (64-bit) - Copyright © 2026 Lumo Software");
constexpr int kSplitterWidth = 5;
}

TForm_Tavisto::TForm_Tavisto(AppContext& ctx, const StartupFolders& folders, QWidget* parent)
    : QMainWindow(parent), m_ctx(ctx)
{
    setObjectName(QStringLiteral("Form_Tavisto"));
    setMinimumSize(800, 500);
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(13);
    setFont(f);
    buildLayout();
    m_commands = new MainCommands(ctx, *this, this);
    // An address dragged from the grid onto another group is copied or moved.
    AdresseDragController::Hooks hooks;
    hooks.selectedGruppeId = [this] { return GetSelectedGruppeID(); };
    hooks.selectedAdresseId = [this] { return GetSelectedAdresseID(); };
    hooks.gruppeIdAt = [this](int row) { return GetGruppeIDAt(row); };
    hooks.reloadAdressen = [this] { LoadAdressenList(); };
    m_drag = new AdresseDragController(ctx, m_adressen->Grid(), m_gruppen->View(), std::move(hooks), this);
    connectCommands();
    FormCreate(folders);
}

TForm_Tavisto::~TForm_Tavisto()
{
    if (m_started)
        FormDestroy();
}

void TForm_Tavisto::buildLayout()
{
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("Panel_Main"));
    auto* v = new QVBoxLayout(central);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(0);

    m_ribbon = new MainRibbon(central);
    v->addWidget(m_ribbon);

    auto* back = new QWidget(central);
    back->setObjectName(QStringLiteral("Panel_Back"));
    auto* backLayout = new QVBoxLayout(back);
    backLayout->setContentsMargins(2, 2, 2, 2);
    backLayout->setSpacing(0);
    v->addWidget(back, 1);

    m_splitterAbsender = new QSplitter(Qt::Vertical, back);
    m_splitterAbsender->setObjectName(QStringLiteral("Splitter_Absender"));
    m_splitterAbsender->setHandleWidth(kSplitterWidth);
    m_splitterAbsender->setChildrenCollapsible(false);
    m_splitterAbsender->setOpaqueResize(true);
    backLayout->addWidget(m_splitterAbsender);

    m_absender = new AbsenderList(m_ctx, m_splitterAbsender);
    m_absender->setMinimumHeight(100);
    m_splitterAbsender->addWidget(m_absender);

    auto* lower = new QWidget(m_splitterAbsender);
    lower->setObjectName(QStringLiteral("Panel_Gruppen_Adressen"));
    lower->setMinimumHeight(100);
    auto* lowerLayout = new QHBoxLayout(lower);
    lowerLayout->setContentsMargins(0, 0, 0, 0);
    lowerLayout->setSpacing(0);
    m_splitterAbsender->addWidget(lower);
    m_splitterAbsender->setStretchFactor(0, 1);
    m_splitterAbsender->setStretchFactor(1, 0);

    m_splitterGruppen = new QSplitter(Qt::Horizontal, lower);
    m_splitterGruppen->setObjectName(QStringLiteral("Splitter_Gruppen"));
    m_splitterGruppen->setHandleWidth(kSplitterWidth);
    m_splitterGruppen->setChildrenCollapsible(false);
    m_gruppen = new GruppenList(m_ctx, m_splitterGruppen);
    m_gruppen->setMinimumWidth(150);
    m_adressen = new AdressenList(m_ctx, m_splitterGruppen);
    m_adressen->setMinimumWidth(150);
    m_splitterGruppen->addWidget(m_gruppen);
    m_splitterGruppen->addWidget(m_adressen);
    m_splitterGruppen->setStretchFactor(0, 0);
    m_splitterGruppen->setStretchFactor(1, 1);
    lowerLayout->addWidget(m_splitterGruppen, 1);

    m_options = new AdressenOptionsBar(lower);
    lowerLayout->addWidget(m_options);

    m_status = new TCaptionBar(QString(), central);
    m_status->setObjectName(QStringLiteral("VGradPanel_Status"));
    m_status->setBold(false);
    v->addWidget(m_status);

    setCentralWidget(central);

    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("Timer1"));
    m_timer->setInterval(300);
    connect(m_timer, &QTimer::timeout, this, Guarded(m_ctx, [this] { Timer1Timer(); }));
}

void TForm_Tavisto::connectCommands()
{
    MainCommands* c = m_commands;
    const std::pair<const char*, void (MainCommands::*)()> buttons[] = {
        {"TB_Absender_Add", &MainCommands::TB_Absender_AddClick},
        {"TB_Absender_Edit", &MainCommands::TB_Absender_EditClick},
        {"TB_Absender_Delete", &MainCommands::TB_Absender_DeleteClick},
        {"TB_Absender_Designer", &MainCommands::TB_Absender_DesignerClick},
        {"TB_Absender_Copy", &MainCommands::TB_Absender_CopyClick},
        {"TB_Absender_Export", &MainCommands::TB_Absender_ExportClick},
        {"TB_Gruppe_Add", &MainCommands::TB_Gruppe_AddClick},
        {"TB_Gruppe_Edit", &MainCommands::TB_Gruppe_EditClick},
        {"TB_Gruppe_Delete", &MainCommands::TB_Gruppe_DeleteClick},
        {"TB_Gruppe_Online", &MainCommands::TB_Gruppe_OnlineClick},
        {"TB_Gruppe_Aktualisieren", &MainCommands::TB_Gruppe_AktualisierenClick},
        {"TB_Adresse_Add", &MainCommands::TB_Adresse_AddClick},
        {"TB_Adresse_Edit", &MainCommands::TB_Adresse_EditClick},
        {"TB_Adresse_Delete", &MainCommands::TB_Adresse_DeleteClick},
        {"TB_Adresse_Copy", &MainCommands::TB_Adresse_CopyClick},
        {"TB_Adresse_Import", &MainCommands::TB_Adresse_ImportClick},
        {"TB_Adresse_Export", &MainCommands::TB_Adresse_ExportClick},
        {"TB_Adresse_AutoNamen", &MainCommands::TB_Adresse_AutoNamenClick},
        {"TB_Vorschau", &MainCommands::TB_VorschauClick},
        {"TB_Einzeldruck", &MainCommands::TB_EinzeldruckClick},
        {"TB_Seriendruck", &MainCommands::TB_SeriendruckClick},
        {"TB_PdfSpeichern", &MainCommands::TB_PdfSpeichernClick},
        {"TB_Etiketten", &MainCommands::TB_EtikettenClick},
        {"TB_Einstellungen", &MainCommands::TB_EinstellungenClick},
        {"TB_Backup", &MainCommands::TB_BackupClick},
        {"TB_Hilfe", &MainCommands::TB_HilfeClick},
        {"TB_Info", &MainCommands::TB_InfoClick},
    };
    // Every command runs guarded: an error it does not catch itself goes to the general
    // error handler and the window stays usable.
    auto command = [this, c](void (MainCommands::*slot)()) { return Guarded(m_ctx, [c, slot] { (c->*slot)(); }); };
    for (const auto& [name, slot] : buttons)
        connect(m_ribbon->Button(QString::fromLatin1(name)), &QToolButton::clicked, c, command(slot));

    const std::pair<const char*, void (MainCommands::*)()> entries[] = {
        {"PM_MenuButton_Absender", &MainCommands::TB_Absender_AddClick},
        {"PM_MenuButton_Gruppe", &MainCommands::TB_Gruppe_AddClick},
        {"PM_MenuButton_Adresse", &MainCommands::TB_Adresse_AddClick},
        {"PM_MenuButton_Druckvorschau", &MainCommands::TB_VorschauClick},
        {"PM_MenuButton_Einzeldruck", &MainCommands::TB_EinzeldruckClick},
        {"PM_MenuButton_Seriendruck", &MainCommands::TB_SeriendruckClick},
        {"PM_MenuButton_PdfSpeichern", &MainCommands::TB_PdfSpeichernClick},
        {"PM_MenuButton_Etiketten", &MainCommands::TB_EtikettenClick},
        {"PM_MenuButton_Einstellungen", &MainCommands::TB_EinstellungenClick},
        {"PM_MenuButton_Datensicherung", &MainCommands::TB_BackupClick},
        {"PM_MenuButton_Hilfe", &MainCommands::TB_HilfeClick},
        {"PM_MenuButton_Info", &MainCommands::TB_InfoClick},
        {"PM_MenuButton_Beenden", &MainCommands::TB_BeendenClick},
    };
    for (const auto& [name, slot] : entries)
        connect(m_ribbon->MenuAction(QString::fromLatin1(name)), &QAction::triggered, c, command(slot));

    connect(m_absender, &AbsenderList::editRequested, c, command(&MainCommands::TB_Absender_EditClick));
    connect(m_absender, &AbsenderList::deleteRequested, c, command(&MainCommands::TB_Absender_DeleteClick));
    connect(m_absender, &AbsenderList::bannerCellPressed, c, [this, c](const QString& absenderId, bool hasBanner) {
        RunGuarded(m_ctx.Messages, [&] { c->BannerCellPressed(absenderId, hasBanner); });
    });
    connect(m_gruppen, &GruppenList::gruppeChanged, this, Guarded(m_ctx, [this] { LoadAdressenList(); }));
    connect(m_gruppen, &GruppenList::editRequested, c, command(&MainCommands::TB_Gruppe_EditClick));
    connect(m_gruppen, &GruppenList::deleteRequested, c, command(&MainCommands::TB_Gruppe_DeleteClick));
    connect(m_adressen, &AdressenList::editRequested, c, command(&MainCommands::TB_Adresse_EditClick));
    connect(m_adressen, &AdressenList::deleteRequested, c, command(&MainCommands::TB_Adresse_DeleteClick));
    connect(m_options, &AdressenOptionsBar::filterChanged, this, Guarded(m_ctx, [this] { LoadAdressenList(); }));
    connect(m_options, &AdressenOptionsBar::nameHiddenChanged, m_adressen, &AdressenList::SetNameHidden);
}

void TForm_Tavisto::FormCreate(const StartupFolders& folders)
{
    InstallHintWindow();
    setWindowTitle(kCaption);
    if (const QString fatal = OpenDataStore(m_ctx, folders); !fatal.isEmpty()) {
        m_ctx.Messages->ErrorMessage(fatal);
        return;
    }

    const IniFile ini(m_ctx.Paths.SettingsFile);
    PrinterFacts printers;
    if (m_ctx.Printer) {
        printers.Names = m_ctx.Printer->Printers();
        printers.Count = int(printers.Names.size());
        printers.SelectedIndex = m_ctx.Printer->PrinterIndex();
    }
    const QScreen* screen = QGuiApplication::primaryScreen();
    m_ctx.Settings = LoadSettings(ini, screen ? screen->size() : QSize(1024, 768), printers,
                                  [this] { WarnNoPrinter(*m_ctx.Messages); });
    ApplyWindowSettings();
    m_started = true;

    m_ribbon->setCurrentIndex(MainRibbon::TabAbsender);
    ReloadAll();
    // The list has the focus, not the first control of the ribbon: Return edits at once.
    m_absender->Grid()->setFocus();

    // The window sees every key before the focused control (F1, F2).
    qApp->installEventFilter(this);
    m_timer->start();
    Timer1Timer();
}

void TForm_Tavisto::ApplyWindowSettings()
{
    const WindowSettings& w = m_ctx.Settings.Window;
    move(w.Left, w.Top);
    resize(w.Width, w.Height);
    if (x() < 0 || y() < 0)
        move(std::max(0, x()), std::max(0, y()));
    // The lower part keeps its height; the senders take what remains.
    m_splitterAbsender->setSizes({std::max(100, w.Height), w.SplitterAdressen});
    m_splitterGruppen->setSizes({w.SplitterGruppen, std::max(150, w.Width)});
    if (w.OptionsCollapsed)
        m_options->SetCollapsed(true);
    m_absender->SetColumnWidths(w.AbsenderColumns);
    m_adressen->SetColumnWidths(w.AdressenColumns);
    m_options->SetNameHidden(w.HideNameColumn);
    m_adressen->SetNameHidden(w.HideNameColumn);
}

void TForm_Tavisto::ShowAsSaved()
{
    if (m_ctx.Settings.Window.Maximized)
        showMaximized();
    else
        show();
}

void TForm_Tavisto::CollectWindowSettings()
{
    WindowSettings& w = m_ctx.Settings.Window;
    w.Maximized = isMaximized();
    if (!w.Maximized) {
        w.Left = pos().x();
        w.Top = pos().y();
        w.Width = width();
        w.Height = height();
    }
    const QList<int> lower = m_splitterAbsender->sizes();
    if (lower.size() == 2)
        w.SplitterAdressen = lower[1];
    const QList<int> groups = m_splitterGruppen->sizes();
    if (groups.size() == 2)
        w.SplitterGruppen = groups[0];
    w.OptionsCollapsed = m_options->IsCollapsed();
    const auto absender = m_absender->ColumnWidths();
    for (size_t i = 0; i < absender.size(); ++i)
        w.AbsenderColumns[i] = std::max(kMinColumnWidth, absender[i]);
    // A hidden "Name" column (width -1) is saved as the smallest width.
    const auto adressen = m_adressen->ColumnWidths();
    for (size_t i = 0; i < adressen.size(); ++i)
        w.AdressenColumns[i] = std::max(kMinColumnWidth, adressen[i]);
    w.HideNameColumn = m_options->NameHidden();
}

void TForm_Tavisto::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
}

bool TForm_Tavisto::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
        return QMainWindow::eventFilter(watched, event);
    auto* w = static_cast<QWidget*>(watched);
    if (w->window() != this)
        return false;
    // A key travels from the focused control up to the window; act on it once.
    QWidget* focus = QApplication::focusWidget();
    if (w != focus && focus && w->isAncestorOf(focus))
        return false;
    // Consumed: a window opened here moves the focus, and the key must not reach the
    // parents as if it had not been handled.
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_F1) {
        RunGuarded(m_ctx.Messages, [this] { m_commands->TB_HilfeClick(); });
        return true;
    }
    if (key == Qt::Key_F2) {
        RunGuarded(m_ctx.Messages, [this] { m_commands->TB_InfoClick(); });
        return true;
    }
    return false;
}

void TForm_Tavisto::Timer1Timer()
{
    auto follow = [this](const char* name, bool enabled) {
        TToolButton* b = m_ribbon->Button(QString::fromLatin1(name));
        if (b && b->isEnabled() != enabled)
            b->setEnabled(enabled);
    };
    const bool absender = m_absender->Grid()->currentIndex().isValid();
    const bool gruppe = !GetSelectedGruppeID().isEmpty();
    const bool adresse = m_adressen->Grid()->currentIndex().isValid();
    for (const char* name : {"TB_Absender_Edit", "TB_Absender_Delete", "TB_Absender_Designer", "TB_Absender_Copy"})
        follow(name, absender);
    for (const char* name : {"TB_Gruppe_Edit", "TB_Gruppe_Delete", "TB_Adresse_Add", "TB_Gruppe_Online",
                             "TB_Gruppe_Aktualisieren"})
        follow(name, gruppe);
    for (const char* name : {"TB_Adresse_Edit", "TB_Adresse_Delete", "TB_Adresse_Copy"})
        follow(name, adresse);
    if (QWidget* divider = m_ribbon->ImportExportDivider())
        divider->setEnabled(m_adressen->Model()->rowCount() > 0);
}

void TForm_Tavisto::FormActivate()
{
    // Shown once per settings file: the cleared flag is saved at exit.
    if (m_started)
        RunGuarded(m_ctx.Messages, [this] { ShowNewsIfDue(m_ctx); });
    // Once per run, after the window is up: the network never holds the start.
    if (m_started && !m_onlineRefreshed) {
        m_onlineRefreshed = true;
        QTimer::singleShot(0, this, [this] { RunGuarded(m_ctx.Messages, [this] { m_commands->RefreshOnlineGroupsAtStart(); }); });
    }
}

void TForm_Tavisto::FormDestroy()
{
    m_timer->stop();
    CollectWindowSettings();
    // A full disk or a missing right keeps the previous file whole and is said.
    SaveSettingsFile(m_ctx.Paths.SettingsFile, m_ctx.Settings, *m_ctx.Messages);
    m_absender->Clear();
    m_gruppen->Clear();
    m_adressen->Clear();
}

// ---- lists ----

void TForm_Tavisto::LoadAbsenderList()
{
    m_absender->Load();
}

void TForm_Tavisto::LoadGruppenList()
{
    m_gruppen->Load();
}

void TForm_Tavisto::LoadAdressenList()
{
    m_adressen->Load(CurrentAdressenFilter());
}

QString TForm_Tavisto::GetSelectedAbsenderID() const
{
    return m_absender->SelectedID();
}

QString TForm_Tavisto::GetSelectedGruppeID() const
{
    return m_gruppen->SelectedID();
}

QString TForm_Tavisto::GetSelectedAdresseID() const
{
    return m_adressen->SelectedID();
}

QString TForm_Tavisto::GetGruppeIDAt(int index) const
{
    return m_gruppen->GruppeIDAt(index);
}

void TForm_Tavisto::SelectAbsenderByID(const QString& absenderId)
{
    m_absender->SelectByID(absenderId);
}

void TForm_Tavisto::SelectGruppeByID(const QString& gruppeId)
{
    m_gruppen->SelectByID(gruppeId);
}

void TForm_Tavisto::SelectAdresseByID(const QString& adresseId)
{
    // The record may lie among the rows of a long list that are still to come.
    if (m_adressen->Model()->RowOf(adresseId) < 0)
        m_adressen->CompleteRows(QStringLiteral("Die Adresse kann deshalb nicht ausgewählt werden."));
    m_adressen->SelectByID(adresseId);
}

void TForm_Tavisto::SetBannerMark(const QString& absenderId, const QString& mark)
{
    m_absender->SetBannerMark(absenderId, mark);
}

AdressenFilter TForm_Tavisto::CurrentAdressenFilter() const
{
    AdressenFilter f = m_options->Filter();
    f.GruppeID = GetSelectedGruppeID();
    return f;
}

AdressenRows& TForm_Tavisto::AdressenRowsShown()
{
    // Export and sort names work on every row of the list, or not at all.
    m_adressen->CompleteRows(QStringLiteral("Es wurde nichts ausgeführt."));
    return *m_adressen->Model();
}

// ---- status line ----

void TForm_Tavisto::BuildStatusLine()
{
    m_status->setText(StatusLineText(m_ctx));
}

void TForm_Tavisto::ReloadAll()
{
    RunGuarded(m_ctx.Messages, [this] { LoadAbsenderList(); });
    RunGuarded(m_ctx.Messages, [this] { LoadGruppenList(); });
    RunGuarded(m_ctx.Messages, [this] { BuildStatusLine(); });
}
