#include "comm/jwxUniCom.h"

#include <wx/log.h>

#include <cerrno>

#include "platform/ThreadCreation.h"

namespace {
// A received line on its way to the owner. It counts itself in the driver's lines in flight
// from its making until the owner has handled (and the toolkit destroyed) it.
class LineEvent : public wxCommandEvent {
public:
    LineEvent(int id, std::shared_ptr<std::atomic<int>> counter)
        : wxCommandEvent(EVT_UNICOM, id), counter(std::move(counter)) {
        ++*this->counter;
    }
    LineEvent(const LineEvent& other) : wxCommandEvent(other), counter(other.counter) { ++*counter; }
    ~LineEvent() override { --*counter; }
    wxEvent* Clone() const override { return new LineEvent(*this); }

private:
    std::shared_ptr<std::atomic<int>> counter;
};
}  // namespace

namespace {
// Ids from 1 on; a program makes far fewer drivers than would wrap it.
int NextEventId() {
    static std::atomic<int> last{0};
    return ++last;
}
}  // namespace

jwxUniCom::jwxUniCom(wxEvtHandler* owner)
    : wxThreadHelper(wxTHREAD_JOINABLE), owner(owner), eventId(NextEventId()), startSemaphore(0, 1), lines(kTerminator),
      outbox(new EventOutbox(owner)) {}

jwxUniCom::~jwxUniCom() {
    // A worker that ended on its own must still be joined, or its thread is never released.
    Stop();
}

void jwxUniCom::Start() {
    if (running) {
        wxLogWarning(wxASCII_STR("Thread already started"));
        return;
    }
    if (!platform::ThreadCreationAllowed() || CreateThread(wxTHREAD_JOINABLE) != wxTHREAD_NO_ERROR) {
        wxLogError(wxASCII_STR("Cannot create the communication thread"));
        PostCode(UNICOM_EV_OPEN_FAILED);
        return;
    }
    running = GetThread();
    if (running->Run() != wxTHREAD_NO_ERROR) {
        wxLogError(wxASCII_STR("Cannot run the communication thread"));
        running = nullptr;
        PostCode(UNICOM_EV_OPEN_FAILED);
        return;
    }
    // The worker stores its own id before it releases the semaphore.
    startSemaphore.Wait();
}

void jwxUniCom::Stop() {
    if (!running) return;
    wxLogVerbose(wxASCII_STR("Posting ExitThread message"));
    // A failed post means the worker has already closed its queue and ended on its own;
    // it is joined all the same, so that its thread is released.
    PostToThread(UNICOM_EXIT, 0, 0);
    running->Wait();
    running = nullptr;
}

void jwxUniCom::Send(ByteBuffer* buffer) {
    if (!running) {
        wxLogError(wxASCII_STR("Send request for non-existing communication thread"));
        delete buffer;
        return;
    }
    if (!PostToThread(UNICOM_TXDATA, reinterpret_cast<uintptr_t>(buffer), 0)) {
        wxLogError(wxASCII_STR("PostThreadMessage UNICOM_TXDATA"));
        delete buffer;
    }
}

bool jwxUniCom::PostToThread(unsigned message, uintptr_t wParam, intptr_t lParam) {
    return platform::PostThreadMessage(threadId, message, wParam, lParam);
}

wxThread::ExitCode jwxUniCom::Entry() {
    threadId = platform::CurrentThreadId();
    startReleasedFlag = false;
    ThreadMain();
    // A worker that ended before its start steps must still release Start.
    if (!startReleasedFlag) {
        platform::PeekThreadMessage(nullptr, false);
        startSemaphore.Post();
    }
    // Nobody takes the messages still queued: free the buffers they carry.
    for (const platform::ThreadMessage& left : platform::CloseThreadQueue()) {
        if (left.message == UNICOM_TXDATA) delete reinterpret_cast<ByteBuffer*>(left.wParam);
    }
    return 0;
}

int jwxUniCom::ThreadMain() { return 0; }

void jwxUniCom::BeginWorker() {
    platform::PeekThreadMessage(nullptr, false);  // creates this thread's queue
    startReleasedFlag = true;
    startSemaphore.Post();
}

void jwxUniCom::PostCode(int code) {
    wxCommandEvent event(EVT_UNICOM, eventId);
    event.SetInt(code);
    PostToOwner(event.Clone());
}

void jwxUniCom::PostCode(int code, const wxString& text) { PostText(code, text); }

void jwxUniCom::PostLine(const uint8_t* bytes, int32_t length) {
    ByteBuffer* line = new ByteBuffer(length);
    line->CopyIn(bytes, length);
    auto* event = new LineEvent(eventId, linesInFlight);
    event->SetInt(UNICOM_EV_LINE);
    event->SetClientData(line);
    PostToOwner(event);
}

void jwxUniCom::PostText(int code, const wxString& text) {
    wxCommandEvent event(EVT_UNICOM, eventId);
    event.SetInt(code);
    event.SetString(text);
    PostToOwner(event.Clone());
}

void jwxUniCom::PostInfo(const wxString& text) { PostText(UNICOM_EV_INFO, text); }
void jwxUniCom::PostWarning(const wxString& text) { PostText(UNICOM_EV_WARNING, text); }
void jwxUniCom::PostError(const wxString& text) { PostText(UNICOM_EV_ERROR, text); }

void jwxUniCom::PostLastError(const wxString& text) { PostLastError(text, errno); }

void jwxUniCom::PostLastError(const wxString& text, long error) {
    PostText(UNICOM_EV_ERROR, text + wxString::Format(wxASCII_STR(": LastError: %ld"), error));
}

void jwxUniCom::PostUnknownMessage(unsigned message) {
    PostWarning(wxString::Format(wxASCII_STR("Unknown message %d"), static_cast<int>(message)));
}
