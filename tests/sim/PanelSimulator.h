// PanelSimulator: plays a QM-352A panel over one file descriptor (the master side of a
// pseudo-terminal, or a connected socket) on a thread of its own.
//
// Wire behaviour
// - Requests are lines of hex pairs ending in LF (CR LF, or LF alone): kind, command, sequence,
//   the parameters at fixed widths, and a checksum pair making the 8-bit sum of all pairs 0.
//   A request with a wrong checksum or a character that is not a hex digit gets no answer and is
//   counted (BadChecksumCount); one whose parameters have the wrong length, or an unknown command,
//   is recorded but not answered and counted (MalformedCount).
// - A reply echoes kind, command and the request's sequence, then ':'-separated lower-case hex
//   fields, then ':' + checksum and CR LF.
// - Commands:
//   0x0A identify   -> type (4 digits), version (6), field 2 (4), flags (4)[, serial (4), field 5 (4)]
//   0x30 set mode   -> the mode word (4); 0xFFFF starts the pushed reports, anything else stops them
//   0xA3 slots      -> field 0 (2)[, slot kinds (8 digits, slot 0 in the lowest byte)]
//   0xB4 list entry -> present: index (4), 01, code (4), size class | signed << 7 (2), the size class
//                      being the kind 1..4; empty index: index, 04; past the end: index, 02
//   0x86 read       -> code (4), attribute (2), type (2), value (2/4/6/8 digits by kind); a refused
//                      or damaged parameter: code, attribute, 00 (3 fields); an unknown code:
//                      code, 00, 00
//   0x9A/0x9B/0x9C/0x9D write 8-/16-/32-bit/decimal -> code (4), status (2): 00 stored, 01 refused
//                      (an unknown code, a refused parameter, or a command whose kind is not the
//                      parameter's kind)
// - Pushed reports carry sequence 00 and go out only while the mode word is 0xFFFF.
//
// Requests take effect (mode, writes) even when a fault switch swallows their reply, as if the
// reply were lost on the way.
//
// Thread safety: every public call may be made from any thread while the simulator runs.
#pragma once

#include "sim/ParamTable.h"
#include "sim/SimReports.h"

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace sim {

struct SimIdentity {
    uint16_t typeCode = 0x352;
    uint32_t version = 0x000305;  // letter index << 16 | major << 8 | minor
    uint16_t field2 = 0;
    uint16_t flags = 0;           // bit 0 no serial number, bit 5 / 6 configuration / factory data error
    uint16_t serial = 1234;
    uint16_t field5 = 0;
    bool sixFields = true;        // false: answer with the first 4 fields only
    int fieldLimit = 0;           // above 0: at most this many fields (below 4 the reply is too short to use)
};

struct SimSlots {
    uint8_t field0 = 0;
    std::array<uint8_t, 4> kinds = {1, 2, 0, 0};  // 1 analog output, 2 T500 bus input
    bool twoFields = true;                         // false: answer with field 0 only
};

// One valid request as received.
struct SimRequest {
    std::string text;        // the line without sequence and checksum, e.g. "028600cc"
    uint8_t kind = 0;
    uint8_t command = 0;
    uint8_t sequence = 0;
    uint32_t param = 0;      // mode word, list index or parameter code (0 when the command has none)
    uint32_t value = 0;      // written value (decimal writes: mantissa << 8 | decimals)
};

class PanelSimulator {
public:
    PanelSimulator();  // default QM-352A table, identity and slots; mode 0; no periodic reports
    ~PanelSimulator(); // stops

    PanelSimulator(const PanelSimulator&) = delete;
    PanelSimulator& operator=(const PanelSimulator&) = delete;

    // Serves fd until Stop. The fd is switched to non-blocking mode (restored on Stop). With
    // takeOwnership the simulator closes it on Stop; otherwise the caller closes it after Stop.
    // False when already running or fd is negative.
    bool Start(int fd, bool takeOwnership = false);
    // Ends and joins the serving thread. Safe to call twice.
    void Stop();

    // --- Panel state ---
    void SetIdentity(const SimIdentity& identity);
    void SetSlots(const SimSlots& slots);
    void SetTable(const ParamTable& table);
    void SetParam(const SimParam& param);
    std::optional<SimParam> Param(uint16_t code) const;
    void SetModeWord(uint16_t mode);
    uint16_t ModeWord() const;

    // --- Pushed reports ---
    // Period of the periodic push in ms; 0 (the default) turns it off.
    void SetReportPeriodMs(int periodMs);
    // The set sent every period (DefaultReports until changed).
    void SetPeriodicReports(std::vector<SimReport> reports);
    // Or a source asked for the set each period (called on the simulator's thread, unlocked).
    void SetReportSource(std::function<std::vector<SimReport>()> source);
    // Also plays the four regulator channels: after each period's set, every channel's reports for
    // the type its parameter 211 + n holds at that moment (ChannelReports; a channel switched off
    // pushes none). Off by default, so a test's own set is all that is pushed.
    void SetPlayRegulators(bool play);
    // Queues one report for sending now; false (nothing queued) while reports are stopped.
    bool PushReport(const SimReport& report);
    // Queues text + ":" + checksum + CR LF, whatever the mode word.
    void PushRawLine(const std::string& text);
    // Queues bytes exactly as given.
    void PushRawBytes(const std::string& bytes);

    // --- Fault switches ---
    void SetSilent(bool silent);                          // answer nothing
    void SetSilentCommands(std::set<uint8_t> commands);   // answer nothing to these commands
    void DropNextReplies(int count);                      // swallow the next count replies
    void SetCorruptReplyChecksums(bool corrupt);          // replies carry checksum + 1
    void SetGarbageBeforeReplies(bool garbage);           // a junk line goes out before each reply
    // The next count replies are held back and sent, with their old sequence, when the next valid
    // request arrives (before that request's own reply).
    void HoldNextReplies(int count);
    // From now on answers `count` valid requests and hangs up when the next one arrives (it stays
    // unanswered); -1 turns it off. Hanging up releases the fd so the peer sees EIO / POLLHUP or end of stream;
    // a descriptor the caller owns keeps its number (it then refers to /dev/null) so closing it
    // stays safe.
    void SetHangUpAfterRequests(int count);
    void HangUpNow();
    void SetReplyDelayMs(int delayMs);
    // Both directions at 960 bytes per second (9600 baud, 8N1): sends one byte at a time, and
    // takes a request only once its bytes would have crossed the wire.
    void SetPacing(bool paced);
    // Takes its input at 960 bytes per second too, as a panel on a 9600 baud line: what comes
    // faster waits on the sender's side.
    void SetInputPacing(bool paced);

    // --- Unanswered single requests ---
    // Requests of this command naming this list index or parameter code (their first parameter)
    // get no answer, while every other request is answered as usual and the line stays up.
    void SetUnansweredRequest(uint8_t command, uint32_t param);
    void ClearUnansweredRequests();

    // --- Observation ---
    std::vector<SimRequest> Requests() const;
    std::vector<std::string> RequestTexts() const;
    void ClearRequests();
    // Waits until at least count requests were recorded since the last ClearRequests.
    bool WaitForRequests(size_t count, int timeoutMs) const;
    int BadChecksumCount() const;
    int MalformedCount() const;
    int ReportsSent() const;
    int RepliesSent() const;  // replies written whole
    size_t BytesSent() const;
    bool HasHungUp() const;
    bool PeerClosed() const;  // the other side went away (EIO, POLLHUP or end of stream)

private:
    using Clock = std::chrono::steady_clock;

    void Serve();
    void HandleInput(const char* data, size_t length);
    void HandleLine(std::string line);
    // Builds the reply fields and applies the request's effect; false when there is no answer.
    bool Answer(const SimRequest& request, const std::string& body, std::vector<std::string>& fields);
    void SendPeriodicReports();
    std::vector<SimReport> RegulatorReportsLocked();  // mutex_ held
    void SendQueued();
    bool SendBytes(const std::string& bytes);
    void HangUp();
    void SleepFor(int ms);
    void WakeLocked();  // mutex_ held

    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;

    // Guarded by mutex_.
    SimIdentity identity_;
    SimSlots slots_;
    ParamTable table_;
    uint16_t mode_ = 0;
    int reportPeriodMs_ = 0;
    std::function<std::vector<SimReport>()> reportSource_;
    bool playRegulators_ = false;
    unsigned regulatorTick_ = 0;
    struct Outgoing {
        std::string bytes;
        bool report = false;
    };
    std::deque<Outgoing> outgoing_;
    Clock::time_point nextReport_;
    bool hangUpRequested_ = false;
    bool silent_ = false;
    std::set<uint8_t> silentCommands_;
    std::set<std::pair<uint8_t, uint32_t>> unanswered_;
    int dropNext_ = 0;
    bool corruptChecksums_ = false;
    bool garbage_ = false;
    int holdNext_ = 0;
    int hangUpAfter_ = -1;
    int replyDelayMs_ = 0;
    bool paced_ = false;
    bool inputPaced_ = false;
    std::vector<SimRequest> requests_;
    int validRequests_ = 0;
    int badChecksums_ = 0;
    int malformed_ = 0;
    int reportsSent_ = 0;
    int repliesSent_ = 0;
    size_t bytesSent_ = 0;
    bool hungUp_ = false;
    bool peerClosed_ = false;
    int wakeWrite_ = -1;

    // Owned by the serving thread while it runs.
    int fd_ = -1;
    bool ownsFd_ = false;
    int savedFlags_ = -1;
    int wakeRead_ = -1;
    std::string input_;
    std::vector<std::string> heldReplies_;
    unsigned garbageTurn_ = 0;
    Clock::time_point nextPacedByte_;
    Clock::time_point nextInputByte_;  // paced input: when the next byte may be taken
    Clock::time_point receivedWireEnd_;  // paced: when the last byte read would have arrived

    std::atomic<bool> stopping_{false};
    std::thread thread_;
};

}  // namespace sim
