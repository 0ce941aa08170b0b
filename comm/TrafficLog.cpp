#include "comm/TrafficLog.h"

#include <chrono>
#include <cstdio>
#include <mutex>

namespace {

constexpr size_t kMaxLineChars = 512;

struct TrafficLogState {
    std::mutex lock;
    std::string path = "logger.log";
    FILE* file = nullptr;
    std::chrono::steady_clock::time_point origin;
    bool streamAtLineStart = true;  // stream form: the next text byte begins a new line
    std::string line;               // line form: text collected so far
};

TrafficLogState& State() {
    static TrafficLogState* state = new TrafficLogState;  // lives for the whole program
    return *state;
}

bool IsLineEnd(uint8_t byte) { return byte == '\r' || byte == '\n'; }

void WriteStamp(TrafficLogState& state, char mark) {
    long elapsed = static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - state.origin).count());
    std::fprintf(state.file, "%c%3ld.%03ld%c ", mark, elapsed / 1000, elapsed % 1000, mark);
}

}  // namespace

void WriteTrafficLog(bool incoming, const uint8_t* bytes, int32_t length) {
    TrafficLogState& state = State();
    std::lock_guard<std::mutex> guard(state.lock);
    if (!state.file) {
        state.file = std::fopen(state.path.c_str(), "w");
        if (!state.file) return;  // tried again on the next call
        state.origin = std::chrono::steady_clock::now();
        state.streamAtLineStart = true;
        state.line.clear();
    }
    if (!bytes) length = 0;
    for (int32_t i = 0; i < length; ++i) {
        uint8_t byte = bytes[i];
        if (incoming) {
            if (IsLineEnd(byte)) {
                if (!state.streamAtLineStart) {
                    std::fputc('\n', state.file);
                    state.streamAtLineStart = true;
                }
                continue;
            }
            // The stamp waits for the line's first text byte, so a lone CR LF writes nothing.
            if (state.streamAtLineStart) {
                WriteStamp(state, '<');
                state.streamAtLineStart = false;
            }
            std::fputc(byte, state.file);
        } else {
            if (IsLineEnd(byte)) {
                if (!state.line.empty()) {
                    WriteStamp(state, '>');
                    std::fwrite(state.line.data(), 1, state.line.size(), state.file);
                    std::fputc('\n', state.file);
                    state.line.clear();
                }
                continue;
            }
            if (state.line.size() < kMaxLineChars) state.line.push_back(static_cast<char>(byte));
        }
    }
    std::fflush(state.file);
}

void SetTrafficLogPath(const std::string& path) {
    TrafficLogState& state = State();
    std::lock_guard<std::mutex> guard(state.lock);
    if (state.file) std::fclose(state.file);
    state.file = nullptr;
    state.path = path;
    state.streamAtLineStart = true;
    state.line.clear();
}
