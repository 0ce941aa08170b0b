#include "comm/jwxTCP.h"

#include "comm/ProxyAddress.h"

#include <wx/log.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <memory>
#include <thread>

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// Slice of a wait for a writable socket: the queue has no descriptor to poll beside it, so
// UNICOM_EXIT is looked for between slices.
constexpr int kWriteWaitSliceMs = 50;

// One name lookup on a thread of its own: getaddrinfo cannot be interrupted, so the worker
// waits for the lookup's descriptor together with its messages and may give up on it. The
// state is shared: whoever lets go last frees it, with the result.
struct Lookup {
    int doneFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    int status = EAI_FAIL;
    addrinfo* result = nullptr;
    std::atomic<bool> done{false};  // status and result are set
    ~Lookup() {
        if (result) freeaddrinfo(result);
        if (doneFd >= 0) close(doneFd);
    }
};

bool WouldBlock(int error) { return error == EAGAIN || error == EWOULDBLOCK || error == EINTR; }

}  // namespace

jwxTCP::jwxTCP(wxEvtHandler* owner, const char* hostText, int defaultPort, const char* passwordText)
    : jwxUniCom(owner),
      host(hostText ? hostText : ""),
      password(passwordText ? passwordText : ""),
      port(defaultPort),
      handshake(password) {
    const ProxyAddress address = ParseProxyAddress(host, defaultPort);
    host = address.host;
    port = address.port;
}

jwxTCP::~jwxTCP() {
    Stop();  // the worker uses this object's members: it must end before they go
    CloseSocket();
}

int jwxTCP::ThreadMain() {
    BeginWorker();
    const int fd = Connect();
    if (fd >= 0) {
        socketFd = fd;
        if (Handshake(fd) == 0) return Relay();
    }
    CloseSocket();
    FreeHeldMessages();
    if (exitRequested) {
        // Stopped by the owner while connecting: not a failure to report.
        PostInfo(wxASCII_STR("UniCom TCP/IP thread exiting"));
        return 0;
    }
    if (failureReason) PostCode(UNICOM_EV_OPEN_FAILED, wxString::FromUTF8(failureReason));
    else PostCode(UNICOM_EV_OPEN_FAILED);
    PostInfo(wxASCII_STR("UniCom thread exiting, cannot open socket"));
    return -1;
}

int jwxTCP::Connect() {
    addrinfo hints;
    std::memset(&hints, 0, sizeof hints);
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    auto lookup = std::make_shared<Lookup>();
    if (lookup->doneFd < 0) {
        failureReason = kReasonResolve;
        return -1;
    }
    std::thread([lookup, name = host, hints, resolve = resolver] {
        addrinfo* result = nullptr;
        lookup->status = resolve(name.c_str(), nullptr, &hints, &result);
        lookup->result = result;
        lookup->done.store(true, std::memory_order_release);
        const uint64_t one = 1;
        (void)!write(lookup->doneFd, &one, sizeof one);
    }).detach();
    const Wake wake = WaitSocket(lookup->doneFd, POLLIN, Clock::now() + std::chrono::milliseconds(stepTimeoutMs));
    if (wake == Wake::Exit) return -1;
    if (wake != Wake::Ready || !lookup->done.load(std::memory_order_acquire) || lookup->status != 0 ||
        lookup->result == nullptr) {
        failureReason = kReasonResolve;
        return -1;
    }
    addrinfo* found = lookup->result;
    int connected = -1;
    for (addrinfo* entry = found; entry != nullptr && connected < 0 && port > 0; entry = entry->ai_next) {
        if (entry->ai_family != AF_INET || entry->ai_addrlen < sizeof(sockaddr_in)) continue;
        sockaddr_in address;
        std::memcpy(&address, entry->ai_addr, sizeof address);
        address.sin_port = htons(static_cast<uint16_t>(port));
        const int fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_TCP);
        if (fd < 0) continue;
        bool ok = connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
        if (!ok && errno == EINPROGRESS) {
            const Wake wake = WaitSocket(fd, POLLOUT, Clock::now() + std::chrono::milliseconds(stepTimeoutMs));
            if (wake == Wake::Exit) {
                close(fd);
                return -1;
            }
            int error = 0;
            socklen_t length = sizeof error;
            ok = wake == Wake::Ready && getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0;
        }
        if (ok) connected = fd;
        else close(fd);
    }
    if (connected < 0) failureReason = kReasonConnect;
    return connected;
}

int jwxTCP::Handshake(int fd) {
    std::string toSend;
    if (SendAll(fd, ProxyHandshake::FirstLine(), std::strlen(ProxyHandshake::FirstLine())) == Wake::Exit) return -1;
    // A failed send shows up as a failed read of the challenge.

    Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(stepTimeoutMs);
    uint8_t chunk[512];
    for (;;) {
        const ProxyHandshake::Step before = handshake.GetStep();
        if (before != ProxyHandshake::Step::Challenge && before != ProxyHandshake::Step::List) break;
        const Wake wake = WaitSocket(fd, POLLIN, deadline);
        if (wake == Wake::Exit) return -1;
        if (wake != Wake::Ready) {
            handshake.ReadFailed();
            continue;
        }
        const ssize_t received = recv(fd, chunk, sizeof chunk, 0);
        if (received > 0) {
            const size_t used = handshake.Feed(chunk, static_cast<size_t>(received), &toSend);
            if (handshake.GetStep() == ProxyHandshake::Step::Choice)
                handshakeLeftover.assign(reinterpret_cast<const char*>(chunk) + used,
                                         static_cast<size_t>(received) - used);
        } else if (received == 0) {
            handshake.PeerClosed(&toSend);
        } else if (!WouldBlock(errno)) {
            const long error = errno;
            PostError(wxString::Format(wxASCII_STR("SOCKET read error: %ld"), error));
            handshake.ReadFailed();
        }
        if (!toSend.empty()) {
            if (SendAll(fd, toSend.data(), toSend.size()) == Wake::Exit) return -1;
            toSend.clear();
        }
        // Each step has its own time: the list starts counting once the response is out.
        if (before == ProxyHandshake::Step::Challenge && handshake.GetStep() == ProxyHandshake::Step::List)
            deadline = Clock::now() + std::chrono::milliseconds(stepTimeoutMs);
    }
    if (handshake.GetStep() == ProxyHandshake::Step::Failed) {
        failureReason = handshake.FailureReason();
        return -1;
    }

    PostNodeList();
    // Only the choice (or a request to exit) is taken now; lines to send stay queued until
    // the choice is announced.
    platform::ThreadMessage choice;
    platform::GetThreadMessage(&choice, UNICOM_EXIT, UNICOM_SELECT);
    if (choice.message == UNICOM_EXIT) {
        // The node texts stay alive with the driver: the owner may not have read them yet.
        exitRequested = true;
        return -1;
    }
    const long index = static_cast<long>(static_cast<intptr_t>(choice.wParam));
    const bool chosen = handshake.Choose(index, &toSend);
    handshake.ReleaseNodes();
    if (!chosen) {
        failureReason = handshake.FailureReason();
        return -1;
    }
    if (SendAll(fd, toSend.data(), toSend.size()) == Wake::Exit) return -1;
    return 0;
}

void jwxTCP::PostNodeList() {
    wxCommandEvent event(EVT_UNICOM, GetEventId());
    event.SetInt(UNICOM_EV_NODE_LIST);
    event.SetExtraLong(handshake.NodeCount());
    event.SetClientData(handshake.NodeArray());
    PostToOwner(event.Clone());
}

int jwxTCP::Relay() {
    PostCode(UNICOM_EV_OPENED);
    if (!handshakeLeftover.empty()) {
        lines.Append(reinterpret_cast<const uint8_t*>(handshakeLeftover.data()),
                     static_cast<int32_t>(handshakeLeftover.size()),
                     [this](const uint8_t* line, int32_t length) { PostLine(line, length); });
        handshakeLeftover.clear();
    }
    platform::ThreadMessage message;
    while (!exitRequested) {
        if (errorCounted) {
            CloseSocket();
            FreeHeldMessages();
            PostInfo(wxASCII_STR("UniCom thread exiting due to an error"));
            PostCode(UNICOM_EV_STOPPED);
            return -1;
        }
        if (!held.empty()) {
            while (!exitRequested && NextMessage(&message)) HandleRelayMessage(message);
            continue;
        }
        // A closed connection is not watched again: it would report ready at once forever.
        // While the owner has not taken what was posted, the socket is not read either (the
        // peer is held back by the connection's own flow control); messages are still taken.
        const bool backlogged = LinesBacklogged();
        const int watched = peerClosed || backlogged ? -1 : socketFd;
        switch (platform::WaitDeviceOrMessage(watched, backlogged ? kBacklogPollMs : timeout)) {
        case platform::WaitResult::Device:
            ReceiveIntoLines();
            // A peer that keeps sending wins every wait: take the queued messages here as well,
            // so that requests and the exit are never held back by traffic.
            while (!exitRequested && NextMessage(&message)) HandleRelayMessage(message);
            break;
        case platform::WaitResult::Message:
            while (!exitRequested && NextMessage(&message)) HandleRelayMessage(message);
            break;
        case platform::WaitResult::Timeout:
            if (!backlogged) PostCode(UNICOM_EV_IDLE);
            break;
        case platform::WaitResult::Failed:
            PostLastError(wxASCII_STR("poll"));
            errorCounted = true;
            break;
        }
    }
    CloseSocket();
    FreeHeldMessages();
    PostInfo(wxASCII_STR("UniCom TCP/IP thread exiting"));
    return 0;
}

void jwxTCP::ReceiveIntoLines() {
    const ssize_t received = recv(socketFd, lines.FreeSpace(), static_cast<size_t>(lines.FreeCount()), 0);
    if (received > 0) {
        PostBatch batch(*this);
        lines.Commit(static_cast<int32_t>(received),
                     [this](const uint8_t* line, int32_t length) { PostLine(line, length); });
    } else if (received == 0) {
        peerClosed = true;
        PostCode(UNICOM_EV_PEER_CLOSED);
    } else if (!WouldBlock(errno)) {
        PostWarning(wxASCII_STR("Connection broken"));
        errorCounted = true;
    }
}

void jwxTCP::HandleRelayMessage(const platform::ThreadMessage& message) {
    switch (message.message) {
    case UNICOM_TXDATA: {
        ByteBuffer* buffer = reinterpret_cast<ByteBuffer*>(message.wParam);
        // After the proxy closed (or the connection broke) requests are dropped.
        if (buffer && !peerClosed && !errorCounted) {
            const Wake wake = SendAll(socketFd, buffer->data, static_cast<size_t>(buffer->GetLength()));
            if (wake == Wake::Failed || wake == Wake::Timeout) {
                PostWarning(wxASCII_STR("Connection broken"));
                errorCounted = true;
            }
        }
        delete buffer;
        break;
    }
    case UNICOM_EXIT:
        exitRequested = true;
        break;
    default:
        PostUnknownMessage(message.message);
        break;
    }
}

bool jwxTCP::NextMessage(platform::ThreadMessage* message) {
    if (!held.empty()) {
        *message = held.front();
        held.pop_front();
        return true;
    }
    return platform::PeekThreadMessage(message, true);
}

jwxTCP::Wake jwxTCP::WaitSocket(int fd, short events, Clock::time_point deadline) {
    for (;;) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) return Wake::Timeout;
        if (events == POLLIN) {
            switch (platform::WaitDeviceOrMessage(fd, static_cast<int>(left))) {
            case platform::WaitResult::Device:
                return Wake::Ready;
            case platform::WaitResult::Message:
                if (HoldQueuedMessages()) return Wake::Exit;
                break;
            case platform::WaitResult::Timeout:
                break;  // the loop head checks the deadline
            case platform::WaitResult::Failed:
                return Wake::Failed;
            }
            continue;
        }
        pollfd watch = {fd, events, 0};
        const int ready = poll(&watch, 1, left < kWriteWaitSliceMs ? static_cast<int>(left) : kWriteWaitSliceMs);
        if (ready < 0 && errno != EINTR) return Wake::Failed;
        if (ready > 0) return Wake::Ready;
        if (HoldQueuedMessages()) return Wake::Exit;
    }
}

bool jwxTCP::HoldQueuedMessages() {
    platform::ThreadMessage message;
    while (platform::PeekThreadMessage(&message, true)) {
        if (message.message == UNICOM_EXIT) {
            exitRequested = true;
            return true;
        }
        held.push_back(message);
    }
    return false;
}

jwxTCP::Wake jwxTCP::SendAll(int fd, const void* bytes, size_t count) {
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(stepTimeoutMs);
    const char* next = static_cast<const char*>(bytes);
    while (count > 0) {
        const ssize_t sent = send(fd, next, count, MSG_NOSIGNAL);
        if (sent > 0) {
            next += sent;
            count -= static_cast<size_t>(sent);
            continue;
        }
        if (sent < 0 && errno == EINTR) continue;
        if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            const Wake wake = WaitSocket(fd, POLLOUT, deadline);
            if (wake != Wake::Ready) return wake;
            continue;
        }
        return Wake::Failed;
    }
    return Wake::Ready;
}

void jwxTCP::CloseSocket() {
    if (socketFd >= 0) close(socketFd);
    socketFd = -1;
}

void jwxTCP::FreeHeldMessages() {
    for (const platform::ThreadMessage& message : held)
        if (message.message == UNICOM_TXDATA) delete reinterpret_cast<ByteBuffer*>(message.wParam);
    held.clear();
}
