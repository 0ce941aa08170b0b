// Sets how the analog inputs are used: one mode for the group (off, Pt thermometers, U/I
// signals) and a type per input, of which the lists of the chosen mode's group are enabled.
#pragma once

#include <wx/radiobut.h>

#include "dialogs/ConfigDialog.h"

struct ParamValue;

class DlgAnalogInp : public ConfigDialog {
public:
    enum Mode { MODE_OFF = 0, MODE_PT = 1, MODE_UI = 2 };
    static constexpr int kRadioId = 300;
    static constexpr int kListCount = 6;  // [0], [1] Pt inputs; [2]..[5] U/I inputs

    // records: [0] mode (204), [1]..[6] input types (205..210).
    DlgAnalogInp(wxWindow* parent, const wxString& title, ParamValue** records, long style, wxWindowID id);

    int GetMode() const { return resultMode; }
    int GetInputType(int i) const { return resultTypes[i]; }

    // The mode the buttons stand for now; the mode read while none of the three is on.
    int ChosenMode() const;

private:
    void TakeChoices() override;
    void OnModeRadio(wxCommandEvent& event);
    void EnableLists(int mode);

    // A GTK radio group always has one button on: this hidden one is on while the stored mode
    // is one that no visible button stands for, so that mode is kept unless the user picks one.
    wxRadioButton* noMode = nullptr;
    wxRadioButton* radios[3] = {};
    class jwxCombo* lists[kListCount] = {};
    int modeRead = 0;
    int resultMode = 0;
    int resultTypes[kListCount] = {};
};
