#include "tools/BannerPreview.h"

#include <QEvent>
#include <QPainter>

BannerPreview::BannerPreview(QSize areaSize, QWidget* parent) : QFrame(parent), m_area(new QWidget(this))
{
    setObjectName(QStringLiteral("Shape_Banner"));
    setFixedSize(areaSize + QSize(2, 2));
    // Fill RGB 204, 207, 210, border RGB 115, 122, 130.
    setStyleSheet(QStringLiteral("QFrame#Shape_Banner { background: rgb(204, 207, 210); border: 1px solid rgb(115, 122, 130); }"));
    m_area->setObjectName(QStringLiteral("Image_Banner"));
    m_area->setGeometry(1, 1, areaSize.width(), areaSize.height());
    m_area->setAccessibleName(QStringLiteral("Banner"));
    m_area->installEventFilter(this);
}

void BannerPreview::setPicture(const QImage& picture)
{
    m_picture = picture.isNull() ? QImage() : picture.convertToFormat(QImage::Format_RGB888);
    m_area->setAccessibleDescription(hasPicture() ? QStringLiteral("%1 × %2 Pixel").arg(m_picture.width()).arg(m_picture.height())
                                                  : QString());
    m_area->update();
}

QRect BannerPreview::pictureRect() const
{
    if (!hasPicture() || m_picture.width() <= 0 || m_picture.height() <= 0)
        return {};
    const QSize fitted = m_picture.size().scaled(m_area->size(), Qt::KeepAspectRatio);
    return QRect(QPoint((m_area->width() - fitted.width()) / 2, (m_area->height() - fitted.height()) / 2), fitted);
}

bool BannerPreview::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == m_area && e->type() == QEvent::Paint) {
        QPainter p(m_area);
        p.fillRect(m_area->rect(), QColor(204, 207, 210));
        if (hasPicture()) {
            p.setRenderHint(QPainter::SmoothPixmapTransform);
            p.drawImage(pictureRect(), m_picture);
        }
        return true;
    }
    return QFrame::eventFilter(watched, e);
}
