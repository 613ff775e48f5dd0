#include "uikit/PrintMovie.h"

#include <QLabel>
#include <QPainter>

namespace {
QLabel* layer(QWidget* parent, const QImage& picture, QPoint at)
{
    auto* l = new QLabel(parent);
    l->setPixmap(QPixmap::fromImage(picture));
    l->setGeometry(QRect(at, picture.size()));
    return l;
}
} // namespace

PrintMovie::PrintMovie(const Pictures& pictures, QWidget* parent) : QWidget(parent), m_bottom(pictures.bottom)
{
    setObjectName(QStringLiteral("PrintMovie_Progress"));
    setFixedSize(135, 100);
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Back to front: envelope, printer top, lamp.
    m_envelope = layer(this, pictures.envelope, {48, 0});
    m_top = layer(this, pictures.top, {0, 0});
    m_lamp = layer(this, pictures.lamp, {113, 34});
    m_timer.setInterval(33);
    connect(&m_timer, &QTimer::timeout, this, &PrintMovie::tick);
}

void PrintMovie::start()
{
    m_timer.start();
}

void PrintMovie::stop()
{
    m_timer.stop();
    m_envelope->move(48, 0);
    m_lamp->show();
}

void PrintMovie::tick()
{
    const int y = m_envelope->y();
    m_envelope->move(48, y <= 90 ? y + 1 : 0);
    if (++m_ticks > 10) {
        m_ticks = 0;
        m_lamp->setVisible(!m_lamp->isVisible());
    }
}

int PrintMovie::envelopeTop() const
{
    return m_envelope->y();
}

bool PrintMovie::lampVisible() const
{
    return !m_lamp->isHidden();
}

void PrintMovie::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), QColor(240, 240, 240));
    p.drawImage(0, 52, m_bottom);
}
