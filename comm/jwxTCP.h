// Driver for a panel at another site, reached through the remote-assistance proxy over TCP.
// Its worker connects to the proxy, authenticates with the challenge and response, fetches the
// proxy's list of waiting remote panels, posts it to the owner (UNICOM_EV_NODE_LIST) and waits
// for the owner's UNICOM_SELECT, announces the choice and from then on carries panel lines
// unchanged, like the serial driver.
//
// A hostile or broken proxy cannot hang the program: connecting and every handshake step are
// bounded in time and give way to UNICOM_EXIT, so Stop never waits long.
#pragma once

#include <netdb.h>

#include <chrono>
#include <deque>
#include <string>

#include "comm/ProxyHandshake.h"
#include "comm/jwxUniCom.h"

class jwxTCP : public jwxUniCom {
public:
    // Time allowed for connecting to one address and for each handshake step.
    static constexpr int kStepTimeoutMs = 10000;

    static constexpr const char* kReasonResolve = "Nie mozna przetlumaczyc adresu proxy na IP (problem DNS?)";
    static constexpr const char* kReasonConnect = "Nie udalo sie otworzyc polaczenia do proxy";

    // host: "name" or "name:port", where the port overrides defaultPort. Both texts are copied.
    jwxTCP(wxEvtHandler* owner, const char* host, int defaultPort, const char* password);
    ~jwxTCP() override;

    const std::string& GetHost() const { return host; }
    int GetPort() const { return port; }
    // Shortens the step time-out (tests); call before Start.
    void SetStepTimeoutMs(int ms) { stepTimeoutMs = ms; }
    // The name lookup, getaddrinfo unless replaced (tests stand in a slow name service); call
    // before Start.
    using Resolver = int (*)(const char* node, const char* service, const addrinfo* hints, addrinfo** result);
    void SetResolver(Resolver lookup) { resolver = lookup; }

protected:
    int ThreadMain() override;

private:
    using Clock = std::chrono::steady_clock;
    enum class Wake { Ready, Exit, Timeout, Failed };

    // Socket or -1; sets failureReason, or exitRequested when UNICOM_EXIT came meanwhile.
    int Connect();
    // 0 when the choice is announced, -1 otherwise (failureReason or exitRequested set).
    int Handshake(int fd);
    int Relay();

    // Waits until the socket is readable (POLLIN) or writable (POLLOUT) or the deadline
    // passes; messages arriving meanwhile are held for later, UNICOM_EXIT ends the wait.
    Wake WaitSocket(int fd, short events, Clock::time_point deadline);
    // Moves every queued message to the held list; true when one of them is UNICOM_EXIT.
    bool HoldQueuedMessages();
    // Sends all bytes, waiting at most stepTimeoutMs for room in the socket.
    Wake SendAll(int fd, const void* bytes, size_t count);
    bool NextMessage(platform::ThreadMessage* message);
    void HandleRelayMessage(const platform::ThreadMessage& message);
    void ReceiveIntoLines();
    void PostNodeList();
    void CloseSocket();
    void FreeHeldMessages();

    std::string host;
    std::string password;
    int port;
    int socketFd = -1;
    const char* failureReason = nullptr;
    int stepTimeoutMs = kStepTimeoutMs;
    Resolver resolver = &getaddrinfo;

    // Worker state.
    ProxyHandshake handshake;
    std::string handshakeLeftover;  // bytes the proxy sent after its list, for the relay
    std::deque<platform::ThreadMessage> held;  // messages taken from the queue during waits
    bool exitRequested = false;
    bool peerClosed = false;
    bool errorCounted = false;
};
