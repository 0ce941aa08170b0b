// The frame's single connection holder. It owns the request engine for the attached driver,
// turns typed operations into request lines, interprets the replies into records and status
// codes, shows a wait indication (the wait window) while a request runs and forwards every line that the panel
// sends on its own account to the owner as an EVT_PANEL_DATA event.
//
// Requests wait inside the event loop, so received lines, a lost driver, Attach/Detach and
// further requests can all run nested inside a running request. An engine that is replaced or
// dropped meanwhile is aborted and deleted only once no transaction runs any more, and the
// client itself may even be destroyed under a running request (the frame closes when its
// driver dies): the running operations then return without touching it again.
#pragma once

#include <wx/event.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "comm/PanelEvents.h"
#include "comm/PanelRecords.h"
#include "comm/ParamValue.h"
#include "comm/ReplyRecord.h"

class ByteBuffer;
class PanelProtocol;
class WaitIndication;
class WaitIndicator;
class jwxUniCom;

class PanelClient {
public:
    // The owner receives EVT_PANEL_DATA events; waits, when given, shows what covers the owner
    // while a request waits (it must outlive the client).
    explicit PanelClient(wxEvtHandler* owner, WaitIndicator* waits = nullptr);
    ~PanelClient();
    PanelClient(const PanelClient&) = delete;
    PanelClient& operator=(const PanelClient&) = delete;

    // Life and state, driven by the connection sequence.
    void Attach(jwxUniCom* driver);
    void Detach();
    PanelClientState GetState() const { return state; }
    // A received line (driver event UNICOM_EV_LINE); the buffer stays the caller's.
    void OnLine(const ByteBuffer* line);
    // The driver's worker stopped after an error (UNICOM_EV_STOPPED).
    void OnDriverStopped();

    // One request line (characters 4-5 are the sequence slot); the caller owns the reply.
    // With wait, the wait window covers the owner for the duration.
    ReplyRecord* Request(const char* text, bool wait);

    // Identifies the panel and starts its pushed reports; the caller deletes the result.
    PanelIdent* Connect();
    // Stops the pushed reports.
    void Disconnect();
    // Interface mode words: no pushed reports, and every pushed report.
    static constexpr uint16_t kReportsOff = 0;
    static constexpr uint16_t kReportsOn = 0xFFFF;
    // Sets the interface mode word (kReportsOff or kReportsOn).
    bool SetMode(uint32_t mode);
    PanelIdent* Identify();
    PanelSlotConfig* ReadSlotConfig();
    ParamListEntry* EnumParam(uint16_t index, bool wait);
    // Returns a record for a reply naming the code, also with a status other than PARAM_OK
    // (the caller deletes it); the status is stored when the pointer is given.
    ParamValue* ReadParam(uint16_t code, ParamStatus* status, bool wait);
    // Reads n parameters into out[0..n-1]; on the first failure every record read so far is
    // deleted and every slot is null.
    ParamStatus ReadParams(int n, ParamValue** out, const uint16_t* codes, bool wait);
    ParamStatus WriteParam(const ParamValue* value, bool wait);
    // Writes in order and stops at the first failure; the values stay the caller's.
    ParamStatus WriteParams(int n, ParamValue* const* values, bool wait);

    // Time allowed for each try of a request, for this and every later engine; the program keeps
    // the engine's default (0), tests shorten it.
    void SetReplyTimeoutMs(int ms);

    bool HasEngine() const { return engine != nullptr; }
    // A transaction is running (possibly several, nested).
    bool IsBusy() const { return busy > 0; }
    // An engine waits to be deleted when the running transaction returns.
    bool IsDeleteDeferred() const { return !retired.empty(); }

private:
    class Operation;

    // Aborts and forgets the current engine; deleted now, or once no transaction runs.
    void DropEngine();
    std::unique_ptr<WaitIndication> ShowWait();
    void PostReport(ReplyRecord* record);

    wxEvtHandler* owner;
    WaitIndicator* waits;
    jwxUniCom* driver = nullptr;
    std::unique_ptr<PanelProtocol> engine;
    // Engines dropped while a transaction ran on them (the deferred delete).
    std::vector<std::unique_ptr<PanelProtocol>> retired;
    int32_t busy = 0;  // count of running transactions
    int replyTimeoutMs = 0;  // 0: the engine's default
    PanelClientState state = CLIENT_IDLE;
    Operation* operations = nullptr;  // innermost running operation
};
