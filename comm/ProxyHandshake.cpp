#include "comm/ProxyHandshake.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>

#include "comm/ProxyResponse.h"

namespace {

bool StartsWith(const char* line, size_t length, const char* prefix) {
    const size_t prefixLength = std::strlen(prefix);
    return length >= prefixLength && std::memcmp(line, prefix, prefixLength) == 0;
}

// The signed decimal number at the start of text; reading stops at the first non-digit.
// Values beyond the 32-bit range are clamped to it.
int32_t ParseChallenge(const char* text, size_t length) {
    size_t i = 0;
    bool negative = false;
    if (i < length && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    int64_t value = 0;
    for (; i < length && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > INT64_C(2147483648)) value = INT64_C(2147483648);
    }
    if (negative) value = -value;
    if (value > INT32_MAX) value = INT32_MAX;
    return static_cast<int32_t>(value);
}

}  // namespace

ProxyHandshake::ProxyHandshake(std::string password) : password(std::move(password)) {}

size_t ProxyHandshake::Feed(const uint8_t* bytes, size_t count, std::string* toSend) {
    size_t used = 0;
    while (used < count && (step == Step::Challenge || step == Step::List)) {
        const uint8_t byte = bytes[used++];
        pending[pendingLength++] = static_cast<char>(byte);
        if (byte == '\n' || pendingLength == kLineCapacity) {
            const size_t length = pendingLength;
            pendingLength = 0;
            HandleLine(pending, length, toSend);
        }
    }
    return used;
}

void ProxyHandshake::PeerClosed(std::string* toSend) {
    if (pendingLength > 0 && (step == Step::Challenge || step == Step::List)) {
        const size_t length = pendingLength;
        pendingLength = 0;
        HandleLine(pending, length, toSend);
    }
    ReadFailed();
}

void ProxyHandshake::ReadFailed() {
    pendingLength = 0;
    if (step == Step::Challenge) Fail(kReasonChallengeLost);
    else if (step == Step::List) Fail(kReasonListLost);
}

void ProxyHandshake::HandleLine(const char* line, size_t length, std::string* toSend) {
    if (step == Step::Challenge) HandleChallenge(line, length, toSend);
    else if (step == Step::List) HandleListLine(line, length);
}

void ProxyHandshake::HandleChallenge(const char* line, size_t length, std::string* toSend) {
    static const char kPrefix[] = "+CHALL=";
    if (!StartsWith(line, length, kPrefix)) {
        Fail(kReasonBadChallenge);
        return;
    }
    const size_t skip = sizeof kPrefix - 1;
    const int32_t challenge = ParseChallenge(line + skip, length - skip);
    // The challenge enters the mixing as its 32-bit two's-complement pattern.
    const long response = ProxyResponse(static_cast<uint32_t>(challenge), password.c_str());
    char text[48];
    std::snprintf(text, sizeof text, "+RESP=%ld\n+LIST\n", response);
    toSend->append(text);
    step = Step::List;
}

void ProxyHandshake::HandleListLine(const char* line, size_t length) {
    static const char kNode[] = "+NODE=";
    if (StartsWith(line, length, kNode)) {
        // The rest of the line without its last character (normally the LF); a rest of one
        // character is an empty node and is skipped, as is every node beyond the limit.
        const size_t rest = length - (sizeof kNode - 1);
        if (rest >= 2 && nodes.size() < kMaxNodes) {
            std::string text(line + sizeof kNode - 1, rest - 1);
            // The GUI and the announcement read the text as a C string: it ends at a NUL byte.
            text.resize(std::strlen(text.c_str()));
            nodes.push_back(std::move(text));
        }
        return;
    }
    if (StartsWith(line, length, "+LISTDONE")) {
        if (nodes.empty()) {
            Fail(kReasonNoNodes);
            return;
        }
        nodeArray.clear();
        for (std::string& node : nodes) nodeArray.push_back(&node[0]);
        step = Step::Choice;
    }
    // Any other line is ignored.
}

bool ProxyHandshake::Choose(long index, std::string* toSend) {
    if (step != Step::Choice) return false;
    if (index < 0 || index >= NodeCount()) {
        Fail(kReasonNoChoice);
        return false;
    }
    const std::string& node = nodes[static_cast<size_t>(index)];
    size_t cut = node.find(';');
    if (cut != std::string::npos) cut = node.find(';', cut + 1);
    toSend->append("+OPERATOR=");
    toSend->append(node, 0, cut);  // npos: fewer than two ';', the whole text
    toSend->append("\n");
    step = Step::Done;
    return true;
}

void ProxyHandshake::ReleaseNodes() {
    nodeArray.clear();
    nodeArray.shrink_to_fit();
    nodes.clear();
    nodes.shrink_to_fit();
}

void ProxyHandshake::Fail(const char* why) {
    step = Step::Failed;
    reason = why;
}
