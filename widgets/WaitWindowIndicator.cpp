#include "widgets/WaitWindowIndicator.h"

#include <wx/weakref.h>

#include "widgets/WaitWindow.h"

namespace {
// The parent destroys its child windows with itself, so the window is only watched.
class ShownWaitWindow : public WaitIndication {
public:
    explicit ShownWaitWindow(WaitWindow* window) : window(window) {}
    ~ShownWaitWindow() override { delete window.get(); }

private:
    wxWeakRef<WaitWindow> window;
};
}  // namespace

std::unique_ptr<WaitIndication> WaitWindowIndicator::ShowWait() {
    if (!parent) return nullptr;
    return std::make_unique<ShownWaitWindow>(new WaitWindow(parent, wxString::FromUTF8("trwa komunikacja"),
                                                            wxASCII_STR("Czekajka"), wxRESIZE_BORDER, wxID_ANY));
}
