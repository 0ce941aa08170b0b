#include "support/core_TestProxy.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "comm/ProxyResponse.h"

namespace {

bool StartsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

}  // namespace

TestProxy::TestProxy(Script s) : script(std::move(s)) {
    listenFd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    wakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    sockaddr_in address;
    std::memset(&address, 0, sizeof address);
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    if (listenFd < 0 || wakeFd < 0 || bind(listenFd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(listenFd, 4) != 0 || getsockname(listenFd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        std::perror("TestProxy");
        std::abort();
    }
    port = ntohs(address.sin_port);
    thread = std::thread(&TestProxy::Run, this);
}

TestProxy::~TestProxy() {
    {
        std::lock_guard<std::mutex> guard(lock);
        stopping = true;
    }
    Wake();
    thread.join();
    close(listenFd);
    close(wakeFd);
}

std::string TestProxy::HostText() const { return "127.0.0.1:" + std::to_string(port); }

bool TestProxy::WaitForOperator(int timeoutMs) {
    std::unique_lock<std::mutex> guard(lock);
    return changed.wait_for(guard, std::chrono::milliseconds(timeoutMs), [this] { return operatorRead; });
}

bool TestProxy::WaitConnectionEnded(int timeoutMs) {
    std::unique_lock<std::mutex> guard(lock);
    return changed.wait_for(guard, std::chrono::milliseconds(timeoutMs),
                            [this] { return connections > 0 && !connectionOpen; });
}

void TestProxy::CloseConnection(bool reset) {
    {
        std::lock_guard<std::mutex> guard(lock);
        closeRequested = true;
        resetRequested = reset;
    }
    Wake();
}

std::vector<std::string> TestProxy::ReceivedLines() const {
    std::lock_guard<std::mutex> guard(lock);
    return received;
}
std::string TestProxy::OperatorLine() const {
    std::lock_guard<std::mutex> guard(lock);
    return operatorLine;
}
bool TestProxy::ResponseChecked() const {
    std::lock_guard<std::mutex> guard(lock);
    return responseChecked;
}
bool TestProxy::ResponseAccepted() const {
    std::lock_guard<std::mutex> guard(lock);
    return responseAccepted;
}
int TestProxy::Connections() const {
    std::lock_guard<std::mutex> guard(lock);
    return connections;
}
size_t TestProxy::BytesFromOperator() const {
    std::lock_guard<std::mutex> guard(lock);
    return fromOperator;
}

void TestProxy::Wake() {
    const uint64_t one = 1;
    ssize_t written = write(wakeFd, &one, sizeof one);
    (void)written;
}

void TestProxy::Run() {
    for (;;) {
        if (!WaitFor(listenFd, POLLIN)) {
            std::lock_guard<std::mutex> guard(lock);
            if (stopping) return;
            closeRequested = false;  // nothing to close between connections
            resetRequested = false;
            continue;
        }
        const int fd = accept4(listenFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) continue;
        {
            std::lock_guard<std::mutex> guard(lock);
            ++connections;
            connectionOpen = true;
            closeRequested = false;
            operatorRead = false;
            responseChecked = false;
            responseAccepted = false;
            received.clear();
            operatorLine.clear();
        }
        readBuffer.clear();
        Serve(fd);
        bool reset;
        {
            std::lock_guard<std::mutex> guard(lock);
            reset = resetRequested;
        }
        if (reset) {
            linger abortive = {1, 0};  // close with an RST instead of a FIN
            setsockopt(fd, SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive);
        }
        close(fd);
        {
            std::lock_guard<std::mutex> guard(lock);
            connectionOpen = false;
            closeRequested = false;
            resetRequested = false;
        }
        changed.notify_all();
    }
}

void TestProxy::Serve(int fd) {
    if (!Reach(fd, Stage::Accepted)) return;

    std::string line;
    if (!ReadLine(fd, &line)) return;
    if (!Reach(fd, Stage::AuthRead)) return;

    const std::string challenge = script.challengeLine.empty()
                                      ? "+CHALL=" + std::to_string(script.challenge) + "\n"
                                      : script.challengeLine;
    if (!SendAll(fd, challenge) || !Reach(fd, Stage::ChallengeSent)) return;

    // The response and the list request; the response must match the password.
    bool accepted = false;
    for (;;) {
        if (!ReadLine(fd, &line)) return;
        if (StartsWith(line, "+RESP=")) {
            const long expected = ProxyResponse(static_cast<uint32_t>(script.challenge), script.password.c_str());
            accepted = line == "+RESP=" + std::to_string(expected);
            std::lock_guard<std::mutex> guard(lock);
            responseChecked = true;
            responseAccepted = accepted;
        }
        if (line == "+LIST") break;
    }
    if (!accepted || !Reach(fd, Stage::ResponseRead)) return;

    std::string list = script.listPrefix;
    for (const std::string& node : script.nodes) list += "+NODE=" + node + "\n";
    list += "+LISTDONE\n";
    if (!SendAll(fd, list) || !Reach(fd, Stage::ListSent)) return;

    do {
        if (!ReadLine(fd, &line)) return;
    } while (!StartsWith(line, "+OPERATOR="));
    {
        std::lock_guard<std::mutex> guard(lock);
        operatorLine = line;
        operatorRead = true;
    }
    changed.notify_all();
    if (!Reach(fd, Stage::OperatorRead)) return;
    Relay(fd, readBuffer);
}

bool TestProxy::Reach(int fd, Stage stage) {
    if (script.closeAt == stage) {
        // An orderly end: the operator may still be sending (its next handshake line), and a
        // socket closed with unread bytes would reset the connection instead of ending it.
        shutdown(fd, SHUT_WR);
        DiscardUntilClosed(fd);
        return false;
    }
    if (script.silentAt == stage) {
        DiscardUntilClosed(fd);
        return false;
    }
    return true;
}

void TestProxy::DiscardUntilClosed(int fd) {
    char scratch[4096];
    while (WaitFor(fd, POLLIN)) {
        const ssize_t got = read(fd, scratch, sizeof scratch);
        if (got == 0 || (got < 0 && errno != EAGAIN && errno != EINTR)) return;
    }
}

void TestProxy::Relay(int fd, std::string pending) {
    if (script.relayFd < 0) {
        DiscardUntilClosed(fd);
        return;
    }
    if (!pending.empty()) {
        if (!WriteAllTo(script.relayFd, pending.data(), pending.size())) return;
        std::lock_guard<std::mutex> guard(lock);
        fromOperator += pending.size();
    }
    char chunk[4096];
    for (;;) {
        if (Interrupted()) return;
        pollfd watch[3] = {{fd, POLLIN, 0}, {script.relayFd, POLLIN, 0}, {wakeFd, POLLIN, 0}};
        if (poll(watch, 3, -1) < 0) {
            if (errno == EINTR) continue;
            return;
        }
        if (watch[2].revents & POLLIN) {
            uint64_t count;
            while (read(wakeFd, &count, sizeof count) == sizeof count) {
            }
            continue;
        }
        if (watch[0].revents) {
            const ssize_t got = read(fd, chunk, sizeof chunk);
            if (got == 0 || (got < 0 && errno != EAGAIN && errno != EINTR)) return;
            if (got > 0) {
                if (!WriteAllTo(script.relayFd, chunk, static_cast<size_t>(got))) return;
                std::lock_guard<std::mutex> guard(lock);
                fromOperator += static_cast<size_t>(got);
            }
        }
        if (watch[1].revents) {
            // A hung-up pty master reads -1 with EIO: that ends the relay like end of file.
            const ssize_t got = read(script.relayFd, chunk, sizeof chunk);
            if (got == 0 || (got < 0 && errno != EAGAIN && errno != EINTR)) return;
            if (got > 0 && !SendAll(fd, std::string(chunk, static_cast<size_t>(got)))) return;
        }
    }
}

bool TestProxy::ReadLine(int fd, std::string* line) {
    for (;;) {
        const size_t end = readBuffer.find('\n');
        if (end != std::string::npos) {
            line->assign(readBuffer, 0, end);
            readBuffer.erase(0, end + 1);
            std::lock_guard<std::mutex> guard(lock);
            received.push_back(*line);
            return true;
        }
        if (!WaitFor(fd, POLLIN)) return false;
        char chunk[1024];
        const ssize_t got = read(fd, chunk, sizeof chunk);
        if (got == 0) return false;
        if (got < 0) {
            if (errno == EAGAIN || errno == EINTR) continue;
            return false;
        }
        readBuffer.append(chunk, static_cast<size_t>(got));
    }
}

bool TestProxy::SendAll(int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t sent = send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (sent > 0) {
            done += static_cast<size_t>(sent);
        } else if (sent < 0 && (errno == EAGAIN || errno == EINTR)) {
            if (!WaitFor(fd, POLLOUT)) return false;
        } else {
            return false;  // the operator went away
        }
    }
    return true;
}

bool TestProxy::WriteAllTo(int fd, const char* bytes, size_t count) {
    while (count > 0) {
        if (!WaitFor(fd, POLLOUT)) return false;
        const ssize_t written = write(fd, bytes, count);
        if (written < 0) {
            if (errno == EAGAIN || errno == EINTR) continue;
            return false;
        }
        bytes += written;
        count -= static_cast<size_t>(written);
    }
    return true;
}

bool TestProxy::Interrupted() {
    std::lock_guard<std::mutex> guard(lock);
    return stopping || closeRequested;
}

bool TestProxy::WaitFor(int fd, short events) {
    for (;;) {
        // The flags are sticky while the wake-up may have been taken by an earlier wait.
        if (Interrupted()) return false;
        pollfd watch[2] = {{fd, events, 0}, {wakeFd, POLLIN, 0}};
        if (poll(watch, 2, -1) < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (watch[1].revents & POLLIN) {
            uint64_t count;
            while (read(wakeFd, &count, sizeof count) == sizeof count) {
            }
            continue;
        }
        if (watch[0].revents) return true;
    }
}
