#include "support/gui_ConfigFixture.h"

#include <ostream>

#include "app/MyFrame.h"

void ConfigFixture::Connect(int major, int minor) {
    sim::SimIdentity identity;
    identity.version = static_cast<uint32_t>(major << 8 | minor);
    panel.SetIdentity(identity);
    StoreSerialPort();
    CreateFrame();
    ASSERT_TRUE(WaitConnected());
    panel.ClearRequests();
}

void ConfigFixture::RunMenu(int id) {
    wxCommandEvent command(wxEVT_MENU, id);
    command.SetEventObject(frame);
    frame->GetEventHandler()->ProcessEvent(command);
}

std::vector<uint16_t> ConfigFixture::Reads() const {
    std::vector<uint16_t> codes;
    for (const sim::SimRequest& request : panel.Requests())
        if (request.command == 0x86) codes.push_back(static_cast<uint16_t>(request.param));
    return codes;
}

WriteList ConfigFixture::Writes() const {
    WriteList writes;
    for (const sim::SimRequest& request : panel.Requests())
        if (request.command >= 0x9A && request.command <= 0x9D)
            writes.push_back({static_cast<uint16_t>(request.param), request.value});
    return writes;
}

uint32_t ConfigFixture::Stored(uint16_t code) const {
    auto param = panel.Param(code);
    return param ? param->value : 0xDEADBEEF;
}

void ConfigFixture::Modify(uint16_t code, void (*change)(sim::SimParam&)) {
    auto param = panel.Param(code);
    ASSERT_TRUE(param.has_value()) << code;
    change(*param);
    panel.SetParam(*param);
}

std::vector<jwxCombo*> ConfigFixture::Lists(wxDialog* dialog) { return ChildrenOf<jwxCombo>(dialog); }

std::vector<wxTextCtrl*> ConfigFixture::Texts(wxDialog* dialog) { return ChildrenOf<wxTextCtrl>(dialog); }

void ConfigFixture::SelectCode(jwxCombo* list, int code) {
    list->SelectValue(code);
    wxCommandEvent chosen(wxEVT_COMBOBOX, list->GetId());
    chosen.SetEventObject(list);
    chosen.SetInt(list->GetSelection());
    list->GetEventHandler()->ProcessEvent(chosen);
}

void PrintTo(const ParamWrite& write, std::ostream* out) { *out << write.code << "=" << write.value; }
