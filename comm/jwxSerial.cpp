#include "comm/jwxSerial.h"

#include <algorithm>
#include <cerrno>
#include <memory>

jwxSerial::jwxSerial(wxEvtHandler* owner, const wxString& portName) : jwxUniCom(owner), portName(portName) {}

jwxSerial::~jwxSerial() {
    // The worker uses this object's members: it must have ended before they go.
    Stop();
}

void jwxSerial::BuildDCB(uint32_t baud, char parity, int dataBits, int stopBits) {
    dcb = platform::SerialLineSettings();
    dcb.baudRate = baud;
    dcb.dataBits = dataBits;
    dcb.parity = parity == 'N' ? platform::SerialParity::None
                 : parity == 'E' ? platform::SerialParity::Even
                                 : platform::SerialParity::Odd;
    dcb.stopBits = stopBits == 1 ? 1 : 2;
    dcb.raiseDtr = true;
    dcb.raiseRts = true;
}

int jwxSerial::OpenPort(const wxString& name) {
    const std::string utf8Name(name.utf8_str());
    platform::SerialOpenStep step = platform::SerialOpenStep::CreateFile;
    int error = 0;
    if (port.Open(utf8Name, dcb, &step, &error)) return port.GetFd();
    PostError(OpenErrorText(step, utf8Name, error));
    return -1;
}

wxString jwxSerial::OpenErrorText(platform::SerialOpenStep step, const std::string& name, int error) {
    wxString text = wxString::Format(wxASCII_STR("%s(%s): %ld"), wxString::FromAscii(platform::SerialOpenStepName(step)),
                                     wxString::FromUTF8(platform::SerialDevicePath(name)), static_cast<long>(error));
    // Serial and USB ports belong to the dialout group on Debian.
    if (error == EACCES || error == EPERM)
        text += wxASCII_STR(" (permission denied: the user may need to be in the dialout group)");
    return text;
}

int jwxSerial::Open() {
    BuildDCB(9600, 'N', 8, 1);
    return OpenPort(portName) >= 0 ? 0 : -1;
}

int jwxSerial::ThreadMain() {
    BeginWorker();
    if (Open() != 0) {
        PostCode(UNICOM_EV_OPEN_FAILED);
        return -1;
    }
    PostCode(UNICOM_EV_OPENED);

    bool error = false;
    bool exitRequested = false;
    while (!exitRequested) {
        if (error) {
            PostCode(UNICOM_EV_STOPPED);
            PostInfo(wxASCII_STR("UniCom thread exiting due to an error"));
            return -1;
        }
        // While the owner has not taken what was posted, the port is not read: the terminal's
        // buffers fill and hold the sender back. Messages are still taken.
        const bool backlogged = LinesBacklogged();
        short pollEvents = 0;
        switch (platform::WaitDeviceOrMessage(backlogged ? -1 : port.GetFd(), backlogged ? kBacklogPollMs : timeout,
                                              &pollEvents)) {
            case platform::WaitResult::Device:
                error = !ReceiveBytes(pollEvents);
                // A port that keeps delivering bytes wins every wait: take the queued messages
                // here as well, so that requests and the exit are never held back by traffic.
                if (!error) error = !TakeMessages(&exitRequested);
                break;
            case platform::WaitResult::Message:
                error = !TakeMessages(&exitRequested);
                break;
            case platform::WaitResult::Timeout:
                if (!backlogged) PostCode(UNICOM_EV_IDLE);
                break;
            case platform::WaitResult::Failed:
                PostLastError(wxASCII_STR("MsgWaitForMultipleObjects()"), errno);
                error = true;
                break;
        }
    }
    PostInfo(wxASCII_STR("UniCom Serial thread exiting"));
    return 0;
}

bool jwxSerial::ReceiveBytes(short pollEvents) {
    // Every line holds at least its terminator: reading no more bytes than lines may still be
    // posted keeps the lines waiting for the owner within the bound.
    const int32_t max = std::min<int32_t>(lines.FreeCount(), LineRoom());
    int32_t got = 0;
    platform::SerialReadResult result = port.Read(lines.FreeSpace(), max, pollEvents, &got);
    long readError = errno;
    switch (result) {
        case platform::SerialReadResult::Data: {
            PostBatch batch(*this);
            lines.Commit(got, [this](const uint8_t* bytes, int32_t length) { PostLine(bytes, length); });
            return true;
        }
        case platform::SerialReadResult::Nothing:
            return true;
        case platform::SerialReadResult::HungUp:
            // The device is gone (unplugged, or the far end of a pseudo-terminal closed):
            // the descriptor would report ready for ever, so it is closed and the loop ends.
            if (readError == 0)
                PostError(wxASCII_STR("ReadFile(): end of file"));
            else
                PostLastError(wxASCII_STR("ReadFile()"), readError);
            port.Close();
            return false;
        case platform::SerialReadResult::Failed:
            PostLastError(wxASCII_STR("ReadFile()"), readError);
            return false;
    }
    return false;
}

bool jwxSerial::TakeMessages(bool* exitRequested) {
    platform::ThreadMessage message;
    while (platform::PeekThreadMessage(&message, true)) {
        switch (message.message) {
            case UNICOM_TXDATA:
                if (!WriteLine(reinterpret_cast<ByteBuffer*>(message.wParam))) return false;
                break;
            case UNICOM_EXIT:
                *exitRequested = true;
                return true;
            default:
                PostUnknownMessage(message.message);
                break;
        }
    }
    return true;
}

bool jwxSerial::WriteLine(ByteBuffer* line) {
    std::unique_ptr<ByteBuffer> owned(line);  // deleted whether the write succeeds or not
    if (!owned) return true;
    int32_t written = 0;
    platform::SerialWriteResult result = port.WriteAll(owned->data, owned->GetLength(), timeout, &written);
    long writeError = errno;
    switch (result) {
        case platform::SerialWriteResult::Done:
            PostInfo(wxString::Format(wxASCII_STR("Wrote %d bytes"), static_cast<int>(written)));
            return true;
        case platform::SerialWriteResult::Failed:
            PostLastError(wxASCII_STR("WriteFile()"), writeError);
            return false;
        case platform::SerialWriteResult::Stalled:
            // The port took no byte for the wait period.
            PostLastError(wxASCII_STR("GetOverlappedResult()"), writeError);
            return false;
    }
    return false;
}
