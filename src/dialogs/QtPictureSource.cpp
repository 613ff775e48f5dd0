#include "dialogs/QtPictureSource.h"

#include <QClipboard>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMimeData>

namespace {

// Metafiles on the clipboard, as X11 and Windows name them.
bool hasMetafile(const QMimeData* mime)
{
    for (const QString& f : mime->formats())
        if (f.contains(QLatin1String("wmf"), Qt::CaseInsensitive) || f.contains(QLatin1String("emf"), Qt::CaseInsensitive) ||
            f.contains(QLatin1String("metafile"), Qt::CaseInsensitive))
            return true;
    return false;
}

} // namespace

QStringList QtPictureSource::Filters()
{
    return {QStringLiteral("BMP - Windows Bitmaps (*.bmp)"),
            QStringLiteral("JPG - JPG/JPEG Images (*.jpg *.jpeg)"),
            QStringLiteral("PNG - Portable Network Graphics (*.png)"),
            QStringLiteral("GIF - Compuserve GIF (*.gif)"),
            QStringLiteral("WMF - Windows Metafiles (*.wmf)"),
            QStringLiteral("Alle unterstützten Formate (*.bmp *.jpeg *.jpg *.png *.gif *.wmf)")};
}

QString QtPictureSource::ChoosePictureFile(QWidget* parent)
{
    QFileDialog dialog(parent, QStringLiteral("Bild einfügen..."));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setNameFilters(Filters());
    dialog.selectNameFilter(Filters().last());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}

bool QtPictureSource::ClipboardHasBitmap() const
{
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    return mime && mime->hasImage();
}

bool QtPictureSource::ClipboardHasPicture() const
{
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    return mime && (mime->hasImage() || hasMetafile(mime));
}

QImage QtPictureSource::ClipboardBitmap() const
{
    if (!ClipboardHasBitmap())
        return {};
    return QGuiApplication::clipboard()->image();
}

void QtPictureSource::SetClipboardBitmap(const QImage& picture)
{
    if (!picture.isNull())
        QGuiApplication::clipboard()->setImage(picture);
}
