#pragma once
#include <QDialog>
#include <QImage>
#include <QRect>

#include "envelope/UmschlagRenderer.h"
#include "printing/SheetLayout.h"
#include <QList>

struct AppContext;
class QCheckBox;
class QLabel;
class QPushButton;

// Where a picture of w x h dots goes in the preview area (578 x 505): as large as fits with
// its proportions, centred, every half truncated.
QRect VorschauTarget(int w, int h);

// The sheet as it lies in the printer, fitted into the preview area (578 x 505): the sheet
// white on grey with its printable area outlined, the envelope picture placed and turned as
// the job places and turns it (alignment on the printable width, dpi dots per inch).
// marks: rectangles of the picture painted red on it (the cut lines).
QImage SheetVorschau(const QImage& bitmap, const PrinterSheet& sheet, PageTurn turn, int dpi, int alignment,
                     const QList<QRect>& marks = {});

// Where the preview marks the lines that the envelope's right edge cuts: a red bar inside
// the edge beside each, in the finished picture's dots.
QList<QRect> CutMarks(const UmschlagLayout& layout);

// The preview: the envelope at the selected printer's resolution, shrunk smoothly into a
// framed rectangle of the grey picture area, with a red mark beside each line that the
// envelope's right edge cuts. A missing record or format leaves the area grey.
// "Wie im Drucker" shows instead the sheet of the configured printer with the envelope as
// the job puts it there, so the user sees how to feed an envelope.
class TDLG_Vorschau : public QDialog
{
    Q_OBJECT
public:
    TDLG_Vorschau(AppContext& ctx, const QString& absenderId, const QString& adresseId, QWidget* parent = nullptr);

    // The picture area as drawn.
    const QImage& Picture() const { return m_picture; }

private:
    void DrawVorschau();
    // False when the configured printer's sheet cannot be had (the user was told).
    bool DrawSheet(const QImage& bitmap, const QList<QRect>& marks);

    AppContext& m_ctx;
    QString FAbsenderID;
    QString FAdresseID;
    QImage m_picture;
    QLabel* Image_Vorschau;
    QPushButton* Button_Help;
    QPushButton* Button_Close;
    QCheckBox* CheckBox_Blatt;
};

// The "Druckvorschau" command for the selected sender and address (empty when none).
void ShowVorschau(AppContext& ctx, QWidget* parent, const QString& absenderId, const QString& adresseId);
