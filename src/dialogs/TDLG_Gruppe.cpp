#include "dialogs/TDLG_Gruppe.h"

#include "app/AppContext.h"
#include "app/BlankText.h"
#include "app/GeneralError.h"
#include "dialogs/RecordDialogParts.h"
#include "shell/HelpService.h"
#include "shell/MessageService.h"
#include "store/RecordIds.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

using RecordDialogParts::Lines;

namespace {
constexpr int kNameLimit = 50;
}

TDLG_Gruppe::TDLG_Gruppe(AppContext& ctx, const QString& gruppeId, QWidget* parent)
    : QDialog(parent), m_ctx(ctx), FGruppeID(gruppeId)
{
    setObjectName(QStringLiteral("TDLG_Gruppe"));
    setWindowTitle(gruppeId.isEmpty() ? QStringLiteral("Neue Gruppe erstellen...") : QStringLiteral("Gruppe bearbeiten..."));

    auto* root = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    Edit_Name = new QLineEdit(this);
    Edit_Name->setObjectName(QStringLiteral("Edit_Name"));
    Edit_Name->setMaxLength(kNameLimit);
    Edit_Name->setMinimumWidth(300);
    auto* label = new QLabel(QStringLiteral("Name:"), this);
    label->setBuddy(Edit_Name);
    row->addWidget(label);
    row->addWidget(Edit_Name, 1);
    root->addLayout(row);

    const auto bar = RecordDialogParts::MakeBottomBar(this, ctx, HelpContext::Gruppe);
    Button_Help = bar.help;
    Button_Save = bar.save;
    Button_Cancel = bar.cancel;
    root->addLayout(bar.layout);
    // A statement the database refuses is shown by the general error handler; the dialog stays.
    connect(Button_Save, &QPushButton::clicked, this, Guarded(ctx, [this] { Button_SaveClick(); }));
    RecordDialogParts::AddSaveShortcut(this, Button_Save);
    setTabOrder(Edit_Name, Button_Help);
    setTabOrder(Button_Help, Button_Save);
    setTabOrder(Button_Save, Button_Cancel);
    Edit_Name->setFocus();

    LoadGruppe();
}

void TDLG_Gruppe::LoadGruppe()
{
    TSQLiteDatabase& db = m_ctx.db();
    if (!db.TableExists(QStringLiteral("tab_gruppen")))
        return;
    TSQLiteTable t = db.GetTable(QStringLiteral("SELECT * FROM tab_gruppen WHERE Gruppe_ID = ?"), {FGruppeID});
    RecordDialogParts::ShowStored(Edit_Name, t.Count() == 0 ? QString() : t.Field(QStringLiteral("Name")));
}

void TDLG_Gruppe::Button_SaveClick()
{
    if (IsBlank(Edit_Name->text())) {
        m_ctx.Messages->ErrorMessage(QStringLiteral("Es wurde kein Name angegeben!"));
        return;
    }
    SaveGruppe();
    RecordDialogParts::ReportReplacements(m_ctx, {Edit_Name->text()});
    accept();
}

void TDLG_Gruppe::SaveGruppe()
{
    TSQLiteDatabase& db = m_ctx.db();
    if (!db.TableExists(QStringLiteral("tab_gruppen")))
        return;
    if (!FGruppeID.isEmpty()) {
        Transaction t(db);
        db.ExecSQL(Lines({"UPDATE tab_gruppen", "SET Name=?", "WHERE Gruppe_ID=?"}), {Edit_Name->text(), FGruppeID});
        t.Commit();
        return;
    }
    const QString id = NewID(db, QStringLiteral("GR"), QStringLiteral("tab_gruppen"), QStringLiteral("Gruppe_ID"));
    if (id.isEmpty()) {
        m_ctx.Messages->ErrorMessage(QStringLiteral("Fehler beim Erstellen der \"Gruppe_ID\"!"));
        return;
    }
    Transaction t(db);
    db.ExecSQL(Lines({"INSERT INTO tab_gruppen (", "Gruppe_ID", ",Name", ")", "VALUES (", "?", ",?", ");"}),
               {id, Edit_Name->text()});
    t.Commit();
    // Taken only once the row exists: after a failed insert a second "Speichern" inserts
    // again instead of updating a row that is not there.
    FGruppeID = id;
}
