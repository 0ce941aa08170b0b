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

    // items: the four type parameters 211..214 (8-bit); a stored type above 3 shows as off.
    DlgRegType(wxWindow* parent, const wxString& title, ParamValue** items, long style, wxWindowID id);

    // Runs the dialog, then takes the checked type of each channel, however it ended.
    int ShowModal() override;
    // The type chosen for channel i.
    int GetType(int i) const { return results[i]; }

private:
    wxRadioButton* buttons[kChannels][kTypes] = {};
    int results[kChannels] = {};
};
