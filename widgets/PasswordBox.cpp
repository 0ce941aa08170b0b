#include "widgets/PasswordBox.h"

#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/textctrl.h>

#include "widgets/MesgBox.h"

namespace {

bool IsAsciiDigit(wxUniChar c) { return c >= '0' && c <= '9'; }
bool IsAsciiLetter(wxUniChar c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

wxSizer* BoxAround(wxWindow* parent, const wxString& title, wxWindow* content) {
    wxStaticBoxSizer* box = new wxStaticBoxSizer(wxVERTICAL, parent, title);
    box->Add(content, 0, wxEXPAND | wxALL, 4);
    return box;
}

}  // namespace

PasswordBox::PasswordBox(wxWindow* parent, const wxString& entryTitle, const wxString& dialogTitle, int flags,
                         int minimumLength, int maximumLength, long style, wxWindowID id)
    : wxDialog(parent, id, dialogTitle, wxDefaultPosition, wxDefaultSize, style, wxASCII_STR("dialog")),
      flags(flags),
      minimumLength(minimumLength),
      maximumLength(maximumLength) {
    wxBoxSizer* top = new wxBoxSizer(wxVERTICAL);
    wxStaticBoxSizer* outer = new wxStaticBoxSizer(wxVERTICAL, this, dialogTitle);
    wxFlexGridSizer* grid = new wxFlexGridSizer(2, 1, 4, 4);
    grid->AddGrowableCol(0);

    wxStaticBox* outerBox = outer->GetStaticBox();
    entry = new wxTextCtrl(outerBox, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize, wxTE_PASSWORD);
    repeat = new wxTextCtrl(outerBox, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize, wxTE_PASSWORD);
    repeat->SetMinSize(wxSize(200, -1));
    grid->Add(BoxAround(outerBox, entryTitle, entry), 0, wxEXPAND);
    grid->Add(BoxAround(outerBox, entryTitle + wxString::FromUTF8(" (powtórz)"), repeat), 0, wxEXPAND);
    outer->Add(grid, 1, wxEXPAND | wxALL, 4);

    top->Add(outer, 1, wxEXPAND | wxALL, 6);
    top->Add(CreateButtonSizer(wxOK | wxCANCEL), 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 6);
    SetSizerAndFit(top);
    Centre();
    entry->SetFocus();
}

PasswordBox::~PasswordBox() = default;

wxString PasswordBox::Check(wxString first, wxString second, wxString* acceptedText) const {
    if (flags & kTrim) {
        first.Trim(true).Trim(false);
        second.Trim(true).Trim(false);
    }
    if (first != second) return wxString::FromUTF8("Wpisy różnią się");

    const int length = static_cast<int>(first.length());
    if (length < minimumLength || (maximumLength >= 0 && length > maximumLength)) {
        wxString expected;
        if (minimumLength == maximumLength)
            expected.Printf(wxASCII_STR("%d"), minimumLength);
        else if (maximumLength < 0)
            expected.Printf(wxASCII_STR("co najmniej %d"), minimumLength);
        else
            expected.Printf(wxASCII_STR("od %d do %d"), minimumLength, maximumLength);
        return wxString::FromUTF8("Błędna długość wpisu.\nOczekiwana liczba znaków: ") + expected;
    }

    for (wxUniChar c : first) {
        if ((flags & kAllowSpace) && c == ' ') continue;
        bool allowed = (flags & kDigitsOnly)    ? IsAsciiDigit(c)
                       : (flags & kLettersOnly) ? IsAsciiLetter(c)
                                                : IsAsciiDigit(c) || IsAsciiLetter(c);
        if (!allowed) {
            wxString set = (flags & kDigitsOnly)    ? wxASCII_STR("0-9")
                           : (flags & kLettersOnly) ? wxASCII_STR("A-Z, a-z")
                                                    : wxASCII_STR("A-Z, a-z, 0-9");
            if (flags & kAllowSpace) set += wxASCII_STR(", <spacja>");
            return wxString::FromUTF8("Wpis zawiera niedozwolone znaki.\nDozwolone znaki to: ") + set;
        }
    }
    if (acceptedText) *acceptedText = first;
    return wxString();
}

int PasswordBox::ShowModal() {
    for (;;) {
        int result = wxDialog::ShowModal();
        if (result != wxID_OK) return result;
        wxString problem = Check(entry->GetValue(), repeat->GetValue(), &accepted);
        if (problem.empty()) return wxID_OK;
        MesgBox(this, problem, wxString::FromUTF8("Błąd"), wxOK | wxICON_EXCLAMATION);
    }
}
