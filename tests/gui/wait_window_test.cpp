#include <gtest/gtest.h>
#include <wx/frame.h>
#include <wx/image.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>
#include <wx/weakref.h>

#include <memory>
#include <vector>

#include "resources/Resources.h"
#include "widgets/WaitWindow.h"
#include "widgets/WaitWindowIndicator.h"

namespace {

class WaitWindowTest : public testing::Test {
protected:
    void SetUp() override {
        frame = new wxFrame(nullptr, wxID_ANY, wxASCII_STR("owner"), wxPoint(100, 100), wxSize(600, 400));
        frame->Show();
    }
    void TearDown() override {
        if (frame) frame->Destroy();
    }
    WaitWindow* Make(const wxString& text = wxString::FromUTF8("trwa komunikacja")) {
        return new WaitWindow(frame, text, wxASCII_STR("Czekajka"), wxRESIZE_BORDER, wxID_ANY);
    }
    wxFrame* frame = nullptr;
};

TEST_F(WaitWindowTest, ShowsIconAndTextAndDisablesParentUntilDeleted) {
    WaitWindow* wait = Make();
    EXPECT_TRUE(wait->IsShown());
    EXPECT_FALSE(frame->IsEnabled());
    EXPECT_EQ(wait->GetTitle(), wxASCII_STR("Czekajka"));
    EXPECT_EQ(wait->GetWindowStyleFlag() & wxRESIZE_BORDER, wxRESIZE_BORDER);

    auto* icon = dynamic_cast<wxStaticBitmap*>(wait->FindWindow(wxASCII_STR("staticBitmap")));
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->GetSize(), wxSize(32, 32));
    EXPECT_TRUE(icon->GetBitmap().IsOk());
    auto* text = dynamic_cast<wxStaticText*>(wait->FindWindow(wxASCII_STR("staticText")));
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->GetLabel(), wxString::FromUTF8("trwa komunikacja"));

    // Fitted around its content and centred over the parent.
    const wxRect box = wait->GetRect();
    EXPECT_LT(box.width, 400);
    const wxPoint centre = frame->GetRect().GetPosition() + frame->GetSize() / 2;
    const wxPoint own = box.GetPosition() + box.GetSize() / 2;
    EXPECT_NEAR(own.x, centre.x, 2);
    EXPECT_NEAR(own.y, centre.y, 2);

    delete wait;
    EXPECT_TRUE(frame->IsEnabled());
}

TEST_F(WaitWindowTest, LongerMessageKeepsTheSize) {
    WaitWindow* wait = Make(wxASCII_STR("1"));
    const wxSize before = wait->GetSize();
    wait->SetMessage(wxString::FromUTF8("Zapisano 1234 parametrów z bardzo długim opisem postępu"));
    auto* text = dynamic_cast<wxStaticText*>(wait->FindWindow(wxASCII_STR("staticText")));
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->GetLabel(), wxString::FromUTF8("Zapisano 1234 parametrów z bardzo długim opisem postępu"));
    EXPECT_EQ(wait->GetSize(), before);
    // The text stays inside the window.
    EXPECT_LE(text->GetRect().GetRight(), wait->GetClientSize().x);
    delete wait;
}

TEST_F(WaitWindowTest, NestedWindowsKeepTheParentDisabledUntilTheOuterOneCloses) {
    WaitWindow* outer = Make(wxString::FromUTF8("Inicjalizacja połączenia ..."));
    WaitWindow* inner = Make();
    delete inner;
    EXPECT_FALSE(frame->IsEnabled());
    delete outer;
    EXPECT_TRUE(frame->IsEnabled());
}

TEST_F(WaitWindowTest, ParentDisabledByOthersStaysDisabled) {
    frame->Enable(false);
    delete Make();
    EXPECT_FALSE(frame->IsEnabled());
}

TEST_F(WaitWindowTest, ParentDestroyedWhileShownTakesTheWindowAlong) {
    wxWeakRef<WaitWindow> shown(Make());
    ASSERT_TRUE(shown);
    delete frame;  // destroys its child windows, the wait window among them
    frame = nullptr;
    EXPECT_FALSE(shown);
    for (wxWindow* window : wxTopLevelWindows) EXPECT_EQ(dynamic_cast<WaitWindow*>(window), nullptr);
}

// The panel client's wait indication for the windows: "trwa komunikacja" over the parent while
// it lives; it may outlive the parent (the main window closes under a running request).
TEST_F(WaitWindowTest, IndicatorShowsTheWaitWindowOverItsParent) {
    auto shownWaitWindows = [] {
        std::vector<WaitWindow*> found;
        for (wxWindow* window : wxTopLevelWindows)
            if (auto* wait = dynamic_cast<WaitWindow*>(window); wait && !wait->IsBeingDeleted()) found.push_back(wait);
        return found;
    };
    WaitWindowIndicator indicator(frame);
    std::unique_ptr<WaitIndication> shown = indicator.ShowWait();
    ASSERT_TRUE(shown);
    ASSERT_EQ(shownWaitWindows().size(), 1u);
    WaitWindow* wait = shownWaitWindows()[0];
    EXPECT_EQ(wait->GetParent(), frame);
    EXPECT_EQ(wait->GetTitle(), wxASCII_STR("Czekajka"));
    auto* text = dynamic_cast<wxStaticText*>(wait->FindWindow(wxASCII_STR("staticText")));
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->GetLabel(), wxString::FromUTF8("trwa komunikacja"));
    EXPECT_FALSE(frame->IsEnabled());
    shown.reset();
    EXPECT_TRUE(shownWaitWindows().empty());
    EXPECT_TRUE(frame->IsEnabled());

    shown = indicator.ShowWait();
    delete frame;  // takes the window along
    frame = nullptr;
    shown.reset();  // and the indication knows
    EXPECT_TRUE(shownWaitWindows().empty());
}

TEST(ResourcesTest, IconsAreDrawnAndScaled) {
    for (const char* name : {"ICO_1", "ICO_COM"}) {
        SCOPED_TRACE(name);
        const wxIcon icon = LoadIconResource(wxASCII_STR(name), 32);
        ASSERT_TRUE(icon.IsOk());
        EXPECT_EQ(icon.GetWidth(), 32);
        EXPECT_EQ(icon.GetHeight(), 32);
        // Neither blank nor a full square: some pixels drawn, some transparent.
        wxBitmap bitmap;
        bitmap.CopyFromIcon(icon);
        const wxImage image = bitmap.ConvertToImage();
        int transparent = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) transparent += image.IsTransparent(x, y) ? 1 : 0;
        EXPECT_GT(transparent, 0);
        EXPECT_LT(transparent, 32 * 32 / 2 + 300);

        const wxIcon small = LoadIconResource(wxASCII_STR(name), 16);
        ASSERT_TRUE(small.IsOk());
        EXPECT_EQ(small.GetWidth(), 16);
    }
    EXPECT_FALSE(LoadIconResource(wxASCII_STR("ICO_NONE"), 32).IsOk());
    EXPECT_FALSE(LoadIconResource(wxASCII_STR("ICO_1"), 0).IsOk());
}

}  // namespace
