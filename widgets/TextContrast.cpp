#include "widgets/TextContrast.h"

#include <cmath>

namespace {
// One sRGB channel (0-255) as linear light, 0 to 1.
double Linear(unsigned char channel) {
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

bool Readable(const wxColour& text, const wxColour& background) {
    return text.IsOk() && ContrastRatio(text, background) >= kReadableTextContrast;
}
}  // namespace

double RelativeLuminance(const wxColour& colour) {
    return 0.2126 * Linear(colour.Red()) + 0.7152 * Linear(colour.Green()) + 0.0722 * Linear(colour.Blue());
}

double ContrastRatio(const wxColour& a, const wxColour& b) {
    const double la = RelativeLuminance(a), lb = RelativeLuminance(b);
    return la > lb ? (la + 0.05) / (lb + 0.05) : (lb + 0.05) / (la + 0.05);
}

wxColour ReadableTextColour(const wxColour& preferred, const wxColour& themeText, const wxColour& background) {
    if (!background.IsOk() || Readable(preferred, background)) return preferred;
    if (Readable(themeText, background)) return themeText;
    const wxColour black(0, 0, 0), white(255, 255, 255);
    return ContrastRatio(black, background) >= ContrastRatio(white, background) ? black : white;
}
