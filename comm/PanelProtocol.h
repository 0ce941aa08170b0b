// The request/reply engine: numbers, checksums and sends one request line through a driver and
// waits, inside the GUI event loop, for the reply whose first six characters match.
#pragma once

#include <wx/event.h>

#include <cstddef>
#include <cstdint>

#include "comm/ByteBuffer.h"
#include "comm/ReplyRecord.h"

class jwxUniCom;

class PanelProtocol {
public:
    static constexpr int kReplyTimeoutMs = 1500;
    static constexpr int kTries = 3;

    PanelProtocol(wxEvtHandler* owner, jwxUniCom* driver);
    ~PanelProtocol();
    PanelProtocol(const PanelProtocol&) = delete;
    PanelProtocol& operator=(const PanelProtocol&) = delete;

    // Sends the request (characters 4-5 are the sequence slot) and returns the matching reply,
    // which the caller owns, or null after all tries, when aborted, for a request shorter than
    // 6 characters or with an unpaired hex digit, and for a request started while another one
    // of this engine is still waiting. Events keep being handled while it waits, so received
    // lines and a driver loss are handled nested inside it.
    ReplyRecord* Transact(const char* request);
    // A received line: returns a record (caller owns) only for a valid line with sequence 0;
    // a valid reply to the waiting request is stored for Transact. The buffer stays the caller's.
    ReplyRecord* OnLine(const ByteBuffer* line);
    // Ends a running wait at once and refuses every later request and line.
    void Abort();
    bool IsAborted() const { return aborted != 0; }
    bool IsWaiting() const { return waiting != 0; }
    wxEvtHandler* GetOwner() const { return owner; }

    // Time allowed for each try; the program keeps the default, tests shorten it.
    void SetReplyTimeoutMs(int ms) { replyTimeoutMs = ms; }

    // 8-bit sum of the hex pairs of the text, or -1 when a hex digit has no hex partner.
    static int Checksum(const char* text);
    static int Checksum(const char* text, size_t length);

private:
    void WaitForReply();

    wxEvtHandler* owner;
    jwxUniCom* driver;
    ReplyRecord* matchedReply = nullptr;
    uint8_t sequence = 1;
    int32_t waiting = 0;
    char requestPrefix[8] = {};
    int32_t aborted = 0;
    bool transacting = false;  // a Transact of this engine is running
    int replyTimeoutMs = kReplyTimeoutMs;
};
