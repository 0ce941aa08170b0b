#include "support/gui_BenchProgram.h"

#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/log.h>
#include <wx/timer.h>

#include <cstdio>

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
    // The program's event modes (MyApp::OnInit): idle and update-UI events only where asked for.
    wxIdleEvent::SetMode(wxIDLE_PROCESS_SPECIFIED);
    wxUpdateUIEvent::SetMode(wxUPDATE_UI_PROCESS_SPECIFIED);
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
