#include "app/AssistMon.h"

#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>

#include <algorithm>

#include "app/FrameIds.h"
#include "resources/Resources.h"
#include "widgets/LayoutHelpers.h"
#include "widgets/OkCancelButtons.h"

namespace {
constexpr int kValueMinWidth = 120;
}  // namespace

AssistMon::AssistMon(wxWindow* owner, const wxString& text, const wxString& title, long style, wxWindowID id)
    : wxDialog(owner, id, title, wxDefaultPosition, wxDefaultSize, style, wxASCII_STR("dialog")), owner(owner) {
    static const char* const kCaptions[kLineCount] = {"Status:", "Z proxy:", "Z urządzenia:"};

    auto* top = new wxBoxSizer(wxVERTICAL);
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    top->Add(row, 0, wxEXPAND);
    auto* icon = new wxStaticBitmap(this, wxID_ANY, LoadIconResource(wxASCII_STR("ICO_COM"), 32), wxDefaultPosition,
                                    wxSize(32, 32));
    row->Add(icon, 0, wxALL, 10);
    auto* lines = new wxBoxSizer(wxVERTICAL);
    row->Add(lines, 1, wxEXPAND | wxRIGHT, 10);
    wxStaticText* captions[kLineCount] = {};
    for (int i = 0; i < kLineCount; ++i) {
        auto* line = new wxBoxSizer(wxHORIZONTAL);
        captions[i] = new wxStaticText(this, wxID_ANY, wxString::FromUTF8(kCaptions[i]));
        values[i] = new wxStaticText(this, wxID_ANY, wxEmptyString);
        values[i]->SetMinSize(wxSize(kValueMinWidth, -1));
        line->Add(captions[i], 0, wxALIGN_CENTER_VERTICAL);
        line->Add(values[i], 1, wxALIGN_CENTER_VERTICAL);
        lines->Add(line, 0, wxEXPAND | wxTOP, i == 0 ? 10 : 2);
    }
    AlignLabelWidths(kLineCount, captions, 6);

    top->Add(0, 1, 1, wxEXPAND);
    top->Add(CreateCancelButtonRow(this), 0, wxEXPAND | wxALL, 6);
    SetSizerAndFit(top);

    Bind(wxEVT_BUTTON, &AssistMon::OnCancel, this);
    if (owner && owner->IsEnabled()) {
        owner->Disable();
        reenableOwner = true;
    }
    Centre(wxBOTH);
    Show();
}

AssistMon::~AssistMon() {
    // An owner that is itself being destroyed (it takes this window with it) is left alone.
    if (reenableOwner && owner && !owner->IsBeingDeleted()) owner->Enable();
}

void AssistMon::SetStatusLine(int n, const wxString& text) {
    if (n < 0 || n >= kLineCount) return;
    values[n]->SetLabel(text);
    values[n]->SetMinSize(wxSize(std::max(kValueMinWidth, values[n]->GetBestSize().GetWidth()), -1));
    // A text wider than the window so far widens it instead of being cut.
    const wxSize needed = GetSizer()->ComputeFittingWindowSize(this);
    const wxSize current = GetSize();
    if (needed.GetWidth() > current.GetWidth()) SetSize(needed.GetWidth(), current.GetHeight());
    Layout();
}

wxString AssistMon::GetStatusLine(int n) const {
    return n >= 0 && n < kLineCount ? values[n]->GetLabel() : wxString();
}

void AssistMon::OnCancel(wxCommandEvent&) {
    if (owner) wxQueueEvent(owner, new wxCommandEvent(EVT_ASSIST_CANCEL, 0));
}
