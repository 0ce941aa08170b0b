// Sets the type of all four regulator channels at once: one group of radio buttons per channel
// (off, threshold, PID, timed).
#pragma once

#include <wx/dialog.h>
#include <wx/radiobut.h>

struct ParamValue;

class DlgRegType : public wxDialog {
public:
    static constexpr int kChannels = 4;
    static constexpr int kTypes = 4;

    // items: the four type parameters 211..214 (8-bit); a stored type above 3 shows no type
    // checked and is given back unchanged unless the user checks one.
    DlgRegType(wxWindow* parent, const wxString& title, ParamValue** items, long style, wxWindowID id);

    // Runs the dialog, then takes the checked type of each channel, however it ended.
    int ShowModal() override;
    // The type chosen for channel i (the type read when none was checked).
    int GetType(int i) const { return results[i]; }

private:
    wxRadioButton* buttons[kChannels][kTypes] = {};
    wxRadioButton* unknownType[kChannels] = {};
    int typesRead[kChannels] = {};
    int results[kChannels] = {};
};
