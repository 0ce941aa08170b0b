// Shows the panel's identification: type, firmware version, serial number (when the panel has
// one) and a line for each data error the panel reports about itself.
#pragma once

#include <wx/dialog.h>

struct PanelIdent;
class wxGrid;

class DlgPanelInfo : public wxDialog {
public:
    // The caller owns ident; it is read only while the dialog is built.
    DlgPanelInfo(wxWindow* parent, const wxString& title, const PanelIdent* ident, long style, wxWindowID id);

    wxGrid* GetGrid() const { return grid; }

    // The texts of the grid's value column: panel type, firmware version, serial number ("" when
    // the panel reported none).
    static wxString TypeText(const PanelIdent& ident);
    static wxString VersionText(const PanelIdent& ident);
    static wxString SerialText(const PanelIdent& ident);

private:
    wxGrid* grid = nullptr;
};
