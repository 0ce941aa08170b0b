#include "dialogs/DlgPanelInfo.h"

#include <wx/button.h>
#include <wx/grid.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>

#include "comm/PanelRecords.h"
#include "widgets/FramedBox.h"

wxString DlgPanelInfo::TypeText(const PanelIdent& ident) {
    return wxString::Format(wxASCII_STR("QM-%03X"), static_cast<unsigned>(ident.typeCode));
}

wxString DlgPanelInfo::VersionText(const PanelIdent& ident) {
    const int letter = ident.GetVersionLetter();
    const int major = ident.GetVersionMajor();
    const int minor = ident.GetVersionMinor();
    if (letter != 0) return wxString::Format(wxASCII_STR("%c.%d.%d"), static_cast<char>(64 + letter), major, minor);
    return wxString::Format(wxASCII_STR("%d.%d"), major, minor);
}

wxString DlgPanelInfo::SerialText(const PanelIdent& ident) {
    // A reply without the serial fields carries no number either: nothing is shown, not 0.
    if ((ident.flags & PanelIdent::kFlagNoSerial) || !ident.serialFieldsPresent) return wxString();
    return wxString::Format(wxASCII_STR("%u"), static_cast<unsigned>(ident.serial));
}

DlgPanelInfo::DlgPanelInfo(wxWindow* parent, const wxString& title, const PanelIdent* ident, long style,
                           wxWindowID id)
    : wxDialog(parent, id, title, wxDefaultPosition, wxDefaultSize, style, wxASCII_STR("dialog")) {
    auto* outer = new wxBoxSizer(wxVERTICAL);
    auto* box = new wxStaticBoxSizer(new FramedBox(this, wxID_ANY, wxString::FromUTF8("Informacje o panelu")),
                                     wxVERTICAL);
    outer->Add(box, 0, wxEXPAND | wxALL, 1);

    grid = new wxGrid(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxWANTS_CHARS, wxASCII_STR("grid"));
    grid->CreateGrid(3, 2, wxGrid::wxGridSelectCells);
    grid->EnableEditing(false);
    grid->SetRowLabelSize(0);
    grid->SetColLabelSize(0);
    static const char* const kCaptions[] = {"Typ panelu", "Wersja firmware", "Numer fabryczny"};
    const wxString values[] = {TypeText(*ident), VersionText(*ident), SerialText(*ident)};
    for (int row = 0; row < 3; ++row) {
        grid->SetCellValue(row, 0, wxString::FromUTF8(kCaptions[row]));
        grid->SetCellValue(row, 1, values[row]);
    }
    grid->AutoSize();
    box->Add(grid, 0, wxEXPAND);
    // The grid would take Enter to move its cursor down: here it presses the default button,
    // as it does everywhere else in the dialog.
    grid->Bind(wxEVT_KEY_DOWN, [this](wxKeyEvent& event) {
        const int key = event.GetKeyCode();
        if ((key == WXK_RETURN || key == WXK_NUMPAD_ENTER) && !event.HasAnyModifiers()) {
            if (auto* ok = dynamic_cast<wxButton*>(GetDefaultItem())) {
                wxCommandEvent click(wxEVT_BUTTON, ok->GetId());
                click.SetEventObject(ok);
                ok->GetEventHandler()->ProcessEvent(click);
                return;
            }
        }
        event.Skip();
    });

    if (ident->flags & PanelIdent::kFlagFactoryDataError)
        outer->Add(new wxStaticText(this, wxID_ANY, wxString::FromUTF8("- błąd danych fabrycznych urządzenia")), 0,
                   wxALL, 4);
    if (ident->flags & PanelIdent::kFlagConfigDataError)
        outer->Add(new wxStaticText(this, wxID_ANY, wxString::FromUTF8("- błąd danych konfiguracyjnych urządzenia")),
                   0, wxALL, 4);
    outer->Add(0, 1, 1);

    auto* buttons = new wxStdDialogButtonSizer;
    auto* ok = new wxButton(this, wxID_OK, wxASCII_STR("OK"));
    ok->SetDefault();
    buttons->AddButton(ok);
    buttons->Realize();
    outer->Add(buttons, 0, wxEXPAND | wxALL, 6);

    SetSizer(outer);
    outer->SetSizeHints(this);
    // The error lines may make the box wider than the cells: the value column takes the rest,
    // so no bare grid area shows beside it.
    const int spare = grid->GetClientSize().x - grid->GetColSize(0) - grid->GetColSize(1);
    if (spare > 0) grid->SetColSize(1, grid->GetColSize(1) + spare);
    Centre(wxBOTH);
}
