#include "support/gui_BenchProgram.h"

#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/log.h>
#include <wx/timer.h>

#include <cstdio>

#include "app/EventModes.h"

namespace {
class BenchApp : public wxApp {
public:
    bool OnInit() override { return true; }
};
}  // namespace

wxIMPLEMENT_APP_NO_MAIN(BenchApp);

int RunWindowBenchmark(int argc, char** argv, const std::function<int()>& body) {
    if (!wxEntryStart(argc, argv)) {
        std::fprintf(stderr, "cannot open the display (run under xvfb-run)\n");
        return 1;
    }
    delete wxLog::SetActiveTarget(new wxLogStderr);
    wxLog::SetLogLevel(wxLOG_Warning);
    // The program's own event modes, as it sets them at start.
    SetProgramEventModes();
    int rc = 1;
    {
        wxGUIEventLoop loop;
        wxEventLoopActivator activate(&loop);
        rc = body();
    }
    wxEntryCleanup();
    return rc;
}

void RunEventLoopFor(int milliseconds) {
    wxGUIEventLoop loop;
    wxTimer end;
    end.Bind(wxEVT_TIMER, [&loop](wxTimerEvent&) { loop.Exit(); });
    end.StartOnce(milliseconds);
    loop.Run();
}
