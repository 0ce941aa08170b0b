// A scripted remote-assistance proxy for tests, listening on 127.0.0.1 on an ephemeral port.
//
// It runs on its own thread and serves operator connections one after another. Each follows
// the operator's side of the proxy protocol, driven by the Script:
//
//   <- "+AUTH"                 -> Script::challengeLine when set, else "+CHALL=<challenge>\n"
//   <- "+RESP=<r>", "+LIST"    r is checked against ProxyResponse(challenge, password); a wrong
//                              response closes the connection
//                              -> Script::listPrefix, "+NODE=<text>\n" per node, "+LISTDONE\n"
//   <- "+OPERATOR=<node>"      recorded; from then on bytes are relayed unchanged both ways
//                              between the operator socket and Script::relayFd (for example the
//                              master of a pty served by the panel simulator, or one end of a
//                              socketpair) until either side closes or CloseConnection is called
//
// Faults: Script::closeAt ends the connection as soon as that stage is reached (an orderly end:
// the proxy shuts its side down and reads until the operator has closed too);
// Script::silentAt makes the proxy stop answering there (it keeps the connection open and reads
// and discards whatever arrives). A megabyte line is a challengeLine or listPrefix of that size;
// a node flood is a long nodes list.
//
// Every accessor is safe to call from the test's thread while the proxy runs.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class TestProxy {
public:
    // The points of one connection, in order.
    enum class Stage {
        Accepted,       // the connection is accepted
        AuthRead,       // the first line ("+AUTH") is read
        ChallengeSent,  // the challenge line is sent
        ResponseRead,   // "+RESP=" and "+LIST" are read and the response is right
        ListSent,       // the node lines and "+LISTDONE" are sent
        OperatorRead,   // "+OPERATOR=" is read; relaying starts
        Never           // no fault
    };

    struct Script {
        int32_t challenge = 123456789;
        std::string password;           // the password the operator must have used
        std::string challengeLine;      // sent in place of "+CHALL=<challenge>\n" when not empty
        std::string listPrefix;         // raw bytes sent before the node lines
        std::vector<std::string> nodes; // node texts, each sent as "+NODE=<text>\n"
        Stage closeAt = Stage::Never;
        Stage silentAt = Stage::Never;
        int relayFd = -1;               // stays the test's; -1: after +OPERATOR= nothing is relayed
    };

    explicit TestProxy(Script script);
    ~TestProxy();  // stops the thread and closes the proxy's sockets (not relayFd)
    TestProxy(const TestProxy&) = delete;
    TestProxy& operator=(const TestProxy&) = delete;

    int Port() const { return port; }
    // "127.0.0.1:<port>", the host text for the driver.
    std::string HostText() const;

    // Waits until the current connection has sent "+OPERATOR=" (true) or timeoutMs passed.
    bool WaitForOperator(int timeoutMs);
    // Waits until the proxy has closed its side of the connection it served last.
    bool WaitConnectionEnded(int timeoutMs);
    // Closes the current operator connection now (the proxy goes on accepting). With reset the
    // close is abortive (an RST), so the operator's next receive fails instead of reading 0.
    void CloseConnection(bool reset = false);

    // Of the connection served last: the lines read from the operator before relaying, without
    // their LF; the "+OPERATOR=" line; whether a +RESP= line was checked, and its verdict.
    std::vector<std::string> ReceivedLines() const;
    std::string OperatorLine() const;
    bool ResponseChecked() const;
    bool ResponseAccepted() const;
    int Connections() const;
    // Bytes relayed from the operator to relayFd, over all connections.
    size_t BytesFromOperator() const;

private:
    void Run();
    void Serve(int fd);
    void Relay(int fd, std::string pending);
    // False when the connection is to end at this stage (closed, or silent until closed).
    bool Reach(int fd, Stage stage);
    void DiscardUntilClosed(int fd);
    // One LF-terminated line (without LF) into *line; false on close, error or a wake-up.
    bool ReadLine(int fd, std::string* line);
    bool SendAll(int fd, const std::string& bytes);
    bool WriteAllTo(int fd, const char* bytes, size_t count);
    // Waits for fd (events) or the wake descriptor; false when woken to stop or close.
    bool WaitFor(int fd, short events);
    bool Interrupted();  // stopping, or the test asked to close the connection
    void Wake();

    Script script;
    int listenFd = -1;
    int wakeFd = -1;
    int port = 0;
    std::string readBuffer;  // proxy thread: bytes read past the last line

    mutable std::mutex lock;
    std::condition_variable changed;
    bool stopping = false;
    bool closeRequested = false;
    bool resetRequested = false;
    bool connectionOpen = false;
    bool operatorRead = false;
    bool responseChecked = false;
    bool responseAccepted = false;
    int connections = 0;
    size_t fromOperator = 0;
    std::vector<std::string> received;
    std::string operatorLine;

    std::thread thread;
};
