#pragma once
#include "dialogs/PictureSource.h"

// The picture-open dialog and the system clipboard through Qt.
class QtPictureSource : public PictureSource
{
public:
    // The filters of the picture-open dialog, the last one ("Alle unterstützten Formate")
    // preselected.
    static QStringList Filters();
    // "*.[jJ][pP][eE][gG]" for "jpeg": the extension in any case.
    static QString CaseBlindPattern(const QString& extension);

    QString ChoosePictureFile(QWidget* parent) override;
    bool ClipboardHasBitmap() const override;
    bool ClipboardHasPicture() const override;
    QImage ClipboardBitmap() const override;
    void SetClipboardBitmap(const QImage& picture) override;
};
