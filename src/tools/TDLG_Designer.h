#pragma once
#include "tools/BannerComposer.h"

#include <QDialog>
#include <QImage>

struct AppContext;
class BannerPreview;
class ColorPicker;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QTabBar;
class QToolButton;

// Composes a banner from a title and a subtitle band. Accepted after "Übernehmen";
// "Speichern" writes the banner to a picture file and keeps the dialog open.
class TDLG_Designer : public QDialog
{
    Q_OBJECT
public:
    explicit TDLG_Designer(AppContext& ctx, QWidget* parent = nullptr);

    // The banner last composed.
    QImage Banner() const { return FBanner; }
    // Gives the image a 24-bit copy of the banner; does nothing without an image.
    void LoadBannerToImage(QImage* image) const;

    // The save steps after the file dialog: the extension rule for the chosen filter
    // (BannerFile::Filter), the overwrite question, the writing. False when nothing was
    // written (the user declined, or the file could not be written, which is reported).
    bool SaveBannerAs(const QString& chosenName, int filter);

    const TTitelData& Titel() const { return FTitel; }
    const TTitelData& Untertitel() const { return FUntertitel; }
    // Redraws the banner from the two bands and shows it.
    void ComposeBanner();

private:
    void buildControls();
    void fillFontList();
    void showBand();
    TTitelData& band();
    void onTextEdited(const QString& text);
    void onFontName(int index);
    void onFontSize(int index);
    void onFontColor(const QColor& color);
    void onBackColor(const QColor& color);
    void onBold(bool checked);
    void onItalic(bool checked);
    void onShowText(bool checked);
    void onSaveClicked();

    AppContext& m_ctx;
    TTitelData FTitel;
    TTitelData FUntertitel;
    QImage FBanner;
    bool FChangeLocked = false;

    BannerPreview* Image_Banner = nullptr;
    QTabBar* TabsControl_Designer = nullptr;
    QLineEdit* Edit_Text = nullptr;
    QToolButton* Button_Refresh = nullptr;
    QCheckBox* CheckBox_ShowText = nullptr;
    QComboBox* ComboBox_FontName = nullptr;
    QComboBox* ComboBox_FontSize = nullptr;
    ColorPicker* ColorPicker_FontColor = nullptr;
    ColorPicker* ColorPicker_BackColor = nullptr;
    QCheckBox* CheckBox_Bold = nullptr;
    QCheckBox* CheckBox_Italic = nullptr;
    QToolButton* Button_Help = nullptr;
    QPushButton* Button_OK = nullptr;
    QPushButton* Button_Save = nullptr;
    QPushButton* Button_Cancel = nullptr;
};
