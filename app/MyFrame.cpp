#include "app/MyFrame.h"

#include <wx/config.h>
#include <wx/evtloop.h>
#include <wx/socket.h>
#include <wx/menu.h>
#include <wx/statbox.h>
#include <wx/statusbr.h>

#include <algorithm>

#include "app/FrameIds.h"
#include "app/MyApp.h"
#include "app/SettingsStore.h"
#include "comm/PanelClient.h"
#include "comm/PanelEvents.h"
#include "comm/UniComEvents.h"
#include "comm/jwxUniCom.h"
#include "regulators/RegX.h"
#include "resources/Resources.h"
#include "widgets/FramedBox.h"
#include "widgets/MesgBox.h"
#include "widgets/WaitWindowIndicator.h"
#include "widgets/jwxNVUDisp.h"

namespace {
wxString U8(const char* text) { return wxString::FromUTF8(text); }
}  // namespace

// clang-format off
wxBEGIN_EVENT_TABLE(MyFrame, wxFrame)
    EVT_CLOSE(MyFrame::OnClose)
    EVT_MENU(ID_PORT, MyFrame::OnPortMenu)
    EVT_MENU(ID_PANEL_INFO, MyFrame::OnPanelInfo)
    EVT_MENU(ID_DISP_CONF, MyFrame::OnDispConf)
    EVT_MENU(ID_DISP_LEDS, MyFrame::OnDispLEDs)
    EVT_MENU(ID_T500_FORMAT, MyFrame::OnT500Format)
    EVT_MENU(ID_USER_CALIB, MyFrame::OnUserCalib)
    EVT_MENU(ID_NZONE_INP, MyFrame::OnNZoneInp)
    EVT_MENU(ID_NZONE_RNG, MyFrame::OnNZoneRng)
    EVT_MENU(ID_ANALOG_INP, MyFrame::OnAnalogInp)
    EVT_MENU(ID_LOGIC_CONF, MyFrame::OnLogicConf)
    EVT_MENU(ID_RELAY_CONF, MyFrame::OnRelayConf)
    EVT_MENU(ID_ANALOG_OUT, MyFrame::OnAnalogOut)
    EVT_MENU(ID_ANALOG_CONST, MyFrame::OnAnalogConst)
    EVT_MENU(ID_REG_TYPE, MyFrame::OnRegType)
    EVT_MENU(ID_I420_CALIB, MyFrame::OnI420Calib)
    EVT_MENU(ID_USER_VAR, MyFrame::OnUserVar)
    EVT_MENU(ID_BIN_CONST, MyFrame::OnBinConst)
    EVT_MENU(ID_SAVE_CONFIG, MyFrame::OnSaveConfig)
    EVT_MENU(ID_LOAD_CONFIG, MyFrame::OnLoadConfig)
    EVT_MENU(ID_QUIT, MyFrame::OnQuit)
    EVT_MENU(ID_ABOUT, MyFrame::OnAbout)
    EVT_MENU(ID_REMOTE_ASSIST, MyFrame::OnRemoteAssist)
    EVT_SOCKET(ID_PROXY_SOCKET, MyFrame::OnProxySocket)
    EVT_RADIOBUTTON(wxID_ANY, MyFrame::OnRegRadio)
    EVT_COMMAND(wxID_ANY, EVT_CONNECT_STEP, MyFrame::OnConnectStep)
    EVT_COMMAND(wxID_ANY, EVT_UNICOM, MyFrame::OnUniComEvent)
    EVT_COMMAND(wxID_ANY, EVT_PANEL_DATA, MyFrame::OnPanelData)
    EVT_COMMAND(wxID_ANY, EVT_REGPANEL_LAYOUT, MyFrame::OnRegPanelLayout)
    EVT_COMMAND(wxID_ANY, EVT_ASSIST_CANCEL, MyFrame::OnAssistCancel)
wxEND_EVENT_TABLE()
// clang-format on

MyFrame::MyFrame(const wxString& title, const wxPoint& position, const wxSize& size)
    : wxFrame(nullptr, wxID_ANY, title, position, size, wxDEFAULT_FRAME_STYLE) {
    // Null when the frame runs under another application object (the window tests).
    m_app = dynamic_cast<MyApp*>(wxTheApp);
    m_waitIndicator = std::make_unique<WaitWindowIndicator>(this);
    m_client = new PanelClient(this, m_waitIndicator.get());

    wxTheApp->SetVendorName(wxASCII_STR("VELTRA"));
    wxTheApp->SetAppName(wxASCII_STR("mirex"));
    SetIcon(LoadIconResource(wxASCII_STR("ICO_1")));
    InstallSettingsStore();

    BuildMenuBar();
    EnableMenus(false);
    CreateStatusBar(1, wxSTB_DEFAULT_STYLE, 0, wxASCII_STR("status_line"));
    BuildMainPanel();
    RestoreGeometry();

    // Idle events reach only the windows that ask for them (the program sets that mode before
    // any window is made): the frame asks, as a close put off while a request waited, and a
    // view still showing another panel, are dealt with there.
    SetExtraStyle(GetExtraStyle() | wxWS_EX_PROCESS_IDLE);
    // The main panel covers the frame's client area: the toolkit's own background will do, with
    // no device context built for an unhandled erase event at every repaint under a new value.
    SetBackgroundStyle(wxBG_STYLE_SYSTEM);
    Bind(wxEVT_IDLE, &MyFrame::OnIdle, this);
    m_baseLoop = wxEventLoopBase::GetActive();
    PostConnectStep(CONNECT_STEP_CONNECT);
}

MyFrame::~MyFrame() {
    RemoveRegulatorView();
    // While no regulator view is shown the regulator box is outside the panel's sizer tree, so
    // nothing else deletes it (it takes its static box along).
    if (m_regBoxSizer && m_rowSizer && !m_rowSizer->GetItem(m_regBoxSizer)) delete m_regBoxSizer;
    delete m_client;
}

void MyFrame::BuildMenuBar() {
    auto* program = new wxMenu;
    program->Append(ID_PORT, U8("Port &szeregowy..."));
    program->Append(ID_REMOTE_ASSIST, U8("Zdalna asysta..."));
    program->Append(ID_ABOUT, U8("O &programie..."));
    program->AppendSeparator();
    program->Append(ID_QUIT, U8("W&yjście"));

    auto* analogInputs = new wxMenu;
    analogInputs->Append(ID_ANALOG_INP, U8("&Rodzaj we analogowych..."));
    analogInputs->Append(ID_I420_CALIB, U8("Kalibracja &we 4-20mA..."));
    analogInputs->Append(ID_USER_VAR, U8("&Zmienne użytkownika..."));
    analogInputs->Append(ID_USER_CALIB, U8("&Kalibracja użytkownika..."));
    auto* outputs = new wxMenu;
    outputs->Append(ID_RELAY_CONF, U8("Wyjścia &przekaźnikowe..."));
    outputs->Append(ID_ANALOG_OUT, U8("Wyjścia &analogowe..."));
    auto* logic = new wxMenu;
    logic->Append(ID_LOGIC_CONF, U8("Bramki logiczne..."));
    logic->Append(ID_NZONE_INP, U8("Przełączanie strefy (czasowej)..."));
    logic->Append(ID_NZONE_RNG, U8("Przedział czasu zegara..."));
    auto* constants = new wxMenu;
    constants->Append(ID_ANALOG_CONST, U8("Stałe analogowe..."));
    constants->Append(ID_BIN_CONST, U8("Stałe binarne..."));
    auto* communication = new wxMenu;
    communication->Append(ID_T500_FORMAT, U8("Format wy T500..."));
    communication->Append(ID_DISP_CONF, U8("Wyświetlacze A B..."));
    communication->Append(ID_DISP_LEDS, U8("Kontrolki D1 D2..."));

    auto* settings = new wxMenu;
    settings->AppendSubMenu(analogInputs, U8("W&ejścia analogowe"));
    settings->AppendSubMenu(outputs, U8("W&yjścia"));
    settings->AppendSubMenu(logic, U8("Funkcje logiczne"));
    settings->AppendSubMenu(constants, U8("Stałe użytkownika"));
    settings->AppendSubMenu(communication, U8("Komunikacja"));
    settings->Append(ID_REG_TYPE, U8("Kanały regulacji"));
    settings->Append(ID_PANEL_INFO, U8("Informacje o urządzeniu"));
    settings->AppendSeparator();
    settings->Append(ID_SAVE_CONFIG, U8("Zachowaj do pliku..."));
    settings->Append(ID_LOAD_CONFIG, U8("Ładuj z pliku..."));

    auto* bar = new wxMenuBar;
    bar->Append(program, U8("&Program"));
    bar->Append(settings, U8("&Ustawienia"));
    SetMenuBar(bar);
}

void MyFrame::BuildMainPanel() {
    m_mainPanel = new wxPanel(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxTAB_TRAVERSAL | wxNO_BORDER);
    m_mainSizer = new wxBoxSizer(wxVERTICAL);

    auto* selector = new wxStaticBoxSizer(new FramedBox(m_mainPanel, wxID_ANY, U8("Regulator")), wxHORIZONTAL);
    m_mainSizer->Add(selector, 0, wxTOP, 8);
    static const char* const kRadioLabels[] = {"R1", "R2", "R3", "R4"};
    for (int i = 0; i < 4; ++i) {
        m_regRadio[i] = new wxRadioButton(m_mainPanel, ID_REG_1 + i, wxASCII_STR(kRadioLabels[i]));
        selector->Add(m_regRadio[i], 0, wxRIGHT, 4);
    }
    m_regRadio[4] = new wxRadioButton(m_mainPanel, ID_REG_NONE, wxASCII_STR("-"));
    selector->Add(m_regRadio[4]);
    m_regRadio[4]->SetValue(true);

    m_rowSizer = new wxBoxSizer(wxHORIZONTAL);
    m_mainSizer->Add(m_rowSizer, 1, wxEXPAND, 0);
    m_readoutBoxSizer = new wxStaticBoxSizer(new FramedBox(m_mainPanel, wxID_ANY, wxEmptyString), wxVERTICAL);
    m_regBoxSizer = new wxStaticBoxSizer(new FramedBox(m_mainPanel, wxID_ANY, U8("Regulator")), wxVERTICAL);
    m_rowSizer->Add(m_readoutBoxSizer, 0, wxEXPAND | wxALL, 1);
    m_rowSizer->Add(m_regBoxSizer, 0, wxEXPAND | wxALL, 1);
    // The regulator box stays off screen until a regulator view is shown.
    m_rowSizer->Hide(m_regBoxSizer, true);
    m_rowSizer->Detach(m_regBoxSizer);
    m_readoutSizer = new wxBoxSizer(wxVERTICAL);
    m_readoutBoxSizer->Add(m_readoutSizer);

    auto* relays = new wxStaticBoxSizer(new FramedBox(m_mainPanel, wxID_ANY, U8("Przekaźniki")), wxHORIZONTAL);
    m_readoutBoxSizer->Add(relays, 0, wxALL, 5);
    static const char* const kRelayNames[] = {"P1", "P2", "P3", "P4", "P5", "E1", "E2"};
    for (int i = 0; i < 7; ++i) {
        auto* relay = new jwxNVUDisp(m_mainPanel, wxASCII_STR(kRelayNames[i]), wxASCII_STR("X"), wxEmptyString, 0,
                                     wxALIGN_CENTRE, 0, 1, 1);
        m_readouts[kRelayReadout + i] = relay;
        if (i == 0) {
            relays->Add(relay, 0, wxEXPAND);
        } else {
            relays->Add(relay, 0, wxEXPAND | wxLEFT, 5);
        }
    }

    auto* clock = new wxStaticBoxSizer(new FramedBox(m_mainPanel, wxID_ANY, U8("Zegar")), wxHORIZONTAL);
    m_readoutBoxSizer->Add(clock, 0, wxALL, 5);
    m_readouts[kClockDateReadout] =
        new jwxNVUDisp(m_mainPanel, wxEmptyString, wxASCII_STR("01-01-2000"), wxEmptyString, 0, 0, 0, 1, 1);
    m_readouts[kClockTimeReadout] =
        new jwxNVUDisp(m_mainPanel, wxEmptyString, wxASCII_STR("02:28:00"), wxEmptyString, 0, 0, 0, 1, 1);
    clock->Add(m_readouts[kClockDateReadout], 0, wxEXPAND);
    clock->Add(m_readouts[kClockTimeReadout], 0, wxEXPAND | wxLEFT, 4);

    m_mainPanel->SetSizer(m_mainSizer, true);
    m_mainSizer->SetSizeHints(this);
    FitToPanel();
}

void MyFrame::RestoreGeometry() {
    wxConfigBase* store = wxConfigBase::Get();
    long x = store->ReadLong(wxASCII_STR("/main/x"), -1);
    long y = store->ReadLong(wxASCII_STR("/main/y"), -1);
    long width = store->ReadLong(wxASCII_STR("/main/wi"), -1);
    long height = store->ReadLong(wxASCII_STR("/main/he"), -1);
    SetSize(static_cast<int>(x), static_cast<int>(y), static_cast<int>(width), static_cast<int>(height),
            wxSIZE_USE_EXISTING);
}

void MyFrame::EnableMenus(bool enable) {
    wxMenuBar* bar = GetMenuBar();
    if (!bar) return;
    for (size_t i = 0; i < bar->GetMenuCount(); ++i) bar->EnableTop(i, enable);
    // Assistance hands over a connected panel; it stays off while the "Program" menu alone is
    // offered to connect again.
    bar->Enable(ID_REMOTE_ASSIST, enable);
}

namespace {
// Width the frame needs to show its status text whole; 0 without a text.
int StatusTextWidth(const wxFrame* frame) {
    wxStatusBar* status = frame->GetStatusBar();
    if (!status || status->GetStatusText(0).empty()) return 0;
    wxRect field;
    if (!status->GetFieldRect(0, field)) return 0;
    // Text plus what the frame's width spends beside the field (borders), the size grip drawn
    // at the field's end (about as wide as the bar is high) and the margins the bar keeps on
    // both sides of the text.
    const int kTextMargins = 2 * 4;
    const int grip = status->HasFlag(wxSTB_SIZEGRIP) ? status->GetSize().GetHeight() : 0;
    return status->GetTextExtent(status->GetStatusText(0)).GetWidth() +
           (frame->GetSize().GetWidth() - field.GetWidth()) + grip + kTextMargins;
}
}  // namespace

void MyFrame::FitToPanel() {
    m_mainPanel->Layout();
    wxSize fitting = m_mainSizer->ComputeFittingWindowSize(this);
    // The panel identification in the status bar is not to be cut short either.
    fitting.SetWidth(std::max(fitting.GetWidth(), StatusTextWidth(this)));
    const wxSize current = GetSize();
    if (current.GetHeight() != m_fittedHeight) m_userHeight = current.GetHeight();
    SetMinSize(fitting);
    SetSize(fitting.GetWidth(), std::max(fitting.GetHeight(), m_userHeight));
    m_fittedHeight = GetSize().GetHeight();
}

void MyFrame::ShowStatusText(const wxString& text) {
    SetStatusText(text, 0);
    // Grown past the window (a reconnect, a panel that is then rejected): refit now rather than
    // only when the read-outs are built.
    if (StatusTextWidth(this) > GetSize().GetWidth()) FitToPanel();
}

void MyFrame::SaveGeometry() {
    wxConfigBase* store = wxConfigBase::Get();
    wxPoint position = GetPosition();
    wxSize size = GetSize();
    store->Write(wxASCII_STR("/main/x"), static_cast<long>(position.x));
    store->Write(wxASCII_STR("/main/y"), static_cast<long>(position.y));
    store->Write(wxASCII_STR("/main/wi"), static_cast<long>(size.GetWidth()));
    store->Write(wxASCII_STR("/main/he"), static_cast<long>(size.GetHeight()));
    store->Flush();
}

jwxNVUDisp* MyFrame::GetReadout(int index) const {
    return index >= 0 && index < kReadoutCount ? m_readouts[index] : nullptr;
}

void MyFrame::SetRegulatorView(int regulator, RegX* view) {
    RemoveRegulatorView();
    m_selectedRegType = -1;
    if (view) ShowRegulatorView(regulator, view);
}

bool MyFrame::CanCloseNow() const {
    if (m_stepRunning || m_client->IsBusy()) return false;
    if (!m_baseLoop) return true;
    wxEventLoopBase* active = wxEventLoopBase::GetActive();
    return active == m_baseLoop && !active->IsYielding();
}

void MyFrame::CompletePendingClose() {
    m_closePending = false;
    Close(true);
}

void MyFrame::OnIdle(wxIdleEvent& event) {
    event.Skip();
    // The idle event reaches the frame through the regulator view pushed onto its handler
    // chain, so the work that may delete the view runs once this event is done, not under it.
    if (m_idleWorkQueued || m_shuttingDown || !(m_closePending || m_viewOfOtherPanel) || !CanCloseNow()) return;
    m_idleWorkQueued = true;
    CallAfter(&MyFrame::RunIdleWork);
}

void MyFrame::RunIdleWork() {
    m_idleWorkQueued = false;
    if (m_shuttingDown || !CanCloseNow()) return;  // the next idle time tries again
    if (m_closePending) {
        CompletePendingClose();
    } else if (m_viewOfOtherPanel) {
        BringViewInLine();
    }
}

void MyFrame::OnClose(wxCloseEvent&) {
    if (m_shuttingDown) return;
    if (!CanCloseNow()) {
        // A step or a request waits inside the event loop below this handler: the close is
        // carried out once that wait has returned, never under it. It is not vetoed.
        m_closePending = true;
        return;
    }
    m_shuttingDown = true;
    // The view leaves the handler chain and the regulator box before the window goes.
    RemoveRegulatorView();
    if (m_client->GetState() == CLIENT_STARTED) m_client->Disconnect();
    if (m_client->GetState() == CLIENT_ATTACHED) m_client->Detach();
    if (m_client->GetState() == CLIENT_DRIVER_LOST) DeleteSetting(wxASCII_STR("/com/type"));
    DeleteConnectWaitWindow();
    StopDriver();
    EndAssist();
    SaveGeometry();
    m_closing = true;
    DiscardPendingEvents();
    Destroy();
}

void MyFrame::DiscardPendingEvents() {
    // The worker has been joined, so nothing adds to the queue any more.
    while (m_pendingEvents && !m_pendingEvents->IsEmpty()) ProcessPendingEvents();
}

void MyFrame::OnQuit(wxCommandEvent&) { Close(true); }

void MyFrame::OnAbout(wxCommandEvent&) {
    wxString text = wxASCII_STR("mirex") + wxASCII_STR(", ver. ") + wxASCII_STR("0.9.5");
    MesgBox(this, text, wxASCII_STR("Info"), wxOK | wxICON_INFORMATION);
}
