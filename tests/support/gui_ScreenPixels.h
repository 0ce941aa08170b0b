// The pixels of a window as the X server shows them, read back from the screen: what was drawn,
// however it was drawn (the toolkit, a self-drawn control, the theme). Wait until the window is
// painted first (gui_ScreenWait.h).
//
//     ASSERT_TRUE(WaitUntilPainted(frame));
//     const wxImage pixels = ScreenPixels(readout->GetCaptionWindow());
#pragma once

#include <wx/colour.h>
#include <wx/image.h>

class wxWindow;

// The window's screen rectangle, cut to the screen; an invalid image (and a test failure) when
// the display is not an X server or the window is wholly off the screen.
wxImage ScreenPixels(const wxWindow* window);

// The colour most pixels of the image have: the background of a text drawn on it.
wxColour DominantColour(const wxImage& image);
// The pixel whose colour lies furthest from background (by the sum of the channel differences):
// the full colour of a text, where its strokes cover whole pixels.
wxColour FurthestColour(const wxImage& image, const wxColour& background);
