// Read-out captions stand out from what they are drawn on under the desktop theme the program
// runs with: the real main window connected to the simulated panel, and the PID view ("R2")
// with its "Algorytm" box, read back from the screen. ctest runs this binary with the default
// theme and again with a dark one (GTK_THEME=Adwaita:dark).
#include <gtest/gtest.h>
#include <wx/sizer.h>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "app/FrameIds.h"
#include "support/gui_GeometryCheck.h"
#include "support/gui_RegulatorFixture.h"
#include "support/gui_ScreenPixels.h"
#include "support/gui_ScreenWait.h"
#include "widgets/TextContrast.h"
#include "widgets/jwxNVUDisp.h"

namespace {

// The theme the toolkit started with, for the pictures' names.
std::string ThemeName() {
    const char* theme = std::getenv("GTK_THEME");
    std::string name = theme && *theme ? theme : "default";
    std::replace(name.begin(), name.end(), ':', '-');
    return name;
}

std::string Html(const wxColour& colour) { return colour.GetAsString(wxC2S_HTML_SYNTAX).utf8_string(); }

void CollectReadouts(wxSizer* sizer, std::vector<jwxNVUDisp*>& found) {
    for (wxSizerItem* item : sizer->GetChildren())
        if (wxSizer* inner = item->GetSizer()) {
            if (auto* readout = dynamic_cast<jwxNVUDisp*>(inner)) found.push_back(readout);
            CollectReadouts(inner, found);
        }
}

class ReadoutCaptionTest : public RegulatorFixture {
protected:
    // Measures every shown read-out caption that has a text from the screen: its background is
    // the colour most of its pixels have, its text the pixel furthest from that. Fails on each
    // caption that does not stand out; returns the captions measured.
    std::set<std::string> ExpectCaptionsReadable() {
        std::vector<jwxNVUDisp*> readouts;
        CollectReadouts(frame->GetMainPanel()->GetSizer(), readouts);
        std::set<std::string> measured;
        for (jwxNVUDisp* readout : readouts) {
            const std::string caption = Utf8(readout->GetCaptionLabel()->GetLabelText().Strip(wxString::both));
            if (caption.empty() || !readout->GetCaptionWindow()->IsShownOnScreen()) continue;
            const wxImage pixels = ScreenPixels(readout->GetCaptionWindow());
            if (!pixels.IsOk()) continue;
            const wxColour background = DominantColour(pixels);
            const wxColour text = FurthestColour(pixels, background);
            EXPECT_GE(ContrastRatio(text, background), kReadableTextContrast)
                << "caption \"" << caption << "\": text " << Html(text) << " on " << Html(background);
            measured.insert(caption);
        }
        return measured;
    }
    void ExpectMeasured(const std::set<std::string>& measured, std::initializer_list<const char*> captions) {
        for (const char* caption : captions) EXPECT_EQ(measured.count(caption), 1u) << "not measured: " << caption;
    }
};

}  // namespace

TEST_F(ReadoutCaptionTest, MainWindowConnected) {
    Connect();
    SettleWindows();
    ASSERT_TRUE(WaitUntilPainted(frame));
    // The simulated panel's boards: thermometers, an analog output and a T500 bus.
    ExpectMeasured(ExpectCaptionsReadable(),
                   {"P1", "E2", "temperatura", "wilgotność", "Wy analogowe", "Znormalizowane", "Param #1"});
    SaveWindowShot(frame, "captions main " + ThemeName());
    EXPECT_TRUE(LayoutIsSound(frame));
}

TEST_F(ReadoutCaptionTest, PidViewWithItsAlgorithmBox) {
    Connect();
    Select(ID_REG_1 + 1);
    ASSERT_NE(View(), nullptr);
    ClickViewButton(RegX::ID_ALGORITHM);
    ASSERT_NE(View()->GetAlgorithmBox(), nullptr);
    SettleWindows();
    ASSERT_TRUE(WaitUntilPainted(frame));
    ExpectMeasured(ExpectCaptionsReadable(),
                   {"PV", "SP", "Kp", "t1/close", "INmax", "Inwersja", "AH", "npv", "cv", "P1", "temperatura"});
    SaveWindowShot(frame, "captions R2 algorithm " + ThemeName());
    EXPECT_TRUE(LayoutIsSound(frame));
}
