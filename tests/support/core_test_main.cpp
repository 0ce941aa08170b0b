// Test main for the tests that need no display: a console wx application with a real (console)
// event loop around the whole run, so code that waits inside the loop behaves as in the program.
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/init.h>
#include <wx/log.h>

#include <cstdio>

#include "support/test_support.h"

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    wxInitializer init(argc, argv);
    if (!init.IsOk()) {
        std::fprintf(stderr, "cannot initialise wxWidgets\n");
        return 1;
    }
    FailTestsOnWxAssert();
    delete wxLog::SetActiveTarget(new wxLogStderr);
    // The console loop: the GUI loop of this toolkit build needs an initialised display.
    wxConsoleEventLoop loop;
    wxEventLoopActivator activate(&loop);
    return RUN_ALL_TESTS();
}
