#include "support/core_AssistProxy.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

AssistProxy::AssistProxy(Script script) : script(std::move(script)) {
    listenFd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address;
    std::memset(&address, 0, sizeof address);
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (script.smallReceiveBuffer && listenFd >= 0) {
        const int size = 4096;  // inherited by the accepted connections
        setsockopt(listenFd, SOL_SOCKET, SO_RCVBUF, &size, sizeof size);
    }
    if (listenFd < 0 || bind(listenFd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(listenFd, 4) != 0 || getsockname(listenFd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        return;
    }
    port = ntohs(address.sin_port);
    int pipeFds[2];
    if (pipe2(pipeFds, O_NONBLOCK | O_CLOEXEC) != 0) return;
    wakeRead = pipeFds[0];
    wakeWrite = pipeFds[1];
    thread = std::thread([this] { Run(); });
}

AssistProxy::~AssistProxy() {
    stopping = true;
    Wake();
    if (thread.joinable()) thread.join();
    for (int fd : {listenFd, wakeRead, wakeWrite}) {
        if (fd >= 0) close(fd);
    }
}

std::string AssistProxy::HostText() const { return "127.0.0.1:" + std::to_string(port); }

std::string AssistProxy::Received() const {
    std::lock_guard<std::mutex> hold(lock);
    return received;
}

bool AssistProxy::PeerClosed() const {
    std::lock_guard<std::mutex> hold(lock);
    return peerClosed;
}

int AssistProxy::Connections() const {
    std::lock_guard<std::mutex> hold(lock);
    return connections;
}

void AssistProxy::Send(const std::string& bytes) {
    {
        std::lock_guard<std::mutex> hold(lock);
        outgoing += bytes;
    }
    Wake();
}

void AssistProxy::StartFlood() {
    flooding = true;
    Wake();
}

void AssistProxy::StopFlood() { flooding = false; }

size_t AssistProxy::FloodBytesSent() const { return floodSent; }

void AssistProxy::SetReading(bool on) {
    reading = on;
    Wake();
}

void AssistProxy::CloseConnection() {
    {
        std::lock_guard<std::mutex> hold(lock);
        closeRequested = true;
    }
    Wake();
}

void AssistProxy::Wake() {
    if (wakeWrite >= 0) {
        const char one = 1;
        (void)!write(wakeWrite, &one, 1);
    }
}

void AssistProxy::Run() {
    int fd = -1;
    std::string pending;  // taken from outgoing, not yet written
    static const std::string kFlood = [] {
        std::string text;
        for (int i = 0; i < 1024; ++i) text += "zz\n";
        return text;
    }();
    size_t floodOffset = 0;
    while (!stopping) {
        {
            std::lock_guard<std::mutex> hold(lock);
            if (closeRequested && fd >= 0) {
                close(fd);
                fd = -1;
                pending.clear();
            }
            closeRequested = false;
            pending += outgoing;
            outgoing.clear();
        }
        const bool wantWrite = fd >= 0 && (!pending.empty() || flooding);
        const short readEvents = fd < 0 || reading ? POLLIN : 0;
        pollfd fds[2] = {{fd >= 0 ? fd : listenFd, static_cast<short>(readEvents | (wantWrite ? POLLOUT : 0)), 0},
                         {wakeRead, POLLIN, 0}};
        if (poll(fds, 2, 100) < 0 && errno != EINTR) break;
        if (fds[1].revents & POLLIN) {
            char drain[64];
            while (read(wakeRead, drain, sizeof drain) > 0) {
            }
        }
        if (fd < 0) {
            if (fds[0].revents & POLLIN) {
                fd = accept4(listenFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
                if (fd >= 0) {
                    std::lock_guard<std::mutex> hold(lock);
                    ++connections;
                    received.clear();
                    peerClosed = false;
                    if (script.sendBeforeConnected) pending += script.early;
                }
            }
            continue;
        }
        if (reading && (fds[0].revents & (POLLIN | POLLHUP | POLLERR))) {
            char buffer[4096];
            const ssize_t count = recv(fd, buffer, sizeof buffer, 0);
            if (count > 0) {
                std::lock_guard<std::mutex> hold(lock);
                received.append(buffer, static_cast<size_t>(count));
                if (script.closeAfterGreeting && received.find("+START\n") != std::string::npos) closeRequested = true;
            } else if (count == 0 || (errno != EAGAIN && errno != EINTR)) {
                std::lock_guard<std::mutex> hold(lock);
                peerClosed = true;
                close(fd);
                fd = -1;
                pending.clear();
                continue;
            }
        }
        if (fds[0].revents & POLLOUT) {
            while (!pending.empty()) {
                const ssize_t sent = send(fd, pending.data(), pending.size(), MSG_NOSIGNAL);
                if (sent <= 0) break;
                pending.erase(0, static_cast<size_t>(sent));
            }
            while (pending.empty() && flooding) {
                const ssize_t sent = send(fd, kFlood.data() + floodOffset, kFlood.size() - floodOffset, MSG_NOSIGNAL);
                if (sent <= 0) break;
                floodSent += static_cast<size_t>(sent);
                floodOffset = (floodOffset + static_cast<size_t>(sent)) % kFlood.size();
            }
        }
    }
    if (fd >= 0) close(fd);
}
