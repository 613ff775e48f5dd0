#include "tools/BannerComposer.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>

TTitelData TTitelData::TitelDefaults()
{
    TTitelData t;
    t.Text = QStringLiteral("Firmenlogo");
    t.ShowText = false;
    t.FontSize = 20;
    t.FontColor = QColor(50, 102, 204);
    t.BackColor = QColor(255, 255, 255);
    t.Bold = true;
    t.Italic = true;
    return t;
}

TTitelData TTitelData::UntertitelDefaults()
{
    TTitelData t;
    t.Text = QStringLiteral("Beispielfirma GmbH");
    t.ShowText = true;
    t.FontSize = 12;
    t.FontColor = QColor(255, 255, 255);
    t.BackColor = QColor(50, 102, 204);
    t.Bold = false;
    t.Italic = false;
    return t;
}

namespace {

int cellHeight(const TTitelData& band) { return qMax(1, band.FontSize * 10); }

} // namespace

namespace BannerComposer {

QFont BandFont(const TTitelData& band)
{
    QFont font(band.FontName);
    font.setBold(band.Bold);
    font.setItalic(band.Italic);
    // A cell height (ascent + descent) is asked for, while Qt sizes the em: scale the
    // pixel size by the typeface's own cell-to-em ratio.
    const int cell = cellHeight(band);
    font.setPixelSize(cell);
    const int measured = QFontMetrics(font).height();
    if (measured > 0 && measured != cell)
        font.setPixelSize(qMax(1, qRound(double(cell) * cell / measured)));
    return font;
}

QSize MeasureText(const TTitelData& band)
{
    const QFontMetrics fm(BandFont(band));
    // The text's height is the character cell, also for an empty text.
    return QSize(fm.horizontalAdvance(band.Text) + 40, cellHeight(band) + 20);
}

QImage ComposeBanner(const TTitelData& titel, const TTitelData& untertitel)
{
    const QSize t = MeasureText(titel);
    const QSize u = MeasureText(untertitel);
    const int width = t.width() > u.width() ? t.width() : u.width();
    const int height = untertitel.ShowText ? t.height() + u.height() : t.height();
    QImage banner(width, height, QImage::Format_RGB32);
    QPainter p(&banner);
    p.setRenderHint(QPainter::TextAntialiasing);
    auto band = [&p, width](const TTitelData& d, int top, int bottom) {
        const QRect area(0, top, width, bottom - top);
        p.fillRect(area, d.BackColor);
        const QRect textArea(5, top + 5, width - 5, bottom - top - 5);
        p.save();
        p.setClipRect(textArea);
        p.setFont(BandFont(d));
        p.setPen(d.FontColor);
        p.drawText(textArea, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, d.Text);
        p.restore();
    };
    band(titel, 0, t.height());
    if (untertitel.ShowText)
        band(untertitel, t.height(), height);
    return banner;
}

} // namespace BannerComposer
