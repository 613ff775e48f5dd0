#include "labels/LabelLayout.h"

#include "app/BlankText.h"
#include "envelope/GlyphTextPainter.h"


#include <algorithm>
#include <cmath>
#include <map>

namespace {

int dots(double points, int dpi)
{
    return int(std::lround(points * dpi / 72.0));
}

// Lines shaped as they are drawn, one painter per size: a run of a thousand labels asks
// for the same few sizes again and again.
class Measure
{
public:
    explicit Measure(const QString& family) : m_family(family) {}

    int LineHeight(int pixelSize) { return painter(pixelSize).LineHeight(); }
    int Width(int pixelSize, const QString& line) { return painter(pixelSize).Shape(line).Width; }

private:
    const GlyphTextPainter& painter(int pixelSize)
    {
        auto it = m_painters.find(pixelSize);
        if (it == m_painters.end())
            it = m_painters.emplace(pixelSize, GlyphTextPainter(UmschlagFont(m_family, pixelSize))).first;
        return it->second;
    }
    QString m_family;
    std::map<int, GlyphTextPainter> m_painters;
};

// The envelope's blank-line rule: blank lines go unless they keep their space. Blank lines
// at the end hold nothing and would only move a centred block up.
AddressLines visibleLines(const AddressLines& lines, bool keepBlankLines)
{
    AddressLines out;
    for (const QString& line : lines)
        if (keepBlankLines || !IsBlank(line))
            out << line;
    while (!out.isEmpty() && IsBlank(out.last()))
        out.removeLast();
    return out;
}

bool fits(Measure& m, const AddressLines& lines, int pixelSize, const QSize& room)
{
    if (lines.size() * m.LineHeight(pixelSize) > room.height())
        return false;
    return std::all_of(lines.begin(), lines.end(), [&](const QString& l) {
        return IsBlank(l) || m.Width(pixelSize, l) <= room.width();
    });
}

LabelBox layoutBox(Measure& m, const QRect& rect, int inset, const LabelText& text, const LabelStyle& style,
                   const QSize& bannerSize)
{
    LabelBox box;
    box.Rect = rect;
    const QRect inner = rect.adjusted(inset, inset, -inset, -inset);
    const AddressLines lines = visibleLines(text.Lines, style.KeepBlankLines);
    const int step = std::max(1, style.HalfPoint);
    const int gap = bannerSize.height() / 8;

    // With the banner first; without it when the banner leaves the lines no room.
    bool banner = text.WithBanner && !bannerSize.isEmpty() && bannerSize.width() <= inner.width() &&
                  bannerSize.height() < inner.height();
    int size = style.PixelSize;
    for (;;) {
        const QSize room(inner.width(), inner.height() - (banner ? bannerSize.height() + gap : 0));
        size = style.PixelSize;
        while (size > style.MinPixelSize && !fits(m, lines, size, room))
            size = std::max(style.MinPixelSize, size - step);
        box.Fits = fits(m, lines, size, room);
        if (box.Fits || !banner)
            break;
        banner = false;
    }

    const int lineHeight = m.LineHeight(size);
    const int blockHeight = int(lines.size()) * lineHeight + (banner ? bannerSize.height() + (lines.isEmpty() ? 0 : gap) : 0);
    int y = inner.top() + std::max(0, (inner.height() - blockHeight) / 2);
    if (banner) {
        box.Banner = QRect(QPoint(inner.left(), y), bannerSize);
        y += bannerSize.height() + gap;
    }
    for (const QString& line : lines) {
        if (!IsBlank(line))
            box.Lines.push_back({line, style.Family, size, QPoint(inner.left(), y), lineHeight});
        y += lineHeight;
    }
    return box;
}

} // namespace

LabelStyle LabelStyleFor(const QString& family, int addressFontSize, int dpiFactor, bool keepBlankLines, int dpi)
{
    LabelStyle style;
    style.Family = family;
    // The envelope's rule for the size, made for its own resolution; at another one the
    // text keeps the size it has on paper there.
    const int base = dpiFactor > 0 ? kDefaultLabelDpi / dpiFactor : 0;
    const int envelopeDots = base > 0 ? UmschlagPixelSize(UmschlagPointSize(addressFontSize, base)) : dots(12, kDefaultLabelDpi);
    style.PixelSize = int(std::lround(double(envelopeDots) * dpi / kDefaultLabelDpi));
    style.MinPixelSize = dots(6, dpi);
    style.HalfPoint = std::max(1, dots(0.5, dpi));
    style.PixelSize = std::max(style.PixelSize, style.MinPixelSize);
    style.KeepBlankLines = keepBlankLines;
    return style;
}

QList<QRect> LabelSlots(const LabelTemplate& t, int dpi)
{
    QList<QRect> result;
    for (const QRectF& r : t.LabelRects()) {
        const int left = dots(r.left(), dpi);
        const int top = dots(r.top(), dpi);
        result << QRect(QPoint(left, top), QPoint(dots(r.right(), dpi) - 1, dots(r.bottom(), dpi) - 1));
    }
    return result;
}

LabelRun LayoutLabels(const LabelTemplate& t, const QList<LabelText>& texts, int start, const LabelStyle& style,
                      const QSize& bannerSize, int dpi)
{
    LabelRun run;
    run.Dpi = dpi;
    run.Page = QSize(dots(t.PageSize.width(), dpi), dots(t.PageSize.height(), dpi));
    run.Slots = LabelSlots(t, dpi);
    run.Radius = dots(t.Round, dpi);
    const int perSheet = int(run.Slots.size());
    if (perSheet == 0)
        return run;
    run.Start = std::clamp(start, 0, perSheet - 1);
    const int inset = dots(LabelInnerMargin(t), dpi);
    Measure measure(style.Family);
    for (int i = 0; i < texts.size(); ++i) {
        const int position = run.Start + i;
        const size_t sheet = size_t(position / perSheet);
        if (run.Sheets.size() <= sheet)
            run.Sheets.resize(sheet + 1);
        LabelBox box = layoutBox(measure, run.Slots[position % perSheet], inset, texts[i], style, bannerSize);
        box.Slot = position % perSheet;
        box.Text = i;
        if (!box.Fits)
            run.TooLong << i;
        run.Sheets[sheet].push_back(std::move(box));
    }
    return run;
}

QString LabelTextName(const LabelText& text)
{
    for (const QString& line : text.Lines)
        if (!IsBlank(line))
            return TrimBlanks(line);
    return QString();
}
