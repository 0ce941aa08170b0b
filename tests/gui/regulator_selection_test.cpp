// Regulator selection through the real main window against the simulated panel: the type read,
// what each type shows, and the view's way off the window.
#include <gtest/gtest.h>
#include <wx/radiobut.h>
#include <wx/statbox.h>

#include <string>
#include <vector>

#include "app/FrameIds.h"
#include "regulators/RegX.h"
#include "support/gui_ConfigFixture.h"
#include "support/gui_ModalAnswer.h"

namespace {

std::string Utf8(const wxString& text) { return text.utf8_string(); }

class RegulatorSelectionTest : public ConfigFixture {
protected:
    // Clicks a selector button as a user would: the button's event travels up to the window.
    void Select(int id) {
        auto* radio = wxDynamicCast(frame->FindWindow(id), wxRadioButton);
        ASSERT_NE(radio, nullptr) << id;
        radio->SetValue(true);
        wxCommandEvent click(wxEVT_RADIOBUTTON, id);
        click.SetEventObject(radio);
        click.SetInt(1);
        radio->GetEventHandler()->ProcessEvent(click);
    }
    void SetType(int regulator, uint32_t type) {
        auto param = panel.Param(static_cast<uint16_t>(211 + regulator));
        ASSERT_TRUE(param.has_value());
        param->value = type;
        panel.SetParam(*param);
    }
};

TEST_F(RegulatorSelectionTest, TypeOffOrUnknownShowsNoViewAndNoMessage) {
    Connect();
    for (uint32_t type : {0u, 4u, 7u}) {
        SCOPED_TRACE(type);
        SetType(1, type);
        panel.ClearRequests();
        ModalAnswer answer;  // any message box fails the test
        Select(ID_REG_1 + 1);
        EXPECT_EQ(Reads(), std::vector<uint16_t>{212});
        EXPECT_EQ(frame->GetRegulatorView(), nullptr);
        EXPECT_EQ(frame->GetSelectedRegulator(), -1);
    }
}

TEST_F(RegulatorSelectionTest, RefusedOrDamagedTypeIsAReadError) {
    Connect();
    for (bool damaged : {false, true}) {
        SCOPED_TRACE(damaged);
        auto param = panel.Param(213);
        ASSERT_TRUE(param.has_value());
        param->refused = !damaged;
        param->dataError = damaged;
        panel.SetParam(*param);
        ModalAnswer answer;
        answer.Expect(wxID_OK);
        Select(ID_REG_1 + 2);
        ASSERT_EQ(answer.Records().size(), 1u);
        EXPECT_EQ(Utf8(answer.Records()[0].message), "Błąd odczytu");
        EXPECT_EQ(Utf8(answer.Records()[0].title), "Błąd");
        EXPECT_EQ(frame->GetRegulatorView(), nullptr);
    }
}

TEST_F(RegulatorSelectionTest, OtherRadioIdsAreNotTheSelectors) {
    Connect();
    wxCommandEvent click(wxEVT_RADIOBUTTON, 300);
    click.SetEventObject(frame);
    frame->GetEventHandler()->ProcessEvent(click);
    EXPECT_TRUE(Reads().empty());
}

}  // namespace
