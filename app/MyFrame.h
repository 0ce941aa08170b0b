// The program's single main window: owns the panel connection (PanelClient and the current
// driver), the live read-outs, the shown regulator view and the remote-assistance socket.
#pragma once

#include <wx/frame.h>
#include <wx/panel.h>
#include <wx/radiobut.h>
#include <wx/sizer.h>

#include <cstdint>

class MyApp;
struct DecimalValue;
struct ParamValue;
class PanelClient;
struct PanelIdent;
class ReplyRecord;
class RegX;
class WaitWindow;
class jwxNVUDisp;
class jwxUniCom;
class wxSocketClient;
class wxSocketEvent;
class AssistMon;

class MyFrame : public wxFrame {
public:
    static constexpr int kReadoutCount = 29;
    static constexpr int kRelayReadout = 20;      // 20..26: P1..P5, E1, E2
    static constexpr int kClockDateReadout = 27;
    static constexpr int kClockTimeReadout = 28;

    MyFrame(const wxString& title, const wxPoint& position, const wxSize& size);
    ~MyFrame() override;

    void EnableMenus(bool enable);
    void FitToPanel();
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
    // Shows a regulator view (the frame keeps it and hands it its regulator's status reports).
    void SetRegulatorView(int regulator, RegX* view);

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
    // True when no handler below this one waits inside the event loop.
    bool CanCloseNow() const;
    void CompletePendingClose();
    void OnIdle(wxIdleEvent& event);
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
    jwxUniCom* m_driver = nullptr;
    bool m_connected = false;
    bool m_readoutsBuilt = false;
    jwxNVUDisp* m_readouts[kReadoutCount] = {};
    uint16_t m_panelType = 0;
    uint8_t m_fwLetter = 0;
    uint8_t m_fwMajor = 0;
    uint8_t m_fwMinor = 0;
    uint32_t m_serial = 0;
    uint8_t m_inputConfig[7] = {};
    uint8_t m_slotConfig[4] = {};
    int m_selectedReg = -1;
    RegX* m_regPanel = nullptr;
    wxSocketClient* m_proxySocket = nullptr;
    int m_assistState = 0;
    int m_fromProxy = 0;
    int m_fromDevice = 0;
    AssistMon* m_assistMon = nullptr;

    // --- Configuration commands (MyFrameConfig.cpp) ---

    // --- Live editors (MyFrameEditors.cpp) ---
public:
    // The editors' callbacks: read or write one record (gate 0..15, relay output 0..6, analog
    // output or multiplexer 0..3) without a wait window; 0 on success, -1 on failure, and -1
    // without any request for an index outside the area or while the panel is not connected.
    static int ReadLogicGate(MyFrame* owner, int n, ParamValue** values);
    static int WriteLogicGate(MyFrame* owner, int n, const uint8_t* record);
    static int ReadRelay(MyFrame* owner, int n, ParamValue** values);
    static int WriteRelay(MyFrame* owner, int n, const uint8_t* record);
    static int ReadAnalogOutput(MyFrame* owner, int n, ParamValue** values);
    static int WriteAnalogOutput(MyFrame* owner, int n, const uint8_t* sources, const DecimalValue* values,
                                 const int16_t* limits);

private:
    int ReadRecordCodes(const uint16_t* codes, int count, ParamValue** values);
    int WriteRecords(ParamValue** records, int count);

    // --- Regulator selection (MyFrameRegulators.cpp) ---

    // --- Backup file (MyFrameBackup.cpp) ---

    // --- Remote assistance (MyFrameAssist.cpp) ---

    // Connection sequence state.
    WaitWindow* m_connectWait = nullptr;
    bool m_stepRunning = false;
    // A close asked for while a step or request waits inside the event loop is carried out
    // once that wait has returned, so the frame is never destroyed under a running handler.
    bool m_closePending = false;
    bool m_shuttingDown = false;  // the close sequence runs: no further connection steps
    bool m_closing = false;       // the driver is gone: queued events are only freed
    class wxEventLoopBase* m_baseLoop = nullptr;  // the loop that dispatches the frame's steps

    wxDECLARE_EVENT_TABLE();
};
