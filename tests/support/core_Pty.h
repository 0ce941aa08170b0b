// A pseudo-terminal pair standing in for a serial line: the test (or the simulated panel) works
// the master side, the code under test opens the slave by its path or is handed its descriptor.
//
//     RawPty pty;
//     ASSERT_TRUE(pty.Open());
//     ASSERT_TRUE(panel.Start(pty.TakeMaster(), true));   // the simulator owns the master now
//     jwxSerial driver(&owner, wxString::FromUTF8(pty.slavePath));
//
// Descriptors still held are closed by Close() or the destructor.
#pragma once

#include <string>

struct RawPty {
    enum class Mode {
        // cfmakeraw, CLOCAL | CREAD, VMIN = VTIME = 0: a line ready for use, reads never wait.
        Line,
        // cfmakeraw alone (VMIN 1, no CLOCAL): for tests that check the code under test sets
        // the rest itself.
        RawOnly,
    };

    int master = -1;
    int slave = -1;
    std::string slavePath;

    RawPty() = default;
    RawPty(const RawPty&) = delete;
    RawPty& operator=(const RawPty&) = delete;
    ~RawPty() { Close(); }

    // Opens the pair and sets the terminal (both ends share one termios); false on any failure,
    // with nothing left open.
    bool Open(Mode mode = Mode::Line);
    // Hands a descriptor over: the caller closes it from now on.
    int TakeMaster();
    int TakeSlave();
    void CloseMaster();
    void CloseSlave();
    void Close();
};
