// The panel side of a remote-assistance proxy for tests: listens on 127.0.0.1 on an ephemeral
// port and serves the program's assistance connections one after another, on a thread of its
// own. It records every byte the program sends (greeting lines and relayed panel lines), sends
// what the test gives it, and on request floods the connection or closes it.
//
// Every call is safe from the test's thread while the proxy runs; none of them blocks, so a
// window test waits for the proxy with RunLoopUntil while its event loop runs.
#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <thread>

class AssistProxy {
public:
    struct Script {
        bool closeAfterGreeting = false;  // close the connection once "+START\n" has arrived
        bool sendBeforeConnected = false;  // with `early`: sent as soon as the connection is accepted
        std::string early;
        bool smallReceiveBuffer = false;  // a few kilobytes, so the program's writes fill it soon
    };

    AssistProxy() : AssistProxy(Script()) {}
    explicit AssistProxy(Script script);
    ~AssistProxy();  // stops the thread and closes every socket
    AssistProxy(const AssistProxy&) = delete;
    AssistProxy& operator=(const AssistProxy&) = delete;

    int Port() const { return port; }
    std::string HostText() const;  // "127.0.0.1:<port>"

    // Of the connection served last: everything received, and whether the program closed it.
    std::string Received() const;
    bool PeerClosed() const;
    int Connections() const;

    void Send(const std::string& bytes);
    // Writes a stream of "zz\n" as fast as the connection takes it until StopFlood.
    void StartFlood();
    void StopFlood();
    size_t FloodBytesSent() const;
    // Stops or resumes reading the connection (what the program sends then waits).
    void SetReading(bool reading);
    // Closes the current connection now; the proxy goes on accepting.
    void CloseConnection();

private:
    void Run();
    void Wake();

    Script script;
    int listenFd = -1;
    int wakeRead = -1;
    int wakeWrite = -1;
    int port = 0;

    mutable std::mutex lock;
    std::string received;
    std::string outgoing;
    bool peerClosed = false;
    bool closeRequested = false;
    int connections = 0;
    std::atomic<bool> flooding{false};
    std::atomic<size_t> floodSent{0};
    std::atomic<bool> stopping{false};
    std::atomic<bool> reading{true};
    std::thread thread;
};
