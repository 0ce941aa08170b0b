// Feeds arbitrary bytes to the handshake's line handling as if the proxy had sent them, in
// pieces of varying size, and checks what it keeps and what it would answer.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "comm/ProxyHandshake.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

bool IsResponse(const std::string& text) {
    static const char kHead[] = "+RESP=";
    static const char kTail[] = "\n+LIST\n";
    if (text.size() < sizeof kHead + sizeof kTail - 1) return false;  // room for one digit
    if (text.compare(0, sizeof kHead - 1, kHead) != 0) return false;
    const size_t tail = text.size() - (sizeof kTail - 1);
    if (text.compare(tail, std::string::npos, kTail) != 0) return false;
    const std::string digits = text.substr(sizeof kHead - 1, tail - (sizeof kHead - 1));
    if (digits.empty() || digits.size() > 10) return false;
    for (char c : digits)
        if (c < '0' || c > '9') return false;
    return std::strtoll(digits.c_str(), nullptr, 10) <= 2147483647LL;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const long choice = static_cast<int8_t>(data[0]);
    const size_t piece = (data[1] >> 1) + 1u;
    const bool closes = (data[1] & 1) != 0;
    data += 2;
    size -= 2;

    ProxyHandshake handshake("pass\xE9");
    std::string sent;
    size_t at = 0;
    while (at < size) {
        const size_t count = size - at < piece ? size - at : piece;
        const size_t used = handshake.Feed(data + at, count, &sent);
        Check(used <= count);
        Check(handshake.PendingLength() < ProxyHandshake::kLineCapacity);
        at += used;
        if (used < count) break;  // the handshake left its line steps
    }
    if (closes) handshake.PeerClosed(&sent);
    else if (at == size) handshake.ReadFailed();

    // At most one answer to the challenge, and only in its exact form.
    Check(sent.empty() || IsResponse(sent));

    if (handshake.GetStep() == ProxyHandshake::Step::Failed) {
        Check(handshake.FailureReason() != nullptr);
        return 0;
    }
    Check(handshake.GetStep() == ProxyHandshake::Step::Choice);
    Check(handshake.NodeCount() >= 1 && static_cast<size_t>(handshake.NodeCount()) <= ProxyHandshake::kMaxNodes);
    for (int i = 0; i < handshake.NodeCount(); ++i) {
        const char* node = handshake.NodeArray()[i];
        Check(std::strlen(node) < ProxyHandshake::kLineCapacity);
        Check(std::strchr(node, '\n') == nullptr);
    }
    std::string announced;
    const bool chosen = handshake.Choose(choice, &announced);
    Check(chosen == (choice >= 0 && choice < handshake.NodeCount()));
    if (chosen) {
        Check(announced.compare(0, 10, "+OPERATOR=") == 0 && announced.back() == '\n');
        const std::string body = announced.substr(10, announced.size() - 11);
        Check(std::count(body.begin(), body.end(), ';') <= 1);
        Check(body.find('\n') == std::string::npos);
    } else {
        Check(announced.empty() && handshake.FailureReason() != nullptr);
    }
    handshake.ReleaseNodes();
    return 0;
}
