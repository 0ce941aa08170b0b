#include "platform/UsbBridge.h"

#include "platform/PortNameOrder.h"
#include "platform/SysfsFiles.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <mutex>
#include <vector>


namespace platform {

struct UsbHandle {
    int fd = -1;
    std::string portName;
    bool rtsRequested = false;
};

namespace {

// Everything the layer keeps between calls; the worker of one driver and the GUI thread may
// call in at the same time, so it is guarded.
struct BridgeState {
    std::mutex lock;
    UsbBridgeRoots roots;
    std::vector<UsbDeviceNode> snapshot;
    bool haveSnapshot = false;
    std::map<std::string, UsbHandle*> openPorts;
    std::map<std::string, int> lastRts;
};

BridgeState& State() {
    static BridgeState state;
    return state;
}

constexpr int kWriteStallMs = 1000;




uint32_t ParseNumber(const std::string& text, int base) {
    return static_cast<uint32_t>(std::strtoul(text.c_str(), nullptr, base));
}

void CopyCut(char* target, size_t capacity, const std::string& text) {
    size_t length = std::min(text.size(), capacity - 1);
    std::memcpy(target, text.data(), length);
    target[length] = '\0';
}

// The USB device above a usb-serial port: the first ancestor holding idVendor, inside sysfs.
std::string UsbDeviceAbove(const std::string& portDir, const std::string& sysfsReal) {
    std::string dir = portDir;
    while (dir.size() > sysfsReal.size() && dir.compare(0, sysfsReal.size(), sysfsReal) == 0) {
        if (IsFile(dir + "/idVendor")) return dir;
        size_t slash = dir.rfind('/');
        if (slash == std::string::npos) break;
        dir.erase(slash);
    }
    return std::string();
}

std::vector<UsbDeviceNode> ScanBridges(const UsbBridgeRoots& roots) {
    std::vector<UsbDeviceNode> nodes;
    const std::string sysfsReal = RealPath(roots.sysfs);
    const std::string devicesDir = roots.sysfs + "/bus/usb-serial/devices";
    DIR* dir = opendir(devicesDir.c_str());
    if (!dir || sysfsReal.empty()) {
        if (dir) closedir(dir);
        return nodes;
    }
    while (dirent* entry = readdir(dir)) {
        std::string port = entry->d_name;
        if (port == "." || port == ".." || port.size() >= sizeof(UsbDeviceNode::portName)) continue;
        UsbDeviceNode node;
        CopyCut(node.portName, sizeof node.portName, port);
        std::string usbDevice = UsbDeviceAbove(RealPath(devicesDir + "/" + port), sysfsReal);
        if (!usbDevice.empty()) {
            CopyCut(node.description, sizeof node.description, ReadFirstLine(usbDevice + "/product"));
            CopyCut(node.serialNumber, sizeof node.serialNumber, ReadFirstLine(usbDevice + "/serial"));
            node.id = ParseNumber(ReadFirstLine(usbDevice + "/idVendor"), 16) << 16 |
                      (ParseNumber(ReadFirstLine(usbDevice + "/idProduct"), 16) & 0xFFFF);
            node.location = ParseNumber(ReadFirstLine(usbDevice + "/busnum"), 10) << 8 |
                            (ParseNumber(ReadFirstLine(usbDevice + "/devnum"), 10) & 0xFF);
        }
        nodes.push_back(node);
    }
    closedir(dir);
    std::stable_sort(nodes.begin(), nodes.end(), [](const UsbDeviceNode& a, const UsbDeviceNode& b) {
        return ComparePortNames(a.portName, b.portName) < 0;
    });
    return nodes;
}

// The bridge buffers received bytes for up to its latency time (16 ms by default) before it
// sends them on; 1 ms makes short replies arrive at once. Not every bridge or kernel has the
// attribute, and it may not be writable for us: then the default stays.
void SetLowLatency(const UsbBridgeRoots& roots, const std::string& port) {
    int fd = open((roots.sysfs + "/bus/usb-serial/devices/" + port + "/latency_timer").c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0) return;
    ssize_t ignored = write(fd, "1", 1);
    (void)ignored;
    close(fd);
}

speed_t SpeedFor(uint32_t baud) {
    switch (baud) {
        case 300: return B300;
        case 600: return B600;
        case 1200: return B1200;
        case 2400: return B2400;
        case 4800: return B4800;
        case 9600: return B9600;
        case 19200: return B19200;
        case 38400: return B38400;
        case 57600: return B57600;
        case 115200: return B115200;
        case 230400: return B230400;
        case 460800: return B460800;
        case 921600: return B921600;
        default: return B0;
    }
}

// errno values that say the tty has been hung up.
bool IsHangUp(int error) { return error == EIO || error == ENXIO || error == ENODEV; }

UsbStatus Failure(int error) { return IsHangUp(error) ? USB_DEVICE_LOST : USB_IO_ERROR; }

template <typename Change>
UsbStatus ChangeTermios(UsbHandle* handle, Change change) {
    if (!handle) return USB_INVALID_HANDLE;
    termios settings;
    if (tcgetattr(handle->fd, &settings) != 0) return Failure(errno);
    UsbStatus status = change(settings);
    if (status != USB_OK) return status;
    if (tcsetattr(handle->fd, TCSANOW, &settings) != 0) return Failure(errno);
    return USB_OK;
}

UsbStatus RequestRts(UsbHandle* handle, bool raise) {
    if (!handle) return USB_INVALID_HANDLE;
    int bits = TIOCM_RTS;
    if (ioctl(handle->fd, raise ? TIOCMBIS : TIOCMBIC, &bits) != 0) {
        // A pseudo-terminal has no modem lines and refuses the request: nothing to change there.
        if (errno != ENOTTY && errno != EINVAL) return Failure(errno);
    }
    handle->rtsRequested = raise;
    BridgeState& state = State();
    std::lock_guard<std::mutex> guard(state.lock);
    state.lastRts[handle->portName] = raise ? 1 : 0;
    return USB_OK;
}

}  // namespace

void SetUsbBridgeRoots(const UsbBridgeRoots& roots) {
    BridgeState& state = State();
    std::lock_guard<std::mutex> guard(state.lock);
    state.roots = roots;
    state.snapshot.clear();
    state.haveSnapshot = false;
}

UsbBridgeRoots GetUsbBridgeRoots() {
    BridgeState& state = State();
    std::lock_guard<std::mutex> guard(state.lock);
    return state.roots;
}

UsbStatus UsbCreateDeviceInfoList(uint32_t* count) {
    if (!count) return USB_INVALID_PARAMETER;
    UsbBridgeRoots roots = GetUsbBridgeRoots();
    std::vector<UsbDeviceNode> nodes = ScanBridges(roots);  // outside the lock: file system reads
    BridgeState& state = State();
    std::lock_guard<std::mutex> guard(state.lock);
    state.snapshot = std::move(nodes);
    state.haveSnapshot = true;
    *count = static_cast<uint32_t>(state.snapshot.size());
    return USB_OK;
}

UsbStatus UsbGetDeviceInfoList(UsbDeviceNode* nodes, uint32_t* count) {
    if (!nodes || !count) return USB_INVALID_PARAMETER;
    BridgeState& state = State();
    std::lock_guard<std::mutex> guard(state.lock);
    uint32_t copied = std::min<uint32_t>(*count, static_cast<uint32_t>(state.snapshot.size()));
    for (uint32_t i = 0; i < copied; ++i) {
        nodes[i] = state.snapshot[i];
        auto open = state.openPorts.find(nodes[i].portName);
        nodes[i].flags = open != state.openPorts.end() ? 1u : 0u;
        nodes[i].handle = open != state.openPorts.end() ? open->second : nullptr;
    }
    *count = copied;
    return USB_OK;
}

namespace {
// Drops the exclusive hold and closes. The hold belongs to the terminal, not to this
// descriptor: without this the bridge would stay locked while any other descriptor keeps it open.
int ReleaseTty(int fd) {
    ioctl(fd, TIOCNXCL);
    return close(fd);
}
}  // namespace

UsbStatus UsbOpen(uint32_t index, UsbHandle** handle) {
    if (!handle) return USB_INVALID_PARAMETER;
    *handle = nullptr;
    bool haveSnapshot;
    {
        BridgeState& state = State();
        std::lock_guard<std::mutex> guard(state.lock);
        haveSnapshot = state.haveSnapshot;
    }
    uint32_t ignored;
    if (!haveSnapshot) UsbCreateDeviceInfoList(&ignored);

    UsbBridgeRoots roots;
    std::string port;
    {
        BridgeState& state = State();
        std::lock_guard<std::mutex> guard(state.lock);
        if (index >= state.snapshot.size()) return USB_DEVICE_NOT_FOUND;
        roots = state.roots;
        port = state.snapshot[index].portName;
    }

    int fd = open((roots.dev + "/" + port).c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return USB_DEVICE_NOT_OPENED;
    termios settings;
    // One program at a time, as with the vendor library: a second open fails with EBUSY.
    if (ioctl(fd, TIOCEXCL) != 0 || tcgetattr(fd, &settings) != 0) {
        int error = errno;
        ReleaseTty(fd);
        errno = error;
        return USB_DEVICE_NOT_OPENED;
    }
    // Raw bytes both ways, reads never wait: the worker's poll does the waiting.
    cfmakeraw(&settings);
    settings.c_cflag |= CLOCAL | CREAD;
    settings.c_cc[VMIN] = 0;
    settings.c_cc[VTIME] = 0;
    if (tcsetattr(fd, TCSANOW, &settings) != 0) {
        int error = errno;
        ReleaseTty(fd);
        errno = error;
        return USB_DEVICE_NOT_OPENED;
    }
    tcflush(fd, TCIOFLUSH);  // nothing from before this connection
    SetLowLatency(roots, port);

    UsbHandle* opened = new UsbHandle;
    opened->fd = fd;
    opened->portName = port;
    {
        BridgeState& state = State();
        std::lock_guard<std::mutex> guard(state.lock);
        state.openPorts[port] = opened;
    }
    *handle = opened;
    return USB_OK;
}

UsbStatus UsbSetBaudRate(UsbHandle* handle, uint32_t baud) {
    speed_t speed = SpeedFor(baud);
    if (speed == B0) return handle ? USB_INVALID_BAUD_RATE : USB_INVALID_HANDLE;
    return ChangeTermios(handle, [speed](termios& settings) {
        cfsetispeed(&settings, speed);
        cfsetospeed(&settings, speed);
        return USB_OK;
    });
}

UsbStatus UsbSetDataCharacteristics(UsbHandle* handle, uint8_t wordLength, uint8_t stopBits, uint8_t parity) {
    if (wordLength != USB_BITS_7 && wordLength != USB_BITS_8) return handle ? USB_INVALID_PARAMETER : USB_INVALID_HANDLE;
    if (stopBits != USB_STOP_BITS_1 && stopBits != USB_STOP_BITS_2) return handle ? USB_INVALID_PARAMETER : USB_INVALID_HANDLE;
    if (parity > USB_PARITY_SPACE) return handle ? USB_INVALID_PARAMETER : USB_INVALID_HANDLE;
    return ChangeTermios(handle, [=](termios& settings) {
        settings.c_cflag &= ~static_cast<tcflag_t>(CSIZE | CSTOPB | PARENB | PARODD | CMSPAR);
        settings.c_cflag |= wordLength == USB_BITS_7 ? CS7 : CS8;
        if (stopBits == USB_STOP_BITS_2) settings.c_cflag |= CSTOPB;
        switch (parity) {
            case USB_PARITY_ODD: settings.c_cflag |= PARENB | PARODD; break;
            case USB_PARITY_EVEN: settings.c_cflag |= PARENB; break;
            case USB_PARITY_MARK: settings.c_cflag |= PARENB | PARODD | CMSPAR; break;
            case USB_PARITY_SPACE: settings.c_cflag |= PARENB | CMSPAR; break;
            default: break;
        }
        return USB_OK;
    });
}

UsbStatus UsbSetFlowControl(UsbHandle* handle, uint16_t flow, uint8_t xon, uint8_t xoff) {
    if (flow != USB_FLOW_NONE && flow != USB_FLOW_RTS_CTS && flow != USB_FLOW_XON_XOFF)
        return handle ? USB_INVALID_PARAMETER : USB_INVALID_HANDLE;
    return ChangeTermios(handle, [=](termios& settings) {
        settings.c_cflag &= ~static_cast<tcflag_t>(CRTSCTS);
        settings.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
        if (flow == USB_FLOW_RTS_CTS) settings.c_cflag |= CRTSCTS;
        if (flow == USB_FLOW_XON_XOFF) {
            settings.c_iflag |= IXON | IXOFF;
            settings.c_cc[VSTART] = xon;
            settings.c_cc[VSTOP] = xoff;
        }
        return USB_OK;
    });
}

UsbStatus UsbSetRts(UsbHandle* handle) { return RequestRts(handle, true); }
UsbStatus UsbClrRts(UsbHandle* handle) { return RequestRts(handle, false); }

UsbStatus UsbSetEventNotification(UsbHandle* handle, uint32_t mask, int* waitFd) {
    if (!handle) return USB_INVALID_HANDLE;
    if (!waitFd || !(mask & USB_EVENT_RXCHAR)) return USB_INVALID_PARAMETER;
    *waitFd = handle->fd;
    return USB_OK;
}

UsbStatus UsbGetQueueStatus(UsbHandle* handle, uint32_t* rxBytes) {
    if (!handle) return USB_INVALID_HANDLE;
    if (!rxBytes) return USB_INVALID_PARAMETER;
    *rxBytes = 0;
    int queued = 0;
    if (ioctl(handle->fd, FIONREAD, &queued) != 0) return Failure(errno);
    if (queued > 0) {
        *rxBytes = static_cast<uint32_t>(queued);
        return USB_OK;
    }
    // Nothing queued: tell an empty queue from a tty that has been hung up, which stays
    // "readable" for ever and would otherwise keep waking the worker.
    pollfd check = {handle->fd, POLLIN, 0};
    if (poll(&check, 1, 0) == 1 && (check.revents & (POLLHUP | POLLERR | POLLNVAL))) {
        errno = EIO;
        return USB_DEVICE_LOST;
    }
    return USB_OK;
}

UsbStatus UsbRead(UsbHandle* handle, void* buffer, uint32_t count, uint32_t* got) {
    if (!handle) return USB_INVALID_HANDLE;
    if (!got || (!buffer && count)) return USB_INVALID_PARAMETER;
    *got = 0;
    for (;;) {
        ssize_t n = read(handle->fd, buffer, count);
        if (n >= 0) {
            *got = static_cast<uint32_t>(n);
            return USB_OK;
        }
        if (errno == EINTR) continue;
        if (errno == EAGAIN) return USB_OK;
        return Failure(errno);
    }
}

UsbStatus UsbWrite(UsbHandle* handle, const void* bytes, uint32_t count, uint32_t* written) {
    if (!handle) return USB_INVALID_HANDLE;
    if (!written || (!bytes && count)) return USB_INVALID_PARAMETER;
    *written = 0;
    const uint8_t* next = static_cast<const uint8_t*>(bytes);
    while (*written < count) {
        ssize_t n = write(handle->fd, next + *written, count - *written);
        if (n > 0) {
            *written += static_cast<uint32_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN) return Failure(errno);
        // The output queue is full: wait for room, but not for ever.
        pollfd room = {handle->fd, POLLOUT, 0};
        int ready = poll(&room, 1, kWriteStallMs);
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) return USB_IO_ERROR;
        if (room.revents & (POLLHUP | POLLERR | POLLNVAL)) {
            errno = EIO;
            return USB_DEVICE_LOST;
        }
    }
    return USB_OK;
}

UsbStatus UsbClose(UsbHandle* handle) {
    if (!handle) return USB_INVALID_HANDLE;
    {
        BridgeState& state = State();
        std::lock_guard<std::mutex> guard(state.lock);
        auto open = state.openPorts.find(handle->portName);
        if (open != state.openPorts.end() && open->second == handle) state.openPorts.erase(open);
    }
    // close() releases the descriptor even when it reports an error, so the handle goes too.
    int result = ReleaseTty(handle->fd);
    delete handle;
    return result == 0 ? USB_OK : USB_IO_ERROR;
}

int UsbLastRtsRequest(const std::string& portName) {
    BridgeState& state = State();
    std::lock_guard<std::mutex> guard(state.lock);
    auto found = state.lastRts.find(portName);
    return found == state.lastRts.end() ? -1 : found->second;
}

}  // namespace platform
