// The program's single main window: owns the panel connection (PanelClient and the current
// driver), the live read-outs, the shown regulator view and the remote-assistance socket.
#pragma once

#include <wx/frame.h>
#include <wx/panel.h>
#include <wx/radiobut.h>
#include <wx/sizer.h>
#include <wx/timer.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include "comm/HostLookup.h"
#include "dialogs/LiveEditorOwner.h"

class MyApp;
struct DecimalValue;
struct ParamValue;
class PanelClient;
struct PanelIdent;
class ReplyRecord;
class RegX;
class WaitIndicator;
class WaitWindow;
class jwxNVUDisp;
class jwxUniCom;
class wxSocketClient;
class wxSocketEvent;
class AssistMon;

class MyFrame : public wxFrame, public LiveEditorOwner {
public:
    static constexpr int kReadoutCount = 29;
    static constexpr int kRelayReadout = 20;      // 20..26: P1..P5, E1, E2
    static constexpr int kClockDateReadout = 27;
    static constexpr int kClockTimeReadout = 28;

    MyFrame(const wxString& title, const wxPoint& position, const wxSize& size);
    ~MyFrame() override;

    void EnableMenus(bool enable);
    void FitToPanel();
    // Status bar text; the window widens when the text would not fit.
    void ShowStatusText(const wxString& text);
    void SaveGeometry();

    // Connection sequence.
    jwxUniCom* CreateDriver();
    bool IdentifyPanel(const PanelIdent* ident);
    bool CheckConfiguration();
    int ChoosePort();
    void PostConnectStep(int step);

    // Live read-outs.
    void BuildReadoutPanel();
    void UpdateReadouts(const ReplyRecord* record);
    // Builds the read-outs for the configuration just read, unless those shown were built for
    // the same one; a different panel (or a board changed since) gets its own boxes.
    void FitReadoutsToConfiguration();

    // Relays a received panel line to the remote-assistance socket while assistance runs.
    void ForwardToProxy(const class ByteBuffer* line);

    // Read access for the program's other windows and for tests.
    PanelClient* GetClient() const { return m_client; }
    jwxUniCom* GetDriver() const { return m_driver; }
    bool IsConnected() const { return m_connected; }
    bool AreReadoutsBuilt() const { return m_readoutsBuilt; }
    jwxNVUDisp* GetReadout(int index) const;
    const uint8_t* GetInputConfig() const { return m_inputConfig; }
    const uint8_t* GetSlotConfig() const { return m_slotConfig; }
    wxPanel* GetMainPanel() const { return m_mainPanel; }
    // Firmware of the connected panel as major * 100 + minor (3.03 gives 303).
    int FirmwareVersion() const { return m_fwMajor * 100 + m_fwMinor; }
    // Shows a regulator view in place of the shown one (the frame keeps it and hands it its
    // regulator's status reports); null only removes the shown view.
    void SetRegulatorView(int regulator, RegX* view);

    // Remote assistance, for tests and the benchmark.
    AssistMon* GetAssistMon() const { return m_assistMon; }
    bool IsAssisting() const { return m_assistMon != nullptr; }
    int GetAssistState() const { return m_assistState; }
    wxSocketClient* GetProxySocket() const { return m_proxySocket; }
    // Bytes for the proxy that its socket has not taken yet.
    size_t GetToProxyBacklog() const { return m_toProxy.size(); }
    // Bytes read from the proxy that still wait in the driver for the panel.
    long GetToPanelBacklog() const { return m_toPanelPending ? m_toPanelPending->load() : 0; }
    // Shortens the time allowed for the proxy's name lookup and for connecting (tests).
    void SetAssistStepTimeoutMs(int ms) { m_assistStepMs = ms; }

private:
    void BuildMenuBar();
    void BuildMainPanel();
    void RestoreGeometry();

    // Event table handlers.
    void OnClose(wxCloseEvent& event);
    void OnPortMenu(wxCommandEvent& event);
    void OnPanelInfo(wxCommandEvent& event);
    void OnDispConf(wxCommandEvent& event);
    void OnDispLEDs(wxCommandEvent& event);
    void OnT500Format(wxCommandEvent& event);
    void OnUserCalib(wxCommandEvent& event);
    void OnNZoneInp(wxCommandEvent& event);
    void OnNZoneRng(wxCommandEvent& event);
    void OnAnalogInp(wxCommandEvent& event);
    void OnLogicConf(wxCommandEvent& event);
    void OnRelayConf(wxCommandEvent& event);
    void OnAnalogOut(wxCommandEvent& event);
    void OnAnalogConst(wxCommandEvent& event);
    void OnRegType(wxCommandEvent& event);
    void OnI420Calib(wxCommandEvent& event);
    void OnUserVar(wxCommandEvent& event);
    void OnBinConst(wxCommandEvent& event);
    void OnSaveConfig(wxCommandEvent& event);
    void OnLoadConfig(wxCommandEvent& event);
    void OnQuit(wxCommandEvent& event);
    void OnAbout(wxCommandEvent& event);
    void OnRemoteAssist(wxCommandEvent& event);
    void OnProxySocket(wxSocketEvent& event);
    void OnRegRadio(wxCommandEvent& event);
    void OnConnectStep(wxCommandEvent& event);
    void OnUniComEvent(wxCommandEvent& event);
    void OnPanelData(wxCommandEvent& event);
    void OnRegPanelLayout(wxCommandEvent& event);
    void OnAssistCancel(wxCommandEvent& event);

    // Connection sequence helpers.
    void RunConnectStep(int step);
    void ChooseRemoteNode(wxCommandEvent& event);
    void DeleteConnectWaitWindow();
    void StopDriver();
    // The window no longer shows a panel: read-outs blank, the status bar says so.
    void ShowNotConnected();
    // The proxy ended the link: nothing waits for it any more, the driver goes, and the port
    // menu is left to connect again.
    void OnLinkClosedByProxy();
    // True when no handler below this one waits inside the event loop.
    bool CanCloseNow() const;
    void CompletePendingClose();
    void OnIdle(wxIdleEvent& event);
    void RunIdleWork();  // what waited for a moment when nothing runs below
    // Frees what queued events still carry once the driver has stopped.
    void DiscardPendingEvents();

    MyApp* m_app = nullptr;
    wxPanel* m_mainPanel = nullptr;
    wxBoxSizer* m_mainSizer = nullptr;
    wxBoxSizer* m_rowSizer = nullptr;
    wxBoxSizer* m_readoutSizer = nullptr;
    wxStaticBoxSizer* m_regBoxSizer = nullptr;
    wxStaticBoxSizer* m_readoutBoxSizer = nullptr;
    wxRadioButton* m_regRadio[5] = {};
    PanelClient* m_client = nullptr;
    std::unique_ptr<WaitIndicator> m_waitIndicator;  // the client's wait window; outlives the client
    jwxUniCom* m_driver = nullptr;
    bool m_connected = false;
    bool m_readoutsBuilt = false;
    jwxNVUDisp* m_readouts[kReadoutCount] = {};
    // Input board kind and the kinds of extension slots 0 and 1 the read-outs were built for.
    uint8_t m_readoutLayout[3] = {};
    uint16_t m_panelType = 0;
    uint8_t m_fwLetter = 0;
    uint8_t m_fwMajor = 0;
    uint8_t m_fwMinor = 0;
    uint32_t m_serial = 0;
    uint8_t m_inputConfig[7] = {};
    uint8_t m_slotConfig[4] = {};
    int m_selectedReg = -1;
    int m_selectedRegType = -1;  // the selected channel's type as last read, -1 when not known
    RegX* m_regPanel = nullptr;
    wxSocketClient* m_proxySocket = nullptr;
    int m_assistState = 0;
    int m_fromProxy = 0;
    int m_fromDevice = 0;
    AssistMon* m_assistMon = nullptr;
    // The height the last refit gave the window, and the height the user gave it (a height
    // other than the refit's): a refit keeps the user's height, not one a removed view needed.
    int m_fittedHeight = -1;
    int m_userHeight = 0;

    // --- Configuration commands (MyFrameConfig.cpp) ---

    // --- Live editors (MyFrameEditors.cpp) ---
public:
    // The editors' callbacks: read or write one record (gate 0..15, relay output 0..6, analog
    // output or multiplexer 0..3) without a wait window; 0 on success, -1 on failure, and -1
    // without any request for an index outside the area or while the panel is not connected.
    // The owner is the frame that opened the editor.
    static int ReadLogicGate(LiveEditorOwner* owner, int n, ParamValue** values);
    static int WriteLogicGate(LiveEditorOwner* owner, int n, const uint8_t* record);
    static int ReadRelay(LiveEditorOwner* owner, int n, ParamValue** values);
    static int WriteRelay(LiveEditorOwner* owner, int n, const uint8_t* record);
    static int ReadAnalogOutput(LiveEditorOwner* owner, int n, ParamValue** values);
    static int WriteAnalogOutput(LiveEditorOwner* owner, int n, const uint8_t* sources, const DecimalValue* values,
                                         const int16_t* limits);
    wxWindow* EditorParent() override { return this; }

private:
    int ReadRecordCodes(const uint16_t* codes, int count, ParamValue** values);
    int WriteRecords(ParamValue** records, int count);

    // --- Regulator selection (MyFrameRegulators.cpp) ---
public:
    // The shown regulator view (null when none) and its channel (-1 when none).
    RegX* GetRegulatorView() const { return m_regPanel; }
    int GetSelectedRegulator() const { return m_selectedReg; }
    wxStaticBoxSizer* GetRegulatorBox() const { return m_regBoxSizer; }

private:
    // Reads the channel's type and shows its view (none for a type without one); false when the
    // type read failed ("Błąd odczytu" shown). No view may be shown when it is called.
    bool ShowChannelView(int regulator);
    // The checked selector channel (0..3), -1 for "-".
    int CheckedChannel() const;
    // The panel behind the view changed (a connection made or lost): marks the checked channel's
    // view (or its absence) stale; the idle handler brings it in line once nothing waits below
    // (BringViewInLine).
    void MarkViewStale();
    void BringViewInLine();
    // Places a view in the "Regulator" box and pushes it onto the handler chain.
    void ShowRegulatorView(int regulator, RegX* view);
    // Takes the shown view off the handler chain and out of the sizers, then deletes it; the
    // box leaves the window. Every road that replaces the view or closes the window runs it.
    void RemoveRegulatorView();

    // --- Backup file (MyFrameBackup.cpp) ---
public:
    // Save and load of a backup file at a path already chosen (the menu commands ask for it
    // first). Each runs to its end, keeps the panel's pushed reports off while it reads or
    // writes parameters and tells the user about every failure. The load reads and checks the
    // whole file before its first write and asks before writing a file with skipped lines.
    // True when the whole parameter set was saved, or when every line of the file other than
    // comments and blank ones was a parameter line and all of them were written.
    bool SaveConfigToFile(const wxString& path);
    bool LoadConfigFromFile(const wxString& path);

private:
    WaitWindow* ShowBackupWaitWindow();

    // --- Read-out boxes per configuration (MyFrameReadoutLayout.cpp) ---
    // Destroys the configuration-dependent boxes and forgets their read-outs.
    void RemoveReadoutBoxes();
    // Empties every read-out's value and the shown regulator view's live values, so that nothing
    // shown looks live while no reports arrive (no panel connected, or the reports not switched
    // back on).
    void BlankReadouts();

    // --- Pushed reports switched on again (MyFrameReadouts.cpp) ---
    // Switches the panel's pushed reports on again where they were (or may have been) switched
    // off: by the remote operator, or for a backup. False when that failed while the panel stays
    // connected: the read-outs are blanked then, and the caller tells the user with
    // TellReportsNotResumed (at the moment that suits its own messages).
    bool ResumeReports();
    void TellReportsNotResumed(const wxString& caption);

    // --- Remote assistance (MyFrameAssist.cpp) ---
    static constexpr int kProxyLookupId = 5001;
    static constexpr int kAssistTimerId = 5002;
    void ForwardToPanel();
    void OnProxyLookup(wxThreadEvent& event);
    void OnProxyConnected();
    void OnAssistTimer(wxTimerEvent& event);
    // Writes what the socket takes of the bytes waiting for the proxy.
    void FlushToProxy();
    // Keeps the timer running while a deadline, a paused read or unsent bytes need it.
    void UpdateAssistTimer();
    // Closes the monitor, the socket and the lookup; no message.
    void EndAssist();
    void ShowProxyError(const wxString& message, const wxString& caption);
    void ShowUnknownProxy();

    HostLookup m_proxyLookup{this, kProxyLookupId};
    wxTimer m_assistTimer{this, kAssistTimerId};
    bool m_assistBound = false;
    bool m_lookupRunning = false;
    int m_assistRun = 0;  // tells the events of this assistance from those of an earlier one
    int m_assistStepMs = 0;  // 0: the proxy driver's step time
    std::chrono::steady_clock::time_point m_assistDeadline;
    std::string m_proxyHost;
    int m_proxyPort = 0;
    std::string m_toProxy;  // bytes the socket has not taken yet, in order
    bool m_proxyReadPaused = false;
    std::shared_ptr<std::atomic<long>> m_toPanelPending;

    // Connection sequence state.
    WaitWindow* m_connectWait = nullptr;
    bool m_stepRunning = false;
    // A close asked for while a step or request waits inside the event loop is carried out
    // once that wait has returned, so the frame is never destroyed under a running handler.
    bool m_closePending = false;
    bool m_viewOfOtherPanel = false;  // the view (or its absence) is not yet the connected panel's
    bool m_idleWorkQueued = false;
    bool m_shuttingDown = false;  // the close sequence runs: no further connection steps
    bool m_closing = false;       // the driver is gone: queued events are only freed
    class wxEventLoopBase* m_baseLoop = nullptr;  // the loop that dispatches the frame's steps

    wxDECLARE_EVENT_TABLE();
};
