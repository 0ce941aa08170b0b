#include "support/gui_ScreenPixels.h"

#include <gtest/gtest.h>
#include <wx/utils.h>
#include <wx/window.h>

#include <cstdlib>
#include <map>

// After the toolkit headers: Xlib defines names they use.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {
// One 8-bit channel of a pixel under its mask (a true-colour visual).
unsigned char Channel(unsigned long pixel, unsigned long mask) {
    if (!mask) return 0;
    int shift = 0;
    while (!((mask >> shift) & 1)) ++shift;
    const unsigned long top = mask >> shift;
    return static_cast<unsigned char>(((pixel & mask) >> shift) * 255 / top);
}
}  // namespace

wxImage ScreenPixels(const wxWindow* window) {
    const wxDisplayInfo info = wxGetDisplayInfo();
    if (info.type != wxDisplayX11 || !info.dpy) {
        ADD_FAILURE() << "the screen can be read only from an X server";
        return wxImage();
    }
    auto* display = static_cast<Display*>(info.dpy);
    // A request for pixels outside the screen is an X error: read only the part on the screen.
    const wxRect screen(0, 0, DisplayWidth(display, DefaultScreen(display)),
                        DisplayHeight(display, DefaultScreen(display)));
    const wxRect rect = window->GetScreenRect().Intersect(screen);
    if (rect.IsEmpty()) {
        ADD_FAILURE() << "the window is not on the screen";
        return wxImage();
    }
    XImage* shot = XGetImage(display, DefaultRootWindow(display), rect.x, rect.y, rect.width, rect.height, AllPlanes,
                             ZPixmap);
    if (!shot) {
        ADD_FAILURE() << "the X server gave no pixels";
        return wxImage();
    }
    wxImage image(rect.width, rect.height, false);
    for (int y = 0; y < rect.height; ++y)
        for (int x = 0; x < rect.width; ++x) {
            const unsigned long pixel = XGetPixel(shot, x, y);
            image.SetRGB(x, y, Channel(pixel, shot->red_mask), Channel(pixel, shot->green_mask),
                         Channel(pixel, shot->blue_mask));
        }
    XDestroyImage(shot);
    return image;
}

wxColour DominantColour(const wxImage& image) {
    std::map<unsigned long, int> counts;
    const unsigned char* p = image.GetData();
    for (int i = 0; i < image.GetWidth() * image.GetHeight(); ++i, p += 3) ++counts[p[0] << 16 | p[1] << 8 | p[2]];
    unsigned long dominant = 0;
    int most = 0;
    for (const auto& entry : counts)
        if (entry.second > most) {
            most = entry.second;
            dominant = entry.first;
        }
    return wxColour((dominant >> 16) & 0xff, (dominant >> 8) & 0xff, dominant & 0xff);
}

wxColour FurthestColour(const wxImage& image, const wxColour& background) {
    wxColour furthest = background;
    int widest = 0;
    const unsigned char* p = image.GetData();
    for (int i = 0; i < image.GetWidth() * image.GetHeight(); ++i, p += 3) {
        const int apart = std::abs(p[0] - background.Red()) + std::abs(p[1] - background.Green()) +
                          std::abs(p[2] - background.Blue());
        if (apart > widest) {
            widest = apart;
            furthest = wxColour(p[0], p[1], p[2]);
        }
    }
    return furthest;
}
