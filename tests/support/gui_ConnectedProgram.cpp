#include "support/gui_ConnectedProgram.h"

#include <wx/app.h>
#include <wx/config.h>

#include <cstdio>
#include <cstdlib>

#include "app/SettingsStore.h"
#include "support/core_EventWait.h"
#include "support/test_support.h"

ConnectedProgram::ConnectedProgram(const char* settingsPrefix) : settingsDir(MakeTempDir(settingsPrefix)) {
    setenv("XDG_CONFIG_HOME", settingsDir.c_str(), 1);
    InstallSettingsStore();
}

ConnectedProgram::~ConnectedProgram() {
    CloseFrame();
    if (panelRunning) panel.Stop();
    delete wxConfigBase::Set(nullptr);
    if (std::system(("rm -rf '" + settingsDir + "'").c_str()) != 0)
        std::fprintf(stderr, "cannot remove %s\n", settingsDir.c_str());
}

bool ConnectedProgram::StartPanel() {
    if (!panelRunning) panelRunning = pty.Open() && panel.Start(pty.TakeMaster(), true);
    return panelRunning;
}

bool ConnectedProgram::Connect(int timeoutMs) {
    if (!StartPanel()) return false;
    wxConfigBase* store = wxConfigBase::Get();
    store->Write(wxASCII_STR("/com/type"), wxASCII_STR("COM"));
    store->Write(wxASCII_STR("/com/name"), wxString::FromUTF8(pty.slavePath.c_str()));
    store->Flush();

    alive = new MyFrame(wxASCII_STR("mirex"), wxPoint(50, 50), wxSize(450, 340));
    alive->Show();
    return RunLoopUntil([this] { return alive && alive->IsConnected(); }, timeoutMs);
}

void ConnectedProgram::CloseFrame() {
    if (!alive) return;
    alive->Close(true);
    // The window is destroyed at idle time.
    RunLoopUntil(
        [this] {
            if (alive) wxTheApp->ProcessIdle();
            return !alive;
        },
        5000);
}
