#include "sim/PanelSimulator.h"

#include "sim/ChannelReports.h"
#include "sim/SimLine.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace sim {

namespace {

constexpr uint16_t kReportsOn = 0xFFFF;
constexpr size_t kMaxLine = 1024;
constexpr int kWriteTimeoutMs = 1000;  // a peer that reads nothing loses what does not fit
// 9600 baud with start and stop bits: ten bit times per byte.
constexpr std::chrono::nanoseconds kPacedByte(1041667);

// Expected parameter digits per command; -1 for a command the panel does not know.
int BodyLength(uint8_t command) {
    switch (command) {
    case 0x0A: return 0;
    case 0x30: return 4;
    case 0xA3: return 0;
    case 0xB4: return 4;
    case 0x86: return 4;
    case 0x9A: return 6;
    case 0x9B: return 8;
    case 0x9C: return 12;
    case 0x9D: return 10;
    default: return -1;
    }
}

uint8_t WriteKind(uint8_t command) {
    switch (command) {
    case 0x9A: return KIND_U8;
    case 0x9B: return KIND_U16;
    case 0x9C: return KIND_U32;
    case 0x9D: return KIND_DECIMAL;
    default: return 0;
    }
}

uint32_t ParseHex(const std::string& text) {
    uint32_t value = 0;
    for (char c : text) value = value * 16 + static_cast<uint32_t>(HexValue(c));
    return value;
}

bool IsHexText(const std::string& text) {
    for (char c : text)
        if (!IsHexDigit(c)) return false;
    return true;
}

// Junk the line assembler of a client must survive: no hex, a lone digit, a bad checksum, a
// report head with a bad checksum.
const char* const kGarbage[] = {"garbage\r\n", "0\r\n", "0a0b0c:zz:1\r\n", "020a00:0352:00\r\n"};

std::string CorruptChecksum(const std::string& line) {
    // The line ends in two checksum digits and CR LF.
    size_t at = line.size() - 4;
    uint32_t sum = ParseHex(line.substr(at, 2));
    return line.substr(0, at) + Hex(sum + 1, 2) + "\r\n";
}

}  // namespace

PanelSimulator::PanelSimulator() : table_(ParamTable::DefaultQm352()) {
    std::vector<SimReport> reports = DefaultReports();
    reportSource_ = [reports] { return reports; };
}

PanelSimulator::~PanelSimulator() { Stop(); }

bool PanelSimulator::Start(int fd, bool takeOwnership) {
    if (fd < 0 || thread_.joinable()) return false;
    int pipeFds[2];
    if (pipe2(pipeFds, O_NONBLOCK | O_CLOEXEC) != 0) return false;
    fd_ = fd;
    ownsFd_ = takeOwnership;
    savedFlags_ = fcntl(fd, F_GETFL);
    if (savedFlags_ >= 0) fcntl(fd, F_SETFL, savedFlags_ | O_NONBLOCK);
    wakeRead_ = pipeFds[0];
    input_.clear();
    heldReplies_.clear();
    nextPacedByte_ = Clock::now();
    {
        std::lock_guard<std::mutex> lock(mutex_);
        wakeWrite_ = pipeFds[1];
        hungUp_ = false;
        peerClosed_ = false;
        hangUpRequested_ = false;
        nextReport_ = Clock::now() + std::chrono::milliseconds(reportPeriodMs_);
    }
    stopping_ = false;
    thread_ = std::thread(&PanelSimulator::Serve, this);
    return true;
}

void PanelSimulator::Stop() {
    if (!thread_.joinable()) return;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
        WakeLocked();
        changed_.notify_all();
    }
    thread_.join();
    bool hungUp;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        close(wakeWrite_);
        wakeWrite_ = -1;
        hungUp = hungUp_;
    }
    close(wakeRead_);
    wakeRead_ = -1;
    if (!hungUp) {
        if (savedFlags_ >= 0) fcntl(fd_, F_SETFL, savedFlags_);
        if (ownsFd_) close(fd_);
    }
    fd_ = -1;
}

// ---------------------------------------------------------------------------------------------
// Configuration and observation (any thread)

void PanelSimulator::SetIdentity(const SimIdentity& identity) {
    std::lock_guard<std::mutex> lock(mutex_);
    identity_ = identity;
}

void PanelSimulator::SetSlots(const SimSlots& slots) {
    std::lock_guard<std::mutex> lock(mutex_);
    slots_ = slots;
}

void PanelSimulator::SetTable(const ParamTable& table) {
    std::lock_guard<std::mutex> lock(mutex_);
    table_ = table;
}

void PanelSimulator::SetParam(const SimParam& param) {
    std::lock_guard<std::mutex> lock(mutex_);
    table_.Set(param);
}

std::optional<SimParam> PanelSimulator::Param(uint16_t code) const {
    std::lock_guard<std::mutex> lock(mutex_);
    const SimParam* param = table_.Find(code);
    if (param == nullptr) return std::nullopt;
    return *param;
}

void PanelSimulator::SetModeWord(uint16_t mode) {
    std::lock_guard<std::mutex> lock(mutex_);
    mode_ = mode;
    nextReport_ = Clock::now() + std::chrono::milliseconds(reportPeriodMs_);
    WakeLocked();
}

uint16_t PanelSimulator::ModeWord() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return mode_;
}

void PanelSimulator::SetReportPeriodMs(int periodMs) {
    std::lock_guard<std::mutex> lock(mutex_);
    reportPeriodMs_ = periodMs < 0 ? 0 : periodMs;
    nextReport_ = Clock::now() + std::chrono::milliseconds(reportPeriodMs_);
    WakeLocked();
}

void PanelSimulator::SetPeriodicReports(std::vector<SimReport> reports) {
    SetReportSource([reports = std::move(reports)] { return reports; });
}

void PanelSimulator::SetReportSource(std::function<std::vector<SimReport>()> source) {
    std::lock_guard<std::mutex> lock(mutex_);
    reportSource_ = std::move(source);
}

void PanelSimulator::SetPlayRegulators(bool play) {
    std::lock_guard<std::mutex> lock(mutex_);
    playRegulators_ = play;
}

bool PanelSimulator::PushReport(const SimReport& report) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (mode_ != kReportsOn) return false;
    outgoing_.push_back({BuildFieldLine(report.kind, report.code, 0, report.fields), true});
    WakeLocked();
    return true;
}

void PanelSimulator::PushRawLine(const std::string& text) { PushRawBytes(FinishFieldLine(text)); }

void PanelSimulator::PushRawBytes(const std::string& bytes) {
    std::lock_guard<std::mutex> lock(mutex_);
    outgoing_.push_back({bytes, false});
    WakeLocked();
}

void PanelSimulator::SetSilent(bool silent) {
    std::lock_guard<std::mutex> lock(mutex_);
    silent_ = silent;
}

void PanelSimulator::SetSilentCommands(std::set<uint8_t> commands) {
    std::lock_guard<std::mutex> lock(mutex_);
    silentCommands_ = std::move(commands);
}

void PanelSimulator::DropNextReplies(int count) {
    std::lock_guard<std::mutex> lock(mutex_);
    dropNext_ = count;
}

void PanelSimulator::SetCorruptReplyChecksums(bool corrupt) {
    std::lock_guard<std::mutex> lock(mutex_);
    corruptChecksums_ = corrupt;
}

void PanelSimulator::SetGarbageBeforeReplies(bool garbage) {
    std::lock_guard<std::mutex> lock(mutex_);
    garbage_ = garbage;
}

void PanelSimulator::HoldNextReplies(int count) {
    std::lock_guard<std::mutex> lock(mutex_);
    holdNext_ = count;
}

void PanelSimulator::SetHangUpAfterRequests(int count) {
    std::lock_guard<std::mutex> lock(mutex_);
    hangUpAfter_ = count < 0 ? -1 : validRequests_ + count;
}

void PanelSimulator::HangUpNow() {
    std::lock_guard<std::mutex> lock(mutex_);
    hangUpRequested_ = true;
    WakeLocked();
}

void PanelSimulator::SetReplyDelayMs(int delayMs) {
    std::lock_guard<std::mutex> lock(mutex_);
    replyDelayMs_ = delayMs;
}

void PanelSimulator::SetInputPacing(bool paced) {
    std::lock_guard<std::mutex> lock(mutex_);
    inputPaced_ = paced;
    WakeLocked();
}

void PanelSimulator::SetPacing(bool paced) {
    std::lock_guard<std::mutex> lock(mutex_);
    paced_ = paced;
}

void PanelSimulator::SetUnansweredRequest(uint8_t command, uint32_t param) {
    std::lock_guard<std::mutex> lock(mutex_);
    unanswered_.insert({command, param});
}

void PanelSimulator::ClearUnansweredRequests() {
    std::lock_guard<std::mutex> lock(mutex_);
    unanswered_.clear();
}

std::vector<SimRequest> PanelSimulator::Requests() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_;
}

std::vector<std::string> PanelSimulator::RequestTexts() const {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<std::string> texts;
    for (const SimRequest& request : requests_) texts.push_back(request.text);
    return texts;
}

void PanelSimulator::ClearRequests() {
    std::lock_guard<std::mutex> lock(mutex_);
    requests_.clear();
}

bool PanelSimulator::WaitForRequests(size_t count, int timeoutMs) const {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                             [&] { return requests_.size() >= count; });
}

int PanelSimulator::BadChecksumCount() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return badChecksums_;
}

int PanelSimulator::MalformedCount() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return malformed_;
}

int PanelSimulator::ReportsSent() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return reportsSent_;
}

int PanelSimulator::RepliesSent() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return repliesSent_;
}

size_t PanelSimulator::BytesSent() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return bytesSent_;
}

bool PanelSimulator::HasHungUp() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return hungUp_;
}

bool PanelSimulator::PeerClosed() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return peerClosed_;
}

void PanelSimulator::WakeLocked() {
    if (wakeWrite_ >= 0) {
        ssize_t ignored = write(wakeWrite_, "w", 1);  // a full pipe already wakes the thread
        (void)ignored;
    }
}

// ---------------------------------------------------------------------------------------------
// The serving thread

void PanelSimulator::Serve() {
    while (!stopping_) {
        int timeoutMs = -1;
        size_t inputBudget = 512;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (hungUp_ || peerClosed_) break;
            if (reportPeriodMs_ > 0 && mode_ == kReportsOn) {
                auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(nextReport_ - Clock::now());
                timeoutMs = wait.count() < 0 ? 0 : static_cast<int>(wait.count()) + 1;
            }
            if (inputPaced_) {
                const Clock::time_point now = Clock::now();
                if (nextInputByte_ > now) {
                    // Not yet time for the next byte: wait without watching the input.
                    inputBudget = 0;
                    auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(nextInputByte_ - now);
                    int waitMs = static_cast<int>(wait.count()) + 1;
                    timeoutMs = timeoutMs < 0 ? waitMs : std::min(timeoutMs, waitMs);
                } else {
                    inputBudget = 8;  // a small burst, then the line's pace
                }
            }
        }
        pollfd fds[2] = {{fd_, static_cast<short>(inputBudget > 0 ? POLLIN : 0), 0}, {wakeRead_, POLLIN, 0}};
        int ready = poll(fds, 2, timeoutMs);
        if (ready < 0 && errno != EINTR) break;
        if (stopping_) break;
        if (fds[1].revents & POLLIN) {
            char drain[64];
            while (read(wakeRead_, drain, sizeof drain) > 0) {
            }
        }
        SendQueued();
        if (fds[0].revents & POLLNVAL) break;
        if (fds[0].revents & (POLLIN | POLLHUP | POLLERR)) {
            char buffer[512];
            ssize_t count = read(fd_, buffer, std::min(sizeof buffer, inputBudget > 0 ? inputBudget : size_t{1}));
            if (count > 0) {
                {
                    std::lock_guard<std::mutex> lock(mutex_);
                    if (inputPaced_) {
                        const Clock::time_point now = Clock::now();
                        nextInputByte_ = std::max(nextInputByte_, now) + kPacedByte * count;
                    }
                }
                HandleInput(buffer, static_cast<size_t>(count));
            } else if (count == 0 || (errno != EAGAIN && errno != EINTR)) {
                std::lock_guard<std::mutex> lock(mutex_);
                peerClosed_ = true;
                break;
            }
        }
        SendPeriodicReports();
    }
}

void PanelSimulator::HandleInput(const char* data, size_t length) {
    bool paced;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        paced = paced_;
    }
    const Clock::time_point readAt = Clock::now();
    for (size_t i = 0; i < length && !stopping_; ++i) {
        if (paced) {
            // A pty delivers the whole request at once; on the wire each byte takes its time.
            if (receivedWireEnd_ < readAt) receivedWireEnd_ = readAt;
            receivedWireEnd_ += kPacedByte;
        }
        if (data[i] == '\n') {
            if (paced) std::this_thread::sleep_until(receivedWireEnd_);
            std::string line;
            line.swap(input_);
            HandleLine(std::move(line));
            continue;
        }
        if (input_.size() >= kMaxLine) {  // no line feed within a sane length: drop the run
            input_.clear();
            std::lock_guard<std::mutex> lock(mutex_);
            ++malformed_;
        }
        input_ += data[i];
    }
}

void PanelSimulator::HandleLine(std::string line) {
    while (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) return;
    if (line.size() % 2 != 0 || !IsHexText(line) || PairSum(line) != 0) {
        std::lock_guard<std::mutex> lock(mutex_);
        ++badChecksums_;
        return;
    }
    if (line.size() < 8) {  // kind, command, sequence and checksum at the least
        std::lock_guard<std::mutex> lock(mutex_);
        ++malformed_;
        return;
    }

    SimRequest request;
    std::string body = line.substr(6, line.size() - 8);
    request.text = line.substr(0, 4) + body;
    request.kind = static_cast<uint8_t>(ParseHex(line.substr(0, 2)));
    request.command = static_cast<uint8_t>(ParseHex(line.substr(2, 2)));
    request.sequence = static_cast<uint8_t>(ParseHex(line.substr(4, 2)));
    if (body.size() >= 4) request.param = ParseHex(body.substr(0, 4));
    if (body.size() > 4) request.value = ParseHex(body.substr(4));

    bool hangUp;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        requests_.push_back(request);
        ++validRequests_;
        hangUp = hangUpAfter_ >= 0 && validRequests_ > hangUpAfter_;
        changed_.notify_all();
    }
    if (hangUp) {
        HangUp();
        return;
    }

    std::vector<std::string> held;
    held.swap(heldReplies_);
    for (const std::string& reply : held) SendBytes(reply);

    std::vector<std::string> fields;
    std::string reply;
    int delayMs;
    std::string garbage;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (BodyLength(request.command) != static_cast<int>(body.size())) {
            ++malformed_;
            return;
        }
        if (!Answer(request, body, fields)) return;
        if (silent_ || silentCommands_.count(request.command) != 0) return;
        if (unanswered_.count({request.command, request.param}) != 0) return;
        if (dropNext_ > 0) {
            --dropNext_;
            return;
        }
        reply = BuildFieldLine(request.kind, request.command, request.sequence, fields);
        if (corruptChecksums_) reply = CorruptChecksum(reply);
        if (holdNext_ > 0) {
            --holdNext_;
            heldReplies_.push_back(reply);
            return;
        }
        delayMs = replyDelayMs_;
        if (garbage_) garbage = kGarbage[garbageTurn_++ % (sizeof kGarbage / sizeof kGarbage[0])];
    }
    if (delayMs > 0) SleepFor(delayMs);
    if (!garbage.empty()) SendBytes(garbage);
    if (SendBytes(reply)) {
        std::lock_guard<std::mutex> lock(mutex_);
        ++repliesSent_;
        changed_.notify_all();
    }
}

bool PanelSimulator::Answer(const SimRequest& request, const std::string& body, std::vector<std::string>& fields) {
    const uint16_t code = static_cast<uint16_t>(request.param);
    switch (request.command) {
    case 0x0A:
        fields = {Hex(identity_.typeCode, 4), Hex(identity_.version, 6), Hex(identity_.field2, 4),
                  Hex(identity_.flags, 4)};
        if (identity_.sixFields) {
            fields.push_back(Hex(identity_.serial, 4));
            fields.push_back(Hex(identity_.field5, 4));
        }
        if (identity_.fieldLimit > 0 && fields.size() > static_cast<size_t>(identity_.fieldLimit))
            fields.resize(static_cast<size_t>(identity_.fieldLimit));
        return true;
    case 0x30:
        mode_ = static_cast<uint16_t>(request.param);
        nextReport_ = Clock::now() + std::chrono::milliseconds(reportPeriodMs_);
        fields = {Hex(mode_, 4)};
        return true;
    case 0xA3: {
        fields = {Hex(slots_.field0, 2)};
        uint32_t kinds = 0;
        for (int i = 3; i >= 0; --i) kinds = kinds << 8 | slots_.kinds[static_cast<size_t>(i)];
        if (slots_.twoFields) fields.push_back(Hex(kinds, 8));
        return true;
    }
    case 0xB4: {
        const std::vector<int>& order = table_.ListOrder();
        const uint32_t index = request.param;
        if (index >= order.size()) {
            fields = {Hex(index, 4), Hex(2, 2)};
            return true;
        }
        const SimParam* param = order[index] == kEmptyListIndex ? nullptr
                                                                : table_.Find(static_cast<uint16_t>(order[index]));
        if (param == nullptr) {
            fields = {Hex(index, 4), Hex(4, 2)};
            return true;
        }
        fields = {Hex(index, 4), Hex(1, 2), Hex(param->code, 4), Hex(param->type & 0x87u, 2)};
        return true;
    }
    case 0x86: {
        const SimParam* param = table_.Find(code);
        if (param == nullptr) {
            fields = {Hex(code, 4), Hex(0, 2), Hex(0, 2)};
        } else if (param->dataError) {
            fields = {Hex(code, 4), Hex((param->attribute & ~0x38u) | 0x20u, 2), Hex(0, 2)};
        } else if (param->refused) {
            fields = {Hex(code, 4), Hex(param->attribute, 2), Hex(0, 2)};
        } else {
            int digits = ValueDigits(param->type);
            fields = {Hex(code, 4), Hex(param->attribute, 2), Hex(param->type, 2),
                      Hex(param->value, digits == 0 ? 8 : digits)};
        }
        return true;
    }
    case 0x9A:
    case 0x9B:
    case 0x9C:
    case 0x9D: {
        SimParam* param = table_.Find(code);
        bool refused = param == nullptr || param->refused || param->readOnly ||
                       (param->type & 7) != WriteKind(request.command);
        if (!refused) param->value = FitValue(param->type, ParseHex(body.substr(4)));
        fields = {Hex(code, 4), Hex(refused ? 1 : 0, 2)};
        return true;
    }
    default:
        return false;
    }
}

std::vector<SimReport> PanelSimulator::RegulatorReportsLocked() {
    std::vector<SimReport> reports;
    if (!playRegulators_) return reports;
    const unsigned tick = regulatorTick_++;
    for (unsigned channel = 0; channel < 4; ++channel) {
        const SimParam* type = table_.Find(static_cast<uint16_t>(211 + channel));
        const SimParam* option = table_.Find(static_cast<uint16_t>(0x201 + 32 * channel));
        if (type == nullptr) continue;
        for (SimReport& report : ChannelReports(channel, static_cast<uint8_t>(type->value),
                                                option != nullptr ? static_cast<uint8_t>(option->value) : 0, tick))
            reports.push_back(std::move(report));
    }
    return reports;
}

void PanelSimulator::SendPeriodicReports() {
    std::function<std::vector<SimReport>()> source;
    std::vector<SimReport> regulators;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (reportPeriodMs_ <= 0 || mode_ != kReportsOn) return;
        Clock::time_point now = Clock::now();
        if (now < nextReport_) return;
        nextReport_ += std::chrono::milliseconds(reportPeriodMs_);
        if (nextReport_ < now) nextReport_ = now + std::chrono::milliseconds(reportPeriodMs_);
        source = reportSource_;
        regulators = RegulatorReportsLocked();
    }
    std::vector<SimReport> reports = source ? source() : std::vector<SimReport>();
    reports.insert(reports.end(), regulators.begin(), regulators.end());
    for (const SimReport& report : reports) {
        if (stopping_) return;
        if (SendBytes(BuildFieldLine(report.kind, report.code, 0, report.fields))) {
            std::lock_guard<std::mutex> lock(mutex_);
            ++reportsSent_;
        }
    }
}

void PanelSimulator::SendQueued() {
    std::deque<Outgoing> queued;
    bool hangUp;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        queued.swap(outgoing_);
        hangUp = hangUpRequested_;
        hangUpRequested_ = false;
    }
    for (const Outgoing& item : queued) {
        if (stopping_) return;
        if (SendBytes(item.bytes) && item.report) {
            std::lock_guard<std::mutex> lock(mutex_);
            ++reportsSent_;
        }
    }
    if (hangUp) HangUp();
}

bool PanelSimulator::SendBytes(const std::string& bytes) {
    bool paced;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (hungUp_ || peerClosed_) return false;
        paced = paced_;
    }
    const size_t step = paced ? 1 : bytes.size();
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(kWriteTimeoutMs);
    size_t sent = 0;
    bool ok = true;
    while (sent < bytes.size() && !stopping_) {
        if (paced) {
            Clock::time_point now = Clock::now();
            if (nextPacedByte_ < now) nextPacedByte_ = now;
            std::this_thread::sleep_until(nextPacedByte_);
            nextPacedByte_ += kPacedByte;
        }
        size_t chunk = std::min(step, bytes.size() - sent);
        ssize_t count = write(fd_, bytes.data() + sent, chunk);
        if (count > 0) {
            sent += static_cast<size_t>(count);
            continue;
        }
        if (count < 0 && errno != EAGAIN && errno != EINTR) {
            std::lock_guard<std::mutex> lock(mutex_);
            peerClosed_ = true;
            ok = false;
            break;
        }
        if (Clock::now() >= deadline) {  // the peer does not read: drop the rest
            ok = false;
            break;
        }
        pollfd out = {fd_, POLLOUT, 0};
        poll(&out, 1, 20);
    }
    std::lock_guard<std::mutex> lock(mutex_);
    bytesSent_ += sent;
    return ok && sent == bytes.size();
}

void PanelSimulator::HangUp() {
    {
        // Marked first, so that whoever sees the hang-up also sees the flag.
        std::lock_guard<std::mutex> lock(mutex_);
        hungUp_ = true;
    }
    if (ownsFd_) {
        shutdown(fd_, SHUT_RDWR);  // fails harmlessly on a terminal
        close(fd_);
    } else {
        // Release our reference to the device but keep the descriptor number valid for its owner.
        shutdown(fd_, SHUT_RDWR);
        int null = open("/dev/null", O_RDWR | O_CLOEXEC);
        if (null >= 0) {
            dup2(null, fd_);
            close(null);
        }
    }
}

void PanelSimulator::SleepFor(int ms) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait_for(lock, std::chrono::milliseconds(ms), [&] { return stopping_.load(); });
}

}  // namespace sim
