#include "comm/PanelProtocol.h"

#include <wx/app.h>
#include <wx/apptrait.h>
#include <wx/evtloop.h>
#include <wx/log.h>
#include <wx/utils.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "comm/jwxUniCom.h"

namespace {

constexpr int kHeadLength = 6;       // kind, code and sequence pairs
constexpr int kChecksumTail = 3;     // ':' and the two checksum digits that end a reply

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool SamePrefixIgnoringCase(const char* a, const char* b) {
    for (int i = 0; i < kHeadLength; ++i)
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    return true;
}

// A received line for the log: every byte shows, control bytes as '.', others as the Latin-1
// character of that value. Widened byte by byte: the toolkit's 8-bit conversion goes through
// the C library's locale conversion, and a line is logged per pushed report.
wxString LoggableText(const char* bytes, size_t length) {
    std::wstring shown(length, L'.');
    for (size_t i = 0; i < length; ++i) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c >= 0x20 && c != 0x7f) shown[i] = static_cast<wchar_t>(c);
    }
    return wxString(shown);
}

}  // namespace

PanelProtocol::PanelProtocol(wxEvtHandler* owner, jwxUniCom* driver) : owner(owner), driver(driver) {}

PanelProtocol::~PanelProtocol() { delete matchedReply; }

void PanelProtocol::Abort() { aborted = 1; }

int PanelProtocol::Checksum(const char* text) { return text ? Checksum(text, std::strlen(text)) : 0; }

int PanelProtocol::Checksum(const char* text, size_t length) {
    unsigned sum = 0;
    size_t i = 0;
    while (i < length) {
        if (!IsHexDigit(text[i])) {
            ++i;  // ':' in replies
            continue;
        }
        if (i + 1 >= length || !IsHexDigit(text[i + 1])) return -1;
        sum += static_cast<unsigned>(HexDigitValue(text[i]) * 16 + HexDigitValue(text[i + 1]));
        i += 2;
    }
    return static_cast<int>(sum & 0xFFu);
}

ReplyRecord* PanelProtocol::Transact(const char* request) {
    if (aborted || !request) return nullptr;
    const size_t requestLength = std::strlen(request);
    if (requestLength < static_cast<size_t>(kHeadLength)) return nullptr;
    if (transacting) {
        // A nested request would take over the waiting one's prefix and flags.
        wxLogWarning(wxASCII_STR("Request %s refused: another request is waiting"), LoggableText(request, requestLength));
        return nullptr;
    }
    std::string line(request, requestLength);
    line[4] = '0';
    line[5] = '0';
    if (Checksum(line.data(), line.size()) < 0) {
        wxLogError(wxASCII_STR("Request %s not sent: unpaired hex digit"), LoggableText(request, requestLength));
        return nullptr;
    }

    transacting = true;
    delete matchedReply;
    matchedReply = nullptr;
    for (int attempt = 0; attempt < kTries && !matchedReply && !aborted; ++attempt) {
        char digits[3];
        line.resize(requestLength);
        std::snprintf(digits, sizeof digits, "%02x", sequence);
        line[4] = digits[0];
        line[5] = digits[1];
        std::snprintf(digits, sizeof digits, "%02x", (-Checksum(line.data(), line.size())) & 0xFF);
        line += digits;
        static const wxString sent = wxASCII_STR("TX:%s");  // made once: a line is logged per report
        if (wxLog::GetVerbose()) wxLogVerbose(sent, LoggableText(line.data(), line.size()));
        line += "\r\n";

        ByteBuffer* buffer = new ByteBuffer(static_cast<int32_t>(line.size()));
        buffer->CopyIn(line.data(), static_cast<int32_t>(line.size()));
        std::memcpy(requestPrefix, line.data(), kHeadLength);
        requestPrefix[kHeadLength] = '\0';
        waiting = 1;
        sequence = static_cast<uint8_t>(sequence % 255 + 1);  // 1..255, never 0
        if (driver)
            driver->Send(buffer);
        else
            delete buffer;
        WaitForReply();
    }
    // A reply that comes after the request has given up belongs to nobody: not waiting any
    // more keeps it from being taken as the answer to the next request.
    waiting = 0;
    transacting = false;

    ReplyRecord* reply = matchedReply;
    matchedReply = nullptr;
    if (aborted) {
        delete reply;
        return nullptr;
    }
    return reply;
}

void PanelProtocol::WaitForReply() {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(replyTimeoutMs);

    // The wait runs inside the active event loop; code that runs before any loop exists gets a
    // temporary one, as a yield would make.
    std::unique_ptr<wxEventLoopBase> temporaryLoop;
    std::unique_ptr<wxEventLoopActivator> activation;
    if (!wxEventLoopBase::GetActive()) {
        if (wxAppTraits* traits = wxAppConsole::GetTraitsIfExists()) {
            temporaryLoop.reset(traits->CreateEventLoop());
            if (temporaryLoop) activation.reset(new wxEventLoopActivator(temporaryLoop.get()));
        }
    }

    for (;;) {
        wxEventLoopBase* loop = wxEventLoopBase::GetActive();
        // Handle everything that is queued; this nests inside an outer yield or dispatch, so the
        // driver's events reach their handlers even when the request runs inside one.
        if (loop) loop->Yield(false);
        if (!waiting || aborted) return;

        const Clock::duration left = deadline - Clock::now();
        if (left <= Clock::duration::zero()) {
            wxLogVerbose(wxASCII_STR("Anwer timeout"));
            return;
        }
        // Sleep until something arrives (an event queued from the worker wakes the loop) or
        // the try's time is over; rounded up so that no try ends in a burst of zero waits.
        const long ms = static_cast<long>(std::chrono::ceil<std::chrono::milliseconds>(left).count());
        if (loop)
            loop->DispatchTimeout(static_cast<unsigned long>(ms));
        else
            wxMilliSleep(static_cast<unsigned long>(ms));  // no application: nothing can arrive
    }
}

ReplyRecord* PanelProtocol::OnLine(const ByteBuffer* line) {
    if (!line || !line->data || line->GetLength() <= 0) return nullptr;
    const char* bytes = reinterpret_cast<const char*>(line->data);
    size_t length = static_cast<size_t>(line->GetLength());
    while (length > 0 && (bytes[length - 1] == '\r' || bytes[length - 1] == '\n')) --length;
    static const wxString received = wxASCII_STR("RX:%s");  // made once: a line is logged per report
    if (wxLog::GetVerbose()) wxLogVerbose(received, LoggableText(bytes, length));

    // A NUL byte never belongs to a protocol line; treating it as the end of the text would
    // let the bytes before it pass as a line of their own.
    if (std::memchr(bytes, 0, length)) return nullptr;
    if (length <= static_cast<size_t>(kChecksumTail)) return nullptr;
    if (Checksum(bytes, length) != 0) return nullptr;
    length -= kChecksumTail;
    if (length < static_cast<size_t>(kHeadLength) || aborted) return nullptr;

    const int lineSequence = HexDigitValue(bytes[4]) * 16 + HexDigitValue(bytes[5]);
    const int32_t textLength = static_cast<int32_t>(length);
    if (lineSequence == 0) return new ReplyRecord(bytes, textLength);
    if (waiting && SamePrefixIgnoringCase(bytes, requestPrefix)) {
        delete matchedReply;
        matchedReply = new ReplyRecord(bytes, textLength);
        waiting = 0;
    }
    return nullptr;
}
