#include "widgets/LayoutHelpers.h"

#include <wx/frame.h>
#include <wx/menu.h>
#include <wx/window.h>

#include <locale.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>

void AlignLabelWidths(int count, wxWindow* const windows[], int extra) {
    int widest = 0;
    for (int i = 0; i < count; ++i) {
        int width = windows[i]->GetSize().GetWidth();
        if (width > widest) widest = width;
    }
    for (int i = 0; i < count; ++i)
        windows[i]->SetMinSize(wxSize(widest + extra, windows[i]->GetSize().GetHeight()));
}

namespace {
// Longer than any value the panel reports needs; longer texts are cut.
char sharedBuffer[64];

// snprintf "%.*f" in the C locale: the read-outs show a decimal point, as the panel's own
// display does, whatever locale the process runs in.
int PrintDecimal(char* buffer, size_t size, int precision, double value) {
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    const locale_t previous = cLocale ? uselocale(cLocale) : static_cast<locale_t>(nullptr);
    const int length = std::snprintf(buffer, size, "%.*f", precision, value);
    if (cLocale) uselocale(previous);
    return length;
}
}  // namespace

wxString FormatDecimal(double value, int decimals) {
    char text[350];  // the widest double printed in full
    PrintDecimal(text, sizeof text, decimals > 0 ? decimals : 0, value);
    return wxString::FromAscii(text);
}

const char* FormatFixedWidth(double value, int width, char* buffer, size_t size) {
    if (buffer == nullptr) {
        buffer = sharedBuffer;
        size = sizeof sharedBuffer;
    }
    if (size == 0) return buffer;
    int precision = width - 1;
    // Every precision above the one that leaves room for the integer digits (and the sign) makes
    // a text longer than allowed: start there, and step down only where rounding adds a digit.
    if (std::isfinite(value) && std::fabs(value) < 1e15) {
        int digits = 1;
        for (double tens = 10; tens <= std::fabs(value); tens *= 10) ++digits;
        precision = std::min(precision, width - digits - (std::signbit(value) ? 1 : 0));
    }
    for (;;) {
        // snprintf reports the full length even when the buffer cut the text.
        int length = PrintDecimal(buffer, size, precision > 0 ? precision : 0, value);
        if (precision <= 0) break;
        --precision;
        if (length <= width + 1) break;
    }
    return buffer;
}

wxString FormatFixedWidth(double value, int width) {
    char text[64];
    return wxString::FromAscii(FormatFixedWidth(value, width, text, sizeof text));
}

int LeadingNumber(const char* text) {
    if (text == nullptr) return 0;
    long number = std::strtol(text, nullptr, 10);
    if (number > INT_MAX) return INT_MAX;
    if (number < INT_MIN) return INT_MIN;
    return static_cast<int>(number);
}

int LeadingNumber(const wxString& text) {
    return LeadingNumber(static_cast<const char*>(text.utf8_str()));
}

int FindNumberIndex(int value, const char* const texts[]) {
    if (texts == nullptr) return -1;
    for (int i = 0; texts[i] != nullptr; ++i)
        if (LeadingNumber(texts[i]) == value) return i;
    return -1;
}

void MenuBarEnableAll(wxWindow* window, bool enable) {
    if (window == nullptr) return;
    wxFrame* frame = dynamic_cast<wxFrame*>(window->GetParent());
    if (frame == nullptr) return;
    wxMenuBar* bar = frame->GetMenuBar();
    if (bar == nullptr) return;
    for (size_t i = 0; i < bar->GetMenuCount(); ++i) bar->EnableTop(i, enable);
}
