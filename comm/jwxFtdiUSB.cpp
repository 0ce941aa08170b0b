#include "comm/jwxFtdiUSB.h"

#include <wx/utils.h>

#include <cerrno>
#include <cstring>
#include <vector>

using namespace platform;

const char jwxFtdiUSB::kAcceptedDescription[] = "Regulator QM-352A, VELTRA";

jwxFtdiUSB::jwxFtdiUSB(wxEvtHandler* owner) : jwxUniCom(owner) {}

jwxFtdiUSB::~jwxFtdiUSB() {
    // The owner stops the worker first; a driver dropped while its worker runs is stopped here,
    // so the handle is never used by two threads.
    if (IsRunning()) Stop();
    if (handle) Close();
}

int jwxFtdiUSB::Open() {
    const char* failure = nullptr;
    uint32_t count = 0;
    std::vector<UsbDeviceNode> nodes;
    int found = -1;

    if (UsbCreateDeviceInfoList(&count) != USB_OK) {
        failure = "FT_CreateDeviceInfoList() fail";
    } else {
        nodes.resize(count);
        if (count > 0 && UsbGetDeviceInfoList(nodes.data(), &count) != USB_OK) {
            failure = "FT_GetDeviceInfoList() fail";
        } else {
            nodes.resize(count);
            for (uint32_t i = 0; i < count && found < 0; ++i) {
                if (std::strcmp(nodes[i].description, kAcceptedDescription) == 0) {
                    found = static_cast<int>(i);
                    std::memcpy(serialNumber, nodes[i].serialNumber, sizeof serialNumber - 1);
                }
            }
            if (found < 0) failure = "VELTRA device not found on USB";
        }
    }

    if (!failure) {
        if (UsbOpen(static_cast<uint32_t>(found), &handle) != USB_OK)
            failure = "FT_Open() fail";
        else if (UsbSetBaudRate(handle, 9600) != USB_OK)
            failure = "FT_SetBaudRate() fail";
        else if (UsbSetDataCharacteristics(handle, USB_BITS_8, USB_STOP_BITS_1, USB_PARITY_NONE) != USB_OK)
            failure = "FT_SetDataCharacteristics() fail";
        else if (UsbSetFlowControl(handle, USB_FLOW_NONE, 0, 0) != USB_OK)
            failure = "FT_SetFlowControl() fail";
        else if (UsbSetRts(handle) != USB_OK)
            failure = "FT_SetRts() fail";
    }

    if (failure) {
        // A handle opened before the failing step stays held; the destructor closes it.
        PostError(wxASCII_STR(failure));
        return -1;
    }
    wxMilliSleep(kSettleMs);
    return 0;
}

void jwxFtdiUSB::Close() {
    if (!handle) return;
    if (UsbClrRts(handle) != USB_OK) PostError(wxASCII_STR("FT_ClrRts() fail"));
    // Closed even when RTS could not be dropped (a bridge that is gone refuses both): the
    // descriptor is released by the close in every case, so the handle is gone as well.
    if (UsbClose(handle) != USB_OK) PostError(wxASCII_STR("FT_Close() fail"));
    handle = nullptr;
    rxWaitFd = -1;
}

int jwxFtdiUSB::EnableRxEvent() {
    if (UsbSetEventNotification(handle, USB_EVENT_RXCHAR, &rxWaitFd) != USB_OK) {
        PostError(wxASCII_STR("FT_SetEventNotification() fail"));
        return -1;
    }
    return 0;
}

int jwxFtdiUSB::ReadByte() {
    uint32_t queued = 0;
    UsbStatus status = UsbGetQueueStatus(handle, &queued);
    if (status == USB_DEVICE_LOST) NoteDeviceLost();
    if (status != USB_OK || queued == 0) return -1;
    uint8_t byte = 0;
    uint32_t got = 0;
    status = UsbRead(handle, &byte, 1, &got);
    if (status == USB_DEVICE_LOST) NoteDeviceLost();
    if (status != USB_OK || got != 1) return -1;
    return byte;
}

platform::UsbStatus jwxFtdiUSB::Write(const uint8_t* bytes, int32_t length) {
    if (length < 0) length = static_cast<int32_t>(std::strlen(reinterpret_cast<const char*>(bytes)));
    uint32_t written = 0;
    return UsbWrite(handle, bytes, static_cast<uint32_t>(length), &written);
}

void jwxFtdiUSB::ReadBurst() {
    // Bounded, so that a bridge that never stops delivering cannot keep the worker from its
    // messages.
    PostBatch batch(*this);
    for (int n = 0; n < kMaxBurstBytes; ++n) {
        const int value = ReadByte();
        if (value < 0) break;
        uint8_t byte = static_cast<uint8_t>(value);
        lines.Append(&byte, 1, [this](const uint8_t* line, int32_t length) { PostLine(line, length); });
    }
}

bool jwxFtdiUSB::TakeMessages() {
    ThreadMessage message;
    while (PeekThreadMessage(&message, true)) {
        switch (message.message) {
            case UNICOM_TXDATA: {
                ByteBuffer* buffer = reinterpret_cast<ByteBuffer*>(message.wParam);
                Write(buffer->data, buffer->GetLength());  // write failures are not reported
                delete buffer;
                break;
            }
            case UNICOM_EXIT:
                return true;
            default:
                PostUnknownMessage(message.message);
                break;
        }
    }
    return false;
}

void jwxFtdiUSB::NoteDeviceLost() {
    deviceLost = true;
    lostError = errno;
}

int jwxFtdiUSB::EndAfterError(const wxString& text, long error) {
    PostError(text + wxString::Format(wxASCII_STR(": LastError: %ld"), error));
    PostCode(UNICOM_EV_STOPPED);
    PostInfo(wxASCII_STR("UniCom thread exiting due to an error"));
    return -1;
}

int jwxFtdiUSB::ThreadMain() {
    BeginWorker();
    // The bridge's own descriptor signals received bytes, so there is no event object to make.
    if (Open() != 0 || EnableRxEvent() != 0) {
        PostCode(UNICOM_EV_OPEN_FAILED);
        return -1;
    }
    PostCode(UNICOM_EV_OPENED);

    for (bool exit = false; !exit;) {
        // While the owner has not taken what was posted, the bridge is not read.
        const bool backlogged = LinesBacklogged();
        switch (WaitDeviceOrMessage(backlogged ? -1 : rxWaitFd, backlogged ? kBacklogPollMs : timeout)) {
            case WaitResult::Device:
                ReadBurst();
                // A bridge that is gone stays readable for ever: without this the worker
                // would wake again at once, around and around.
                if (deviceLost) return EndAfterError(wxASCII_STR("USB device lost"), lostError);
                // A bridge that keeps delivering wins every wait: the queued messages are
                // taken here as well.
                exit = TakeMessages();
                break;
            case WaitResult::Message:
                exit = TakeMessages();
                break;
            case WaitResult::Timeout:
                if (!backlogged) PostCode(UNICOM_EV_IDLE);
                break;
            case WaitResult::Failed: {
                long error = errno;
                return EndAfterError(wxASCII_STR("WaitDeviceOrMessage()"), error);
            }
        }
    }
    PostInfo(wxASCII_STR("UniCom FtdiUSB thread exiting"));
    return 0;
}
