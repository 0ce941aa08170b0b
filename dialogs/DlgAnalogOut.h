// The analog-output editor: two analog outputs (Wy #1, Wy #2) and two multiplexers (Mux #3,
// Mux #4). Each switches between a primary and an alternative analog source on the two-state
// signal d; a source that is not already normalised has a normalisation pair (min, max), and
// each record has an output limit pair in thousandths (-0.010 .. +1.020). The outputs have no
// primary normalisation pair.
#pragma once

#include <wx/textctrl.h>

#include "dialogs/LiveEditor.h"

class DlgAnalogOut : public LiveEditor {
public:
    static constexpr int kEntryCount = 4;
    static constexpr int kFirstMux = 2;
    // Source codes from this one on are normalised signals: their pair is not used.
    static constexpr int kFirstNormalisedSource = 81;
    enum Field { PRIMARY_MIN, PRIMARY_MAX, ALTERNATIVE_MIN, ALTERNATIVE_MAX, LOWER_LIMIT, UPPER_LIMIT, kFieldCount };

    DlgAnalogOut(LiveEditorOwner* owner, const wxString& title, ReadRecordFn read, WriteAnalogOutFn write, long style,
                 wxWindowID id);

    wxTextCtrl* GetField(Field field) const { return fields[field]; }

private:
    void EntryChosen(int index) override;
    bool ReadEntry(int index) override;
    bool ValidateEntries() override;
    int WriteEntry() override;
    void EnableEntryControls(bool valid) override;
    wxString SavePrompt() const override;

    bool IsMux() const { return GetCurrentEntry() >= kFirstMux; }
    // The pair of a normalisation field's source is in use: enabled and written as typed.
    bool IsPairUsed(Field field) const;
    // A limit field in thousandths, halves away from zero.
    int16_t FieldLimit(Field field) const;

    WriteAnalogOutFn write;
    jwxCombo* sources[3] = {};  // record order: primary, switching, alternative
    wxTextCtrl* fields[kFieldCount] = {};
    wxStaticText* output = nullptr;
    uint8_t sourcesRead[3] = {};
    int16_t limitsRead[2] = {};
};
