#include "printwindows/TDLG_Vorschau.h"


#include "app/AppContext.h"
#include "app/GeneralError.h"
#include "app/HelpKey.h"
#include "envelope/PrintError.h"
#include "envelope/UmschlagLines.h"
#include "envelope/UmschlagRenderer.h"
#include "printing/ConfiguredPrinter.h"
#include "printing/PrintService.h"
#include "printing/UmschlagFit.h"
#include "shell/HelpService.h"
#include "shell/MessageService.h"
#include "store/RecordOperations.h"
#include "store/TSQLiteDatabase.h"
#include "uikit/TBusyCursor.h"
#include "uikit/Placed.h"

#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>

#include <algorithm>

namespace {

constexpr int kAreaWidth = 578;
constexpr int kAreaHeight = 505;
const QColor kBackground(204, 207, 210);
const QColor kCutMark(220, 0, 0);
const QString kCutMarksHint =
    QStringLiteral("Rot markierte Zeilen laufen über den rechten Rand des Umschlags und werden dort abgeschnitten.");

void framePixel(QImage& img, int x, int y, QRgb c)
{
    if (img.rect().contains(x, y))
        img.setPixel(x, y, c);
}

// Darker right and bottom edges, lighter left and top edges, each line ending before its
// end point like a pen moved from corner to corner.
void drawFrame(QImage& img, const QRect& t)
{
    const int left = t.x(), top = t.y();
    const int right = left + t.width(), bottom = top + t.height();
    const QRgb dark = qRgb(138, 152, 165), light = qRgb(186, 195, 203);
    for (int y = top; y < bottom - 1; ++y)
        framePixel(img, right - 1, y, dark);
    for (int x = right - 1; x > left; --x)
        framePixel(img, x, bottom - 1, dark);
    for (int y = bottom - 1; y > top; --y)
        framePixel(img, left, y, light);
    for (int x = left; x < right - 1; ++x)
        framePixel(img, x, top, light);
}

// The cut lines' marks, red, over what the painter shows of the picture.
void drawMarks(QPainter& p, const QTransform& pictureToArea, const QList<QRect>& marks)
{
    if (marks.isEmpty())
        return;
    p.save();
    p.setTransform(pictureToArea, true);
    for (const QRect& m : marks)
        p.fillRect(m, kCutMark);
    p.restore();
}

} // namespace

QList<QRect> CutMarks(const UmschlagLayout& layout)
{
    // About 5 pixels of the preview wide, inside the envelope along the edge that cuts.
    const int thickness = std::max(1, layout.Size.width() / 100);
    QList<QRect> marks;
    for (const CutLine& line : CutLines(layout))
        marks << PictureRect(layout, QRect(layout.Size.width() - thickness, line.Cell.top(), thickness,
                                           line.Cell.height()));
    return marks;
}

QImage SheetVorschau(const QImage& bitmap, const PrinterSheet& sheet, PageTurn turn, int dpi, int alignment,
                     const QList<QRect>& marks)
{
    QImage area(kAreaWidth, kAreaHeight, QImage::Format_RGB32);
    area.fill(kBackground);
    const QSizeF dots = sheet.size * (dpi / kSheetUnitsPerInch);
    if (dots.isEmpty())
        return area;
    const QRect target = VorschauTarget(int(dots.width()), int(dots.height()));
    const double scale = double(target.width()) / dots.width();
    {
        QPainter p(&area);
        p.fillRect(target, Qt::white);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.setClipRect(target);
        p.setTransform(QTransform::fromScale(scale, scale) * QTransform::fromTranslate(target.x(), target.y()));
        // The printable area: what lies outside it the printer leaves white.
        const QMarginsF m = sheet.margins * (dpi / kSheetUnitsPerInch);
        p.setPen(QPen(QColor(186, 195, 203), 0, Qt::DashLine));
        p.drawRect(QRectF(QPointF(m.left(), m.top()), QPointF(dots.width() - m.right(), dots.height() - m.bottom())));
        // The picture in its frame, as the job places it, then the frame onto the sheet.
        p.setTransform(SheetLayout::FrameToSheet(turn, dots), true);
        const QPointF origin = SheetLayout::PrintableOrigin(sheet, turn, dpi);
        const int x = PageOffset(alignment, SheetLayout::PrintableWidth(sheet, turn, dpi), bitmap.width());
        const QRectF placed(origin + QPointF(x, 0), QSizeF(bitmap.size()));
        // Shrunk once with a smooth filter; the painter's own scaling only undoes it.
        const QSize small = (QSizeF(bitmap.size()) * scale).toSize().expandedTo(QSize(1, 1));
        p.drawImage(placed, bitmap.scaled(small, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        // The envelope's edges, so the user sees where to put it.
        p.setPen(QPen(QColor(138, 152, 165), 0));
        p.drawRect(placed);
        drawMarks(p, QTransform::fromTranslate(placed.x(), placed.y()), marks);
    }
    drawFrame(area, target);
    return area;
}

QRect VorschauTarget(int w, int h)
{
    int tw, th;
    if (h >= w) {
        th = kAreaHeight;
        tw = int(double(w) / double(h) * kAreaHeight);
    } else {
        tw = kAreaWidth;
        th = int(double(h) / double(w) * kAreaWidth);
    }
    return QRect(kAreaWidth / 2 - tw / 2, kAreaHeight / 2 - th / 2, tw, th);
}

TDLG_Vorschau::TDLG_Vorschau(AppContext& ctx, const QString& absenderId, const QString& adresseId, QWidget* parent)
    : QDialog(parent), m_ctx(ctx), FAbsenderID(absenderId), FAdresseID(adresseId)
{
    setObjectName(QStringLiteral("TDLG_Vorschau"));
    setWindowTitle(QStringLiteral("Vorschau"));
    const QFont arial = StyleFixedWindow(this, QSize(594, 563), kBackground, 13);

    Image_Vorschau = new QLabel(this);
    Image_Vorschau->setObjectName(QStringLiteral("Image_Vorschau"));
    Image_Vorschau->setGeometry(8, 8, kAreaWidth, kAreaHeight);

    auto* bar = new QFrame(this);
    bar->setObjectName(QStringLiteral("Panel_Bottom"));
    bar->setGeometry(0, 563 - 41, 594, 41);
    bar->setAutoFillBackground(true);
    QPalette barPal = bar->palette();
    barPal.setColor(QPalette::Window, QColor(221, 226, 229));
    bar->setPalette(barPal);
    auto* line = new QFrame(bar);
    line->setGeometry(0, 0, 594, 2);
    line->setAutoFillBackground(true);
    QPalette linePal = line->palette();
    linePal.setColor(QPalette::Window, QColor(138, 164, 180));
    line->setPalette(linePal);

    Button_Help = new QPushButton(QStringLiteral("?"), bar);
    Button_Help->setObjectName(QStringLiteral("Button_Help"));
    Button_Help->setGeometry(16, 8, 32, 24);
    Button_Help->setAccessibleName(QStringLiteral("Hilfe"));
    Button_Help->setAutoDefault(false);
    connect(Button_Help, &QPushButton::clicked, this, [this] { m_ctx.Help->ShowHelpTopic(HelpContext::Vorschau); });

    // Default and cancel button: Enter and Escape both close.
    Button_Close = new QPushButton(QStringLiteral("Schließen"), bar);
    Button_Close->setObjectName(QStringLiteral("Button_Close"));
    Button_Close->setGeometry(496, 8, 82, 24);
    Button_Close->setDefault(true);
    connect(Button_Close, &QPushButton::clicked, this, &QDialog::reject);

    CheckBox_Blatt = new QCheckBox(QStringLiteral("&Wie im Drucker"), bar);
    CheckBox_Blatt->setObjectName(QStringLiteral("CheckBox_Blatt"));
    CheckBox_Blatt->setGeometry(64, 10, 220, 20);
    CheckBox_Blatt->setToolTip(QStringLiteral("Zeigt das Blatt, wie es im Drucker liegt, mit dem Umschlag darauf"));
    connect(CheckBox_Blatt, &QCheckBox::toggled, this, [this] { DrawVorschau(); });
    // F1 on "Wie im Drucker" explains that view, elsewhere the preview.
    InstallHelpKey(this, m_ctx, [this] {
        return CheckBox_Blatt->hasFocus() ? int(HelpContext::WieImDrucker) : int(HelpContext::Vorschau);
    });

    DrawVorschau();
}

void TDLG_Vorschau::DrawVorschau()
{
    m_picture = QImage(kAreaWidth, kAreaHeight, QImage::Format_RGB32);
    m_picture.fill(kBackground);
    Image_Vorschau->setPixmap(QPixmap::fromImage(m_picture));

    TBusyCursor busy;
    TSQLiteDatabase& db = m_ctx.db();
    std::optional<AddressLines> sender, address;
    if (db.TableExists(QStringLiteral("tab_absender")))
        sender = ReadAbsenderLines(db, FAbsenderID);
    if (sender && db.TableExists(QStringLiteral("tab_adressen")))
        address = ReadAdresseLines(db, FAdresseID);
    if (!sender || !address)
        return;

    const PrintSettings& s = m_ctx.Print();
    const UmschlagBlocks blocks = AssignBlocks(*sender, *address, s.Swap);
    QImage banner;
    // The envelope is still worth seeing without a banner that cannot be decoded.
    if (blocks.WithBanner && s.PrintBanner)
        LoadBannerOrReport(db, *m_ctx.Messages, FAbsenderID, banner);
    // The printer selected right now gives the resolution; the preview selects none, unless
    // the sheet of the configured printer is asked for.
    if (CheckBox_Blatt->isChecked()) {
        bool selected = false;
        RunGuarded(m_ctx.Messages, [&] {
            SelectConfiguredPrinter(m_ctx);
            selected = true;
        });
        if (!selected) {
            const QSignalBlocker quiet(CheckBox_Blatt);
            CheckBox_Blatt->setChecked(false);
        }
    }
    const bool withBanner = s.PrintBanner && !banner.isNull();
    const std::optional<UmschlagLayout> layout = LayoutUmschlag(
        blocks.Upper, blocks.Lower, withBanner ? banner.size() : QSize(), s, m_ctx.Printer->ResolutionX());
    if (!layout)
        return;
    QImage bitmap;
    PaintUmschlag(bitmap, *layout, withBanner ? &banner : nullptr);
    const QList<QRect> marks = CutMarks(*layout);
    // Said in words too, for whoever cannot tell the red from the rest.
    Image_Vorschau->setToolTip(marks.isEmpty() ? QString() : kCutMarksHint);
    Image_Vorschau->setAccessibleDescription(marks.isEmpty() ? QString() : kCutMarksHint);
    if (CheckBox_Blatt->isChecked() && DrawSheet(bitmap, marks))
        return;

    const QRect target = VorschauTarget(bitmap.width(), bitmap.height());
    const QImage small =
        bitmap.scaled(target.width(), target.height(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const QTransform toTarget = QTransform::fromScale(double(target.width()) / bitmap.width(),
                                                      double(target.height()) / bitmap.height()) *
                                QTransform::fromTranslate(target.x(), target.y());
    bitmap = QImage();
    {
        QPainter p(&m_picture);
        p.drawImage(target.topLeft(), small);
        drawMarks(p, toTarget, marks);
    }
    drawFrame(m_picture, target);
    Image_Vorschau->setPixmap(QPixmap::fromImage(m_picture));
}

bool TDLG_Vorschau::DrawSheet(const QImage& bitmap, const QList<QRect>& marks)
{
    PrintService& printer = *m_ctx.Printer;
    bool drawn = false;
    RunGuarded(m_ctx.Messages, [&] {
        const PageTurn turn = PageTurnFor(PageOrientationFor(m_ctx.Print().Orientation),
                                          LandscapeTurnFor(m_ctx, printer.Printers().value(printer.PrinterIndex())));
        m_picture =
            SheetVorschau(bitmap, printer.Sheet(), turn, printer.ResolutionX(), m_ctx.Print().Alignment, marks);
        Image_Vorschau->setPixmap(QPixmap::fromImage(m_picture));
        drawn = true;
    });
    if (!drawn) {
        const QSignalBlocker quiet(CheckBox_Blatt);
        CheckBox_Blatt->setChecked(false);
    }
    return drawn;
}

void ShowVorschau(AppContext& ctx, QWidget* parent, const QString& absenderId, const QString& adresseId)
{
    if (absenderId.isEmpty()) {
        ctx.Messages->InfoMessage(QStringLiteral("Bitte wählen Sie einen Absender!"));
        return;
    }
    if (adresseId.isEmpty()) {
        ctx.Messages->InfoMessage(QStringLiteral("Bitte wählen Sie eine Adresse!"));
        return;
    }
    TDLG_Vorschau dialog(ctx, absenderId, adresseId, parent);
    dialog.exec();
}
