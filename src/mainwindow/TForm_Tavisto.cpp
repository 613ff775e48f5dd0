#include "mainwindow/TForm_Tavisto.h"

#include "app/AppContext.h"
#include "output/PrintService.h"
#include "shell/IniFile.h"
#include "shell/MessageService.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>

namespace {
const QString kCaption = QStringLiteral("Lumo Tavisto (64-bit) - Copyright © 2026 Lumo Software");
}

TForm_Tavisto::TForm_Tavisto(AppContext& ctx, const StartupFolders& folders, QWidget* parent)
    : QMainWindow(parent), m_ctx(ctx)
{
    setObjectName(QStringLiteral("Form_Tavisto"));
    setMinimumSize(800, 500);
    FormCreate(folders);
}

TForm_Tavisto::~TForm_Tavisto()
{
    if (m_started)
        FormDestroy();
}

void TForm_Tavisto::FormCreate(const StartupFolders& folders)
{
    setWindowTitle(kCaption);
    if (const QString fatal = OpenDataStore(m_ctx, folders); !fatal.isEmpty()) {
        m_ctx.Messages->ErrorMessage(fatal);
        return;
    }

    const IniFile ini(m_ctx.Paths.SettingsFile);
    PrinterFacts printers;
    if (m_ctx.Printer) {
        printers.Count = m_ctx.Printer->PrinterCount();
        printers.SelectedIndex = m_ctx.Printer->PrinterIndex();
    }
    const QScreen* screen = QGuiApplication::primaryScreen();
    m_ctx.Settings = LoadSettings(ini, screen ? screen->size() : QSize(1024, 768), printers, [this] {
        // The warning's text belongs to the output settings.
        m_ctx.Messages->InfoMessage(QStringLiteral(
            "Es wurde kein Drucker gefunden! Ohne Drucker können Probleme während der Programmausführung "
            "auftreten.\n\nBitte öffnen Sie über das Windows-Startmenü den Dialog \"Geräte und Drucker\" und legen "
            "Sie ein Gerät als Standarddrucker fest. Sind keine Geräte vorhanden, können Sie einen kostenlosen "
            "Druckertreiber wie z.B. \"doPDF free PDF\" installieren und das Problem beheben."));
    });
    ApplyWindowSettings();
    m_started = true;
}

void TForm_Tavisto::ApplyWindowSettings()
{
    const WindowSettings& w = m_ctx.Settings.Window;
    move(w.Left, w.Top);
    resize(w.Width, w.Height);
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
}

void TForm_Tavisto::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
}

void TForm_Tavisto::FormActivate()
{
    if (m_ctx.Settings.ShowNews) {
        // Shown once per settings file: the cleared flag is saved at exit.
        m_ctx.Settings.ShowNews = false;
    }
}

void TForm_Tavisto::FormDestroy()
{
    CollectWindowSettings();
    IniFile ini(m_ctx.Paths.SettingsFile);
    SaveSettings(ini, m_ctx.Settings);
    ini.save(m_ctx.Paths.SettingsFile);
}
