// The main window's connection manager: turns the stored settings into a running driver,
// handles every driver event, identifies and checks the panel, and falls back to the port
// dialog whenever something fails. Driven by EVT_CONNECT_STEP events whose id is the step.
#include <wx/choicdlg.h>
#include <wx/config.h>
#include <wx/evtloop.h>
#include <wx/log.h>
#include <wx/menu.h>
#include <wx/textdlg.h>

#include <cstring>
#include <vector>

#include "app/DlgComPort.h"
#include "app/FrameIds.h"
#include "app/MyFrame.h"
#include "app/ProxyHost.h"
#include "app/SettingsStore.h"
#include "comm/PanelClient.h"
#include "comm/ProxySettings.h"
#include "comm/jwxFtdiUSB.h"
#include "comm/jwxSerial.h"
#include "comm/jwxTCP.h"
#include "platform/UsbBridge.h"
#include "widgets/CentreHook.h"
#include "widgets/MesgBox.h"
#include "widgets/WaitWindow.h"

namespace {
wxString U8(const char* text) { return wxString::FromUTF8(text); }

const int kNoticeStyle = wxOK | wxICON_EXCLAMATION;  // 0x104
const int kStopStyle = wxICON_HAND;                  // 0x200

void Notice(wxWindow* parent, const wxString& text) { MesgBox(parent, text, wxEmptyString, kNoticeStyle); }

// Field n (1-based) of a remote node text: fields end with ';' or a line feed.
std::string NodeField(const char* text, int n) {
    const char* start = text;
    for (int field = 1; field < n; ++field) {
        const char* end = start + std::strcspn(start, ";\n");
        if (*end == '\0') return std::string();
        start = end + 1;
    }
    return std::string(start, std::strcspn(start, ";\n"));
}
}  // namespace

void MyFrame::PostConnectStep(int step) {
    wxCommandEvent event(EVT_CONNECT_STEP, step);
    AddPendingEvent(event);
}

void MyFrame::OnConnectStep(wxCommandEvent& event) {
    if (m_closing || m_stepRunning) return;  // dropped, not deferred
    if (!m_baseLoop) m_baseLoop = wxEventLoopBase::GetActive();
    m_stepRunning = true;
    RunConnectStep(event.GetId());
    m_stepRunning = false;
    if (m_closePending) CompletePendingClose();
}

void MyFrame::RunConnectStep(int step) {
    switch (step) {
        case CONNECT_STEP_CONNECT:
            m_driver = CreateDriver();
            if (!m_driver) {
                PostConnectStep(CONNECT_STEP_CHOOSE_PORT);
                break;
            }
            m_connectWait = new WaitWindow(this, U8("Inicjalizacja połączenia ..."), U8("Czekajka"), wxRESIZE_BORDER,
                                           wxID_ANY);
            m_driver->Start();
            break;
        case CONNECT_STEP_OPENED:
            DeleteConnectWaitWindow();
            if (CheckConfiguration()) {
                m_connected = true;
                EnableMenus(true);
                FitReadoutsToConfiguration();
                MarkViewStale();
            } else if (m_client->GetState() != CLIENT_DRIVER_LOST) {
                Notice(this, U8("Komunikacja nie została nawiązana"));
                m_client->Detach();
                PostConnectStep(CONNECT_STEP_FAILED);
            }
            break;
        case CONNECT_STEP_FAILED:
            DeleteConnectWaitWindow();
            StopDriver();
            Notice(this, U8("Błąd otwierania portu"));
            PostConnectStep(CONNECT_STEP_CHOOSE_PORT);
            break;
        case CONNECT_STEP_CHOOSE_PORT:
            if (ChoosePort() == 0) {
                PostConnectStep(CONNECT_STEP_CONNECT);
            } else {
                Close(false);
            }
            break;
        case CONNECT_STEP_RECONNECT:
            EnableMenus(false);
            m_client->Disconnect();
            m_client->Detach();
            StopDriver();
            ShowNotConnected();
            PostConnectStep(CONNECT_STEP_CONNECT);
            break;
        default:
            break;
    }
}

void MyFrame::DeleteConnectWaitWindow() {
    delete m_connectWait;
    m_connectWait = nullptr;
}

void MyFrame::StopDriver() {
    if (!m_driver) return;
    m_driver->Stop();
    delete m_driver;
    m_driver = nullptr;
}

void MyFrame::ShowNotConnected() {
    m_connected = false;
    BlankReadouts();
    MarkViewStale();
    ShowStatusText(U8("Brak połączenia z panelem"));
}

void MyFrame::OnLinkClosedByProxy() {
    const bool wasConnected = m_connected;
    // No request waits for the link through its retries: one that runs returns at once.
    DeleteConnectWaitWindow();
    m_client->Detach();
    StopDriver();
    if (wasConnected) {
        ShowNotConnected();
        EnableMenus(false);
        // A connection step that runs goes on to its own failure road; otherwise "Port
        // szeregowy..." stays reachable to connect again.
        if (!m_stepRunning) GetMenuBar()->EnableTop(0, true);
    }
    Notice(this, U8("Połączenie zostało zamknięte przez proxy"));
}

void MyFrame::OnUniComEvent(wxCommandEvent& event) {
    // Events still queued from a driver that has since been stopped and deleted (or while the
    // window is going away) are not acted on: only the line buffer they carry is freed. A node
    // list of such a driver points into memory that is gone, so it must not be read.
    if (m_closing || !m_driver || event.GetId() != m_driver->GetEventId()) {
        if (event.GetInt() == UNICOM_EV_LINE) delete static_cast<ByteBuffer*>(event.GetClientData());
        return;
    }
    switch (event.GetInt()) {
        case UNICOM_EV_OPENED:
            wxLogVerbose(wxASCII_STR("Port opened"));
            m_client->Attach(m_driver);
            PostConnectStep(CONNECT_STEP_OPENED);
            break;
        case UNICOM_EV_OPEN_FAILED:
            if (!event.GetString().empty()) Notice(this, event.GetString());
            PostConnectStep(CONNECT_STEP_FAILED);
            break;
        case UNICOM_EV_IDLE:
            wxLogVerbose(wxASCII_STR("Timeout in rx"));
            break;
        case UNICOM_EV_INFO:
            wxLogVerbose(wxASCII_STR("%s"), event.GetString());
            break;
        case UNICOM_EV_WARNING:
            wxLogWarning(wxASCII_STR("%s"), event.GetString());
            break;
        case UNICOM_EV_ERROR:
            wxLogError(wxASCII_STR("%s"), event.GetString());
            break;
        case UNICOM_EV_LINE: {
            auto* line = static_cast<ByteBuffer*>(event.GetClientData());
            m_client->OnLine(line);
            ForwardToProxy(line);
            delete line;
            break;
        }
        case UNICOM_EV_STOPPED:
            wxLogError(wxASCII_STR("Unicom driver stopped"));
            // No wait window stays up under the message: nothing is awaited any more.
            DeleteConnectWaitWindow();
            m_client->OnDriverStopped();
            Notice(this, U8("Błąd w driverze obsługującym komunikację"));
            Close(false);
            break;
        case UNICOM_EV_PEER_CLOSED:
            OnLinkClosedByProxy();
            break;
        case UNICOM_EV_NODE_LIST:
            ChooseRemoteNode(event);
            break;
        default:
            break;
    }
}

void MyFrame::ChooseRemoteNode(wxCommandEvent& event) {
    auto** nodes = static_cast<char**>(event.GetClientData());
    long count = event.GetExtraLong();
    wxArrayString items;
    for (long i = 0; i < count && nodes; ++i) {
        const char* text = nodes[i] ? nodes[i] : "";
        std::string shown = NodeField(text, 3) + " / nr=" + NodeField(text, 2) + " / fv=" + NodeField(text, 4);
        items.Add(wxString::FromUTF8(shown.c_str()));
    }
    int chosen = -1;
    {
        wxSingleChoiceDialog dialog(this, U8("Wybierz zdalne urządzenia:"), U8("Połączenie TCP"), items, nullptr,
                                    wxCHOICEDLG_STYLE);
        InstallCentreHook();
        if (dialog.ShowModal() == wxID_OK) chosen = dialog.GetSelection();
        RemoveCentreHook();
    }
    // The worker waits for this answer, also when the user cancelled.
    if (m_driver) m_driver->PostToThread(UNICOM_SELECT, static_cast<uintptr_t>(static_cast<intptr_t>(chosen)), 0);
}

jwxUniCom* MyFrame::CreateDriver() {
    wxConfigBase* store = wxConfigBase::Get();
    wxString type = store->Read(wxASCII_STR("/com/type"), wxEmptyString);
    wxString name = store->Read(wxASCII_STR("/com/name"), wxEmptyString);
    if (type == wxASCII_STR("COM")) {
        if (!name.empty()) return new jwxSerial(this, name);
        DeleteSetting(wxASCII_STR("/com/type"));
        return nullptr;
    }
    if (type == wxASCII_STR("USB")) {
        if (platform::UsbBridgeAvailable()) return new jwxFtdiUSB(this);
        Notice(this, U8("Nie udało się załadować ftd2xx.dll"));
        return nullptr;
    }
    if (type == wxASCII_STR("IP")) {
        wxString password;
        {
            wxPasswordEntryDialog dialog(this, U8("Hasło do proxy"), U8("Hasło"), wxEmptyString, wxOK);
            InstallCentreHook();
            dialog.ShowModal();
            RemoveCentreHook();
            password = dialog.GetValue();
        }
        wxCharBuffer ascii = password.ToAscii('_');
        return new jwxTCP(this, ProxyHostText().c_str(), kProxyDefaultPort, ascii.data());
    }
    DeleteSetting(wxASCII_STR("/com/type"));
    DeleteSetting(wxASCII_STR("/com/name"));
    return nullptr;
}

bool MyFrame::IdentifyPanel(const PanelIdent* ident) {
    uint8_t letter = ident->GetVersionLetter();
    uint8_t major = ident->GetVersionMajor();
    uint8_t minor = ident->GetVersionMinor();
    wxString status = wxString::Format(wxASCII_STR("Panel QM-%03X, ver. "), static_cast<unsigned>(ident->typeCode));
    if (letter != 0) {
        status += wxString::Format(wxASCII_STR("%c.%d.%d"), static_cast<char>(64 + letter), major, minor);
    } else {
        status += wxString::Format(wxASCII_STR("%d.%d"), major, minor);
    }
    if (!(ident->flags & 1)) status += wxString::Format(wxASCII_STR(", nr %u"), static_cast<unsigned>(ident->serial));
    ShowStatusText(status);

    bool accepted = true;
    if (ident->typeCode != 0x352) {
        MesgBox(this, wxString::Format(U8("Panel QM-%03X nie jest obsługiwany"), static_cast<unsigned>(ident->typeCode)),
                U8("Błąd"), kStopStyle);
        accepted = false;
    } else if ((ident->version & 0xFFFF00) != 0x300) {
        MesgBox(this, U8("Program obsługuje panel QM-352A w wersji 3.x"), U8("Błąd"), kStopStyle);
        accepted = false;
    }
    m_panelType = ident->typeCode;
    m_fwLetter = letter;
    m_fwMajor = major;
    m_fwMinor = minor;
    m_serial = ident->serial;
    return accepted;
}

bool MyFrame::CheckConfiguration() {
    PanelIdent* ident = m_client->Connect();
    if (!ident) {
        // An identify reply too short to use still had the reports started: stop them again,
        // so the panel does not go on pushing to a window that is not connected.
        if (m_client->GetState() == CLIENT_STARTED) m_client->Disconnect();
        return false;
    }
    if (!IdentifyPanel(ident)) {
        delete ident;
        m_client->Disconnect();
        return false;
    }
    PanelSlotConfig* slots = m_client->ReadSlotConfig();
    if (!slots) {
        delete ident;
        m_client->Disconnect();
        return false;
    }
    static const uint16_t kInputConfigCodes[7] = {204, 205, 206, 207, 208, 209, 210};
    ParamValue* values[7] = {};
    int status = m_client->ReadParams(7, values, kInputConfigCodes, true);
    if (status != PARAM_OK && status != PARAM_DATA_ERROR) {
        delete ident;
        delete slots;
        m_client->Disconnect();
        return false;
    }
    if (status == PARAM_DATA_ERROR) {
        MesgBox(this,
                U8("Błąd danych w obszarze\nkonfiguracji użytkownika (Cn2)\n\nSugerowane jest wykonanie naprawy\n"
                   "błędu Cn2 (patrz instrukcja), a następnie\nzaładowanie prawidłowej konfiguracji z pliku,\n"
                   "Menu: Ustawienia -> Ładuj z pliku..."),
                U8("Błąd"), kStopStyle);
    }
    std::memcpy(m_slotConfig, slots->slotKinds, sizeof m_slotConfig);
    for (int i = 0; i < 7; ++i) m_inputConfig[i] = status == PARAM_OK && values[i] ? values[i]->GetU8() : 0;
    delete ident;
    delete slots;
    for (ParamValue* value : values) delete value;
    return true;
}

void MyFrame::OnPortMenu(wxCommandEvent&) {
    if (ChoosePort() == 0) PostConnectStep(CONNECT_STEP_RECONNECT);
}

int MyFrame::ChoosePort() {
    DlgComPort dialog(this, U8("Port komunikacyjny"), wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER, wxID_ANY);
    return dialog.ShowModal() == wxID_OK ? 0 : -1;
}
