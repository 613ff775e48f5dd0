#pragma once
#include <QFrame>
#include <QImage>

// A banner preview: the picture scaled to fit with its aspect ratio kept (enlarged as
// well as reduced) and centred, inside a one-pixel frame. The widget's objectName is the
// frame's ("Shape_Banner"); the picture area inside it is named "Image_Banner".
class BannerPreview : public QFrame
{
    Q_OBJECT
public:
    // areaSize: the picture area; the frame is one pixel larger on each side.
    BannerPreview(QSize areaSize, QWidget* parent = nullptr);

    // The preview keeps a copy, always as a 24-bit bitmap; a null picture empties it.
    void setPicture(const QImage& picture);
    const QImage& picture() const { return m_picture; }
    bool hasPicture() const { return !m_picture.isNull(); }
    // Where the picture is drawn inside the picture area.
    QRect pictureRect() const;
    QWidget* area() const { return m_area; }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    QImage m_picture;
    QWidget* m_area;
};
