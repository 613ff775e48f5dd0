#include "dialogs/TDLG_Adresse.h"

#include "app/AppContext.h"
#include "carddav/CarddavStore.h"
#include "store/ESQLiteException.h"
#include "app/BlankText.h"
#include "app/GeneralError.h"
#include "app/ReverseWords.h"
#include "dialogs/RecordDialogParts.h"
#include "shell/HelpService.h"
#include "shell/MessageService.h"
#include "store/RecordIds.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabBar>
#include <QTextCursor>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

using RecordDialogParts::Lines;
using RecordDialogParts::ShowStored;

namespace {

constexpr int kLineLimit = 50;
constexpr int kPhoneLimit = 30;

QLineEdit* edit(const char* name, int limit, QWidget* parent)
{
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    e->setMaxLength(limit);
    return e;
}

QComboBox* editableCombo(const char* name, int limit, QWidget* parent)
{
    auto* c = new QComboBox(parent);
    c->setObjectName(QString::fromLatin1(name));
    c->setEditable(true);
    // Typing never adds entries to the list.
    c->setInsertPolicy(QComboBox::NoInsert);
    c->lineEdit()->setMaxLength(limit);
    return c;
}

QLabel* label(const QString& text, QWidget* buddy, QWidget* parent)
{
    auto* l = new QLabel(text, parent);
    l->setBuddy(buddy);
    return l;
}

} // namespace

TDLG_Adresse::TDLG_Adresse(AppContext& ctx, const QString& adresseId, const QString& gruppeId, QWidget* parent)
    : QDialog(parent), m_ctx(ctx), FAdresseID(adresseId), FGruppeID(gruppeId)
{
    setObjectName(QStringLiteral("TDLG_Adresse"));
    setWindowTitle(adresseId.isEmpty() ? QStringLiteral("Neue Adresse hinzufügen...") : QStringLiteral("Adresse bearbeiten..."));

    auto* root = new QVBoxLayout(this);
    TabsControl_Adresse = new QTabBar(this);
    TabsControl_Adresse->setObjectName(QStringLiteral("TabsControl_Adresse"));
    TabsControl_Adresse->addTab(QStringLiteral("Adressdaten"));
    TabsControl_Adresse->addTab(QStringLiteral("Weitere Daten"));
    TabsControl_Adresse->setExpanding(false);
    root->addWidget(TabsControl_Adresse);
    m_pages = new QStackedWidget(this);
    m_pages->setFrameStyle(QFrame::StyledPanel | QFrame::Plain);
    m_pages->addWidget(buildDaten());
    m_pages->addWidget(buildAngaben());
    root->addWidget(m_pages, 1);
    connect(TabsControl_Adresse, &QTabBar::currentChanged, m_pages, &QStackedWidget::setCurrentIndex);

    const auto bar = RecordDialogParts::MakeBottomBar(this, ctx, HelpContext::Adresse);
    Button_Help = bar.help;
    Button_Save = bar.save;
    Button_Cancel = bar.cancel;
    root->addLayout(bar.layout);
    // A statement the database refuses is shown by the general error handler; the dialog stays.
    connect(Button_Save, &QPushButton::clicked, this, Guarded(ctx, [this] { Button_SaveClick(); }));
    RecordDialogParts::AddSaveShortcut(this, Button_Save);

    showTab(0);
    LoadAdresse();
    ShowOnlineOrigin(root);
}

void TDLG_Adresse::ShowOnlineOrigin(QVBoxLayout* root)
{
    QString book;
    try {
        book = CarddavStore::LinkedBookName(m_ctx.db(), FAdresseID);
    } catch (const ESQLiteException&) {
        return;
    }
    if (book.isEmpty())
        return;
    // Changed on the server, brought here by the group's next update; what is local
    // (active flag, sort name, dispatch method) stays editable.
    auto* notice = new QLabel(
        QStringLiteral("Diese Adresse stammt aus dem Online-Adressbuch „%1“ und wird dort geändert.").arg(book), this);
    notice->setObjectName(QStringLiteral("Label_Online"));
    notice->setWordWrap(true);
    root->insertWidget(0, notice);
    for (QLineEdit* edit : Edit_Line)
        edit->setReadOnly(true);
    for (QLineEdit* edit : {Edit_Telefon, Edit_Fax, Edit_Handy, Edit_Mail})
        edit->setReadOnly(true);
    Memo_Bemerkung->setReadOnly(true);
}

QWidget* TDLG_Adresse::buildDaten()
{
    Panel_Daten = new QWidget(this);
    Panel_Daten->setObjectName(QStringLiteral("Panel_Daten"));
    auto* v = new QVBoxLayout(Panel_Daten);
    v->setSpacing(2);
    for (int i = 0; i < 5; ++i) {
        Edit_Line[i] = edit(QStringLiteral("Edit_Line%1").arg(i + 1).toLatin1().constData(), kLineLimit, Panel_Daten);
        v->addWidget(label(QStringLiteral("Zeile %1:").arg(i + 1), Edit_Line[i], Panel_Daten));
        v->addWidget(Edit_Line[i]);
        v->addSpacing(4);
    }
    ComboBox_Line6 = editableCombo("ComboBox_Line6", kLineLimit, Panel_Daten);
    ComboBox_Line6->setMaxVisibleItems(20);
    v->addWidget(label(QStringLiteral("Zusätzlicher Name für das Sortieren der Adressen:"), ComboBox_Line6, Panel_Daten));
    v->addWidget(ComboBox_Line6);
    v->addSpacing(6);
    CheckBox_Aktiv = new QCheckBox(QStringLiteral("Aktiv"), Panel_Daten);
    CheckBox_Aktiv->setObjectName(QStringLiteral("CheckBox_Aktiv"));
    v->addWidget(CheckBox_Aktiv);
    v->addStretch(1);
    return Panel_Daten;
}

QWidget* TDLG_Adresse::buildAngaben()
{
    Panel_Angaben = new QWidget(this);
    Panel_Angaben->setObjectName(QStringLiteral("Panel_Angaben"));
    auto* v = new QVBoxLayout(Panel_Angaben);
    v->setSpacing(2);

    auto* phones = new QGridLayout;
    phones->setHorizontalSpacing(8);
    Edit_Telefon = edit("Edit_Telefon", kPhoneLimit, Panel_Angaben);
    Edit_Fax = edit("Edit_Fax", kPhoneLimit, Panel_Angaben);
    Edit_Handy = edit("Edit_Handy", kPhoneLimit, Panel_Angaben);
    phones->addWidget(label(QStringLiteral("Telefon:"), Edit_Telefon, Panel_Angaben), 0, 0);
    phones->addWidget(label(QStringLiteral("Fax:"), Edit_Fax, Panel_Angaben), 0, 1);
    phones->addWidget(label(QStringLiteral("Handy:"), Edit_Handy, Panel_Angaben), 0, 2);
    phones->addWidget(Edit_Telefon, 1, 0);
    phones->addWidget(Edit_Fax, 1, 1);
    phones->addWidget(Edit_Handy, 1, 2);
    v->addLayout(phones);
    v->addSpacing(4);

    Edit_Mail = edit("Edit_Mail", kLineLimit, Panel_Angaben);
    v->addWidget(label(QStringLiteral("E-Mail:"), Edit_Mail, Panel_Angaben));
    v->addWidget(Edit_Mail);
    v->addSpacing(4);

    ComboBox_Versand = editableCombo("ComboBox_Versand", kLineLimit, Panel_Angaben);
    ComboBox_Versand->addItems({QStringLiteral("Deutsche Post"), QStringLiteral("Biberpost"), QStringLiteral("Kurier")});
    v->addWidget(label(QStringLiteral("Versandart:"), ComboBox_Versand, Panel_Angaben));
    v->addWidget(ComboBox_Versand);
    v->addSpacing(4);

    Memo_Bemerkung = new QPlainTextEdit(Panel_Angaben);
    Memo_Bemerkung->setObjectName(QStringLiteral("Memo_Bemerkung"));
    Memo_Bemerkung->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo_Bemerkung->setTabChangesFocus(true);
    Label_Bemerkung_Count = new QLabel(Panel_Angaben);
    Label_Bemerkung_Count->setObjectName(QStringLiteral("Label_Bemerkung_Count"));
    Label_Bemerkung_Count->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto* remarkHead = new QHBoxLayout;
    remarkHead->addWidget(label(QStringLiteral("Bemerkung:"), Memo_Bemerkung, Panel_Angaben));
    remarkHead->addStretch(1);
    remarkHead->addWidget(Label_Bemerkung_Count);
    v->addLayout(remarkHead);
    v->addWidget(Memo_Bemerkung, 1);
    connect(Memo_Bemerkung, &QPlainTextEdit::textChanged, this, &TDLG_Adresse::Memo_BemerkungChange);
    Memo_BemerkungChange();
    return Panel_Angaben;
}

void TDLG_Adresse::showTab(int index)
{
    TabsControl_Adresse->setCurrentIndex(index);
    m_pages->setCurrentIndex(index);
}

void TDLG_Adresse::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (Edit_Line[0]->isEnabled())
        Edit_Line[0]->setFocus();
}

QString TDLG_Adresse::RemarkCounterText(int length, int limit)
{
    const int rest = std::max(0, limit - length);
    if (rest == 0)
        return QStringLiteral("Keine Eingabe mehr möglich!");
    return QStringLiteral("Noch ") + QString::number(rest) + QStringLiteral(" Zeichen");
}

QColor TDLG_Adresse::RemarkCounterColor(int length, int limit)
{
    return limit - length > 15 ? QColor(128, 128, 128) : QColor(255, 0, 0);
}

QString TDLG_Adresse::Remark() const
{
    // A multi-line field shows line ends its own way: unedited, the stored text is saved.
    const QString shown = Memo_Bemerkung->toPlainText();
    return shown == m_remarkShown ? m_remarkStored : shown;
}

void TDLG_Adresse::showStoredRemark(const QString& stored)
{
    m_remarkStored = stored;
    m_remarkLimit = RecordDialogParts::InputLimit(RemarkLimit, stored);
    m_remarkShown.clear();
    Memo_Bemerkung->setPlainText(stored);
    m_remarkShown = Memo_Bemerkung->toPlainText();
    Memo_BemerkungChange();
}

void TDLG_Adresse::Memo_BemerkungChange()
{
    // A plain text edit has no input limit of its own: cut what typing or pasting puts
    // beyond it, keeping the cursor where it was. A longer stored remark sets the limit.
    QString text = Memo_Bemerkung->toPlainText();
    if (text.size() > m_remarkLimit) {
        const int pos = qMin(Memo_Bemerkung->textCursor().position(), m_remarkLimit);
        const QSignalBlocker block(Memo_Bemerkung);
        text.truncate(m_remarkLimit);
        Memo_Bemerkung->setPlainText(text);
        QTextCursor c = Memo_Bemerkung->textCursor();
        c.setPosition(pos);
        Memo_Bemerkung->setTextCursor(c);
    }
    // Counts what will be stored.
    const int length = int(Remark().size());
    Label_Bemerkung_Count->setText(RemarkCounterText(length, m_remarkLimit));
    QPalette pal = Label_Bemerkung_Count->palette();
    pal.setColor(QPalette::WindowText, RemarkCounterColor(length, m_remarkLimit));
    Label_Bemerkung_Count->setPalette(pal);
}

void TDLG_Adresse::LoadAdresse()
{
    FDatenID.clear();
    TSQLiteDatabase& db = m_ctx.db();
    if (!db.TableExists(QStringLiteral("tab_adressen")))
        return;
    TSQLiteTable t = db.GetTable(Lines({"SELECT Adresse_ID", ",Daten_ID", ",Line1", ",Line2", ",Line3", ",Line4", ",Line5",
                                        ",Line6", ",Aktiv", ",Telefon", ",Fax", ",Handy", ",Mail", ",Versand", ",Bemerkung",
                                        "FROM tab_adressen", "LEFT JOIN tab_daten USING(Adresse_ID)", "WHERE Adresse_ID = ?"}),
                                 {FAdresseID});
    // No row (a new address): every field empty and the address active.
    const bool found = t.Count() > 0;
    auto field = [&](const QString& name) { return found ? t.Field(name) : QString(); };
    for (int i = 0; i < 5; ++i)
        ShowStored(Edit_Line[i], field(QStringLiteral("Line%1").arg(i + 1)));
    ShowStored(ComboBox_Line6->lineEdit(), field(QStringLiteral("Line6")));
    CheckBox_Aktiv->setChecked(!found || field(QStringLiteral("Aktiv")) == u"1");
    FDatenID = field(QStringLiteral("Daten_ID"));
    ShowStored(Edit_Telefon, field(QStringLiteral("Telefon")));
    ShowStored(Edit_Fax, field(QStringLiteral("Fax")));
    ShowStored(Edit_Handy, field(QStringLiteral("Handy")));
    ShowStored(Edit_Mail, field(QStringLiteral("Mail")));
    ShowStored(ComboBox_Versand->lineEdit(), field(QStringLiteral("Versand")));
    showStoredRemark(field(QStringLiteral("Bemerkung")));
    FillLine6List();
}

void TDLG_Adresse::FillLine6List()
{
    const QString current = ComboBox_Line6->currentText();
    ComboBox_Line6->clear();
    for (QLineEdit* e : Edit_Line) {
        const QString suggestion = ReverseWords(e->text());
        if (suggestion.isEmpty())
            continue;
        ComboBox_Line6->addItem(suggestion);
        // A suggestion from a long stored line is taken whole when it is picked.
        RecordDialogParts::AllowLength(ComboBox_Line6->lineEdit(), suggestion.size());
    }
    ComboBox_Line6->setEditText(current);
}

void TDLG_Adresse::Button_SaveClick()
{
    if (IsBlank(Edit_Line[0]->text())) {
        if (TabsControl_Adresse->currentIndex() != 0)
            showTab(0);
        if (Edit_Line[0]->isEnabled())
            Edit_Line[0]->setFocus();
        m_ctx.Messages->ErrorMessage(QStringLiteral("Die 1. Zeile muss angegeben werden!"));
        return;
    }
    SaveAdresse();
    SaveDaten();
    QStringList texts;
    for (QLineEdit* e : Edit_Line)
        texts << e->text();
    texts << ComboBox_Line6->currentText() << Edit_Telefon->text() << Edit_Fax->text() << Edit_Handy->text()
          << Edit_Mail->text() << ComboBox_Versand->currentText() << Remark();
    RecordDialogParts::ReportReplacements(m_ctx, texts);
    accept();
}

void TDLG_Adresse::SaveAdresse()
{
    TSQLiteDatabase& db = m_ctx.db();
    if (!db.TableExists(QStringLiteral("tab_adressen")))
        return;
    const QString aktiv = CheckBox_Aktiv->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
    SqlParams lines;
    for (QLineEdit* e : Edit_Line)
        lines << e->text();
    lines << ComboBox_Line6->currentText();
    if (!FAdresseID.isEmpty()) {
        Transaction t(db);
        db.ExecSQL(Lines({"UPDATE tab_adressen", "SET Line1=?", ",Line2=?", ",Line3=?", ",Line4=?", ",Line5=?", ",Line6=?",
                          ",Aktiv=" + aktiv, "WHERE Adresse_ID=?"}),
                   lines + SqlParams{FAdresseID});
        t.Commit();
        return;
    }
    const QString id = NewAdresseID(db);
    if (id.isEmpty()) {
        m_ctx.Messages->ErrorMessage(QStringLiteral("Fehler beim Erstellen der \"Adresse_ID\"!"));
        return;
    }
    Transaction t(db);
    db.ExecSQL(Lines({"INSERT INTO tab_adressen (", "Adresse_ID", ",Gruppe_ID", ",Line1", ",Line2", ",Line3", ",Line4",
                      ",Line5", ",Line6", ",Aktiv", ")", "VALUES (", "?", ",?", ",?", ",?", ",?", ",?", ",?", ",?",
                      "," + aktiv, ");"}),
               SqlParams{id, FGruppeID} + lines);
    t.Commit();
    // Taken only once the row exists, so a retry after a failed insert inserts again.
    FAdresseID = id;
}

void TDLG_Adresse::SaveDaten()
{
    TSQLiteDatabase& db = m_ctx.db();
    if (FAdresseID.isEmpty() || !db.TableExists(QStringLiteral("tab_daten")))
        return;
    const SqlParams values{Edit_Telefon->text(), Edit_Fax->text(), Edit_Handy->text(), Edit_Mail->text(),
                           ComboBox_Versand->currentText(), Remark()};
    if (!FDatenID.isEmpty()) {
        Transaction t(db);
        db.ExecSQL(Lines({"UPDATE tab_daten", "SET Telefon=?", ",Fax=?", ",Handy=?", ",Mail=?", ",Versand=?", ",Bemerkung=?",
                          "WHERE Daten_ID=?"}),
                   values + SqlParams{FDatenID});
        t.Commit();
        return;
    }
    const QString id = NewID(db, QStringLiteral("DA"), QStringLiteral("tab_daten"), QStringLiteral("Daten_ID"));
    if (id.isEmpty()) {
        m_ctx.Messages->ErrorMessage(QStringLiteral("Fehler beim Erstellen der \"Daten_ID\"!"));
        return;
    }
    Transaction t(db);
    db.ExecSQL(Lines({"INSERT INTO tab_daten (", "Adresse_ID", ",Daten_ID", ",Telefon", ",Fax", ",Handy", ",Mail", ",Versand",
                      ",Bemerkung", ")", "VALUES (", "?", ",?", ",?", ",?", ",?", ",?", ",?", ",?", ");"}),
               SqlParams{FAdresseID, id} + values);
    t.Commit();
    FDatenID = id;
}
