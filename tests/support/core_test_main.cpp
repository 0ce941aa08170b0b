// Test main for the tests that need no display: a console wx application with a real (console)
// event loop around the whole run, so code that waits inside the loop behaves as in the program.
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/init.h>
#include <wx/log.h>

#include <cstdio>

namespace {
void FailOnAssert(const wxString& file, int line, const wxString& func, const wxString& cond, const wxString& msg) {
    std::fprintf(stderr, "wx assert %s:%d %s: %s %s\n", static_cast<const char*>(file.utf8_str()), line,
                 static_cast<const char*>(func.utf8_str()), static_cast<const char*>(cond.utf8_str()),
                 static_cast<const char*>(msg.utf8_str()));
    ADD_FAILURE() << "wx assertion failed: " << cond.utf8_str() << " " << msg.utf8_str();
}
}  // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    wxInitializer init(argc, argv);
    if (!init.IsOk()) {
        std::fprintf(stderr, "cannot initialise wxWidgets\n");
        return 1;
    }
    wxSetAssertHandler(FailOnAssert);
    delete wxLog::SetActiveTarget(new wxLogStderr);
    // The console loop: the GUI loop of this toolkit build needs an initialised display.
    wxConsoleEventLoop loop;
    wxEventLoopActivator activate(&loop);
    return RUN_ALL_TESTS();
}
