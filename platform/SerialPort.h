// A serial port on Linux: a tty device opened non-blocking for one worker thread, set up as a
// raw 8-bit line without flow control, with its descriptor for the worker's single wait.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

enum class SerialParity { None, Even, Odd };

// What the line runs at: the values the driver's device-control block holds.
struct SerialLineSettings {
    uint32_t baudRate = 9600;
    int dataBits = 8;  // 5 to 8
    SerialParity parity = SerialParity::None;
    int stopBits = 1;  // 1 or 2
    bool raiseDtr = true;
    bool raiseRts = true;
};

// The set-up steps of SerialPort::Open in order. They carry the names of the Windows calls
// that did the same work, and the user-visible messages keep those names:
//   CreateFile      open(2) of the device
//   SetupComm       TIOCEXCL: no other process may open the port while we hold it
//   SetCommState    tcgetattr/tcsetattr: speed, character size, parity, stop bits, raw mode,
//                   no flow control, VMIN = VTIME = 0 (reads never wait)
//   SetCommMask     DTR and RTS raised (TIOCMBIS); a pseudo-terminal has no modem lines
//   PurgeComm       tcflush(TCIFLUSH): input received before the open is dropped
// The read time-outs of SetCommTimeouts have no step of their own: the descriptor is
// non-blocking and the worker waits in poll().
enum class SerialOpenStep { CreateFile, SetupComm, SetCommState, SetCommMask, PurgeComm };

// The call name of a step, as it appears in the messages ("CreateFile", ...).
const char* SerialOpenStepName(SerialOpenStep step);

// The device path for a port name: a name without '/' is a device under /dev ("ttyUSB0" ->
// "/dev/ttyUSB0"); a name with '/' is a path and stays as it is.
std::string SerialDevicePath(const std::string& name);

// What a read found.
enum class SerialReadResult {
    Data,     // bytes were read
    Nothing,  // nothing waiting (a spurious wake-up)
    HungUp,   // the far end is gone: end of file (errno 0), EIO, or poll reported a hang-up
    Failed    // another error; errno tells which
};

// How a write ended.
enum class SerialWriteResult {
    Done,     // every byte was accepted by the driver
    Failed,   // write(2) failed; errno tells which
    Stalled   // the port took no byte for the stall time, or hung up while waiting; errno set
};

class SerialPort {
public:
    SerialPort() = default;
    ~SerialPort();
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    // Opens and sets up the port (closing one already open). On failure the port is closed,
    // *failedStep names the step and *error holds its errno; returns false.
    bool Open(const std::string& name, const SerialLineSettings& settings, SerialOpenStep* failedStep,
              int* error);
    void Close();
    bool IsOpen() const { return fd >= 0; }
    // The descriptor to wait on; -1 while closed.
    int GetFd() const { return fd; }
    const std::string& GetPath() const { return path; }

    // One non-blocking read of up to max bytes; *got is the count read. pollEvents are the
    // events the wait reported, so that a hang-up with no data left is recognised.
    SerialReadResult Read(uint8_t* dest, int32_t max, short pollEvents, int32_t* got);
    // Writes all count bytes, waiting for the port to take more while it is full; gives up
    // when no byte is taken for stallMs. *written is the count the port took.
    SerialWriteResult WriteAll(const uint8_t* bytes, int32_t count, int stallMs, int32_t* written);

private:
    int fd = -1;
    std::string path;
};

}  // namespace platform
