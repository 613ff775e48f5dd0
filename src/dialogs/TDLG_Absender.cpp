#include "dialogs/TDLG_Absender.h"

#include "app/AppContext.h"
#include "app/BlankText.h"
#include "app/GeneralError.h"
#include "dialogs/QtPictureSource.h"
#include "dialogs/RecordDialogParts.h"
#include "imaging/ImageError.h"
#include "imaging/PictureFile.h"
#include "shell/HelpService.h"
#include "shell/MessageService.h"
#include "store/RecordIds.h"
#include "store/RecordOperations.h"
#include "tools/BannerPreview.h"
#include "tools/DesignerIcons.h"
#include "tools/TDLG_Designer.h"
#include "uikit/TBusyCursor.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QStyle>
#include <QTabBar>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

using RecordDialogParts::Lines;

namespace {

constexpr int kLineLimit = 50;

QToolButton* iconButton(const char* name, const QIcon& icon, const QString& tip, QWidget* parent)
{
    auto* b = new QToolButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setIcon(icon);
    b->setIconSize(QSize(16, 16));
    b->setFixedSize(24, 24);
    b->setToolTip(tip);
    b->setAccessibleName(tip);
    return b;
}

} // namespace

TDLG_Absender::TDLG_Absender(AppContext& ctx, const QString& absenderId, QWidget* parent)
    : QDialog(parent), m_ctx(ctx), FAbsenderID(absenderId), m_qtPictures(std::make_unique<QtPictureSource>()),
      m_pictures(m_qtPictures.get())
{
    setObjectName(QStringLiteral("TDLG_Absender"));
    setWindowTitle(absenderId.isEmpty() ? QStringLiteral("Neuen Absender hinzufügen...") : QStringLiteral("Absender bearbeiten..."));

    auto* root = new QVBoxLayout(this);
    TabsControl_Absender = new QTabBar(this);
    TabsControl_Absender->setObjectName(QStringLiteral("TabsControl_Absender"));
    TabsControl_Absender->addTab(QStringLiteral("Absenderdaten"));
    TabsControl_Absender->addTab(QStringLiteral("Banner/Firmenlogo"));
    TabsControl_Absender->setExpanding(false);
    root->addWidget(TabsControl_Absender);
    m_pages = new QStackedWidget(this);
    m_pages->setFrameStyle(QFrame::StyledPanel | QFrame::Plain);
    m_pages->addWidget(buildDaten());
    m_pages->addWidget(buildBanner());
    root->addWidget(m_pages, 1);
    connect(TabsControl_Absender, &QTabBar::currentChanged, this, [this](int i) {
        m_pages->setCurrentIndex(i);
        UpdateButtonStates();
    });

    const auto bar = RecordDialogParts::MakeBottomBar(this, ctx, HelpContext::Absender);
    Button_Help = bar.help;
    Button_Save = bar.save;
    Button_Cancel = bar.cancel;
    root->addLayout(bar.layout);
    // A statement the database refuses or a picture that cannot be stored is shown by the
    // general error handler; the dialog stays.
    connect(Button_Save, &QPushButton::clicked, this, Guarded(ctx, [this] { Button_SaveClick(); }));
    RecordDialogParts::AddSaveShortcut(this, Button_Save);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(300);
    connect(Timer1, &QTimer::timeout, this, Guarded(ctx, [this] { UpdateButtonStates(); }));
    Timer1->start();

    showTab(0);
    LoadAbsender();
}

TDLG_Absender::~TDLG_Absender() = default;

QWidget* TDLG_Absender::buildDaten()
{
    Panel_Daten = new QWidget(this);
    Panel_Daten->setObjectName(QStringLiteral("Panel_Daten"));
    auto* v = new QVBoxLayout(Panel_Daten);
    v->setSpacing(2);
    for (int i = 0; i < 5; ++i) {
        Edit_Line[i] = new QLineEdit(Panel_Daten);
        Edit_Line[i]->setObjectName(QStringLiteral("Edit_Line%1").arg(i + 1));
        Edit_Line[i]->setMaxLength(kLineLimit);
        auto* l = new QLabel(QStringLiteral("Zeile %1:").arg(i + 1), Panel_Daten);
        l->setBuddy(Edit_Line[i]);
        v->addWidget(l);
        v->addWidget(Edit_Line[i]);
        v->addSpacing(4);
    }
    v->addStretch(1);
    return Panel_Daten;
}

QWidget* TDLG_Absender::buildBanner()
{
    Panel_Banner = new QWidget(this);
    Panel_Banner->setObjectName(QStringLiteral("Panel_Banner"));
    auto* v = new QVBoxLayout(Panel_Banner);
    Label_Banner = new QLabel(
        QStringLiteral("Über dem Absendertext können Sie einen eigenen Banner (z.B. Ihr Firmenlogo) einfügen."), Panel_Banner);
    Label_Banner->setObjectName(QStringLiteral("Label_Banner"));
    Label_Banner->setWordWrap(true);
    v->addWidget(Label_Banner);
    Image_Banner = new BannerPreview(QSize(340, 120), Panel_Banner);
    v->addWidget(Image_Banner, 0, Qt::AlignHCenter);

    auto* row = new QHBoxLayout;
    Button_Banner_Open = iconButton("Button_Banner_Open", DesignerIcons::Open(), QStringLiteral("Bilddatei wählen"), Panel_Banner);
    Button_Banner_Paste = iconButton("Button_Banner_Paste", DesignerIcons::Paste(), QStringLiteral("Bild aus Zwischenablage einfügen"),
                                     Panel_Banner);
    Button_Banner_Copy = iconButton("Button_Banner_Copy", DesignerIcons::Copy(), QStringLiteral("Bild in Zwischenablage kopieren"),
                                    Panel_Banner);
    Button_Banner_Delete = iconButton("Button_Banner_Delete", DesignerIcons::Delete(), QStringLiteral("Banner entfernen"), Panel_Banner);
    Button_Designer = new QPushButton(QStringLiteral("&Designer"), Panel_Banner);
    Button_Designer->setObjectName(QStringLiteral("Button_Designer"));
    Button_Designer->setToolTip(QStringLiteral("Banner für diesen Absender gestalten"));
    Button_Designer->setAutoDefault(false);
    for (QToolButton* b : {Button_Banner_Open, Button_Banner_Paste, Button_Banner_Copy, Button_Banner_Delete})
        row->addWidget(b);
    row->addStretch(1);
    row->addWidget(Button_Designer);
    v->addLayout(row);
    v->addStretch(1);

    const std::pair<QAbstractButton*, void (TDLG_Absender::*)()> actions[] = {
        {Button_Banner_Open, &TDLG_Absender::Button_Banner_OpenClick},
        {Button_Banner_Paste, &TDLG_Absender::Button_Banner_PasteClick},
        {Button_Banner_Copy, &TDLG_Absender::Button_Banner_CopyClick},
        {Button_Banner_Delete, &TDLG_Absender::Button_Banner_DeleteClick},
        {Button_Designer, &TDLG_Absender::Button_DesignerClick},
    };
    for (const auto& [button, action] : actions)
        connect(button, &QAbstractButton::clicked, this, Guarded(m_ctx, [this, action] { (this->*action)(); }));
    return Panel_Banner;
}

void TDLG_Absender::SetPictureSource(PictureSource* source) { m_pictures = source ? source : m_qtPictures.get(); }

QImage TDLG_Absender::Banner() const { return Image_Banner->picture(); }

void TDLG_Absender::showTab(int index)
{
    TabsControl_Absender->setCurrentIndex(index);
    m_pages->setCurrentIndex(index);
}

void TDLG_Absender::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (Edit_Line[0]->isEnabled())
        Edit_Line[0]->setFocus();
}

void TDLG_Absender::setBanner(const QImage& picture)
{
    Image_Banner->setPicture(picture);
    FBannerChange = true;
}

void TDLG_Absender::LoadAbsender()
{
    TSQLiteDatabase& db = m_ctx.db();
    if (!db.TableExists(QStringLiteral("tab_absender")))
        return;
    TSQLiteTable t = db.GetTable(QStringLiteral("SELECT * FROM tab_absender WHERE Absender_ID = ?"), {FAbsenderID});
    for (int i = 0; i < 5; ++i)
        RecordDialogParts::ShowStored(Edit_Line[i], t.Count() == 0 ? QString() : t.Field(QStringLiteral("Line%1").arg(i + 1)));
    QImage banner;
    // A stored banner that cannot be decoded must not lock the sender away: open without
    // it, so that the lines can be edited and the banner replaced or removed.
    const bool loaded = LoadBannerOrReport(db, *m_ctx.Messages, FAbsenderID, banner);
    Image_Banner->setPicture(loaded ? banner : QImage());
    FBannerChange = false;
}

void TDLG_Absender::Button_SaveClick()
{
    if (IsBlank(Edit_Line[0]->text())) {
        if (TabsControl_Absender->currentIndex() != 0)
            showTab(0);
        if (Edit_Line[0]->isEnabled())
            Edit_Line[0]->setFocus();
        m_ctx.Messages->ErrorMessage(QStringLiteral("Die 1. Zeile muss angegeben werden!"));
        return;
    }
    SaveAbsender();
    QStringList lines;
    for (QLineEdit* e : Edit_Line)
        lines << e->text();
    RecordDialogParts::ReportReplacements(m_ctx, lines);
    accept();
}

void TDLG_Absender::SaveAbsender()
{
    TSQLiteDatabase& db = m_ctx.db();
    if (!db.TableExists(QStringLiteral("tab_absender")))
        return;
    SqlParams lines;
    for (QLineEdit* e : Edit_Line)
        lines << e->text();
    if (!FAbsenderID.isEmpty()) {
        Transaction t(db);
        db.ExecSQL(Lines({"UPDATE tab_absender", "SET Line1=?", ",Line2=?", ",Line3=?", ",Line4=?", ",Line5=?",
                          "WHERE Absender_ID=?"}),
                   lines + SqlParams{FAbsenderID});
        t.Commit();
    } else {
        const QString id = NewID(db, QStringLiteral("AB"), QStringLiteral("tab_absender"), QStringLiteral("Absender_ID"));
        if (id.isEmpty()) {
            m_ctx.Messages->ErrorMessage(QStringLiteral("Fehler beim Erstellen der \"Absender_ID\"!"));
            return;
        }
        Transaction t(db);
        db.ExecSQL(Lines({"INSERT INTO tab_absender (", "Absender_ID", ",Line1", ",Line2", ",Line3", ",Line4", ",Line5", ")",
                          "VALUES (", "?", ",?", ",?", ",?", ",?", ",?", ");"}),
                   SqlParams{id} + lines);
        t.Commit();
        // Taken only once the row exists, so a retry after a failed insert inserts again.
        FAbsenderID = id;
    }
    if (FBannerChange) {
        SaveBanner(db, *m_ctx.Messages, FAbsenderID, Image_Banner->picture());
        FBannerChange = false;
    }
}

bool TDLG_Absender::OpenPictureFile(const QString& fileName)
{
    QImage picture;
    try {
        TBusyCursor busy;
        picture = PictureFile::LoadImageFile(fileName);
    } catch (const ImageError& e) {
        m_ctx.Messages->ErrorMessage(e.message());
        return false;
    }
    // A file that is not there gives no picture: keep the preview as it is rather than
    // store an empty banner.
    if (picture.isNull() || picture.width() == 0 || picture.height() == 0)
        return false;
    setBanner(picture);
    return true;
}

void TDLG_Absender::Button_Banner_OpenClick()
{
    const QString fileName = m_pictures->ChoosePictureFile(this);
    if (!fileName.isEmpty())
        OpenPictureFile(fileName);
}

void TDLG_Absender::Button_Banner_PasteClick()
{
    if (!m_pictures->ClipboardHasBitmap())
        return;
    const QImage picture = m_pictures->ClipboardBitmap();
    if (picture.isNull() || picture.width() == 0 || picture.height() == 0)
        return;
    setBanner(PictureFile::FlattenOnWhite(picture));
}

void TDLG_Absender::Button_Banner_CopyClick()
{
    if (Image_Banner->hasPicture())
        m_pictures->SetClipboardBitmap(Image_Banner->picture());
}

void TDLG_Absender::Button_Banner_DeleteClick()
{
    if (m_ctx.Messages->Confirm(QStringLiteral("Sind Sie sicher, dass das Banner entfernt werden soll?")) != Msg::IdYes)
        return;
    setBanner(QImage());
}

void TDLG_Absender::Button_DesignerClick()
{
    TDLG_Designer designer(m_ctx, this);
    if (designer.exec() != QDialog::Accepted)
        return;
    QImage picture;
    designer.LoadBannerToImage(&picture);
    setBanner(picture);
}

void TDLG_Absender::UpdateButtonStates()
{
    if (TabsControl_Absender->currentIndex() != 1)
        return;
    auto set = [](QWidget* w, bool enabled) {
        if (w->isEnabled() != enabled)
            w->setEnabled(enabled);
    };
    set(Button_Banner_Paste, m_pictures->ClipboardHasPicture());
    set(Button_Banner_Copy, Image_Banner->hasPicture());
    set(Button_Banner_Delete, Image_Banner->hasPicture());
}
