// Whether a text colour stands out from the background it is drawn on, measured as the WCAG 2
// contrast ratio: (L1 + 0.05) / (L2 + 0.05) of the lighter and the darker colour's relative
// luminance, from 1 (the same colour) to 21 (black on white). Text is readable from 4.5 up.
// Pure functions of the colours: no window or display is needed.
#pragma once

#include <wx/colour.h>

constexpr double kReadableTextContrast = 4.5;

// The colour's relative luminance, 0 for black to 1 for white (sRGB; alpha is ignored).
double RelativeLuminance(const wxColour& colour);

// The contrast ratio of the two colours, 1 to 21; the order does not matter.
double ContrastRatio(const wxColour& a, const wxColour& b);

// The colour to draw text in on background: preferred where it is readable there, otherwise the
// theme's text colour where that is, otherwise black or white, whichever stands out more (one of
// them always does). An invalid background keeps preferred; an invalid theme colour is passed by.
wxColour ReadableTextColour(const wxColour& preferred, const wxColour& themeText, const wxColour& background);
