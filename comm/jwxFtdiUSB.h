// Connection to a panel whose serial line sits behind an FTDI USB-serial bridge. The worker finds
// the bridge by its description, opens and configures it, waits until bytes are queued, takes
// them one at a time into the line buffer and writes the request lines it is handed as blocks.
#pragma once

#include <cstdint>

#include "comm/jwxUniCom.h"
#include "platform/UsbBridge.h"

class jwxFtdiUSB : public jwxUniCom {
public:
    explicit jwxFtdiUSB(wxEvtHandler* owner);
    ~jwxFtdiUSB() override;

    // The only bridge description this driver accepts (exact, case-sensitive).
    static const char kAcceptedDescription[];
    static constexpr int kSettleMs = 250;  // after opening, before the first transfer

    // Finds and opens the bridge, 9600 8N1, no flow control, RTS raised. 0 or -1 (error posted).
    int Open();
    // Drops RTS and releases the bridge; failures are posted as error events.
    void Close();
    // Lets received bytes wake the worker. 0 or -1 (error posted).
    int EnableRxEvent();
    // One received byte, or -1 when none is queued or the read failed.
    int ReadByte();
    // Writes the block; a negative length means the length of the text.
    platform::UsbStatus Write(const uint8_t* bytes, int32_t length);

protected:
    int ThreadMain() override;

private:
    // Bytes read at most per wake-up before the queued messages are looked at.
    static constexpr int kMaxBurstBytes = 512;

    // Reads every queued byte into the line buffer and posts the completed lines.
    void ReadBurst();
    // Takes every queued thread message; true when UNICOM_EXIT was among them.
    bool TakeMessages();
    void NoteDeviceLost();
    // Posts the text with the error number, then ends the loop the way every driver ends on
    // an error.
    int EndAfterError(const wxString& text, long error);

    platform::UsbHandle* handle = nullptr;
    int rxWaitFd = -1;        // readable while bytes are queued; owned by the handle
    bool deviceLost = false;  // the bridge has gone away (unplugged, hung up)
    long lostError = 0;       // errno of the call that found it gone
    char serialNumber[16] = {};
};
