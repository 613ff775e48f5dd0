#pragma once
#include "dialogs/PictureSource.h"

// A scripted file dialog and clipboard for the sender dialog.
class FakePictureSource : public PictureSource
{
public:
    QString ChoosePictureFile(QWidget*) override
    {
        ++dialogsShown;
        return nextFile;
    }
    bool ClipboardHasBitmap() const override { return !bitmap.isNull(); }
    bool ClipboardHasPicture() const override { return !bitmap.isNull() || metafile; }
    QImage ClipboardBitmap() const override { return bitmap; }
    void SetClipboardBitmap(const QImage& picture) override { bitmap = picture; }

    QString nextFile;
    QImage bitmap;
    bool metafile = false;
    int dialogsShown = 0;
};
