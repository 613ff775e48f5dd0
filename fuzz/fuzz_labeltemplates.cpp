// The label template reader: any file either gives an error and no templates, or only
// sheets the program can lay out, whose labels all lie at finite places on an A4 or
// Letter page and number at most what a sheet can hold.
#include "FuzzSupport.h"
#include "labels/LabelTemplates.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const LabelTemplateFile file = ReadLabelTemplateFile(FuzzSupport::Bytes(data, size), QStringLiteral("fuzz.xml"));
    FUZZ_CHECK(file.Error.isEmpty() || file.Templates.isEmpty());
    for (const LabelTemplate& t : file.Templates) {
        FUZZ_CHECK(!t.Brand.isEmpty() && !t.Part.isEmpty());
        if (!t.EquivalentOf.isEmpty())
            continue;  // laid out only through its equivalent
        FUZZ_CHECK(t.PaperId == QLatin1String("A4") || t.PaperId == QLatin1String("US-Letter"));
        FUZZ_CHECK(t.LabelSize.width() > 0 && t.LabelSize.height() > 0);
        FUZZ_CHECK(t.Count() > 0 && t.Count() <= 1000 * t.Grids.size());
        const QList<QRectF> rects = t.LabelRects();
        FUZZ_CHECK(rects.size() == t.Count());
        for (const QRectF& r : rects)
            FUZZ_CHECK(std::isfinite(r.left()) && std::isfinite(r.top()));
        FUZZ_CHECK(!t.Media().isEmpty());
    }
    return 0;
}
