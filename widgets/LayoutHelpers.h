// Small layout and text helpers shared by the main window, the regulator views and the dialogs.
#pragma once

#include <wx/string.h>

#include <cstddef>
#include <type_traits>
#include <vector>

class wxWindow;

// Gives every window of a column the minimum width of the widest one plus extra, each keeping
// its own current height, so that the controls beside them line up.
void AlignLabelWidths(int count, wxWindow* const windows[], int extra);

// The same for arrays of a window subclass (static texts, mostly).
template <class Window>
void AlignLabelWidths(int count, Window* const windows[], int extra) {
    static_assert(std::is_base_of<wxWindow, Window>::value, "AlignLabelWidths takes windows");
    std::vector<wxWindow*> column(windows, windows + (count > 0 ? count : 0));
    AlignLabelWidths(count, column.data(), extra);
}

// A number with the given decimals and a decimal point, whatever the process's locale (as the
// panel's own display shows it).
wxString FormatDecimal(double value, int decimals);

// A number in a fixed number of characters for the read-outs: printed with the most decimals
// (at most width - 1) whose text is no longer than width + 1, or with none when nothing fits.
// Width 4 gives 12.35, 123.5, 12346, -1.23 and 0.500.
wxString FormatFixedWidth(double value, int width);

// The same into a caller's buffer of the given size (cut to fit); a null buffer means one
// static buffer that the next call overwrites. Returns the buffer.
const char* FormatFixedWidth(double value, int width, char* buffer, size_t size);

// The decimal number at the start of a text as atoi reads it (leading blanks and a sign allowed,
// 0 when the text does not start with a number); values beyond int are clamped.
int LeadingNumber(const char* text);
int LeadingNumber(const wxString& text);

// Index of the first text in a null-terminated table whose leading number equals value,
// -1 when none does (or the table is null).
int FindNumberIndex(int value, const char* const texts[]);

// Enables or disables every top-level menu of the menu bar of window's parent frame; does
// nothing when that parent has no menu bar.
void MenuBarEnableAll(wxWindow* window, bool enable);
