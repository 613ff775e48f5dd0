#pragma once
#include <QImage>
#include <QString>

class QLabel;

// Reads the program's JPEG picture ":/images/NAME.jpg", decodes it in colour and shows it
// in the label. False, label unchanged, when there is no such picture or it does not decode.
bool LoadJpegResource(const QString& name, QLabel* picture);
// The same picture itself; a null image when there is none.
QImage JpegResourceImage(const QString& name);
