// The real main window connected to the panel simulator over a pty, for the window benchmarks.
//
// Construction points XDG_CONFIG_HOME at a fresh settings directory and installs the settings
// store. StartPanel() opens the pty and starts the simulator (separate from Connect() so that a
// benchmark can set the simulator up first or note what starting it costs); Connect() stores the
// pty as the serial port, makes and shows the window and waits until it is connected. The
// destructor closes the window, stops the simulator, drops the store and removes the directory.
// Needs an active event loop (RunWindowBenchmark gives one).
#pragma once

#include <wx/frame.h>
#include <wx/weakref.h>

#include <string>

#include "app/MyFrame.h"
#include "sim/PanelSimulator.h"
#include "support/core_Pty.h"

class ConnectedProgram {
public:
    explicit ConnectedProgram(const char* settingsPrefix = "mirex-bench-config");
    ~ConnectedProgram();
    ConnectedProgram(const ConnectedProgram&) = delete;
    ConnectedProgram& operator=(const ConnectedProgram&) = delete;

    // Opens the pty and starts the simulator on it; true when it runs (also when it already did).
    bool StartPanel();
    // Starts the panel if needed, stores "/com/type" = "COM" and "/com/name" = the pty, makes and
    // shows the window and waits up to timeoutMs for the connection.
    bool Connect(int timeoutMs);
    // Closes the window, if one is open, and waits until it is gone.
    void CloseFrame();

    sim::PanelSimulator& Panel() { return panel; }
    // The window; null before Connect() and once it is gone.
    MyFrame* Frame() const { return alive.get(); }
    const std::string& SettingsDir() const { return settingsDir; }

private:
    std::string settingsDir;
    RawPty pty;
    sim::PanelSimulator panel;
    bool panelRunning = false;
    wxWeakRef<MyFrame> alive;
};
