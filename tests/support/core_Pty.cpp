#include "support/core_Pty.h"

#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace {
bool SetRaw(int fd, RawPty::Mode mode) {
    termios tio{};
    if (tcgetattr(fd, &tio) != 0) return false;
    cfmakeraw(&tio);
    if (mode == RawPty::Mode::Line) {
        tio.c_cflag |= CLOCAL | CREAD;
        tio.c_cc[VMIN] = 0;
        tio.c_cc[VTIME] = 0;
    }
    return tcsetattr(fd, TCSANOW, &tio) == 0;
}

void CloseFd(int* fd) {
    if (*fd >= 0) close(*fd);
    *fd = -1;
}
}  // namespace

bool RawPty::Open(Mode mode) {
    Close();
    char name[128] = {};
    if (openpty(&master, &slave, name, nullptr, nullptr) != 0) {
        master = slave = -1;
        return false;
    }
    if (!SetRaw(master, mode) || !SetRaw(slave, mode)) {
        Close();
        return false;
    }
    slavePath = name;
    return true;
}

int RawPty::TakeMaster() {
    int fd = master;
    master = -1;
    return fd;
}

int RawPty::TakeSlave() {
    int fd = slave;
    slave = -1;
    return fd;
}

void RawPty::CloseMaster() { CloseFd(&master); }

void RawPty::CloseSlave() { CloseFd(&slave); }

void RawPty::Close() {
    CloseMaster();
    CloseSlave();
}
