#include "comm/PortEnumerator.h"

#include "platform/SysfsFiles.h"

#include <dirent.h>
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {
using platform::BaseName;
using platform::DirectoryEntries;
using platform::IsFile;
using platform::ReadFirstLine;
using platform::RealPath;

// The UART type the serial core shows for a tty directory (0: no UART at that address, as for
// the 8250 driver's placeholder ports); -1 when there is no such attribute.
int UartType(const std::string& ttyPath) {
    const std::string text = ReadFirstLine(ttyPath + "/type");
    if (text.empty() || !std::isdigit(static_cast<unsigned char>(text[0]))) return -1;
    return std::atoi(text.c_str());
}

// True when the node opens as a serial port with a UART behind it. A node that refuses the
// open (in use, or not the user's) tells nothing about a UART.
bool OpensWithUart(const std::string& path) {
    const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    serial_struct info{};
    const bool uart = ioctl(fd, TIOCGSERIAL, &info) == 0 && info.type != PORT_UNKNOWN;
    close(fd);
    return uart;
}





// The product string of the USB device above a device directory: the first ancestor (or the
// directory itself) that is a USB device, that is, holds both idVendor and product. Empty for
// devices that do not sit on USB. The climb stays inside the sysfs tree.
std::string UsbProductAbove(const std::string& deviceDir, const std::string& sysfsReal) {
    std::string dir = deviceDir;
    while (dir.size() > sysfsReal.size() && dir.compare(0, sysfsReal.size(), sysfsReal) == 0) {
        if (IsFile(dir + "/idVendor") && IsFile(dir + "/product")) return ReadFirstLine(dir + "/product");
        size_t slash = dir.rfind('/');
        if (slash == std::string::npos) break;
        dir.erase(slash);
    }
    return std::string();
}

// Newer kernels put a port and a controller device of the serial-base bus between a serial
// tty and its hardware; the hardware device above them names the driver that found the port.
std::string HardwareDevice(std::string device) {
    while (!device.empty() && BaseName(RealPath(device + "/subsystem")) == "serial-base") {
        size_t slash = device.rfind('/');
        if (slash == std::string::npos || slash == 0) break;
        device.erase(slash);
    }
    return device;
}


}  // namespace

std::string PortNameFromFriendlyName(const std::string& friendlyName) {
    size_t open = friendlyName.rfind('(');
    if (open == std::string::npos) return std::string();
    size_t close = friendlyName.find(')', open + 1);
    if (close == std::string::npos) return std::string();
    return friendlyName.substr(open + 1, close - open - 1);
}

PortEnumerator::PortEnumerator(const std::string& sysfsRoot, const std::string& procRoot, const std::string& devRoot)
    : sysfsRoot(sysfsRoot), procRoot(procRoot), devRoot(devRoot) {
    PortList found;
    std::vector<std::string> knownUarts = KnownUartPorts();
    CollectDevices(found, std::set<std::string>(knownUarts.begin(), knownUarts.end()));
    CollectKernelSerial(found, knownUarts);
    if (found.GetCount() == 0) Probe(found);
    SortAndRemoveDuplicates(found);
}

int PortEnumerator::GetCount() const { return static_cast<int>(ports.GetCount()); }

const char* PortEnumerator::GetName(int i) const {
    PortEntry* entry = i < 0 ? nullptr : ports.At(static_cast<size_t>(i));
    return entry ? entry->name.c_str() : nullptr;
}

const char* PortEnumerator::GetDescription(int i) const {
    PortEntry* entry = i < 0 ? nullptr : ports.At(static_cast<size_t>(i));
    return entry ? entry->description.c_str() : nullptr;
}

// Lines of the kernel's serial list look like "1: uart:16550A port:000002F8 irq:3 ...".
// The header line and lines without a port number are skipped.
std::vector<std::string> PortEnumerator::KnownUartPorts() const {
    std::vector<std::string> names;
    std::ifstream file(procRoot + "/tty/driver/serial");
    std::string line;
    while (std::getline(file, line)) {
        size_t digits = 0;
        while (digits < line.size() && std::isdigit(static_cast<unsigned char>(line[digits]))) ++digits;
        if (digits == 0 || digits > 6 || digits >= line.size() || line[digits] != ':') continue;
        size_t uart = line.find(" uart:", digits);
        if (uart == std::string::npos) continue;
        size_t valueStart = uart + 6;
        size_t valueEnd = line.find_first_of(" \t", valueStart);
        std::string value = line.substr(valueStart, valueEnd == std::string::npos ? std::string::npos
                                                                                  : valueEnd - valueStart);
        if (value.empty() || value == "unknown") continue;
        names.push_back("ttyS" + std::to_string(std::atoi(line.substr(0, digits).c_str())));
    }
    return names;
}

// Every tty in sysfs that has a device behind it. Virtual terminals, ptys and the console have
// no device link or live under devices/virtual. The 8250 driver registers a fixed number of
// ttyS ports whether or not a UART answers at their address; such placeholders are bound to the
// serial8250 platform device, and only the kernel's serial list tells whether a UART was found
// there, so those are listed only when that list names their UART.
void PortEnumerator::CollectDevices(PortList& found, const std::set<std::string>& knownUarts) const {
    const std::string sysfsReal = RealPath(sysfsRoot);
    if (sysfsReal.empty()) return;
    const std::string classDir = sysfsRoot + "/class/tty";
    for (const std::string& tty : DirectoryEntries(classDir)) {
        const std::string ttyPath = classDir + "/" + tty;
        const std::string deviceReal = HardwareDevice(RealPath(ttyPath + "/device"));
        if (deviceReal.empty()) continue;
        std::string ttyReal = RealPath(ttyPath);
        if (ttyReal.compare(0, sysfsReal.size(), sysfsReal) == 0 &&
            ttyReal.compare(sysfsReal.size(), 17, "/devices/virtual/") == 0)
            continue;
        std::string driverReal = RealPath(deviceReal + "/driver");
        std::string driver = driverReal.empty() ? std::string() : BaseName(driverReal);
        if (tty.compare(0, 4, "ttyS") == 0 && driver == "serial8250" && !knownUarts.count(tty) &&
            UartType(ttyPath) <= 0)
            continue;

        std::string label = UsbProductAbove(deviceReal, sysfsReal);
        if (label.empty()) label = driver;
        if (label.empty()) label = "Serial port";
        std::string friendlyName = label + " (" + tty + ")";
        std::string name = PortNameFromFriendlyName(friendlyName);
        if (name.empty()) continue;
        found.Append(new PortEntry(name, friendlyName));
    }
}

void PortEnumerator::CollectKernelSerial(PortList& found, const std::vector<std::string>& knownUarts) const {
    for (const std::string& name : knownUarts) found.Append(new PortEntry(name, "Port " + name));
}

// Last resort when sysfs and /proc told nothing: a port exists when sysfs gives it a UART type,
// or, where sysfs has no word on it, when its node opens as a serial port with a UART. Opening
// alone proves nothing: the 8250 placeholders open too.
void PortEnumerator::Probe(PortList& found) const {
    for (int n = 0; n <= 99; ++n) {
        std::string name = "ttyS" + std::to_string(n);
        const int type = UartType(sysfsRoot + "/class/tty/" + name);
        const bool present = type >= 0 ? type > 0 : OpensWithUart(devRoot + "/" + name);
        if (present) found.Append(new PortEntry(name, name));
    }
}

// Selection sort into a second list (the first smallest entry wins, so ties keep their order),
// then the entries go back without those whose name repeats the last kept name.
void PortEnumerator::SortAndRemoveDuplicates(PortList& found) {
    PortList sorted;
    while (found.GetCount() > 0) {
        size_t smallest = 0;
        for (size_t i = 1; i < found.GetCount(); ++i) {
            if (ComparePortNames(found.At(i)->name, found.At(smallest)->name) < 0) smallest = i;
        }
        sorted.Append(found.RemoveAt(smallest));
    }
    while (sorted.GetCount() > 0) {
        PortEntry* entry = sorted.RemoveAt(0);
        PortEntry* last = ports.GetCount() ? ports.At(ports.GetCount() - 1) : nullptr;
        if (last && last->name == entry->name)
            delete entry;
        else
            ports.Append(entry);
    }
}
