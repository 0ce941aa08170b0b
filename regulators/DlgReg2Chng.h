// Edits the regulation settings of a PID regulator: the set points of both zones, the PID
// constants, the servo travel times, the input range and the inversion flag. The caller reads the
// eleven parameters, runs the dialog and, on OK, writes back what the getters give.
#pragma once

#include <wx/checkbox.h>
#include <wx/textctrl.h>

#include <cstdint>

#include "dialogs/ConfigDialog.h"

struct ParamValue;

class DlgReg2Chng : public ConfigDialog {
public:
    // Item positions: the order the caller reads and writes the parameters in.
    enum Position {
        SP1 = 0, SP2, KP, TI, TD, T1, T2, T3, IN_MIN, IN_MAX, INVERSION,
        kItemCount,
        kFieldCount = INVERSION,
    };

    // items: the eleven parameters by position (not kept after construction).
    DlgReg2Chng(wxWindow* parent, const wxString& title, ParamValue* const items[kItemCount], long style,
                wxWindowID id);

    // Results, valid after OK: the decimal of position SP1, SP2, KP, IN_MIN or IN_MAX; the time in
    // tenths of a second of position TI..T3 (T3 always fits one byte); the inversion byte (0 or 1).
    const DecimalValue& GetDecimal(int position) const { return decimals[position]; }
    uint16_t GetTenths(int position) const { return tenths[position]; }
    uint8_t GetInversion() const { return inversion; }

    wxTextCtrl* Field(int position) const { return fields[position]; }
    wxCheckBox* InversionBox() const { return inversionBox; }

    // The largest time a position's parameter holds, in tenths: 16 bits, one byte for T3.
    static unsigned MaxTenths(int position);

private:
    static bool IsDecimalPosition(int position);
    bool TakeResults() override;
    // A time in seconds as tenths (v x 10 + 0.5, truncated); refused when negative or too
    // large for its parameter rather than cut to its width.
    bool TakeTenths(int position, uint16_t* out);
    void OnSize(wxSizeEvent& event);

    wxTextCtrl* fields[kFieldCount] = {};
    wxCheckBox* inversionBox = nullptr;
    DecimalValue decimals[kFieldCount] = {};
    uint16_t tenths[kFieldCount] = {};
    uint8_t inversion = 0;
};
