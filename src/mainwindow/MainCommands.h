#pragma once
#include "envelope/SeriendruckInput.h"

#include <QObject>
#include <QString>

struct AppContext;
class CarddavCommands;
class MainWindowLists;
class MessageService;
class TSQLiteDatabase;

// The commands of the main window: the handler of every ribbon button and menu entry,
// the record dialogs with their reload and reselect, the deletions and the banner column.
// Commands that need a selection and find none do nothing, unless a message is named for
// them. Errors are not caught here: the window runs every command guarded.
class MainCommands : public QObject
{
    Q_OBJECT
public:
    MainCommands(AppContext& ctx, MainWindowLists& window, QObject* parent = nullptr);

    // After a record dialog closed with OK: reload its list and select the saved record.
    void AbsenderSaved(const QString& absenderId);
    void GruppeSaved(const QString& gruppeId);
    void AdresseSaved(const QString& adresseId);

    // Open the record dialog for an identifier (empty for a new record).
    void ShowAbsenderDialog(const QString& absenderId);
    void ShowGruppeDialog(const QString& gruppeId);
    void ShowAdresseDialog(const QString& adresseId);
    void ShowBannerDesigner(const QString& absenderId);

public slots:
    void TB_Absender_AddClick();
    void TB_Absender_EditClick();
    void TB_Absender_DeleteClick();
    void TB_Absender_DesignerClick();
    void TB_Absender_CopyClick();
    void TB_Absender_ExportClick();
    void TB_Gruppe_AddClick();
    void TB_Gruppe_EditClick();
    void TB_Gruppe_DeleteClick();
    void TB_Gruppe_OnlineClick();
    void TB_Gruppe_AktualisierenClick();
    // The linked groups ticked "Beim Start aktualisieren".
    void RefreshOnlineGroupsAtStart();
    void TB_Adresse_AddClick();
    void TB_Adresse_EditClick();
    void TB_Adresse_DeleteClick();
    void TB_Adresse_CopyClick();
    void TB_Adresse_ImportClick();
    void TB_Adresse_ExportClick();
    void TB_Adresse_AutoNamenClick();
    void TB_VorschauClick();
    void TB_EinzeldruckClick();
    void TB_SeriendruckClick();
    void TB_EtikettenClick();
    void TB_PdfSpeichernClick();
    void TB_EinstellungenClick();
    void TB_BackupClick();
    void TB_HilfeClick();
    void TB_InfoClick();
    void TB_BeendenClick();

    // A press on the "Banner" cell of a sender: remove the banner after asking, or design one.
    void BannerCellPressed(const QString& absenderId, bool hasBanner);

private:
    using DeleteRecord = bool (*)(TSQLiteDatabase&, MessageService&, const QString&);
    // Deletes the record after "Ja" to the question, then reloads its list; the failure
    // text when the deletion did not happen.
    void DeleteAfterAsking(const QString& id, DeleteRecord deleteRecord, const QString& question,
                           const QString& failure, void (MainWindowLists::*reload)());
    QWidget* parentWidget() const;
    // What a series prints (on paper or into a PDF file): the address list's group, search
    // and sort, but only active addresses whatever the view mode shows.
    SeriendruckInput seriesInput() const;

    AppContext& m_ctx;
    MainWindowLists& m_window;
    CarddavCommands* m_online = nullptr; // made at its first use, child of this
    CarddavCommands& online();
};
