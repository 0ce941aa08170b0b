#include "support/gui_GeometryCheck.h"

#include <wx/app.h>
#include <wx/button.h>
#include <wx/dcclient.h>
#include <wx/frame.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/statusbr.h>
#include <wx/textctrl.h>
#include <wx/toplevel.h>
#include <wx/utils.h>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <sstream>

#include "support/core_EventWait.h"
#include "widgets/FixedText.h"

namespace {

std::string Utf8(const wxString& text) { return text.utf8_string(); }

std::string RectText(const wxRect& r) {
    std::ostringstream out;
    out << "(" << r.x << "," << r.y << " " << r.width << "x" << r.height << ")";
    return out.str();
}

// One of a read-out's part windows: a plain window holding a single text, a label (the caption)
// or a self-drawn text (the value and unit).
bool IsReadoutPart(const wxWindow* window) {
    const wxWindowList& children = window->GetChildren();
    return window->GetClassInfo() == wxCLASSINFO(wxWindow) && children.size() == 1 &&
           (dynamic_cast<const wxStaticText*>(children.front()) || dynamic_cast<const FixedText*>(children.front()));
}

// Class, then the label (the name when it has none), then the rectangle in its parent.
std::string Describe(const wxWindow* window) {
    // A self-drawn text has no class information of its own.
    std::string text = dynamic_cast<const FixedText*>(window) ? std::string("FixedText")
                                                              : Utf8(window->GetClassInfo()->GetClassName());
    wxString label = window->GetLabel();
    if (label.empty()) {
        // A read-out part window: name it by the text it holds.
        if (IsReadoutPart(window))
            label = wxString::FromUTF8("part of ") +
                    static_cast<const wxControl*>(window->GetChildren().front())->GetLabelText();
    }
    if (label.empty()) label = window->GetName();
    label.Replace(wxASCII_STR("\n"), wxASCII_STR("\\n"));
    return text + " \"" + Utf8(label) + "\" " + RectText(window->GetRect());
}

bool Empty(const wxRect& r) { return r.width <= 0 || r.height <= 0; }

// The area inside a static box's frame where its content may stand without covering or touching
// the frame: below the title and one free pixel inside the frame's line. (GTK 3 reports no side
// border at all and draws the line on the box's outermost pixels.)
wxRect BoxInterior(const wxStaticBox* box) {
    int top = 0, other = 0;
    box->GetBordersForSizer(&top, &other);
    const int side = std::max(other, 2);
    const wxRect r = box->GetRect();
    return wxRect(r.x + side, r.y + top, r.width - 2 * side, r.height - top - side);
}

// Windows drawn and laid out by the toolkit as one control: their inner windows are not ours.
bool IsComposite(const wxWindow* window) {
    return window->IsKindOf(wxCLASSINFO(wxControl)) && !window->IsKindOf(wxCLASSINFO(wxStaticBox));
}

// The windows the check looks at: shown, not top-level, not a frame's status bar.
std::vector<wxWindow*> ShownChildren(const wxWindow* parent) {
    std::vector<wxWindow*> shown;
    const auto* frame = dynamic_cast<const wxFrame*>(parent);
    for (wxWindow* child : parent->GetChildren()) {
        if (child->IsTopLevel() || !child->IsShown()) continue;
        if (frame && child == frame->GetStatusBar()) continue;
        shown.push_back(child);
    }
    return shown;
}

class Walker {
public:
    std::vector<std::string> faults;

    void Walk(const wxWindow* parent) {
        const std::vector<wxWindow*> children = ShownChildren(parent);
        const wxRect client(wxPoint(0, 0), parent->GetClientSize());
        for (wxWindow* child : children) {
            const wxRect r = child->GetRect();
            if (!Empty(r) && !client.Contains(r))
                Fault(Describe(child) + " lies outside the client area " + RectText(client) + " of " +
                      Describe(parent));
            CheckSize(child);
        }
        for (size_t i = 0; i < children.size(); ++i)
            for (size_t j = i + 1; j < children.size(); ++j) CheckPair(children[i], children[j], parent);
        for (wxWindow* child : children)
            if (!IsComposite(child)) Walk(child);
    }

private:
    void Fault(const std::string& text) { faults.push_back(text); }

    void CheckPair(const wxWindow* a, const wxWindow* b, const wxWindow* parent) {
        const wxRect ra = a->GetRect(), rb = b->GetRect();
        if (Empty(ra) || Empty(rb)) return;
        const auto* boxA = dynamic_cast<const wxStaticBox*>(a);
        const auto* boxB = dynamic_cast<const wxStaticBox*>(b);
        if (boxA && boxB && !ra.Intersects(rb)) {
            // Frames side by side with no gap read as one thick line.
            if (wxRect(ra).Inflate(1, 0).Intersects(rb))
                Fault(Describe(a) + " touches " + Describe(b) + " in " + Describe(parent));
            return;
        }
        if (!ra.Intersects(rb)) return;
        if (boxA && BoxInterior(boxA).Contains(rb)) return;
        if (boxB && BoxInterior(boxB).Contains(ra)) return;
        const wxRect common = ra.Intersect(rb);
        std::string what = (boxA || boxB) ? " crosses the frame of " : " overlaps ";
        const wxWindow* first = boxA ? b : a;
        const wxWindow* second = boxA ? a : b;
        Fault(Describe(first) + what + Describe(second) + " by " + RectText(common) + " in " + Describe(parent));
    }

    // A text field, label, self-drawn text, read-out part or button smaller than it needs.
    void CheckSize(const wxWindow* window) {
        const wxSize size = window->GetSize();
        wxSize need;
        if (const auto* field = dynamic_cast<const wxTextCtrl*>(window)) {
            if (field->IsMultiLine()) return;
            // Its current text whole, with the field's own padding beside it.
            need = wxSize(field->GetSizeFromText(field->GetValue()).GetWidth(), field->GetCharHeight());
        } else if (const auto* label = dynamic_cast<const wxStaticText*>(window)) {
            // The text as drawn in the label's font (a read-out's texts are set without a new
            // layout, so a cached best size would still be the sample's).
            const wxString text = label->GetLabelText();
            if (text.empty()) return;
            wxClientDC dc(const_cast<wxStaticText*>(label));
            dc.SetFont(label->GetFont());
            need = dc.GetMultiLineTextExtent(text);
        } else if (const auto* fixed = dynamic_cast<const FixedText*>(window)) {
            // A read-out's value or unit: one line that keeps its size, so a longer text is cut.
            const wxString text = fixed->GetLabelText();
            if (text.empty()) return;
            wxClientDC dc(const_cast<FixedText*>(fixed));
            dc.SetFont(fixed->GetFont());
            need = dc.GetTextExtent(text);
        } else if (dynamic_cast<const wxButton*>(window)) {
            if (window->GetLabel().empty()) return;
            need = window->GetBestSize();
        } else if (IsReadoutPart(window)) {
            // A read-out part is sized from its sample text.
            need = window->GetMinSize();
        } else {
            return;
        }
        if (size.GetWidth() < need.GetWidth() || size.GetHeight() < need.GetHeight()) {
            std::ostringstream out;
            out << Describe(window) << " is smaller than the " << need.GetWidth() << "x" << need.GetHeight()
                << " it needs, in " << Describe(window->GetParent());
            Fault(out.str());
        }
    }
};

}  // namespace

std::vector<std::string> LayoutFaults(wxWindow* top) {
    Walker walker;
    if (top && top->IsShown()) walker.Walk(top);
    else walker.faults.push_back("the window is not shown");
    return walker.faults;
}

testing::AssertionResult LayoutIsSound(wxWindow* top) {
    const std::vector<std::string> faults = LayoutFaults(top);
    if (faults.empty()) return testing::AssertionSuccess();
    testing::AssertionResult failure = testing::AssertionFailure();
    failure << (top ? Utf8(top->GetLabel().empty() ? top->GetName() : top->GetLabel()) : std::string("(none)"))
            << ": " << faults.size() << " layout fault(s)";
    for (const std::string& fault : faults) failure << "\n  " << fault;
    return failure;
}

void SettleWindows(int milliseconds) {
    if (wxTheApp) wxTheApp->ProcessPendingEvents();
    RunLoopFor(milliseconds);
}

void SaveWindowShot(wxWindow* top, const std::string& name) {
    const char* dir = std::getenv("MIREX_SHOT_DIR");
    if (!dir || !*dir || !top) return;
    // A second picture of the same name would replace the first one unseen.
    static std::set<std::string> written;
    if (!written.insert(name).second) ADD_FAILURE() << "a second picture named \"" << name << "\"";
    if (wxGetDisplayInfo().type != wxDisplayX11) {
        ADD_FAILURE() << "no picture of \"" << name << "\": pictures are taken from an X server";
        return;
    }
    SettleWindows(300);
    // The X server's own picture of the screen (the toolkit's screen context may lag behind).
    const wxRect area = top->GetScreenRect();
    std::ostringstream command;
    command << "import -window root -crop " << area.width << "x" << area.height << "+" << area.x << "+" << area.y
            << " +repage '" << dir << "/" << name << ".png'";
    if (std::system(command.str().c_str()) != 0) ADD_FAILURE() << "no picture: " << command.str();
}
