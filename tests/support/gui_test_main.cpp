// Test main for window tests: a real wxApp on the display (Xvfb in CI), an active event loop
// around the whole run, asserts turned into test failures and the log sent to stderr so that
// no message box opens at idle. Each test points the settings store at a fresh directory.
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/log.h>
#include <wx/stdpaths.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/EventModes.h"
#include "support/test_support.h"

namespace {
class TestApp : public wxApp {
public:
    bool OnInit() override { return true; }
};

// Keeps every test's settings out of the user's own store.
void UsePrivateConfigHome() {
    char dir[] = "/tmp/mirex-test-config-XXXXXX";
    if (mkdtemp(dir)) setenv("XDG_CONFIG_HOME", dir, 1);
}
}  // namespace

wxIMPLEMENT_APP_NO_MAIN(TestApp);

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    // Listing the tests (ctest's discovery) needs no display.
    if (testing::GTEST_FLAG(list_tests)) return RUN_ALL_TESTS();
    UsePrivateConfigHome();
    if (!wxEntryStart(argc, argv)) {
        std::fprintf(stderr, "cannot open the display (run the window tests under xvfb-run)\n");
        return 1;
    }
    FailTestsOnWxAssert();
    delete wxLog::SetActiveTarget(new wxLogStderr);
    // The program's own event modes, as it sets them at start.
    SetProgramEventModes();
    int result = 1;
    if (wxTheApp->CallOnInit()) {
        wxGUIEventLoop loop;
        wxEventLoopActivator activate(&loop);
        result = RUN_ALL_TESTS();
        wxTheApp->OnExit();
    }
    wxEntryCleanup();
    return result;
}
