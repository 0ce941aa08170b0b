// The real main window against the simulator, for the regulator selector and views: click a
// selector or view button as a user would, push a channel's status report and wait until it
// has been handled, and read the shown view's texts.
#pragma once

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/radiobut.h>
#include <wx/stattext.h>

#include <cmath>
#include <string>
#include <vector>

#include "app/FrameIds.h"
#include "regulators/RegX.h"
#include "support/gui_ConfigFixture.h"
#include "support/gui_ModalAnswer.h"
#include "widgets/jwxNVUDisp.h"

class RegulatorFixture : public ConfigFixture {
protected:
    static std::string Utf8(const wxString& text) { return text.utf8_string(); }

    // Clicks a selector button (ids 100..104); the click travels up to the window.
    void Select(int id) {
        auto* radio = wxDynamicCast(frame->FindWindow(id), wxRadioButton);
        ASSERT_NE(radio, nullptr) << id;
        radio->SetValue(true);
        wxCommandEvent click(wxEVT_RADIOBUTTON, id);
        click.SetEventObject(radio);
        click.SetInt(1);
        radio->GetEventHandler()->ProcessEvent(click);
    }
    // Clicks the shown view's button with this id (200..203).
    void ClickViewButton(int id) {
        wxButton* button = nullptr;
        for (wxWindow* child : frame->GetMainPanel()->GetChildren())
            if (child->GetId() == id && wxDynamicCast(child, wxButton) && child->IsShown()) button = wxDynamicCast(child, wxButton);
        ASSERT_NE(button, nullptr) << id;
        wxCommandEvent click(wxEVT_BUTTON, id);
        click.SetEventObject(button);
        button->GetEventHandler()->ProcessEvent(click);
    }
    void SetStored(uint16_t code, uint32_t value) {
        auto param = panel.Param(code);
        ASSERT_TRUE(param.has_value()) << code;
        param->value = value;
        panel.SetParam(*param);
    }
    RegX* View() const { return frame->GetRegulatorView(); }
    static std::string Value(const jwxNVUDisp* readout) {
        return readout ? Utf8(readout->GetValueLabel()->GetLabelText()) : "<none>";
    }
    static std::string Label(const wxStaticText* text) { return text ? Utf8(text->GetLabelText()) : "<none>"; }
    // A written packed decimal (mantissa << 8 | decimals) as a number.
    static double DecimalOf(uint32_t value) {
        return static_cast<int16_t>(value >> 8) / std::pow(10.0, static_cast<int>(value & 0xFF));
    }
    template <class Control>
    static std::vector<Control*> Controls(wxWindow* dialog) {
        std::vector<Control*> found;
        for (wxWindow* child : dialog->GetChildren())
            if (auto* control = dynamic_cast<Control*>(child)) found.push_back(control);
        return found;
    }
    static std::vector<std::string> Messages(const std::vector<ModalDialogRecord>& records) {
        std::vector<std::string> messages;
        for (const auto& record : records)
            if (!record.message.empty()) messages.push_back(Utf8(record.message));
        return messages;
    }
};
