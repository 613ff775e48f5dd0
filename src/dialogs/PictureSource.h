#pragma once
#include <QImage>
#include <QString>

class QWidget;

// Where the sender dialog gets pictures from and puts them: the picture-open dialog and
// the clipboard. The real one uses Qt; tests give a scripted one.
class PictureSource
{
public:
    virtual ~PictureSource() = default;
    // Shows the picture-open dialog; the chosen file name, or empty when cancelled.
    virtual QString ChoosePictureFile(QWidget* parent) = 0;
    // The clipboard holds a bitmap.
    virtual bool ClipboardHasBitmap() const = 0;
    // The clipboard offers a picture: a bitmap or a metafile.
    virtual bool ClipboardHasPicture() const = 0;
    // The clipboard's bitmap, or a null picture.
    virtual QImage ClipboardBitmap() const = 0;
    virtual void SetClipboardBitmap(const QImage& picture) = 0;
};
