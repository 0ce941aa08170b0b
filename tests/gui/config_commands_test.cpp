// The configuration commands end to end: the real main window against the simulated panel,
// each menu command reading its area, its dialog answered from the test, and what the panel
// was sent and holds afterwards.
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/radiobut.h>

#include <string>
#include <vector>

#include "app/FrameIds.h"
#include "comm/PanelClient.h"
#include "dialogs/DlgAnalogInp.h"
#include "support/core_EventWait.h"
#include "support/gui_ConfigFixture.h"
#include "support/gui_ModalAnswer.h"

namespace {

std::string Utf8(const wxString& text) { return text.utf8_string(); }

using Codes = std::vector<uint16_t>;

std::vector<std::string> Messages(const ModalAnswer& answer) {
    std::vector<std::string> messages;
    for (const ModalDialogRecord& record : answer.Records())
        if (!record.message.empty()) messages.push_back(Utf8(record.message));
    return messages;
}

using ConfigCommandTest = ConfigFixture;

// Every list area read, shown and written back unchanged by OK, with its window title.
TEST_F(ConfigCommandTest, OkWithoutChangesWritesEveryParameterOfTheArea) {
    struct Case {
        const char* name;
        int menu;
        int minor;  // firmware 3.minor
        Codes codes;
        const char* title;
        size_t lists;
    };
    const Case cases[] = {
        {"displays before 3.03", ID_DISP_CONF, 2, {176}, "Wyświetlacz B", 1},
        {"displays from 3.03", ID_DISP_CONF, 3, {176, 180}, "Wyświetlacze A B", 2},
        {"indicators", ID_DISP_LEDS, 5, {230, 231}, "Kontrolki D1 D2", 2},
        {"T500 format", ID_T500_FORMAT, 5, {225}, "Format wy T500", 1},
        {"analog inputs", ID_ANALOG_INP, 5, {204, 205, 206, 207, 208, 209, 210}, "We analogowe", 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Connect(3, c.minor);
        WriteList expected;
        for (uint16_t code : c.codes) expected.push_back({code, Stored(code)});
        size_t lists = 0;
        ModalAnswer answer;
        answer.Expect([&](wxDialog* dialog) {
            lists = Lists(dialog).size();
            return wxID_OK;
        });
        RunMenu(c.menu);
        ASSERT_EQ(answer.Records().size(), 1u);
        EXPECT_EQ(Utf8(answer.Records()[0].title), c.title);
        EXPECT_EQ(lists, c.lists);
        EXPECT_EQ(Reads(), c.codes);
        EXPECT_EQ(Writes(), expected);
        CloseFrame();
        ASSERT_TRUE(WaitFrameGone());
    }
}

TEST_F(ConfigCommandTest, ChosenItemsAreWrittenAndStored) {
    Connect();
    ModalAnswer answer;
    answer.Expect([&](wxDialog* dialog) {
        std::vector<jwxCombo*> lists = Lists(dialog);
        EXPECT_EQ(Utf8(lists[0]->GetValue()), "0 - zawsze 0");
        SelectCode(lists[1], 101);
        EXPECT_EQ(Utf8(lists[1]->GetValue()), "101 - wy bramki logicznej #1");
        return wxID_OK;
    });
    RunMenu(ID_DISP_LEDS);
    EXPECT_EQ(Writes(), (WriteList{{230, 0}, {231, 101}}));
    EXPECT_EQ(Stored(231), 101u);
}

TEST_F(ConfigCommandTest, CancelAfterEditingWritesNothingAndShowsNothing) {
    Connect();
    ModalAnswer answer;
    answer.Expect([&](wxDialog* dialog) {
        SelectCode(Lists(dialog)[0], 4);
        return wxID_CANCEL;
    });
    RunMenu(ID_T500_FORMAT);
    EXPECT_EQ(answer.Records().size(), 1u);
    EXPECT_EQ(Reads(), Codes{225});
    EXPECT_TRUE(Writes().empty());
}

// A read that fails anywhere in the area shows one message and opens no dialog. A single
// parameter that the panel refuses or reports damaged fails too: it has no value to show.
TEST_F(ConfigCommandTest, FailedReadShowsOneMessageAndNoDialog) {
    struct Case {
        const char* name;
        int menu;
        uint16_t code;
        void (*fault)(sim::SimParam&);
    };
    const Case cases[] = {
        {"last code of a batch damaged", ID_DISP_LEDS, 231, [](sim::SimParam& p) { p.dataError = true; }},
        {"last code of a batch refused", ID_DISP_CONF, 180, [](sim::SimParam& p) { p.refused = true; }},
        {"single code refused", ID_T500_FORMAT, 225, [](sim::SimParam& p) { p.refused = true; }},
        {"single code damaged", ID_T500_FORMAT, 225, [](sim::SimParam& p) { p.dataError = true; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        panel.SetTable(sim::ParamTable::DefaultQm352());
        Connect();
        Modify(c.code, c.fault);
        ModalAnswer answer;
        answer.Expect(wxID_OK);
        RunMenu(c.menu);
        ASSERT_EQ(answer.Records().size(), 1u);
        EXPECT_EQ(Utf8(answer.Records()[0].message), "Błąd odczytu");
        EXPECT_EQ(Utf8(answer.Records()[0].title), "Błąd");
        EXPECT_EQ(Reads().back(), c.code);
        EXPECT_TRUE(Writes().empty());
        CloseFrame();
        ASSERT_TRUE(WaitFrameGone());
    }
}

TEST_F(ConfigCommandTest, RefusedWriteStopsTheBatchAfterTheEarlierParameters) {
    Connect();
    Modify(205, [](sim::SimParam& p) { p.readOnly = true; });
    ModalAnswer answer;
    answer.Expect([&](wxDialog* dialog) {
        SelectCode(Lists(dialog)[0], 2);  // Pt input 1 becomes Pt-100
        return wxID_OK;
    });
    answer.Expect(wxID_OK);
    RunMenu(ID_ANALOG_INP);
    EXPECT_EQ(Messages(answer), std::vector<std::string>{"Błąd zapisu"});
    EXPECT_EQ(Writes(), (WriteList{{204, 1}, {205, 2}}));
    EXPECT_EQ(Stored(205), 1u);
}

// A code that a list does not hold leaves it without a selection; OK writes the code read.
TEST_F(ConfigCommandTest, ListWithoutSelectionWritesTheValueRead) {
    Connect();
    Modify(176, [](sim::SimParam& p) { p.value = 30; });
    ModalAnswer answer;
    answer.Expect([&](wxDialog* dialog) {
        std::vector<jwxCombo*> lists = Lists(dialog);
        EXPECT_EQ(lists[1]->GetSelectedValue(), -1);  // display B
        EXPECT_EQ(lists[0]->GetSelectedValue(), 2);   // display A
        return wxID_OK;
    });
    RunMenu(ID_DISP_CONF);
    EXPECT_EQ(Writes(), (WriteList{{176, 30}, {180, 2}}));
}

TEST_F(ConfigCommandTest, AnalogInputModeSwitchesItsListsAndUnknownModeIsKept) {
    Connect();
    // Mode Pt: the U/I lists are disabled but written as read; choosing U/I swaps the groups.
    ModalAnswer answer;
    answer.Expect([&](wxDialog* dialog) {
        std::vector<jwxCombo*> lists = Lists(dialog);
        EXPECT_TRUE(lists[0]->IsEnabled());
        EXPECT_FALSE(lists[2]->IsEnabled());
        wxRadioButton* ui = nullptr;
        for (wxWindow* child : dialog->GetChildren())
            if (auto* radio = dynamic_cast<wxRadioButton*>(child))
                if (radio->GetLabel() == wxString::FromUTF8("2 - U/I")) ui = radio;
        EXPECT_NE(ui, nullptr);
        if (!ui) return static_cast<int>(wxID_CANCEL);
        ui->SetValue(true);
        wxCommandEvent clicked(wxEVT_RADIOBUTTON, ui->GetId());
        clicked.SetEventObject(ui);
        ui->GetEventHandler()->ProcessEvent(clicked);
        EXPECT_FALSE(lists[0]->IsEnabled());
        EXPECT_TRUE(lists[2]->IsEnabled());
        SelectCode(lists[5], 3);
        return static_cast<int>(wxID_OK);
    });
    RunMenu(ID_ANALOG_INP);
    EXPECT_EQ(Writes(), (WriteList{{204, 2}, {205, 1}, {206, 1}, {207, 1}, {208, 1}, {209, 1}, {210, 3}}));

    // A stored mode that no button stands for: no mode shown, every list enabled, the mode kept.
    Modify(204, [](sim::SimParam& p) { p.value = 3; });
    panel.ClearRequests();
    answer.Expect([&](wxDialog* dialog) {
        int on = 0;
        for (wxWindow* child : dialog->GetChildren())
            if (auto* radio = dynamic_cast<wxRadioButton*>(child))
                if (radio->IsShown() && radio->GetValue()) ++on;
        EXPECT_EQ(on, 0);
        for (jwxCombo* list : Lists(dialog)) EXPECT_TRUE(list->IsEnabled());
        return wxID_OK;
    });
    RunMenu(ID_ANALOG_INP);
    ASSERT_FALSE(Writes().empty());
    EXPECT_EQ(Writes()[0], (ParamWrite{204, 3}));
}

// The serial link dies while the dialog is open: the driver's message, then OK sends nothing
// and tells that the write failed. The window's close, asked for by the dying driver, waits
// until that message and the command have ended: idle time under the message does not carry
// it out.
TEST_F(ConfigCommandTest, LinkLostWhileTheDialogIsOpen) {
    Connect();
    ModalAnswer answer;
    answer.Expect([&](wxDialog*) {
        panel.HangUpNow();
        EXPECT_TRUE(RunLoopUntil([&] { return frame->GetClient()->GetState() == CLIENT_DRIVER_LOST; }, 5000));
        return wxID_OK;
    });
    answer.Expect(wxID_OK);  // the driver's message, shown over the dialog
    bool keptUnderTheMessage = false;
    answer.Expect([&](wxDialog*) {
        RunLoopUntil(
            [&] {
                wxTheApp->ProcessIdle();
                return !FrameAlive() || frame->IsBeingDeleted();
            },
            300);
        keptUnderTheMessage = FrameAlive() && !frame->IsBeingDeleted();
        return wxID_OK;
    });
    RunMenu(ID_DISP_LEDS);
    EXPECT_EQ(Messages(answer),
              (std::vector<std::string>{"Błąd w driverze obsługującym komunikację", "Błąd zapisu"}));
    EXPECT_TRUE(keptUnderTheMessage);
    EXPECT_TRUE(Writes().empty());
    EXPECT_TRUE(WaitFrameGone());
}

}  // namespace
