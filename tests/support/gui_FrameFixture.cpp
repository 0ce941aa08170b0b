#include "support/gui_FrameFixture.h"

#include <unistd.h>
#include <wx/app.h>
#include <wx/config.h>
#include <wx/fileconf.h>
#include <wx/statusbr.h>
#include <wx/stattext.h>

#include <cstdlib>

#include "app/DlgComPort.h"
#include "app/SettingsStore.h"
#include "comm/PanelClient.h"
#include "sim/SimReports.h"
#include "support/core_EventWait.h"
#include "support/test_support.h"
#include "widgets/jwxNVUDisp.h"

void FrameFixture::SetUp() {
    const char* home = std::getenv("XDG_CONFIG_HOME");
    hadConfigHome = home != nullptr;
    if (home) previousConfigHome = home;
    configDir = MakeTempDir("mirex-frame-config");
    setenv("XDG_CONFIG_HOME", configDir.c_str(), 1);
    InstallSettingsStore();
    DlgComPort::PortRoots roots;
    roots.sysfs = noPorts.SysRoot();
    roots.proc = noPorts.ProcRoot();
    roots.dev = noPorts.DevRoot();
    DlgComPort::SetPortRoots(roots);

    ASSERT_TRUE(pty.Open());
    ASSERT_TRUE(panel.Start(pty.TakeMaster(), true));
}

void FrameFixture::TearDown() {
    CloseFrame();
    panel.Stop();
    pty.CloseSlave();
    DlgComPort::SetPortRoots(DlgComPort::PortRoots());
    // Deliver what is still queued (buffers and records carried by events).
    if (wxTheApp) wxTheApp->ProcessPendingEvents();
    delete wxConfigBase::Set(nullptr);
    if (hadConfigHome) {
        setenv("XDG_CONFIG_HOME", previousConfigHome.c_str(), 1);
    } else {
        unsetenv("XDG_CONFIG_HOME");
    }
    std::string remove = "rm -rf '" + configDir + "'";
    if (std::system(remove.c_str()) != 0) ADD_FAILURE() << "cannot remove " << configDir;
}

void FrameFixture::StoreSetting(const char* key, const std::string& value) {
    wxConfigBase* store = wxConfigBase::Get();
    store->Write(wxString::FromUTF8(key), wxString::FromUTF8(value.c_str()));
    store->Flush();
}

void FrameFixture::DeleteStoredSetting(const char* key) { DeleteSetting(wxString::FromUTF8(key)); }

void FrameFixture::StoreSerialPort() {
    StoreSetting("/com/type", "COM");
    StoreSetting("/com/name", pty.slavePath);
}

std::string FrameFixture::StoredSetting(const char* key) const {
    wxFileConfig file(wxASCII_STR("mirex"), wxASCII_STR("VELTRA"), SettingsFilePath(), wxEmptyString,
                      wxCONFIG_USE_LOCAL_FILE);
    return file.Read(wxString::FromUTF8(key), wxEmptyString).utf8_string();
}

bool FrameFixture::HasStoredSetting(const char* key) const {
    wxFileConfig file(wxASCII_STR("mirex"), wxASCII_STR("VELTRA"), SettingsFilePath(), wxEmptyString,
                      wxCONFIG_USE_LOCAL_FILE);
    return file.HasEntry(wxString::FromUTF8(key));
}

MyFrame* FrameFixture::CreateFrame(int replyTimeoutMs) {
    frame = new MyFrame(wxASCII_STR("mirex"), wxPoint(50, 50), wxSize(450, 340));
    frameRef = frame;
    frame->GetClient()->SetReplyTimeoutMs(replyTimeoutMs);
    frame->Show(true);
    return frame;
}

bool FrameFixture::WaitConnected(int timeoutMs) {
    return RunLoopUntil([this] { return FrameAlive() && frame->IsConnected(); }, timeoutMs);
}

bool FrameFixture::WaitFrameGone(int timeoutMs) {
    return RunLoopUntil(
        [this] {
            // Destroyed windows are deleted at idle time.
            if (FrameAlive() && wxTheApp) wxTheApp->ProcessIdle();
            return !FrameAlive();
        },
        timeoutMs);
}

std::string FrameFixture::ReadoutText(int index) const {
    jwxNVUDisp* readout = FrameAlive() ? frame->GetReadout(index) : nullptr;
    if (!readout) return "<none>";
    return readout->GetValueLabel()->GetLabel().utf8_string();
}

std::string FrameFixture::UnitText(int index) const {
    jwxNVUDisp* readout = FrameAlive() ? frame->GetReadout(index) : nullptr;
    if (!readout || !readout->GetUnitLabel()) return "<none>";
    return readout->GetUnitLabel()->GetLabel().utf8_string();
}

std::string FrameFixture::StatusText() const {
    if (!FrameAlive() || !frame->GetStatusBar()) return std::string();
    return frame->GetStatusBar()->GetStatusText(0).utf8_string();
}

bool FrameFixture::PushAndWait(const sim::SimReport& report, int index, const std::string& text, int timeoutMs) {
    if (!panel.PushReport(report)) return false;
    return RunLoopUntil([&] { return ReadoutText(index) == text; }, timeoutMs);
}

bool FrameFixture::PushAndSettle(const sim::SimReport& report) {
    if (!panel.PushReport(report)) return false;
    // The marker alternates between all relays on and all off, so each one is a change.
    const bool on = (++markerTurn % 2) == 1;
    const std::string shown = on ? "X" : "-";
    if (!panel.PushReport(sim::RelayReport(on ? 0x7F : 0x00))) return false;
    return RunLoopUntil(
        [&] {
            return ReadoutText(MyFrame::kRelayReadout) == shown && ReadoutText(MyFrame::kRelayReadout + 6) == shown;
        },
        3000);
}

void FrameFixture::CloseFrame() {
    if (!FrameAlive()) return;
    frame->Close(true);
    EXPECT_TRUE(WaitFrameGone());
    frame = nullptr;
}
