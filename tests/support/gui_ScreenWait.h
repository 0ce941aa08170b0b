// Waiting until a window is on the screen as it was drawn. A window just shown or changed is
// mapped and painted only when the event loop gets to it (the toolkit paints at its next frame),
// and the X server shows what it was sent only once it has read it: pixels, focus or screen
// positions read before that are those of the window before it was there.
//
//     frame->Show();
//     ASSERT_TRUE(WaitUntilPainted(frame));
//     ... read the screen ...
//
// For a later event (a reply from the panel, a view removed at idle time) wait with
// RunLoopUntil; for the keyboard focus, with WaitUntilFocused. A test of what a window draws by
// itself, without a repaint, asks only for the X server to catch up: SyncDisplay().
#pragma once

#include <gtest/gtest.h>

class wxWindow;

// Asks for a repaint of window and runs the event loop until a paint of it or of a window
// inside it has been handled (which implies it is mapped), then waits until the X server has
// processed everything the toolkit sent. Fails, naming the window, when that takes longer than
// timeoutMs or the display is not an X server.
testing::AssertionResult WaitUntilPainted(wxWindow* window, int timeoutMs = 5000);

// Waits until the X server has processed every request the toolkit sent (its drawing
// included); fails when the display is not an X server.
testing::AssertionResult SyncDisplay();

// Runs the event loop until the keyboard focus is on window or a window inside it. The focus
// a window takes reaches it only once its top-level window has the display's focus, which the
// X server gives (with no window manager: to the window under the pointer) in an event of its
// own. Fails, naming the window and where the focus is, when that takes longer than timeoutMs.
testing::AssertionResult WaitUntilFocused(wxWindow* window, int timeoutMs = 5000);
