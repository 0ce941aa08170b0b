#include "support/core_FdDriver.h"

#include <cerrno>

#include <sys/socket.h>
#include <unistd.h>

FdDriver::FdDriver(wxEvtHandler* owner, int fd) : jwxUniCom(owner), fd(fd) {}

FdDriver::~FdDriver() { Stop(); }

int FdDriver::Fail(const wxString& what) {
    PostLastError(what);
    return Stopped();
}

int FdDriver::Stopped() {
    PostCode(UNICOM_EV_STOPPED);
    return -1;
}

bool FdDriver::WriteAll(const ByteBuffer& buffer) {
    const uint8_t* bytes = buffer.data;
    int32_t left = buffer.GetLength();
    while (left > 0) {
        // send() keeps a closed peer from raising SIGPIPE; a pty is no socket and gets write().
        ssize_t written = send(fd, bytes, static_cast<size_t>(left), MSG_NOSIGNAL);
        if (written < 0 && errno == ENOTSOCK) written = write(fd, bytes, static_cast<size_t>(left));
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes += written;
        left -= static_cast<int32_t>(written);
    }
    return true;
}

int FdDriver::ThreadMain() {
    BeginWorker();
    PostCode(UNICOM_EV_OPENED);
    for (;;) {
        switch (platform::WaitDeviceOrMessage(fd, timeout)) {
        case platform::WaitResult::Device: {
            ssize_t got = read(fd, lines.FreeSpace(), static_cast<size_t>(lines.FreeCount()));
            if (got < 0 && errno == EINTR) continue;
            // End of file or an error (EIO after a pty hang-up): the device is gone. Stopping
            // here matters: the descriptor stays readable and would wake every wait.
            if (got < 0) return Fail(wxASCII_STR("read"));
            if (got == 0) {
                PostError(wxASCII_STR("Peer closed the connection"));
                return Stopped();
            }
            lines.Commit(static_cast<int32_t>(got),
                         [this](const uint8_t* line, int32_t length) { PostLine(line, length); });
            break;
        }
        case platform::WaitResult::Message: {
            platform::ThreadMessage message;
            while (platform::PeekThreadMessage(&message, true)) {
                if (message.message == UNICOM_TXDATA) {
                    ByteBuffer* buffer = reinterpret_cast<ByteBuffer*>(message.wParam);
                    bool written = WriteAll(*buffer);
                    delete buffer;
                    if (!written) return Fail(wxASCII_STR("write"));
                } else if (message.message == UNICOM_EXIT) {
                    return 0;  // messages still queued are freed by Entry()
                } else {
                    PostUnknownMessage(message.message);
                }
            }
            break;
        }
        case platform::WaitResult::Timeout:
            PostCode(UNICOM_EV_IDLE);
            break;
        case platform::WaitResult::Failed:
            return Fail(wxASCII_STR("poll"));
        }
    }
}
