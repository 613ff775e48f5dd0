#pragma once
#include <QDialog>
#include <QString>
#include <memory>

struct AppContext;
class BannerPreview;
class PictureSource;
class QLabel;
class QLineEdit;
class QPushButton;
class QStackedWidget;
class QTabBar;
class QTimer;
class QToolButton;
class QWidget;

// Creates or edits a sender: its five lines and its banner picture. Accepted after
// "Speichern"; AbsenderID() then names the saved sender.
class TDLG_Absender : public QDialog
{
    Q_OBJECT
public:
    TDLG_Absender(AppContext& ctx, const QString& absenderId, QWidget* parent = nullptr);
    ~TDLG_Absender() override;

    QString AbsenderID() const { return FAbsenderID; }
    bool BannerChanged() const { return FBannerChange; }
    // The picture the dialog will store.
    QImage Banner() const;

    // The file dialog and the clipboard; the dialog keeps using Qt's unless a test
    // gives its own (not owned).
    void SetPictureSource(PictureSource* source);

    // "Speichern": refuses a blank first line, else saves and accepts.
    void Button_SaveClick();
    // Reads a picture file into the preview; a file that cannot be read is reported and
    // changes nothing, a file that does not exist changes nothing. True when taken.
    bool OpenPictureFile(const QString& fileName);
    // The button states of the banner tab (run by the 300 ms timer).
    void UpdateButtonStates();

protected:
    void showEvent(QShowEvent* e) override;

private:
    QWidget* buildDaten();
    QWidget* buildBanner();
    void showTab(int index);
    void LoadAbsender();
    void SaveAbsender();
    void Button_Banner_OpenClick();
    void Button_Banner_PasteClick();
    void Button_Banner_CopyClick();
    void Button_Banner_DeleteClick();
    void Button_DesignerClick();
    void setBanner(const QImage& picture);

    AppContext& m_ctx;
    QString FAbsenderID;
    bool FBannerChange = false;
    std::unique_ptr<PictureSource> m_qtPictures;
    PictureSource* m_pictures;

    QTabBar* TabsControl_Absender = nullptr;
    QStackedWidget* m_pages = nullptr;
    QWidget* Panel_Daten = nullptr;
    QWidget* Panel_Banner = nullptr;
    QLineEdit* Edit_Line[5] = {};
    QLabel* Label_Banner = nullptr;
    BannerPreview* Image_Banner = nullptr;
    QToolButton* Button_Banner_Open = nullptr;
    QToolButton* Button_Banner_Paste = nullptr;
    QToolButton* Button_Banner_Copy = nullptr;
    QToolButton* Button_Banner_Delete = nullptr;
    QPushButton* Button_Designer = nullptr;
    QTimer* Timer1 = nullptr;
    QToolButton* Button_Help = nullptr;
    QPushButton* Button_Save = nullptr;
    QPushButton* Button_Cancel = nullptr;
};
