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

QString QtPictureSource::CaseBlindPattern(const QString& extension)
{
    QString pattern = QStringLiteral("*.");
    for (QChar c : extension) {
        if (c.toLower() != c.toUpper())
            pattern += QLatin1Char('[') + c.toLower() + c.toUpper() + QLatin1Char(']');
        else
            pattern += c;
    }
    return pattern;
}

QStringList QtPictureSource::Filters()
{
    // File systems here tell "logo.JPEG" from "logo.jpeg", and so would the dialog's plain
    // patterns; each pattern therefore matches the extension in any case. The dialog shows
    // only the descriptions.
    const struct
    {
        const char* description;
        QStringList extensions;
    } filters[] = {
        {"BMP - Windows Bitmaps", {"bmp"}},
        {"JPG - JPG/JPEG Images", {"jpg", "jpeg"}},
        {"PNG - Portable Network Graphics", {"png"}},
        {"GIF - Compuserve GIF", {"gif"}},
        {"WMF - Windows Metafiles", {"wmf"}},
        {"Alle unterstützten Formate", {"bmp", "jpeg", "jpg", "png", "gif", "wmf"}},
    };
    QStringList out;
    for (const auto& f : filters) {
        QStringList patterns;
        for (const QString& e : f.extensions)
            patterns << CaseBlindPattern(e);
        out << QString::fromUtf8(f.description) + QStringLiteral(" (") + patterns.join(u' ') + QLatin1Char(')');
    }
    return out;
}

QString QtPictureSource::ChoosePictureFile(QWidget* parent)
{
    QFileDialog dialog(parent, QStringLiteral("Bild einfügen..."));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
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
