// Base of the connection drivers. Each driver owns one worker thread that alone touches the
// device; the GUI thread talks to it only with thread messages (UNICOM_TXDATA, UNICOM_EXIT,
// UNICOM_SELECT) and the worker answers only with EVT_UNICOM events posted to the owner.
#pragma once

#include <wx/event.h>
#include <wx/string.h>
#include <wx/thread.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <memory>

#include "comm/ByteBuffer.h"
#include "comm/EventOutbox.h"
#include "comm/LineAssembler.h"
#include "comm/UniComEvents.h"
#include "platform/ThreadMessageQueue.h"

class jwxUniCom : public wxThreadHelper {
public:
    explicit jwxUniCom(wxEvtHandler* owner);
    // Joins a worker that was not stopped. A driver must call Stop() in its own destructor
    // while its worker may still run: here the derived part is already gone.
    ~jwxUniCom() override;

    // Creates and runs the worker; returns once the worker's message queue exists. When the
    // thread cannot be made, the owner gets UNICOM_EV_OPEN_FAILED as for a device that does not
    // open, so it never waits for an event that cannot come.
    void Start();
    // Asks the worker to exit and waits for it to end.
    void Stop();
    // Hands a line to the worker, which deletes it; deleted here when no worker takes it.
    void Send(ByteBuffer* buffer);
    bool PostToThread(unsigned message, uintptr_t wParam, intptr_t lParam);

    bool IsRunning() const { return running != nullptr; }
    platform::ThreadId GetThreadId() const { return threadId; }
    // The id that the worker's EVT_UNICOM events carry: unique in the process, so that events
    // of a driver that has since been stopped are never taken for those of its successor.
    int GetEventId() const { return eventId; }
    wxEvtHandler* GetOwner() const { return owner; }

    static constexpr int kTimeoutMs = 1500;
    // Received lines posted to the owner that it has not handled yet (a line counts from its post
    // until the owner is done with it, its time in the EventOutbox included; the outbox itself
    // holds any number): once this many are in flight the worker stops reading until the owner
    // catches up, so a flooding peer cannot make the queue (and memory) grow without bound. The
    // count is looked at before each read, and one read posts a line for every terminator it
    // brought, so each driver's bound is:
    //   serial: kMaxLinesInFlight, as a read asks for no more bytes than lines may still be posted;
    //   USB bridge: kMaxLinesInFlight - 1 + jwxFtdiUSB::kMaxBurstBytes (767), one burst of bytes;
    //   TCP: kMaxLinesInFlight - 1 + LineAssembler::kCapacity (1279), one receive into the line
    //   buffer (the at most 512 bytes left over from the proxy handshake come when none are).
    static constexpr int kMaxLinesInFlight = 256;
    // How often a worker held back by unhandled lines looks whether the owner caught up.
    static constexpr int kBacklogPollMs = 5;
    int GetLinesInFlight() const { return *linesInFlight; }
    static constexpr uint8_t kTerminator = 10;

protected:
    wxThread::ExitCode Entry() override;
    // The worker loop; every driver overrides it.
    virtual int ThreadMain();

    // Worker side: first steps of every ThreadMain. Makes the loop event, creates the thread's
    // message queue and releases Start.
    void BeginWorker();

    // Worker side: posting to the owner.
    void PostCode(int code);
    void PostCode(int code, const wxString& text);
    void PostLine(const uint8_t* bytes, int32_t length);
    void PostInfo(const wxString& text);
    void PostWarning(const wxString& text);
    void PostError(const wxString& text);
    // True while kMaxLinesInFlight posted lines wait for the owner: the worker reads no more.
    bool LinesBacklogged() const { return *linesInFlight >= kMaxLinesInFlight; }
    // How many more lines may be posted before the bound is reached.
    int LineRoom() const { return std::max(0, kMaxLinesInFlight - linesInFlight->load()); }
    // Posts the text followed by ": LastError: %ld" with errno as it was on entry.
    void PostLastError(const wxString& text);
    // The same with an error number the caller saved (errno may change before the call).
    void PostLastError(const wxString& text, long error);
    void PostUnknownMessage(unsigned message);
    // Worker side: every event for the owner goes this way (the event is taken).
    void PostToOwner(wxEvent* event) { outbox->Post(event); }
    // Worker side: the events posted while one of these lives (the lines of one read) reach the
    // owner together, with one wake-up of the GUI thread.
    class PostBatch {
    public:
        explicit PostBatch(jwxUniCom& driver) : outbox(*driver.outbox) { outbox.Hold(); }
        ~PostBatch() { outbox.Release(); }
        PostBatch(const PostBatch&) = delete;
        PostBatch& operator=(const PostBatch&) = delete;

    private:
        EventOutbox& outbox;
    };

    wxEvtHandler* owner;
    wxThread* running = nullptr;
    platform::ThreadId threadId = 0;
    const int eventId;
    int timeout = kTimeoutMs;
    uint8_t terminator = kTerminator;
    wxSemaphore startSemaphore;
    // Receive buffer with the line-assembly rule shared by all drivers.
    LineAssembler lines;

private:
    // Count of posted line events not yet destroyed; shared with the events, which may outlive
    // the driver.
    std::shared_ptr<std::atomic<int>> linesInFlight = std::make_shared<std::atomic<int>>(0);
    bool startReleasedFlag = false;  // worker side: BeginWorker has released Start
    // Destroyed after the worker has been joined, handing on what it still holds.
    std::unique_ptr<EventOutbox> outbox;
    void PostText(int code, const wxString& text);
};
