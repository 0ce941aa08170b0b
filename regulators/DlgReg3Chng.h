// Edits the timing settings of a timed regulator channel: the set points of both zones, the
// times t1 and t2 each in tenths of a second or whole minutes, t3 in tenths of a second, the
// inversion and the three control inputs Pri, Sec and Gate. The caller reads the 11 records,
// runs the dialog and, after OK, writes the results back; the dialog never talks to the panel.
#pragma once

#include <cstdint>

#include "dialogs/ConfigDialog.h"

class wxCheckBox;
class wxRadioButton;
struct ParamValue;

class DlgReg3Chng : public ConfigDialog {
public:
    // Positions of the caller's records.
    enum Item {
        ITEM_SP1, ITEM_SP2, ITEM_T1, ITEM_T1_MINUTES, ITEM_T2, ITEM_T2_MINUTES, ITEM_T3,
        ITEM_INVERSION, ITEM_PRI, ITEM_SEC, ITEM_GATE, ITEM_COUNT
    };
    static constexpr int kUnitRadioId = 300;
    // What each time parameter holds: t1 and t2 16 bits in their unit, t3 one byte of tenths.
    static constexpr uint32_t kMaxTime = 0xFFFF;
    static constexpr uint32_t kMaxT3 = 0xFF;

    // items: ITEM_COUNT records in the order of Item; read, never written.
    DlgReg3Chng(wxWindow* parent, const wxString& title, ParamValue** items, long style, wxWindowID id);

    // Results, valid after ShowModal returned wxID_OK.
    const DecimalValue& GetDecimal(int i) const { return setPoints[i]; }  // 0 SP1, 1 SP2
    uint16_t GetTime(int i) const { return times[i]; }                    // 0 t1, 1 t2, 2 t3
    uint8_t GetUnitFlag(int i) const { return unitFlags[i]; }             // 0 t1, 1 t2: 1 minutes
    uint8_t GetInversion() const { return inversion; }
    int GetInput(int i) const { return inputs[i]; }                       // 0 Pri, 1 Sec, 2 Gate

private:
    bool TakeResults() override;
    void OnSize(wxSizeEvent& event);

    // Adds a row of a caption, a time field and, for t1 and t2, its unit pair.
    void AddTimeRow(wxStaticText* caption, wxTextCtrl* field, wxRadioButton** unitPair);
    // The time typed in a field as the whole number the parameter stores (tenths of a second, or
    // minutes), refusing a text that is not a number or does not fit [0, max].
    bool TakeTime(wxTextCtrl* field, bool minutes, uint32_t max, uint16_t* out);

    wxTextCtrl* setPointFields[2] = {};
    wxTextCtrl* timeFields[3] = {};
    wxRadioButton* secondsRadio[2] = {};
    wxRadioButton* minutesRadio[2] = {};
    wxCheckBox* inversionBox = nullptr;

    DecimalValue setPoints[2];
    uint16_t times[3] = {};
    uint8_t unitFlags[2] = {};
    uint8_t inversion = 0;
    int inputs[3] = {};
};
