// The relay-output editor: seven outputs (P1..P5, E1, E2), each following its primary source,
// or an alternative two-state signal while the switching signal d is on.
#pragma once

#include "dialogs/LiveEditor.h"

class DlgRelayConf : public LiveEditor {
public:
    static constexpr int kOutputCount = 7;

    DlgRelayConf(LiveEditorOwner* owner, const wxString& title, ReadRecordFn read, WriteRecordFn write, long style,
                 wxWindowID id);

    // The output's name as the list shows it: P1..P5, E1, E2.
    static wxString OutputName(int index);

private:
    void EntryChosen(int index) override;
    bool ReadEntry(int index) override;
    int WriteEntry() override;
    void EnableEntryControls(bool valid) override;
    wxString SavePrompt() const override;

    WriteRecordFn write;
    jwxCombo* sources[3] = {};  // record order: primary, alternative, switching
    wxStaticText* output = nullptr;
    uint8_t sourcesRead[3] = {};
};
