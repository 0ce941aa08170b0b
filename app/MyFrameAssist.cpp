// Device-side remote assistance: the panel connection relayed to a remote operator through the
// proxy. The proxy gets a few greeting lines that announce the panel, then raw bytes both ways:
// what the proxy sends goes to the panel through the frame's driver, every panel line goes to
// the proxy. Everything here runs on the GUI thread; only the name lookup runs beside it.
#include <wx/log.h>
#include <wx/socket.h>

#include <cstdio>

#include "app/AssistMon.h"
#include "app/FrameIds.h"
#include "app/MyFrame.h"
#include "app/ProxyHost.h"
#include "comm/ByteBuffer.h"
#include "comm/PanelClient.h"
#include "comm/ProxyAddress.h"
#include "comm/ProxySettings.h"
#include "comm/jwxTCP.h"
#include "comm/jwxUniCom.h"
#include "widgets/MesgBox.h"

namespace {
wxString U8(const char* text) { return wxString::FromUTF8(text); }

const int kNoticeStyle = wxOK | wxICON_EXCLAMATION;  // 0x104
// Bytes taken from the socket at a time.
constexpr int kReadChunk = 32;
// At most this much read from the proxy waits for the panel (about 4 s at 9600 baud); above it
// reading stops until half of it has gone out.
constexpr long kToPanelLimit = 4096;
// Timer period while connecting, while reading is paused or bytes wait for the proxy.
constexpr int kAssistTickMs = 20;
}  // namespace

void MyFrame::OnRemoteAssist(wxCommandEvent&) {
    if (m_assistMon || m_proxySocket || m_lookupRunning) return;  // one assistance at a time
    if (!m_assistBound) {
        Bind(EVT_HOST_LOOKUP, &MyFrame::OnProxyLookup, this, kProxyLookupId);
        Bind(wxEVT_TIMER, &MyFrame::OnAssistTimer, this, kAssistTimerId);
        m_assistBound = true;
    }
    const ProxyAddress address = ParseProxyAddress(ProxyHostText(), kProxyDefaultPort);
    m_proxyHost = address.host;
    m_proxyPort = address.port;
    if (m_proxyPort == 0) {
        ShowUnknownProxy();
        return;
    }
    ++m_assistRun;
    m_assistState = 0;
    m_fromProxy = 0;
    m_fromDevice = 0;
    m_toProxy.clear();
    m_proxyReadPaused = false;
    m_toPanelPending = std::make_shared<std::atomic<long>>(0);

    m_assistMon = new AssistMon(this, U8("Zdalna asysta"), U8("Asysta"), wxCAPTION | wxRESIZE_BORDER, wxID_ANY);
    m_assistMon->SetStatusLine(0, U8("Oczekiwanie na proxy"));
    m_assistMon->SetStatusLine(1, wxASCII_STR("0"));
    m_assistMon->SetStatusLine(2, wxASCII_STR("0"));

    // The lookup may take long or hang: it runs on a thread of its own, bounded like every
    // connection step of the proxy driver, while the window keeps answering.
    m_lookupRunning = true;
    m_assistDeadline = std::chrono::steady_clock::now() +
                       std::chrono::milliseconds(m_assistStepMs > 0 ? m_assistStepMs : jwxTCP::kStepTimeoutMs);
    m_proxyLookup.Start(m_proxyHost, m_assistRun);
    UpdateAssistTimer();
}

void MyFrame::OnProxyLookup(wxThreadEvent& event) {
    if (m_closing || !m_lookupRunning || event.GetInt() != m_assistRun) return;  // abandoned
    m_lookupRunning = false;
    const wxString dotted = event.GetString();
    wxIPV4address address;
    if (dotted.empty() || !address.Hostname(dotted) || !address.Service(static_cast<unsigned short>(m_proxyPort))) {
        EndAssist();
        ShowUnknownProxy();
        return;
    }
    m_proxySocket = new wxSocketClient(wxSOCKET_NONE);
    m_proxySocket->SetFlags(wxSOCKET_NOWAIT);
    m_proxySocket->SetEventHandler(*this, ID_PROXY_SOCKET);
    // Output events drive the bytes that the socket could not take at once.
    m_proxySocket->SetNotify(wxSOCKET_INPUT_FLAG | wxSOCKET_CONNECTION_FLAG | wxSOCKET_LOST_FLAG |
                             wxSOCKET_OUTPUT_FLAG);
    m_proxySocket->Notify(true);
    // Carried by every event of this socket: events of a socket already replaced are known.
    m_proxySocket->SetClientData(reinterpret_cast<void*>(static_cast<intptr_t>(m_assistRun)));
    m_assistDeadline = std::chrono::steady_clock::now() +
                       std::chrono::milliseconds(m_assistStepMs > 0 ? m_assistStepMs : jwxTCP::kStepTimeoutMs);
    if (m_proxySocket->Connect(address, false)) OnProxyConnected();
    UpdateAssistTimer();
}

void MyFrame::OnProxySocket(wxSocketEvent& event) {
    // Events still queued from a socket that a cancel or a loss has replaced are stale.
    if (m_closing || !m_proxySocket || event.GetSocket() != m_proxySocket ||
        event.GetClientData() != m_proxySocket->GetClientData()) {
        return;
    }
    switch (event.GetSocketEvent()) {
        case wxSOCKET_CONNECTION:
            OnProxyConnected();
            break;
        case wxSOCKET_INPUT:
            wxLogVerbose(wxASCII_STR("socket: Input"));
            ForwardToPanel();
            break;
        case wxSOCKET_OUTPUT:
            FlushToProxy();
            break;
        case wxSOCKET_LOST: {
            const bool greeted = m_assistState == 1;
            EndAssist();
            // Switched on before the message, so that the read-outs run again while it is read;
            // a failure to do so is told after it, once the user knows the assistance ended.
            const bool resumed = !greeted || ResumeReports();
            ShowProxyError(greeted ? U8("Połączenie zamknięte przez proxy")
                                   : U8("Nie udało się nawiązac połączenia z proxy"),
                           U8("Brak połączenia z proxy"));
            if (!resumed) TellReportsNotResumed(U8("Zdalna asysta"));
            break;
        }
        default:
            break;
    }
}

void MyFrame::OnProxyConnected() {
    if (!m_proxySocket || m_assistState != 0) return;  // reported once
    if (m_assistMon) m_assistMon->SetStatusLine(0, U8("Połączony z proxy"));
    char line[64];
    m_toProxy += "+PROTO=1\n";
    m_toProxy += "+DEV=QM-352A\n";
    if (m_fwLetter != 0) {
        std::snprintf(line, sizeof line, "+FV=%c.%d.%d\n", static_cast<char>(64 + m_fwLetter), m_fwMajor, m_fwMinor);
    } else {
        std::snprintf(line, sizeof line, "+FV=%d.%d\n", m_fwMajor, m_fwMinor);
    }
    m_toProxy += line;
    std::snprintf(line, sizeof line, "+SN=%ld\n", static_cast<long>(m_serial));
    m_toProxy += line;
    m_toProxy += "+START\n";
    m_assistState = 1;
    FlushToProxy();
    // Input that came before the greeting was left unread, and the socket reports no more
    // input until it is read: read once now so the relay cannot stall.
    ForwardToPanel();
    UpdateAssistTimer();
}

void MyFrame::ForwardToPanel() {
    if (!m_proxySocket || m_assistState != 1) return;
    long taken = 0;
    m_proxyReadPaused = false;
    for (;;) {
        // A fast proxy must not fill memory while the panel takes 960 bytes a second: above the
        // limit the socket is left unread (the proxy's sends then wait) until the panel caught up.
        if (m_toPanelPending->load() >= kToPanelLimit || taken >= kToPanelLimit) {
            m_proxyReadPaused = true;
            break;
        }
        uint8_t chunk[kReadChunk];
        m_proxySocket->Read(chunk, kReadChunk);
        const int count = static_cast<int>(m_proxySocket->LastReadCount());
        if (count <= 0) break;
        m_fromProxy += count;
        taken += count;
        if (m_driver) {
            auto* buffer = new ByteBuffer(count);
            buffer->CopyIn(chunk, count);
            buffer->CountWhileAlive(m_toPanelPending);
            m_driver->Send(buffer);
        }
    }
    if (m_assistMon) m_assistMon->SetStatusLine(1, wxString::Format(wxASCII_STR("%d"), m_fromProxy));
    UpdateAssistTimer();
}

void MyFrame::ForwardToProxy(const ByteBuffer* line) {
    if (!m_proxySocket || m_assistState != 1 || !line) return;
    m_toProxy.append(reinterpret_cast<const char*>(line->data), static_cast<size_t>(line->GetLength()));
    m_fromDevice += line->GetLength();
    FlushToProxy();
    if (m_assistMon) m_assistMon->SetStatusLine(2, wxString::Format(wxASCII_STR("%d"), m_fromDevice));
}

void MyFrame::FlushToProxy() {
    // The socket does not wait: a short write leaves the rest queued, in order, for the next
    // output event or timer tick.
    while (m_proxySocket && !m_toProxy.empty()) {
        m_proxySocket->Write(m_toProxy.data(), static_cast<wxUint32>(m_toProxy.size()));
        const size_t written = m_proxySocket->LastWriteCount();
        if (written == 0) break;
        m_toProxy.erase(0, written);
    }
    UpdateAssistTimer();
}

void MyFrame::OnAssistTimer(wxTimerEvent&) {
    if (m_closing) return;
    const bool waiting = m_lookupRunning || (m_proxySocket && m_assistState == 0);
    if (waiting && std::chrono::steady_clock::now() >= m_assistDeadline) {
        // Lookup or connection took longer than a connection step may.
        const bool lookup = m_lookupRunning;
        EndAssist();
        if (lookup) ShowUnknownProxy();
        else ShowProxyError(U8("Nie udało się nawiązac połączenia z proxy"), U8("Brak połączenia z proxy"));
        return;
    }
    if (!m_toProxy.empty()) FlushToProxy();
    if (m_proxyReadPaused && m_toPanelPending->load() <= kToPanelLimit / 2) ForwardToPanel();
    UpdateAssistTimer();
}

void MyFrame::UpdateAssistTimer() {
    const bool needed = m_lookupRunning || (m_proxySocket && (m_assistState == 0 || m_proxyReadPaused ||
                                                              !m_toProxy.empty()));
    if (needed && !m_assistTimer.IsRunning()) {
        m_assistTimer.Start(kAssistTickMs);
    } else if (!needed && m_assistTimer.IsRunning()) {
        m_assistTimer.Stop();
    }
}

void MyFrame::OnAssistCancel(wxCommandEvent&) {
    const bool relayed = m_assistState == 1;
    // Closing the socket is the only signal to the proxy.
    EndAssist();
    if (relayed && !ResumeReports()) TellReportsNotResumed(U8("Zdalna asysta"));
}

void MyFrame::EndAssist() {
    delete m_assistMon;
    m_assistMon = nullptr;
    m_proxyLookup.Abandon();
    m_lookupRunning = false;
    if (m_proxySocket) {
        // Never deleted at once: this may run inside the socket's own event, and events of it may
        // still be queued. Destroy silences it and frees it at idle time.
        m_proxySocket->Notify(false);
        m_proxySocket->Destroy();
        m_proxySocket = nullptr;
    }
    m_assistState = 0;
    m_toProxy.clear();
    m_proxyReadPaused = false;
    m_assistTimer.Stop();
}

void MyFrame::ShowUnknownProxy() {
    const int port = m_proxyPort != 0 ? m_proxyPort : kProxyDefaultPort;
    ShowProxyError(wxString::Format(U8("Nieznany adres proxy (%s:%d)"), wxString::FromAscii(m_proxyHost.c_str()), port),
                   U8("Zdalna asysta"));
}

void MyFrame::ShowProxyError(const wxString& message, const wxString& caption) {
    MesgBox(this, message, caption, kNoticeStyle);
}
