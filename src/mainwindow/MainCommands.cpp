#include "mainwindow/MainCommands.h"

#include "app/AppContext.h"
#include "app/BlankText.h"
#include "app/HelpKey.h"
#include "carddav/CarddavCommands.h"
#include "dialogs/TDLG_Absender.h"
#include "dialogs/TDLG_Adresse.h"
#include "dialogs/TDLG_Gruppe.h"
#include "exchange/AdressenImport.h"
#include "exchange/ClipboardCopy.h"
#include "exchange/ExchangeFileDialogs.h"
#include "exchange/Export.h"
#include "labels/TForm_Etiketten.h"
#include "mainwindow/MainWindowLists.h"
#include "printwindows/PdfSeriesCommand.h"
#include "printwindows/Seriendruck.h"
#include "printwindows/SinglePrint.h"
#include "printwindows/TDLG_Einstellungen.h"
#include "printwindows/TDLG_Vorschau.h"
#include "shell/HelpService.h"
#include "shell/MessageService.h"
#include "store/RecordOperations.h"
#include "tools/BannerDesigner.h"
#include "tools/TDLG_AutoNamen.h"
#include "tools/TDLG_Backup.h"
#include "tools/TDLG_Info.h"

MainCommands::MainCommands(AppContext& ctx, MainWindowLists& window, QObject* parent)
    : QObject(parent), m_ctx(ctx), m_window(window)
{
    setObjectName(QStringLiteral("MainCommands"));
}

QWidget* MainCommands::parentWidget() const
{
    return m_window.DialogParent();
}

// ---- record dialogs ----

void MainCommands::ShowAbsenderDialog(const QString& absenderId)
{
    TDLG_Absender dialog(m_ctx, absenderId, parentWidget());
    if (dialog.exec() == QDialog::Accepted)
        AbsenderSaved(dialog.AbsenderID());
}

void MainCommands::AbsenderSaved(const QString& absenderId)
{
    m_window.LoadAbsenderList();
    m_window.SelectAbsenderByID(absenderId);
}

void MainCommands::ShowGruppeDialog(const QString& gruppeId)
{
    TDLG_Gruppe dialog(m_ctx, gruppeId, parentWidget());
    if (dialog.exec() == QDialog::Accepted)
        GruppeSaved(dialog.GruppeID());
}

void MainCommands::GruppeSaved(const QString& gruppeId)
{
    m_window.LoadGruppenList();
    m_window.SelectGruppeByID(gruppeId);
}

void MainCommands::ShowAdresseDialog(const QString& adresseId)
{
    const QString gruppeId = m_window.GetSelectedGruppeID();
    if (IsBlank(gruppeId))
        return;
    TDLG_Adresse dialog(m_ctx, adresseId, gruppeId, parentWidget());
    if (dialog.exec() == QDialog::Accepted)
        AdresseSaved(dialog.AdresseID());
}

void MainCommands::AdresseSaved(const QString& adresseId)
{
    m_window.LoadAdressenList();
    m_window.SelectAdresseByID(adresseId);
}

void MainCommands::ShowBannerDesigner(const QString& absenderId)
{
    if (::ShowBannerDesigner(m_ctx, parentWidget(), absenderId))
        m_window.SetBannerMark(absenderId, QStringLiteral("X"));
}

void MainCommands::DeleteAfterAsking(const QString& id, DeleteRecord deleteRecord, const QString& question,
                                     const QString& failure, void (MainWindowLists::*reload)())
{
    if (m_ctx.Messages->Confirm(question) != Msg::IdYes)
        return;
    if (deleteRecord(m_ctx.db(), *m_ctx.Messages, id))
        (m_window.*reload)();
    else
        m_ctx.Messages->ErrorMessage(failure);
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
    if (!id.isEmpty())
        DeleteAfterAsking(id, DeleteAbsender, QStringLiteral("Sind Sie sicher, dass der gewählte Absender gelöscht werden soll?"),
                          QStringLiteral("Der gewählte Absender konnte nicht gelöscht werden!"),
                          &MainWindowLists::LoadAbsenderList);
}

void MainCommands::TB_Absender_DesignerClick()
{
    ShowBannerDesigner(m_window.GetSelectedAbsenderID());
}

void MainCommands::TB_Absender_CopyClick()
{
    const QString id = m_window.GetSelectedAbsenderID();
    if (!id.isEmpty())
        CopyAbsenderToClipboard(m_ctx, id);
}

void MainCommands::TB_Absender_ExportClick()
{
    ExportAbsender(m_ctx, parentWidget());
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
    if (!IsBlank(id))
        ShowGruppeDialog(id);
}

CarddavCommands& MainCommands::online()
{
    if (!m_online) {
        m_online = new CarddavCommands(m_ctx, parentWidget());
        m_online->setParent(this);
        // The address list shows the group as the book left it.
        connect(m_online, &CarddavCommands::GruppeChanged, this, &MainCommands::GruppeSaved);
    }
    return *m_online;
}

void MainCommands::TB_Gruppe_OnlineClick()
{
    online().LinkGroup(m_window.GetSelectedGruppeID());
}

void MainCommands::TB_Gruppe_AktualisierenClick()
{
    const QString id = m_window.GetSelectedGruppeID();
    if (IsBlank(id))
        return;
    online().Refresh(id, [this, id](bool changed) {
        if (changed)
            GruppeSaved(id);
    });
}

void MainCommands::RefreshOnlineGroupsAtStart()
{
    online().RefreshAtStart([this](const QString& id) {
        if (m_window.GetSelectedGruppeID() == id)
            GruppeSaved(id);
    });
}

void MainCommands::TB_Gruppe_DeleteClick()
{
    const QString id = m_window.GetSelectedGruppeID();
    if (!IsBlank(id))
        DeleteAfterAsking(id, DeleteGruppe, QStringLiteral("Sind Sie sicher, dass die gewählte Gruppe gelöscht werden soll?"),
                          QStringLiteral("Die gewählte Gruppe konnte nicht gelöscht werden!"),
                          &MainWindowLists::LoadGruppenList);
}

// ---- addresses ----

void MainCommands::TB_Adresse_AddClick()
{
    if (IsBlank(m_window.GetSelectedGruppeID())) {
        m_ctx.Messages->ErrorMessage(QStringLiteral("Es wurde keine Gruppe gewählt!"));
        return;
    }
    ShowAdresseDialog(QString());
}

void MainCommands::TB_Adresse_EditClick()
{
    const QString id = m_window.GetSelectedAdresseID();
    if (!IsBlank(id))
        ShowAdresseDialog(id);
}

void MainCommands::TB_Adresse_DeleteClick()
{
    const QString id = m_window.GetSelectedAdresseID();
    if (!id.isEmpty())
        DeleteAfterAsking(id, DeleteAdresse, QStringLiteral("Sind Sie sicher, dass die gewählte Adresse gelöscht werden sollen?"),
                          QStringLiteral("Die Adresse konnte nicht gelöscht werden!"), &MainWindowLists::LoadAdressenList);
}

void MainCommands::TB_Adresse_CopyClick()
{
    const QString id = m_window.GetSelectedAdresseID();
    if (!id.isEmpty())
        CopyAdresseToClipboard(m_ctx, id);
}

void MainCommands::TB_Adresse_ImportClick()
{
    // The vCard page also says which file goes to which import.
    const HelpTopicScope help(m_ctx, HelpContext::VcardImport);
    if (ImportAdressen(m_ctx, parentWidget(), m_window.GetSelectedGruppeID()))
        m_window.LoadAdressenList();
}

void MainCommands::TB_Adresse_ExportClick()
{
    ExportAdressen(m_ctx, parentWidget(), m_window.AdressenRowsShown());
}

void MainCommands::TB_Adresse_AutoNamenClick()
{
    // The names are written into the shown rows as well, so no reload is needed.
    RunAutoNamen(m_ctx, &m_window.AdressenRowsShown(), parentWidget());
}

// ---- output ----

void MainCommands::TB_VorschauClick()
{
    ShowVorschau(m_ctx, parentWidget(), m_window.GetSelectedAbsenderID(), m_window.GetSelectedAdresseID());
}

void MainCommands::TB_EinzeldruckClick()
{
    EinzeldruckCommand(m_ctx, parentWidget(), m_window.GetSelectedAbsenderID(), m_window.GetSelectedAdresseID());
    // A printer may have been chosen on the way (the remembered one was gone).
    m_window.BuildStatusLine();
}

SeriendruckInput MainCommands::seriesInput() const
{
    const AdressenFilter filter = m_window.CurrentAdressenFilter();
    SeriendruckInput input;
    input.AbsenderID = m_window.GetSelectedAbsenderID();
    input.GruppeID = filter.GruppeID;
    input.SearchText = filter.SearchText;
    input.SearchColumn = filter.SearchLine;
    input.SortChoice = filter.SortIndex;
    return input;
}

void MainCommands::TB_SeriendruckClick()
{
    SeriendruckCommand(m_ctx, parentWidget(), seriesInput());
    m_window.BuildStatusLine();
}

void MainCommands::TB_EtikettenClick()
{
    TForm_Etiketten::Show(m_ctx, parentWidget(), seriesInput(), m_window.GetSelectedAdresseID(),
                          [](QWidget* parent, const QString& title, const QString& folder, const QString& filter,
                             const QString& name) {
                              return ExchangeFileDialogs::Standard()
                                  .SaveFileName(parent, title, folder, {filter}, 0, name)
                                  .fileName;
                          },
                          ShowEinstellungen);
    m_window.BuildStatusLine();
}

void MainCommands::TB_PdfSpeichernClick()
{
    const HelpTopicScope help(m_ctx, HelpContext::PdfSpeichern);
    PdfSeriesCommand(m_ctx, parentWidget(), seriesInput(),
                     [](QWidget* parent, const QString& title, const QString& folder, const QString& filter,
                        const QString& name) {
                         return ExchangeFileDialogs::Standard().SaveFileName(parent, title, folder, {filter}, 0, name).fileName;
                     });
}

void MainCommands::TB_EinstellungenClick()
{
    if (ShowEinstellungen(m_ctx, parentWidget()))
        m_window.BuildStatusLine();
}

// ---- options, help ----

void MainCommands::TB_BackupClick()
{
    // Without a working database the program cannot go on; its message has been shown.
    if (!ExecBackupDialog(m_ctx, parentWidget(), [this] { m_window.ReloadAll(); }))
        m_window.CloseWindow();
}

void MainCommands::TB_HilfeClick()
{
    if (m_ctx.Help)
        m_ctx.Help->ShowHelpTopic(HelpContext::Main);
}

void MainCommands::TB_InfoClick()
{
    ShowInfo(m_ctx, parentWidget());
}

void MainCommands::TB_BeendenClick()
{
    m_window.CloseWindow();
}
