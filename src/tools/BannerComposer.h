#pragma once
#include <QColor>
#include <QImage>
#include <QSize>
#include <QString>

class QFont;

// The settings of one band of a designed banner.
struct TTitelData
{
    QString Text;
    QString FontName = QStringLiteral("Arial");
    bool ShowText = true;  // only the subtitle's flag is used
    int FontSize = 20;     // the character cell is ten times this many pixels high
    QColor FontColor;
    QColor BackColor;
    bool Bold = false;
    bool Italic = false;

    static TTitelData TitelDefaults();
    static TTitelData UntertitelDefaults();
};

// Draws a banner from a title band and an optional subtitle band below it.
namespace BannerComposer {

// The band's font: its typeface, a character cell of FontSize × 10 pixels, bold, italic.
QFont BandFont(const TTitelData& band);
// The band's size: the text's width plus 40, the text's height plus 20.
QSize MeasureText(const TTitelData& band);
// Both bands as wide as the wider one; the subtitle only when its ShowText is set.
QImage ComposeBanner(const TTitelData& titel, const TTitelData& untertitel);

} // namespace BannerComposer
