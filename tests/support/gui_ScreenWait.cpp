#include "support/gui_ScreenWait.h"

#include <wx/app.h>
#include <wx/utils.h>
#include <wx/weakref.h>
#include <wx/window.h>

#include <vector>

#include "support/core_EventWait.h"

// After the toolkit headers: Xlib defines names they use.
#include <X11/Xlib.h>

namespace {

// Notes a paint of any window it watches; the paint itself goes on as usual.
class PaintWatch : public wxEvtHandler {
public:
    void Watch(wxWindow* window) {
        window->Bind(wxEVT_PAINT, &PaintWatch::OnPaint, this);
        watched.push_back(window);
        for (wxWindow* child : window->GetChildren())
            if (!child->IsTopLevel()) Watch(child);
    }
    ~PaintWatch() override {
        for (const wxWeakRef<wxWindow>& window : watched)
            if (window) window->Unbind(wxEVT_PAINT, &PaintWatch::OnPaint, this);
    }
    bool painted = false;

private:
    void OnPaint(wxPaintEvent& event) {
        painted = true;
        event.Skip();
    }
    std::vector<wxWeakRef<wxWindow>> watched;
};

wxString NameOf(wxWindow* window) {
    wxString name = wxASCII_STR("window");
    if (const wxClassInfo* info = window->GetClassInfo()) name = info->GetClassName();
    const wxString label = window->GetLabel();
    if (!label.empty()) name += wxASCII_STR(" \"") + label + wxASCII_STR("\"");
    return name;
}

}  // namespace

testing::AssertionResult SyncDisplay() {
    const wxDisplayInfo display = wxGetDisplayInfo();
    if (display.type != wxDisplayX11 || !display.dpy)
        return testing::AssertionFailure() << "the window tests need an X server (run them under xvfb-run, or "
                                              "with GDK_BACKEND=x11 on a desktop session)";
    XSync(static_cast<Display*>(display.dpy), False);
    return testing::AssertionSuccess();
}

testing::AssertionResult WaitUntilPainted(wxWindow* window, int timeoutMs) {
    if (!window) return testing::AssertionFailure() << "no window to wait for";
    testing::AssertionResult x11 = SyncDisplay();
    if (!x11) return x11;
    wxWeakRef<wxWindow> alive(window);
    const wxString name = NameOf(window);
    {
        PaintWatch watch;
        watch.Watch(window);
        // Whatever was painted before, the next paint draws all of it as it stands now.
        window->Refresh();
        // A paint is handled within one dispatch, together with every other window the toolkit
        // draws in that frame, so the whole window is drawn once the dispatch has returned.
        if (!RunLoopUntil([&] { return watch.painted || !alive; }, timeoutMs))
            return testing::AssertionFailure() << name << " was not painted within " << timeoutMs << " ms";
    }
    if (!alive) return testing::AssertionFailure() << name << " was destroyed while waiting for its paint";
    return SyncDisplay();
}

testing::AssertionResult WaitUntilFocused(wxWindow* window, int timeoutMs) {
    if (!window) return testing::AssertionFailure() << "no window to wait for";
    wxWeakRef<wxWindow> alive(window);
    auto focusInside = [&] {
        if (!alive) return false;
        for (wxWindow* focus = wxWindow::FindFocus(); focus; focus = focus->GetParent())
            if (focus == window) return true;
        return false;
    };
    if (RunLoopUntil([&] { return focusInside() || !alive; }, timeoutMs) && alive) return testing::AssertionSuccess();
    if (!alive) return testing::AssertionFailure() << "the window was destroyed while waiting for the focus";
    wxWindow* focus = wxWindow::FindFocus();
    return testing::AssertionFailure() << NameOf(window) << " did not get the focus within " << timeoutMs
                                       << " ms; it is on " << (focus ? NameOf(focus) : wxASCII_STR("no window"));
}
