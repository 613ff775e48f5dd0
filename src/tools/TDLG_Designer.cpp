#include "tools/TDLG_Designer.h"

#include "app/AppContext.h"
#include "imaging/ImageError.h"
#include "shell/HelpService.h"
#include "shell/MessageService.h"
#include "tools/BannerFile.h"
#include "tools/BannerFontDelegate.h"
#include "tools/BannerPreview.h"
#include "tools/DesignerIcons.h"
#include "uikit/ColorPicker.h"
#include "uikit/InstalledFonts.h"
#include "uikit/TBusyCursor.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTabBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// Sets a flag for the lifetime of the guard.
struct Lock
{
    explicit Lock(bool& flag) : m_flag(flag) { m_flag = true; }
    ~Lock() { m_flag = false; }
    bool& m_flag;
};

QLabel* label(const QString& text, QWidget* buddy, QWidget* parent)
{
    auto* l = new QLabel(text, parent);
    l->setBuddy(buddy);
    return l;
}

} // namespace

TDLG_Designer::TDLG_Designer(AppContext& ctx, QWidget* parent)
    : QDialog(parent), m_ctx(ctx), FTitel(TTitelData::TitelDefaults()), FUntertitel(TTitelData::UntertitelDefaults()),
      FBanner(1400, 400, QImage::Format_RGB32)
{
    setObjectName(QStringLiteral("TDLG_Designer"));
    setWindowTitle(QStringLiteral("Designer"));
    FBanner.fill(Qt::white);
    buildControls();
    fillFontList();
    TabsControl_Designer->setCurrentIndex(0);
    showBand();
    ComposeBanner();
}

void TDLG_Designer::buildControls()
{
    auto* root = new QVBoxLayout(this);
    root->setSizeConstraint(QLayout::SetFixedSize);

    Image_Banner = new BannerPreview(QSize(490, 175), this);
    root->addWidget(Image_Banner);

    TabsControl_Designer = new QTabBar(this);
    TabsControl_Designer->setObjectName(QStringLiteral("TabsControl_Designer"));
    TabsControl_Designer->addTab(QStringLiteral("Titel"));
    TabsControl_Designer->addTab(QStringLiteral("Untertitel"));
    TabsControl_Designer->setDrawBase(false);
    TabsControl_Designer->setExpanding(false);
    root->addWidget(TabsControl_Designer);

    auto* box = new QFrame(this);
    box->setObjectName(QStringLiteral("Panel_Settings"));
    box->setFrameStyle(QFrame::StyledPanel | QFrame::Plain);
    auto* grid = new QGridLayout(box);
    grid->setColumnStretch(0, 0);
    grid->setColumnStretch(1, 1);
    root->addWidget(box);

    Edit_Text = new QLineEdit(box);
    Edit_Text->setObjectName(QStringLiteral("Edit_Text"));
    Edit_Text->setMaxLength(50);
    Button_Refresh = new QToolButton(box);
    Button_Refresh->setObjectName(QStringLiteral("Button_Refresh"));
    Button_Refresh->setIcon(DesignerIcons::Refresh());
    Button_Refresh->setToolTip(QStringLiteral("Vorschau aktualisieren"));
    Button_Refresh->setAccessibleName(QStringLiteral("Vorschau aktualisieren"));
    CheckBox_ShowText = new QCheckBox(QStringLiteral("Ohne Untertitel"), box);
    CheckBox_ShowText->setObjectName(QStringLiteral("CheckBox_ShowText"));

    ComboBox_FontName = new QComboBox(box);
    ComboBox_FontName->setObjectName(QStringLiteral("ComboBox_FontName"));
    ComboBox_FontName->setMaxVisibleItems(20);
    ComboBox_FontName->setItemDelegate(new BannerFontDelegate(ComboBox_FontName));
    ComboBox_FontName->setMinimumWidth(200);
    ComboBox_FontSize = new QComboBox(box);
    ComboBox_FontSize->setObjectName(QStringLiteral("ComboBox_FontSize"));
    ComboBox_FontSize->addItems({"10", "12", "14", "16", "18", "20", "22", "24"});

    ColorPicker_FontColor = new ColorPicker(box);
    ColorPicker_FontColor->setObjectName(QStringLiteral("ColorPicker_FontColor"));
    ColorPicker_FontColor->setFixedSize(50, 20);
    ColorPicker_BackColor = new ColorPicker(box);
    ColorPicker_BackColor->setObjectName(QStringLiteral("ColorPicker_BackColor"));
    ColorPicker_BackColor->setFixedSize(50, 20);
    CheckBox_Bold = new QCheckBox(QStringLiteral("Fett"), box);
    CheckBox_Bold->setObjectName(QStringLiteral("CheckBox_Bold"));
    CheckBox_Italic = new QCheckBox(QStringLiteral("Kursiv"), box);
    CheckBox_Italic->setObjectName(QStringLiteral("CheckBox_Italic"));

    auto* textRow = new QHBoxLayout;
    textRow->addWidget(Edit_Text, 1);
    textRow->addWidget(Button_Refresh);
    textRow->addSpacing(12);
    textRow->addWidget(CheckBox_ShowText);
    grid->addWidget(label(QStringLiteral("Text:"), Edit_Text, box), 0, 0);
    grid->addLayout(textRow, 0, 1, 1, 3);

    auto* fontRow = new QHBoxLayout;
    fontRow->addWidget(ComboBox_FontName, 1);
    fontRow->addSpacing(12);
    fontRow->addWidget(label(QStringLiteral("Größe:"), ComboBox_FontSize, box));
    fontRow->addWidget(ComboBox_FontSize);
    grid->addWidget(label(QStringLiteral("Schriftart:"), ComboBox_FontName, box), 1, 0);
    grid->addLayout(fontRow, 1, 1, 1, 3);

    auto* colourRow = new QHBoxLayout;
    colourRow->addWidget(ColorPicker_FontColor);
    colourRow->addSpacing(12);
    colourRow->addWidget(label(QStringLiteral("Hintergrund:"), ColorPicker_BackColor, box));
    colourRow->addWidget(ColorPicker_BackColor);
    colourRow->addSpacing(12);
    colourRow->addWidget(CheckBox_Bold);
    colourRow->addWidget(CheckBox_Italic);
    colourRow->addStretch(1);
    grid->addWidget(label(QStringLiteral("Schriftfarbe:"), ColorPicker_FontColor, box), 2, 0);
    grid->addLayout(colourRow, 2, 1, 1, 3);

    auto* bottom = new QHBoxLayout;
    Button_Help = new QToolButton(this);
    Button_Help->setObjectName(QStringLiteral("Button_Help"));
    Button_Help->setIcon(DesignerIcons::Help());
    Button_Help->setToolTip(QStringLiteral("Hilfe"));
    Button_Help->setAccessibleName(QStringLiteral("Hilfe"));
    Button_OK = new QPushButton(QStringLiteral("Ü&bernehmen"), this);
    Button_OK->setObjectName(QStringLiteral("Button_OK"));
    Button_OK->setToolTip(QStringLiteral("Banner in Absender einfügen"));
    Button_Save = new QPushButton(QStringLiteral("&Speichern"), this);
    Button_Save->setObjectName(QStringLiteral("Button_Save"));
    Button_Save->setToolTip(QStringLiteral("Banner als Bilddatei speichern"));
    Button_Cancel = new QPushButton(QStringLiteral("Abbrechen"), this);
    Button_Cancel->setObjectName(QStringLiteral("Button_Cancel"));
    for (QPushButton* b : {Button_OK, Button_Save, Button_Cancel})
        b->setAutoDefault(false);
    bottom->addWidget(Button_Help);
    bottom->addStretch(1);
    bottom->addWidget(Button_OK);
    bottom->addWidget(Button_Save);
    bottom->addWidget(Button_Cancel);
    root->addLayout(bottom);

    connect(TabsControl_Designer, &QTabBar::currentChanged, this, [this] { showBand(); });
    connect(Edit_Text, &QLineEdit::textChanged, this, &TDLG_Designer::onTextEdited);
    connect(ComboBox_FontName, &QComboBox::currentIndexChanged, this, &TDLG_Designer::onFontName);
    connect(ComboBox_FontSize, &QComboBox::currentIndexChanged, this, &TDLG_Designer::onFontSize);
    connect(ColorPicker_FontColor, &ColorPicker::colorChosen, this, &TDLG_Designer::onFontColor);
    connect(ColorPicker_BackColor, &ColorPicker::colorChosen, this, &TDLG_Designer::onBackColor);
    connect(CheckBox_Bold, &QCheckBox::toggled, this, &TDLG_Designer::onBold);
    connect(CheckBox_Italic, &QCheckBox::toggled, this, &TDLG_Designer::onItalic);
    connect(CheckBox_ShowText, &QCheckBox::toggled, this, &TDLG_Designer::onShowText);
    connect(Button_Refresh, &QToolButton::clicked, this, [this] { ComposeBanner(); });
    connect(Button_Help, &QToolButton::clicked, this, [this] {
        if (m_ctx.Help)
            m_ctx.Help->ShowHelpTopic(HelpContext::Designer);
    });
    connect(Button_OK, &QPushButton::clicked, this, &QDialog::accept);
    connect(Button_Save, &QPushButton::clicked, this, &TDLG_Designer::onSaveClicked);
    connect(Button_Cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TDLG_Designer::fillFontList()
{
    Lock lock(FChangeLocked);
    TBusyCursor busy;
    ComboBox_FontName->addItems(InstalledFontNames());
    ComboBox_FontName->setCurrentIndex(-1);
}

TTitelData& TDLG_Designer::band() { return TabsControl_Designer->currentIndex() == 1 ? FUntertitel : FTitel; }

void TDLG_Designer::showBand()
{
    const int tab = TabsControl_Designer->currentIndex();
    if (tab != 0 && tab != 1)
        return;
    Lock lock(FChangeLocked);
    const TTitelData& d = band();
    Edit_Text->setText(d.Text);
    ComboBox_FontName->setCurrentIndex(ComboBox_FontName->findText(d.FontName, Qt::MatchExactly));
    ComboBox_FontSize->setCurrentIndex(ComboBox_FontSize->findText(QString::number(d.FontSize), Qt::MatchExactly));
    ColorPicker_FontColor->setColor(d.FontColor);
    ColorPicker_BackColor->setColor(d.BackColor);
    CheckBox_Bold->setChecked(d.Bold);
    CheckBox_Italic->setChecked(d.Italic);
    CheckBox_ShowText->setVisible(tab == 1);
}

void TDLG_Designer::onTextEdited(const QString& text)
{
    // Also while the dialog fills the controls: the edit then shows the band's own text.
    band().Text = text;
}

void TDLG_Designer::onFontName(int index)
{
    if (FChangeLocked || index < 0)
        return;
    band().FontName = ComboBox_FontName->itemText(index);
    ComposeBanner();
}

void TDLG_Designer::onFontSize(int index)
{
    if (FChangeLocked || index < 0)
        return;
    bool ok = false;
    const int size = ComboBox_FontSize->itemText(index).toInt(&ok);
    if (!ok)
        return;
    band().FontSize = size;
    ComposeBanner();
}

void TDLG_Designer::onFontColor(const QColor& color)
{
    if (FChangeLocked)
        return;
    band().FontColor = color;
    ComposeBanner();
}

void TDLG_Designer::onBackColor(const QColor& color)
{
    if (FChangeLocked)
        return;
    band().BackColor = color;
    ComposeBanner();
}

void TDLG_Designer::onBold(bool checked)
{
    if (FChangeLocked)
        return;
    band().Bold = checked;
    ComposeBanner();
}

void TDLG_Designer::onItalic(bool checked)
{
    if (FChangeLocked)
        return;
    band().Italic = checked;
    ComposeBanner();
}

void TDLG_Designer::onShowText(bool checked)
{
    if (FChangeLocked)
        return;
    FUntertitel.ShowText = !checked;
    ComposeBanner();
}

void TDLG_Designer::ComposeBanner()
{
    FBanner = BannerComposer::ComposeBanner(FTitel, FUntertitel);
    Image_Banner->setPicture(FBanner);
}

void TDLG_Designer::LoadBannerToImage(QImage* image) const
{
    if (image)
        *image = FBanner.convertToFormat(QImage::Format_RGB888);
}

void TDLG_Designer::onSaveClicked()
{
    QString selected;
    const QStringList filters = BannerFile::FilterText().split(QStringLiteral(";;"));
    // The overwrite question comes from SaveBannerAs, after the extension rule.
    const QString name = QFileDialog::getSaveFileName(this, QStringLiteral("Speichern unter..."), QStringLiteral("Banner"),
                                                      BannerFile::FilterText(), &selected,
                                                      QFileDialog::DontConfirmOverwrite);
    if (name.isEmpty())
        return;
    SaveBannerAs(name, int(filters.indexOf(selected)) + 1);
}

bool TDLG_Designer::SaveBannerAs(const QString& chosenName, int filter)
{
    if (filter < BannerFile::Jpg || filter > BannerFile::Png)
        filter = BannerFile::Jpg;
    const QString fileName = BannerFile::NameForFilter(chosenName, filter);
    if (QFileInfo::exists(fileName) &&
        m_ctx.Messages->ConfirmWithWarningSound(QStringLiteral("Die Datei \"") + fileName +
                                                QStringLiteral("\" existiert bereits! Überschreiben?")) != Msg::IdYes)
        return false;
    try {
        TBusyCursor busy;
        BannerFile::Write(FBanner, fileName, filter);
    } catch (const ImageError& e) {
        m_ctx.Messages->ErrorMessage(e.message());
        return false;
    }
    return true;
}
