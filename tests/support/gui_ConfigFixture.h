// The real main window connected to the simulator, for the configuration commands: run a menu
// command, answer its dialog from a script, then look at what the panel was sent and holds.
//
//     TEST_F(ConfigFixture, Example) {
//         Connect();
//         ModalAnswer answer;
//         answer.Expect([&](wxDialog* d) { SelectCode(Lists(d)[1], 101); return wxID_OK; });
//         RunMenu(ID_DISP_LEDS);
//         EXPECT_EQ(Writes(), (WriteList{{230, 0}, {231, 101}}));
//     }
#pragma once

#include <wx/dialog.h>
#include <wx/textctrl.h>

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

#include "support/gui_FrameFixture.h"
#include "widgets/jwxCombo.h"

// One parameter write as the panel received it.
struct ParamWrite {
    uint16_t code;
    uint32_t value;  // decimal writes: mantissa << 8 | decimals
    bool operator==(const ParamWrite& other) const { return code == other.code && value == other.value; }
};
using WriteList = std::vector<ParamWrite>;
// Writes as text for readable failures: "code=value".
void PrintTo(const ParamWrite& write, std::ostream* out);

class ConfigFixture : public FrameFixture {
public:
    // The dialog's children of one control class, in creation order.
    template <class Control>
    static std::vector<Control*> ChildrenOf(wxDialog* dialog) {
        std::vector<Control*> found;
        for (wxWindow* child : dialog->GetChildren())
            if (auto* control = dynamic_cast<Control*>(child)) found.push_back(control);
        return found;
    }

protected:

    // Connects to a panel with this firmware (major, minor) and forgets the connect requests.
    void Connect(int major = 3, int minor = 5);
    // Runs the menu command to its end (its dialogs are answered by the test's ModalAnswer).
    void RunMenu(int id);

    // Codes read (0x86 requests) and writes (0x9A-0x9D), in order, since Connect.
    std::vector<uint16_t> Reads() const;
    WriteList Writes() const;
    uint32_t Stored(uint16_t code) const;
    // Changes one parameter of the simulated panel.
    void Modify(uint16_t code, void (*change)(sim::SimParam&));

    // The dialog's lists and text fields in creation order.
    static std::vector<jwxCombo*> Lists(wxDialog* dialog);
    static std::vector<wxTextCtrl*> Texts(wxDialog* dialog);
    // Selects the item with this code as a user would (the list's selection event is sent).
    static void SelectCode(jwxCombo* list, int code);
};
