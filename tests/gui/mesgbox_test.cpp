// Message boxes under a real display: they show from their constructor, answer with the
// button pressed, and sit centred over their owner while kept on the screen.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/dialog.h>
#include <wx/display.h>
#include <wx/frame.h>
#include <wx/panel.h>

#include "support/gui_ModalAnswer.h"
#include "widgets/CentreHook.h"
#include "widgets/MesgBox.h"

namespace {

wxString U8(const char* text) { return wxString::FromUTF8(text); }

wxRect Screen() { return wxDisplay(0u).GetGeometry(); }

// A shown frame at a given place, destroyed with the test.
class OwnerFrame {
public:
    explicit OwnerFrame(const wxRect& rect) {
        frame = new wxFrame(nullptr, wxID_ANY, wxASCII_STR("owner"), rect.GetPosition(), rect.GetSize());
        frame->Show();
        wxTheApp->Yield(true);
    }
    ~OwnerFrame() {
        frame->Destroy();
        wxTheApp->ProcessIdle();
    }
    wxFrame* operator->() const { return frame; }
    wxFrame* get() const { return frame; }

private:
    wxFrame* frame;
};

}  // namespace

TEST(MesgBox, ShowsFromItsConstructorAndReturnsTheButtonPressed) {
    OwnerFrame owner(wxRect(200, 200, 400, 300));
    struct Case {
        long style;
        int button;
    } cases[] = {
        {wxOK | wxICON_EXCLAMATION, wxID_OK},
        {wxICON_HAND, wxID_OK},  // no button asked for: a single OK
        {wxOK | wxICON_INFORMATION, wxID_OK},
        {wxYES_NO | wxCANCEL | wxICON_QUESTION, wxID_YES},
        {wxYES_NO | wxCANCEL | wxICON_QUESTION, wxID_NO},
        {wxYES_NO | wxCANCEL | wxICON_QUESTION, wxID_CANCEL},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.style);
        ModalAnswer answer;
        answer.Press(c.button);
        MesgBox box(owner.get(), U8("Błąd odczytu"), U8("Błąd"), c.style);
        EXPECT_EQ(box.GetResult(), c.button);
        ASSERT_EQ(answer.Records().size(), 1u);
        EXPECT_EQ(answer.Records()[0].message, U8("Błąd odczytu"));
        EXPECT_EQ(answer.Records()[0].title, U8("Błąd"));
        EXPECT_EQ(answer.Records()[0].owner, owner.get());
    }
    EXPECT_FALSE(IsCentreHookInstalled());
}

TEST(MesgBox, IsCentredOverItsOwnerAndKeptOnTheScreen) {
    const wxRect screen = Screen();
    struct Case {
        const char* name;
        wxRect owner;
    } cases[] = {
        {"middle", wxRect(300, 250, 500, 400)},
        {"right edge", wxRect(screen.width - 120, 300, 400, 300)},
        {"bottom edge", wxRect(300, screen.height - 60, 400, 300)},
        {"left of the screen", wxRect(-350, 300, 400, 300)},
        {"top-left corner, small owner", wxRect(0, 0, 40, 30)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        OwnerFrame owner(c.owner);
        const wxRect o = owner->GetScreenRect();
        ModalAnswer answer;
        answer.Expect(wxID_OK);
        MesgBox(owner.get(), U8("Komunikacja nie została nawiązana"), wxString(), wxOK | wxICON_EXCLAMATION);
        ASSERT_EQ(answer.Records().size(), 1u);
        const ModalDialogRecord& shown = answer.Records()[0];
        ASSERT_TRUE(shown.measured);
        const wxRect r = shown.rect;
        EXPECT_TRUE(screen.Contains(r)) << r.x << "," << r.y << " " << r.width << "x" << r.height;

        int x = o.x + (o.width - r.width) / 2;
        int y = o.y + (o.height - r.height) / 2;
        x = std::max(0, std::min(x, screen.width - r.width));
        y = std::max(0, std::min(y, screen.height - r.height));
        EXPECT_EQ(r.x, x);
        EXPECT_EQ(r.y, y);
    }
}

TEST(MesgBox, WithoutAnOwnerStaysWhereItWasPlaced) {
    ASSERT_EQ(wxTheApp->GetTopWindow(), nullptr);
    ModalAnswer answer;
    answer.Expect(wxID_OK);
    MesgBox box(nullptr, wxASCII_STR("mirex, ver. 0.9.5"), wxASCII_STR("Info"), wxOK | wxICON_INFORMATION);
    ASSERT_EQ(answer.Records().size(), 1u);
    EXPECT_EQ(answer.Records()[0].owner, nullptr);
    const wxRect r = answer.Records()[0].rect;
    // The toolkit's own placement: centred on the screen.
    EXPECT_NEAR(r.x + r.width / 2, Screen().width / 2, 1);
    EXPECT_NEAR(r.y + r.height / 2, Screen().height / 2, 1);
}

TEST(CentreHook, IsInstalledAroundTheMessageBoxOnlyAndNests) {
    OwnerFrame owner(wxRect(200, 200, 400, 300));
    ModalAnswer answer;
    bool installedWhileShown = false;
    answer.Expect([&](wxDialog*) {
        installedWhileShown = IsCentreHookInstalled();
        return static_cast<int>(wxID_OK);
    });
    MesgBox(owner.get(), wxASCII_STR("x"), wxString());
    EXPECT_TRUE(installedWhileShown);
    EXPECT_FALSE(IsCentreHookInstalled());

    // A message box inside a hooked run leaves the outer hook in place.
    InstallCentreHook();
    answer.Expect(wxID_OK);
    MesgBox(owner.get(), wxASCII_STR("inner"), wxString());
    EXPECT_TRUE(IsCentreHookInstalled());
    RemoveCentreHook();
    RemoveCentreHook();  // one too many: harmless
    EXPECT_FALSE(IsCentreHookInstalled());
}

// Dialogs are made on panels too: they are centred over the frame that holds the panel.
TEST(CentreHook, CentresADialogOverTheTopLevelWindowOfItsParent) {
    OwnerFrame owner(wxRect(100, 100, 900, 600));
    wxPanel* panel = new wxPanel(owner.get(), wxID_ANY, wxPoint(600, 400), wxSize(200, 150));
    InstallCentreHook();
    {
        wxDialog dialog(panel, wxID_ANY, wxASCII_STR("Czekajka"), wxDefaultPosition, wxSize(200, 120));
        ModalAnswer answer;
        answer.Expect(wxID_CANCEL);
        dialog.ShowModal();
        const wxRect r = answer.Records().at(0).rect;
        const wxRect o = owner->GetScreenRect();
        EXPECT_EQ(r.GetPosition(), wxPoint(o.x + (o.width - r.width) / 2, o.y + (o.height - r.height) / 2));
    }
    RemoveCentreHook();
}

// The answering helper itself, which the other window tests lean on.
TEST(ModalAnswer, AnswersInsideTheModalLoopAndNativeBoxesWithoutShowing) {
    OwnerFrame owner(wxRect(200, 200, 400, 300));
    ModalAnswer answer;
    bool modalWhenAnswered = false;
    answer.Expect([&](wxDialog* dialog) {
        modalWhenAnswered = dialog->IsModal() && dialog->IsShown();
        // A box shown from inside the handler takes the next answer.
        MesgBox(dialog, wxASCII_STR("nested"), wxString());
        return static_cast<int>(wxID_NO);
    });
    answer.Expect(wxID_OK);
    answer.Expect(wxID_YES);  // for the native message box
    MesgBox outer(owner.get(), wxASCII_STR("outer"), wxString(), wxYES_NO | wxICON_QUESTION);
    EXPECT_TRUE(modalWhenAnswered);
    EXPECT_EQ(outer.GetResult(), wxID_NO);

    wxMessageDialog native(owner.get(), wxASCII_STR("native"), wxASCII_STR("Info"), wxYES_NO);
    EXPECT_EQ(native.ShowModal(), wxID_YES);

    ASSERT_EQ(answer.Records().size(), 3u);
    EXPECT_EQ(answer.Records()[0].message, wxASCII_STR("outer"));
    EXPECT_EQ(answer.Records()[0].result, wxID_NO);
    EXPECT_EQ(answer.Records()[1].message, wxASCII_STR("nested"));
    EXPECT_EQ(answer.Records()[2].className, wxASCII_STR("wxMessageDialog"));
    EXPECT_FALSE(answer.Records()[2].measured);
}

TEST(ModalAnswer, FailsOnADialogNobodyExpectedAndOnAnswersLeftOver) {
    OwnerFrame owner(wxRect(200, 200, 400, 300));
    testing::TestPartResultArray failures;
    int result = 0;
    {
        testing::ScopedFakeTestPartResultReporter intercept(
            testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD, &failures);
        {
            ModalAnswer answer;
            result = MesgBox(owner.get(), wxASCII_STR("surprise"), wxString(), wxOK | wxCANCEL).GetResult();
        }
        ModalAnswer leftOver;
        leftOver.Expect(wxID_OK);
    }
    EXPECT_EQ(result, wxID_CANCEL);
    ASSERT_EQ(failures.size(), 2);
    EXPECT_NE(std::string(failures.GetTestPartResult(0).message()).find("unexpected modal dialog"), std::string::npos);
    EXPECT_NE(std::string(failures.GetTestPartResult(1).message()).find("never used"), std::string::npos);
}
