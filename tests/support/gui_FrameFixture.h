// The real main window against the panel simulator.
//
// Each test gets a fresh settings directory (XDG_CONFIG_HOME), a simulated panel on a
// pseudo-terminal and helpers to write the stored keys before the window is made:
//
//     TEST_F(FrameFixture, Connects) {
//         StoreSerialPort();            // "/com/type" = "COM", "/com/name" = the pty
//         CreateFrame();                // the window posts its first connection step
//         ASSERT_TRUE(WaitConnected());
//         EXPECT_EQ(StatusText(), ...);
//     }
//
// The fixture keeps its own descriptor on the pty's terminal side, so the line stays up while
// the program closes and reopens its port (a reconnect); the simulator hangs up only when told.
// The port dialog lists the ports of an empty fixture tree, not the machine's, so confirming it
// keeps the stored port. TearDown closes a window still open, stops the simulator and drops the settings store.
#pragma once

#include <gtest/gtest.h>
#include <wx/string.h>
#include <wx/weakref.h>

#include <string>

#include "app/MyFrame.h"
#include "sim/PanelSimulator.h"
#include "support/core_SysfsFixture.h"
#include "support/core_Pty.h"

class FrameFixture : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // --- Settings, written to the store file before the window reads them ---
    void StoreSetting(const char* key, const std::string& value);
    void DeleteStoredSetting(const char* key);
    // "/com/type" = "COM" and "/com/name" = the simulator's pty.
    void StoreSerialPort();
    // What the store file holds now (read afresh from the file); empty when absent.
    std::string StoredSetting(const char* key) const;
    bool HasStoredSetting(const char* key) const;

    // --- The window ---
    // Makes and shows the main window with a short per-try reply time, so failing requests
    // end quickly. Its connection sequence starts once the event loop runs.
    MyFrame* CreateFrame(int replyTimeoutMs = 300);
    bool WaitConnected(int timeoutMs = 5000);
    // True once the window has been destroyed.
    bool WaitFrameGone(int timeoutMs = 5000);
    bool FrameAlive() const { return frameRef.get() != nullptr; }
    // Value text of read-out index; "<none>" when that read-out was not built.
    std::string ReadoutText(int index) const;
    std::string UnitText(int index) const;
    std::string StatusText() const;
    // Pushes a report and waits until read-out index shows the text.
    bool PushAndWait(const sim::SimReport& report, int index, const std::string& text, int timeoutMs = 3000);
    // Pushes a report, then a relay report as a marker, and waits for the marker: every report
    // before it has been handled when this returns true.
    bool PushAndSettle(const sim::SimReport& report);
    void CloseFrame();

    const std::string& PortPath() const { return pty.slavePath; }

    sim::PanelSimulator panel;
    MyFrame* frame = nullptr;
    wxWeakRef<MyFrame> frameRef;

private:
    std::string configDir;
    std::string previousConfigHome;
    bool hadConfigHome = false;
    RawPty pty;
    unsigned markerTurn = 0;
    SysfsFixture noPorts;
};
