#include "resources/Resources.h"

#include <wx/bitmap.h>
#include <wx/image.h>

#include "resources/ico_1.xpm"
#include "resources/ico_com.xpm"

namespace {
constexpr int kDrawnSize = 32;

const char* const* FindIcon(const wxString& name) {
    if (name == wxASCII_STR("ICO_1")) return ico_1_xpm;
    if (name == wxASCII_STR("ICO_COM")) return ico_com_xpm;
    return nullptr;
}
}  // namespace

wxIcon LoadIconResource(const wxString& name, int size) {
    const char* const* xpm = FindIcon(name);
    if (!xpm || size < 1) return wxIcon();
    wxBitmap bitmap(xpm);
    if (size != kDrawnSize) {
        wxImage image = bitmap.ConvertToImage();
        image.Rescale(size, size, wxIMAGE_QUALITY_HIGH);
        bitmap = wxBitmap(image);
    }
    wxIcon icon;
    icon.CopyFromBitmap(bitmap);
    return icon;
}
