#include "platform/SerialPort.h"

#include <cerrno>
#include <chrono>

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace platform {
namespace {

bool SpeedFor(uint32_t baud, speed_t* speed) {
    static const struct {
        uint32_t baud;
        speed_t speed;
    } table[] = {{1200, B1200},     {2400, B2400},     {4800, B4800},     {9600, B9600},
                 {19200, B19200},   {38400, B38400},   {57600, B57600},   {115200, B115200},
                 {230400, B230400}, {460800, B460800}, {921600, B921600}};
    for (const auto& entry : table) {
        if (entry.baud == baud) {
            *speed = entry.speed;
            return true;
        }
    }
    return false;
}

bool CharacterSizeFor(int dataBits, tcflag_t* size) {
    switch (dataBits) {
        case 5: *size = CS5; return true;
        case 6: *size = CS6; return true;
        case 7: *size = CS7; return true;
        case 8: *size = CS8; return true;
        default: return false;
    }
}

// Raw 8-bit line without flow control; false with errno on failure.
bool ApplyLineSettings(int fd, const SerialLineSettings& settings) {
    speed_t speed;
    tcflag_t size;
    if (!SpeedFor(settings.baudRate, &speed) || !CharacterSizeFor(settings.dataBits, &size) ||
        (settings.stopBits != 1 && settings.stopBits != 2)) {
        errno = EINVAL;
        return false;
    }
    termios tio{};
    if (tcgetattr(fd, &tio) != 0) return false;
    cfmakeraw(&tio);
    tio.c_cflag &= ~(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
    tio.c_cflag |= size | CLOCAL | CREAD;
    if (settings.parity != SerialParity::None) tio.c_cflag |= PARENB;
    if (settings.parity == SerialParity::Odd) tio.c_cflag |= PARODD;
    if (settings.stopBits == 2) tio.c_cflag |= CSTOPB;
    tio.c_iflag &= ~(IXON | IXOFF | IXANY);
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    if (cfsetispeed(&tio, speed) != 0 || cfsetospeed(&tio, speed) != 0) return false;
    if (tcsetattr(fd, TCSANOW, &tio) != 0) return false;
    // tcsetattr succeeds when any one change took effect: check the ones that matter.
    termios now{};
    if (tcgetattr(fd, &now) != 0) return false;
    if ((now.c_cflag & (CSIZE | PARENB | PARODD | CSTOPB)) != (tio.c_cflag & (CSIZE | PARENB | PARODD | CSTOPB)) ||
        cfgetospeed(&now) != speed) {
        errno = EINVAL;
        return false;
    }
    return true;
}

// DTR and RTS on as the settings ask; a pseudo-terminal has no modem lines and refuses.
bool RaiseModemLines(int fd, const SerialLineSettings& settings) {
    int lines = (settings.raiseDtr ? TIOCM_DTR : 0) | (settings.raiseRts ? TIOCM_RTS : 0);
    if (lines == 0) return true;
    if (ioctl(fd, TIOCMBIS, &lines) == 0) return true;
    return errno == ENOTTY || errno == EINVAL;
}

int MillisecondsLeft(std::chrono::steady_clock::time_point deadline) {
    auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

}  // namespace

const char* SerialOpenStepName(SerialOpenStep step) {
    switch (step) {
        case SerialOpenStep::CreateFile: return "CreateFile";
        case SerialOpenStep::SetupComm: return "SetupComm";
        case SerialOpenStep::SetCommState: return "SetCommState";
        case SerialOpenStep::SetCommMask: return "SetCommMask";
        case SerialOpenStep::PurgeComm: return "PurgeComm";
    }
    return "?";
}

std::string SerialDevicePath(const std::string& name) {
    if (name.find('/') != std::string::npos) return name;
    return "/dev/" + name;
}

SerialPort::~SerialPort() { Close(); }

bool SerialPort::Open(const std::string& name, const SerialLineSettings& settings, SerialOpenStep* failedStep,
                      int* error) {
    Close();
    path = SerialDevicePath(name);
    SerialOpenStep step = SerialOpenStep::CreateFile;
    fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    bool ok = fd >= 0;
    if (ok) {
        step = SerialOpenStep::SetupComm;
        ok = ioctl(fd, TIOCEXCL) == 0;
    }
    if (ok) {
        step = SerialOpenStep::SetCommState;
        ok = ApplyLineSettings(fd, settings);
    }
    if (ok) {
        step = SerialOpenStep::SetCommMask;
        ok = RaiseModemLines(fd, settings);
    }
    if (ok) {
        step = SerialOpenStep::PurgeComm;
        ok = tcflush(fd, TCIFLUSH) == 0;
    }
    if (ok) return true;
    int saved = errno;
    Close();
    if (failedStep) *failedStep = step;
    if (error) *error = saved;
    errno = saved;
    return false;
}

void SerialPort::Close() {
    if (fd >= 0) {
        // Exclusive use belongs to the terminal, not to this descriptor: without this the port
        // stayed locked for every later open while any other descriptor kept it open.
        ioctl(fd, TIOCNXCL);
        close(fd);
        fd = -1;
    }
}

SerialReadResult SerialPort::Read(uint8_t* dest, int32_t max, short pollEvents, int32_t* got) {
    *got = 0;
    if (max <= 0) return SerialReadResult::Nothing;
    ssize_t n;
    do {
        n = read(fd, dest, static_cast<size_t>(max));
    } while (n < 0 && errno == EINTR);
    if (n > 0) {
        *got = static_cast<int32_t>(n);
        return SerialReadResult::Data;
    }
    if (n == 0) {  // end of file: the far end closed
        errno = 0;
        return SerialReadResult::HungUp;
    }
    if (errno == EIO) return SerialReadResult::HungUp;  // a tty whose far end is gone
    if (errno == EAGAIN || errno == EWOULDBLOCK) {
        // No data, but a hang-up or error reported by poll stays reported: waiting again would spin.
        if (pollEvents & (POLLHUP | POLLERR | POLLNVAL)) {
            errno = EIO;
            return SerialReadResult::HungUp;
        }
        return SerialReadResult::Nothing;
    }
    return SerialReadResult::Failed;
}

SerialWriteResult SerialPort::WriteAll(const uint8_t* bytes, int32_t count, int stallMs, int32_t* written) {
    using Clock = std::chrono::steady_clock;
    int32_t done = 0;
    Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(stallMs);
    while (done < count) {
        ssize_t n = write(fd, bytes + done, static_cast<size_t>(count - done));
        if (n > 0) {
            done += static_cast<int32_t>(n);
            deadline = Clock::now() + std::chrono::milliseconds(stallMs);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
            *written = done;
            return SerialWriteResult::Failed;
        }
        // The port's output buffer is full (or output is held): wait until it takes more.
        pollfd wait = {fd, POLLOUT, 0};
        int ready = poll(&wait, 1, MillisecondsLeft(deadline));
        if (ready < 0 && errno == EINTR) continue;
        if (ready < 0) {
            *written = done;
            return SerialWriteResult::Stalled;
        }
        if (ready == 0) {
            *written = done;
            errno = ETIMEDOUT;
            return SerialWriteResult::Stalled;
        }
        if (wait.revents & (POLLHUP | POLLERR | POLLNVAL)) {
            *written = done;
            errno = EIO;
            return SerialWriteResult::Stalled;
        }
    }
    *written = done;
    return SerialWriteResult::Done;
}

}  // namespace platform
