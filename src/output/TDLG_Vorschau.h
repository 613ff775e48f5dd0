#pragma once
#include <QDialog>
#include <QImage>
#include <QRect>

struct AppContext;
class QLabel;
class QPushButton;

// Where a picture of w x h dots goes in the preview area (578 x 505): as large as fits with
// its proportions, centred, every half truncated.
QRect VorschauTarget(int w, int h);

// The preview: the envelope at the selected printer's resolution, shrunk smoothly into a
// framed rectangle of the grey picture area. A missing record or format leaves the area grey.
class TDLG_Vorschau : public QDialog
{
    Q_OBJECT
public:
    TDLG_Vorschau(AppContext& ctx, const QString& absenderId, const QString& adresseId, QWidget* parent = nullptr);

    // The picture area as drawn.
    const QImage& Picture() const { return m_picture; }

private:
    void DrawVorschau();

    AppContext& m_ctx;
    QString FAbsenderID;
    QString FAdresseID;
    QImage m_picture;
    QLabel* Image_Vorschau;
    QPushButton* Button_Help;
    QPushButton* Button_Close;
};

// The "Druckvorschau" command for the selected sender and address (empty when none).
void ShowVorschau(AppContext& ctx, QWidget* parent, const QString& absenderId, const QString& adresseId);
