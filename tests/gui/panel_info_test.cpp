// The panel information command: a fresh identification of the connected panel shown in its
// dialog (type, firmware, serial number, the panel's own data-error lines), or nothing when
// the panel does not answer.
#include <gtest/gtest.h>
#include <wx/grid.h>
#include <wx/stattext.h>
#include <wx/timer.h>
#include <wx/uiaction.h>

#include <string>
#include <vector>

#include "app/FrameIds.h"
#include "support/gui_ConfigFixture.h"
#include "support/core_EventWait.h"
#include "support/gui_ModalAnswer.h"
#include "support/gui_ScreenWait.h"

namespace {

std::string Utf8(const wxString& text) { return text.utf8_string(); }

struct Shown {
    std::vector<std::string> cells;  // row by row: caption, value
    std::vector<std::string> lines;  // the static texts below the grid, top to bottom
};

Shown Read(wxDialog* dialog) {
    Shown shown;
    for (wxWindow* child : dialog->GetChildren()) {
        if (auto* grid = dynamic_cast<wxGrid*>(child)) {
            EXPECT_FALSE(grid->IsEditable());
            for (int row = 0; row < grid->GetNumberRows(); ++row)
                for (int col = 0; col < grid->GetNumberCols(); ++col)
                    shown.cells.push_back(Utf8(grid->GetCellValue(row, col)));
        } else if (auto* text = dynamic_cast<wxStaticText*>(child)) {
            shown.lines.push_back(Utf8(text->GetLabel()));
        }
    }
    return shown;
}

using PanelInfoTest = ConfigFixture;

TEST_F(PanelInfoTest, ShowsAFreshIdentification) {
    const char* const kFactory = "- błąd danych fabrycznych urządzenia";
    const char* const kConfig = "- błąd danych konfiguracyjnych urządzenia";
    struct Case {
        const char* name;
        uint32_t version;
        uint16_t flags;
        bool serialFields;
        const char* versionText;
        const char* serialText;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"letter A", 0x010304, 0, true, "A.3.4", "4321", {}},
        {"no letter", 0x000304, 0, true, "3.4", "4321", {}},
        {"factory and configuration errors, no serial", 0x000305, 0x61, true, "3.5", "", {kFactory, kConfig}},
        {"configuration error", 0x000305, 0x20, true, "3.5", "4321", {kConfig}},
        {"factory error", 0x000305, 0x40, true, "3.5", "4321", {kFactory}},
        {"reply without the serial fields", 0x000305, 0, false, "3.5", "", {}},
    };
    Connect();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        sim::SimIdentity identity;
        identity.version = c.version;
        identity.flags = c.flags;
        identity.serial = 4321;
        identity.sixFields = c.serialFields;
        panel.SetIdentity(identity);
        panel.ClearRequests();
        Shown shown;
        ModalAnswer answer;
        answer.Expect([&](wxDialog* dialog) {
            shown = Read(dialog);
            ModalAnswer::Click(dialog, wxID_OK);
            return wxID_NONE;
        });
        RunMenu(ID_PANEL_INFO);
        ASSERT_EQ(answer.Records().size(), 1u);
        EXPECT_EQ(Utf8(answer.Records()[0].title), "Informacje o panelu");
        EXPECT_EQ(shown.cells, (std::vector<std::string>{"Typ panelu", "QM-352", "Wersja firmware", c.versionText,
                                                          "Numer fabryczny", c.serialText}));
        EXPECT_EQ(shown.lines, c.lines);
        ASSERT_EQ(panel.Requests().size(), 1u);
        EXPECT_EQ(panel.Requests()[0].command, 0x0A);
    }
}

// Enter closes the dialog with OK, its default button, also while the grid has the focus (the
// grid would take Enter to move its cursor). Keys go through the display.
TEST_F(PanelInfoTest, EnterInTheGridPressesOk) {
    Connect();
    int result = wxID_NONE;
    ModalAnswer answer;
    answer.Expect([&](wxDialog* dialog) {
        EXPECT_EQ(dialog->GetDefaultItem(), dialog->FindWindow(wxID_OK));
        wxGrid* grid = ConfigFixture::ChildrenOf<wxGrid>(dialog).at(0);
        // Ends the run should the key do nothing.
        wxTimer fallback;
        fallback.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
            if (dialog->IsModal()) dialog->EndModal(wxID_ABORT);
        });
        fallback.StartOnce(3000);
        dialog->Raise();
        EXPECT_TRUE(WaitUntilPainted(dialog));
        grid->SetFocus();
        grid->SetGridCursor(0, 1);
        // With no window manager the display's focus follows the pointer.
        wxUIActionSimulator keys;
        keys.MouseMove(dialog->GetScreenRect().GetPosition() + wxPoint(10, 10));
        EXPECT_TRUE(WaitUntilFocused(grid)) << "the key would not reach the grid";
        keys.Char(WXK_RETURN);
        EXPECT_TRUE(RunLoopUntil([&] { return !dialog->IsModal(); }, 5000));
        result = dialog->GetReturnCode();
        return static_cast<int>(wxID_NONE);
    });
    RunMenu(ID_PANEL_INFO);
    ASSERT_EQ(answer.Records().size(), 1u);
    EXPECT_EQ(result, wxID_OK);
}

TEST_F(PanelInfoTest, NoAnswerShowsNothing) {
    Connect();
    panel.SetSilentCommands({0x0A});
    ModalAnswer answer;
    RunMenu(ID_PANEL_INFO);
    EXPECT_TRUE(answer.Records().empty());
    EXPECT_GE(panel.Requests().size(), 1u);
    EXPECT_TRUE(frame->IsConnected());
}

}  // namespace
