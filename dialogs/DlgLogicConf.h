// The logic-gate editor: sixteen gates, each two inputs from the two-state sources, each input
// and the output optionally negated, combined by AND or XOR.
#pragma once

#include <wx/checkbox.h>
#include <wx/radiobut.h>

#include "dialogs/LiveEditor.h"

class DlgLogicConf : public LiveEditor {
public:
    static constexpr int kGateCount = 16;

    DlgLogicConf(LiveEditorOwner* owner, const wxString& title, ReadRecordFn read, WriteRecordFn write, long style,
                 wxWindowID id);

    // The record as the controls stand: input sources (a list without a selection keeps the
    // source read) and the flags byte.
    void BuildRecord(uint8_t record[3]) const;

private:
    bool ReadEntry(int index) override;
    int WriteEntry() override;
    void EnableEntryControls(bool valid) override;
    wxString SavePrompt() const override;

    WriteRecordFn write;
    wxCheckBox* negated[3] = {};  // input 1, input 2, output
    jwxCombo* inputs[2] = {};
    wxRadioButton* andButton = nullptr;
    wxRadioButton* xorButton = nullptr;
    uint8_t sourcesRead[2] = {};
};
