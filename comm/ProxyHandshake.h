// The operator side of the proxy's handshake as pure line handling, without sockets:
//   -> "+AUTH\n"                      <- "+CHALL=<n>"
//   -> "+RESP=<r>\n+LIST\n"           <- "+NODE=<text>" ... "+LISTDONE"
//   (the operator picks a node)       -> "+OPERATOR=<first two fields>\n"
// Received bytes are cut into lines of at most 256 bytes: a line ends after its LF or when
// 256 bytes have gathered without one, so a proxy line of any length costs bounded memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class ProxyHandshake {
public:
    static constexpr size_t kLineCapacity = 256;
    static constexpr size_t kMaxNodes = 32;

    // Failure reasons shown to the user (8-bit ASCII).
    static constexpr const char* kReasonChallengeLost = "Polaczenie z proxy przerwane #1";
    static constexpr const char* kReasonBadChallenge = "Blad komunikacji z proxy #1";
    static constexpr const char* kReasonListLost = "Polaczenie z proxy przerwane,\nblad autoryzacji";
    static constexpr const char* kReasonNoNodes = "Brak zdalnych urzadzen gotowych\ndo komunikacji przez proxy";
    static constexpr const char* kReasonNoChoice = "Nie wybrano zdalnego urzadzenia";

    enum class Step {
        Challenge,  // "+AUTH" sent, waiting for "+CHALL="
        List,       // response sent, gathering "+NODE=" lines until "+LISTDONE"
        Choice,     // the node list is complete, waiting for the operator's choice
        Done,       // "+OPERATOR=" produced
        Failed      // FailureReason() tells why
    };

    explicit ProxyHandshake(std::string password);

    // The first line to send to the proxy.
    static const char* FirstLine() { return "+AUTH\n"; }

    // Handles bytes received from the proxy. Lines to send in answer are appended to *toSend.
    // Returns how many bytes were used: handling stops as soon as the step leaves Challenge
    // and List, and the bytes after that point are the caller's.
    size_t Feed(const uint8_t* bytes, size_t count, std::string* toSend);

    // The proxy closed the connection: a partial line still gathered is handled as a line
    // (the proxy sent it before closing), then a step still waiting for lines fails.
    void PeerClosed(std::string* toSend);
    // Reading failed, or the step took too long: a step still waiting for lines fails.
    void ReadFailed();

    Step GetStep() const { return step; }
    // Null unless the step is Failed.
    const char* FailureReason() const { return reason; }

    // During Choice: the node texts (NUL-terminated, without their LF). The array and the
    // texts stay valid and unchanged until ReleaseNodes.
    int NodeCount() const { return static_cast<int>(nodes.size()); }
    char** NodeArray() { return nodeArray.empty() ? nullptr : nodeArray.data(); }

    // The operator's choice, -1 for none. A valid index gives true and appends the
    // "+OPERATOR=" line (the node text up to its second ';') to *toSend; otherwise false.
    bool Choose(long index, std::string* toSend);
    void ReleaseNodes();

    // Bytes that had gathered for the current, unfinished line.
    size_t PendingLength() const { return pendingLength; }

private:
    void HandleLine(const char* line, size_t length, std::string* toSend);
    void HandleChallenge(const char* line, size_t length, std::string* toSend);
    void HandleListLine(const char* line, size_t length);
    void Fail(const char* why);

    std::string password;
    Step step = Step::Challenge;
    const char* reason = nullptr;
    char pending[kLineCapacity];
    size_t pendingLength = 0;
    std::vector<std::string> nodes;
    std::vector<char*> nodeArray;
};
