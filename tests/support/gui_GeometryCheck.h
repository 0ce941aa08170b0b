// The layout of a shown window as a user sees it, checked instead of waiting for a screenshot.
//
// Walks the window's tree of shown child windows (not into other top-level windows, nor into
// the inner windows of a toolkit control) and reports, naming the windows by class, label or
// name and rectangle:
//   - a child that lies, even in part, outside its parent's client area (it is cut);
//   - two shown siblings that overlap; the one exception is a static box and a window standing
//     wholly inside its frame: below the title and clear of the frame's line by a free pixel
//     (a window that covers or touches the line, from inside or outside, is a fault);
//   - two sibling static boxes side by side whose frames touch;
//   - a text field narrower than its current text with the field's padding; a label, or the
//     self-drawn text (FixedText) of a read-out's value or unit, smaller than its text as drawn
//     in its font (a read-out's caption, value and unit change their texts without a new
//     layout, so it is the text shown now that is measured); a read-out part smaller than its
//     sample made it; or a button smaller than its best size.
//
//     dialog->Show();
//     SettleWindows();
//     EXPECT_TRUE(LayoutIsSound(dialog));
//
// Lay the window out and let it be shown before checking (the toolkit sizes new windows when
// it draws them).
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

class wxWindow;

// Every fault found, one line each; empty when the layout is sound.
std::vector<std::string> LayoutFaults(wxWindow* top);
// Success, or a failure listing every fault with the window's title.
testing::AssertionResult LayoutIsSound(wxWindow* top);

// Runs the event loop briefly so a window just shown or laid out gets its final sizes.
void SettleWindows(int milliseconds = 50);

// A picture of the window's screen area, written to dir/name.png when MIREX_SHOT_DIR is set
// (for looking at the windows the checks pass); nothing otherwise. Each picture of a process
// needs a name of its own: a name used twice fails the test.
void SaveWindowShot(wxWindow* top, const std::string& name);
