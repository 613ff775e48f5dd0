#pragma once
#include <QString>

// What a print resolution does to the size of the envelope's text. The settings' font sizes
// are made for 600 dpi with the font-size factor ("Umrechnungsfaktor") 10: the point size
// grows as the resolution falls (it is made from the resolution divided by the factor) and
// every dot grows too, so the printed text grows with the square of the fall.

// The printed height of the text at dpi with the factor, as a multiple of its height at
// 600 dpi with the factor 10; 0 where the factor leaves no font size.
double PrintedTextScale(int dpi, int dpiFactor);

// The factor 1..10 whose printed text at dpi comes nearest in size to 600 dpi with factor 10.
int FactorKeepingSize(int dpi);

// The hint beside the resolution: what dpi does with the factor to the text's size and
// which factor keeps it; empty at 600 dpi with the factor 10.
QString ResolutionHintText(int dpi, int dpiFactor);
