#include "mainwindow/MainCommands.h"

#include "app/AppContext.h"
#include "mainwindow/TForm_Tavisto.h"
#include "shell/HelpService.h"
#include "shell/MessageService.h"
#include "store/RecordOperations.h"

#include <QMenu>

MainCommands::MainCommands(AppContext& ctx, TForm_Tavisto& window)
    : QObject(&window), m_ctx(ctx), m_window(window)
{
    setObjectName(QStringLiteral("MainCommands"));
    m_dropMenu = new QMenu(&window);
    m_dropMenu->setObjectName(QStringLiteral("PopMenu_Adresse_Drag"));
    QAction* kopieren = m_dropMenu->addAction(QStringLiteral("&Kopieren"));
    kopieren->setObjectName(QStringLiteral("PopMenu_Adresse_Kopieren"));
    QAction* verschieben = m_dropMenu->addAction(QStringLiteral("&Verschieben"));
    verschieben->setObjectName(QStringLiteral("PopMenu_Adresse_Verschieben"));
    m_dropMenu->addSeparator();
    QAction* abbrechen = m_dropMenu->addAction(QStringLiteral("&Abbrechen"));
    abbrechen->setObjectName(QStringLiteral("PopMenu_Adresse_Abbrechen"));
    connect(kopieren, &QAction::triggered, this, &MainCommands::PopMenu_Adresse_KopierenClick);
    connect(verschieben, &QAction::triggered, this, &MainCommands::PopMenu_Adresse_VerschiebenClick);
    connect(abbrechen, &QAction::triggered, this, &MainCommands::PopMenu_Adresse_AbbrechenClick);
}

// ---- record dialogs ----

void MainCommands::ShowAbsenderDialog(const QString& absenderId)
{
    Q_UNUSED(absenderId);
    // wired when the record dialogs land: TDLG_Absender(ctx, absenderId) modal; on OK AbsenderSaved(GetAbsenderID())
}

void MainCommands::AbsenderSaved(const QString& absenderId)
{
    m_window.LoadAbsenderList();
    m_window.SelectAbsenderByID(absenderId);
}

void MainCommands::ShowGruppeDialog(const QString& gruppeId)
{
    Q_UNUSED(gruppeId);
    // wired when the record dialogs land: TDLG_Gruppe(ctx, gruppeId) modal; on OK GruppeSaved(GetGruppeID())
}

void MainCommands::GruppeSaved(const QString& gruppeId)
{
    m_window.LoadGruppenList();
    m_window.SelectGruppeByID(gruppeId);
}

void MainCommands::ShowAdresseDialog(const QString& adresseId)
{
    const QString gruppeId = m_window.GetSelectedGruppeID();
    if (gruppeId.trimmed().isEmpty())
        return;
    Q_UNUSED(adresseId);
    // wired when the record dialogs land: TDLG_Adresse(ctx, adresseId, gruppeId) modal; on OK AdresseSaved(GetAdresseID())
}

void MainCommands::AdresseSaved(const QString& adresseId)
{
    m_window.LoadAdressenList();
    m_window.SelectAdresseByID(adresseId);
}

void MainCommands::ShowBannerDesigner(const QString& absenderId)
{
    if (absenderId.isEmpty())
        return;
    // wired when the designer lands: TDLG_Designer modal; on OK SaveBanner, then SetBannerMark(id, "X") or "Das Banner konnte nicht gespeichert werden?"
}

// ---- senders ----

void MainCommands::TB_Absender_AddClick()
{
    ShowAbsenderDialog(QString());
}

void MainCommands::TB_Absender_EditClick()
{
    const QString id = m_window.GetSelectedAbsenderID();
    if (!id.isEmpty())
        ShowAbsenderDialog(id);
}

void MainCommands::TB_Absender_DeleteClick()
{
    const QString id = m_window.GetSelectedAbsenderID();
    if (id.isEmpty())
        return;
    if (m_ctx.Messages->Confirm(QStringLiteral("Sind Sie sicher, dass der gewählte Absender gelöscht werden soll?")) !=
        Msg::IdYes)
        return;
    if (DeleteAbsender(m_ctx.db(), *m_ctx.Messages, id))
        m_window.LoadAbsenderList();
    else
        m_ctx.Messages->ErrorMessage(QStringLiteral("Der gewählte Absender konnte nicht gelöscht werden!"));
}

void MainCommands::TB_Absender_DesignerClick()
{
    ShowBannerDesigner(m_window.GetSelectedAbsenderID());
}

void MainCommands::TB_Absender_CopyClick()
{
    // wired when the export lands: copy the selected sender's lines to the clipboard
}

void MainCommands::TB_Absender_ExportClick()
{
    // wired when the export lands: export all senders
}

void MainCommands::BannerCellPressed(const QString& absenderId, bool hasBanner)
{
    if (absenderId.isEmpty())
        return;
    if (!hasBanner) {
        ShowBannerDesigner(absenderId);
        return;
    }
    if (m_ctx.Messages->Confirm(QStringLiteral("Soll das Banner zu diesem Absender entfernt werden?")) != Msg::IdYes)
        return;
    if (DeleteBanner(m_ctx.db(), absenderId))
        m_window.SetBannerMark(absenderId, QString());
    else
        m_ctx.Messages->ErrorMessage(QStringLiteral("Das Banner konnte nicht gelöscht werden?"));
}

// ---- groups ----

void MainCommands::TB_Gruppe_AddClick()
{
    ShowGruppeDialog(QString());
}

void MainCommands::TB_Gruppe_EditClick()
{
    const QString id = m_window.GetSelectedGruppeID();
    if (!id.trimmed().isEmpty())
        ShowGruppeDialog(id);
}

void MainCommands::TB_Gruppe_DeleteClick()
{
    const QString id = m_window.GetSelectedGruppeID();
    if (id.trimmed().isEmpty())
        return;
    if (m_ctx.Messages->Confirm(QStringLiteral("Sind Sie sicher, dass die gewählte Gruppe gelöscht werden soll?")) !=
        Msg::IdYes)
        return;
    if (DeleteGruppe(m_ctx.db(), *m_ctx.Messages, id))
        m_window.LoadGruppenList();
    else
        m_ctx.Messages->ErrorMessage(QStringLiteral("Die gewählte Gruppe konnte nicht gelöscht werden!"));
}

// ---- addresses ----

void MainCommands::TB_Adresse_AddClick()
{
    if (m_window.GetSelectedGruppeID().trimmed().isEmpty()) {
        m_ctx.Messages->ErrorMessage(QStringLiteral("Es wurde keine Gruppe gewählt!"));
        return;
    }
    ShowAdresseDialog(QString());
}

void MainCommands::TB_Adresse_EditClick()
{
    const QString id = m_window.GetSelectedAdresseID();
    if (!id.trimmed().isEmpty())
        ShowAdresseDialog(id);
}

void MainCommands::TB_Adresse_DeleteClick()
{
    const QString id = m_window.GetSelectedAdresseID();
    if (id.isEmpty())
        return;
    if (m_ctx.Messages->Confirm(QStringLiteral("Sind Sie sicher, dass die gewählte Adresse gelöscht werden sollen?")) !=
        Msg::IdYes)
        return;
    if (DeleteAdresse(m_ctx.db(), *m_ctx.Messages, id))
        m_window.LoadAdressenList();
    else
        m_ctx.Messages->ErrorMessage(QStringLiteral("Die Adresse konnte nicht gelöscht werden!"));
}

void MainCommands::TB_Adresse_CopyClick()
{
    // wired when the export lands: copy the selected address's lines to the clipboard
}

void MainCommands::TB_Adresse_ImportClick()
{
    // wired when the import lands: import into the selected group, then LoadAdressenList
}

void MainCommands::TB_Adresse_ExportClick()
{
    // wired when the export lands: export m_window.AdressenRowsShown()
}

void MainCommands::TB_Adresse_AutoNamenClick()
{
    // wired when the sort-name dialog lands: TDLG_AutoNamen over m_window.AdressenRowsShown()
}

// ---- output ----

void MainCommands::TB_VorschauClick()
{
    // wired when printing lands: ShowVorschau(ctx, window, GetSelectedAbsenderID(), GetSelectedAdresseID())
}

void MainCommands::TB_EinzeldruckClick()
{
    // wired when printing lands: EinzeldruckCommand(ctx, window, GetSelectedAbsenderID(), GetSelectedAdresseID())
}

void MainCommands::TB_SeriendruckClick()
{
    // wired when printing lands: series print of GetSelectedAbsenderID() over CurrentAdressenFilter()
}

void MainCommands::TB_EinstellungenClick()
{
    // wired when printing lands: if (ShowEinstellungen(ctx, window)) m_window.BuildStatusLine()
}

// ---- options, help ----

void MainCommands::TB_BackupClick()
{
    // wired when backup lands: if (!ExecBackupDialog(ctx, &window, [&] { m_window.ReloadAll(); })) m_window.close()
}

void MainCommands::TB_HilfeClick()
{
    if (m_ctx.Help)
        m_ctx.Help->ShowHelpTopic(HelpContext::Main);
}

void MainCommands::TB_InfoClick()
{
    // wired when the information window lands
}

void MainCommands::TB_BeendenClick()
{
    m_window.close();
}

// ---- drag and drop between groups ----

void MainCommands::AdresseDropped(int gruppeRow, const QPoint& globalPos)
{
    FDragAdresseID = m_window.GetSelectedAdresseID();
    FDragGruppeID = m_window.GetGruppeIDAt(gruppeRow);
    m_dropMenu->popup(globalPos);
}

void MainCommands::PopMenu_Adresse_KopierenClick()
{
    // wired when the group transfer lands: CopyAdresseToGruppe(FDragAdresseID, FDragGruppeID)
}

void MainCommands::PopMenu_Adresse_VerschiebenClick()
{
    // wired when the group transfer lands: if MoveAdresseToGruppe(FDragAdresseID, FDragGruppeID) LoadAdressenList
}

void MainCommands::PopMenu_Adresse_AbbrechenClick() {}
