// A read-only choice list whose item texts begin with a decimal code ("12 - text"): items are
// selected and reported by that code rather than by their position.
#pragma once

#include <wx/combobox.h>

#include <vector>

class jwxCombo : public wxComboBox {
public:
    // texts holds count item texts; every caller passes id -1 and wxCB_READONLY.
    jwxCombo(wxWindow* parent, wxWindowID id, int count, const wxString texts[], long style = wxCB_READONLY);
    ~jwxCombo() override;

    // Appends an item; its leading number becomes its code (0 when it has none).
    void AppendItem(const wxString& text);
    // Selects the first item with this code, or no item when none has it.
    void SelectValue(int value);
    // The code of the selected item; -1 when nothing is selected.
    int GetSelectedValue() const;
    // Removes every item and its code.
    void Clear() override;

    int GetValueCount() const { return static_cast<int>(values.size()); }

private:
    // values[i] is the code at the start of item i's text. Items added by other means than
    // AppendItem have no code and are never reported.
    std::vector<int> values;
};
