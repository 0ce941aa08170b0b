#include "support/core_SysfsFixture.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <ftw.h>
#include <sstream>

#include "support/test_support.h"

namespace {
int RemoveOne(const char* path, const struct stat*, int, struct FTW*) { return std::remove(path); }
}  // namespace

SysfsFixture::SysfsFixture() : root(MakeTempDir("mirex-sysfs")) {
    sys = root + "/sys";
    proc = root + "/proc";
    dev = root + "/dev";
    modules = root + "/lib/modules/6.1.0-test-amd64";
    MakeDirs(sys + "/class/tty");
    MakeDirs(sys + "/bus/usb-serial/devices");
    MakeDirs(sys + "/bus/usb-serial/drivers/ftdi_sio");
    MakeDirs(sys + "/devices/virtual/tty");
    MakeDirs(proc + "/tty/driver");
    MakeDirs(dev);
    MakeDirs(modules);
}

SysfsFixture::~SysfsFixture() {
    if (!root.empty()) nftw(root.c_str(), RemoveOne, 16, FTW_DEPTH | FTW_PHYS);
}

void SysfsFixture::SetModulesFile(const std::string& name, const std::string& text) {
    WriteFile(modules + "/" + name, text);
}

void SysfsFixture::RemoveUsbSerialClass() {
    nftw((sys + "/bus/usb-serial").c_str(), RemoveOne, 16, FTW_DEPTH | FTW_PHYS);
}

void SysfsFixture::MakeDirs(const std::string& path) const {
    for (size_t slash = path.find('/', 1); ; slash = path.find('/', slash + 1)) {
        mkdir(path.substr(0, slash).c_str(), 0755);
        if (slash == std::string::npos) break;
    }
}

void SysfsFixture::WriteFile(const std::string& path, const std::string& text) const {
    std::ofstream(path) << text;
}

void SysfsFixture::Link(const std::string& target, const std::string& link) const {
    if (symlink(target.c_str(), link.c_str()) != 0) std::perror(link.c_str());
}

void SysfsFixture::AddUsbSerial(const std::string& tty, const std::string& product, const std::string& serial,
                                bool withLatencyTimer) {
    ++usbDevices;
    const std::string usbDevice = sys + "/devices/pci0000:00/0000:00:14.0/usb1/1-" + std::to_string(usbDevices);
    const std::string interface = usbDevice + "/1-" + std::to_string(usbDevices) + ":1.0";
    const std::string port = interface + "/" + tty;
    const std::string classEntry = port + "/tty/" + tty;
    MakeDirs(classEntry);
    WriteFile(usbDevice + "/idVendor", "0403\n");
    WriteFile(usbDevice + "/idProduct", "6001\n");
    WriteFile(usbDevice + "/product", product + "\n");
    WriteFile(usbDevice + "/serial", serial + "\n");
    WriteFile(usbDevice + "/busnum", "1\n");
    WriteFile(usbDevice + "/devnum", std::to_string(usbDevices + 1) + "\n");
    WriteFile(interface + "/bInterfaceNumber", "00\n");
    if (withLatencyTimer) WriteFile(port + "/latency_timer", "16\n");
    // Absolute targets: the tree lives wherever the temporary directory is.
    Link(sys + "/bus/usb-serial/drivers/ftdi_sio", port + "/driver");
    Link(port, classEntry + "/device");
    Link(classEntry, sys + "/class/tty/" + tty);
    Link(port, sys + "/bus/usb-serial/devices/" + tty);
}

void SysfsFixture::AddPlatformSerial(const std::string& tty, const std::string& driver, bool serialBase) {
    const std::string device = sys + "/devices/platform/" + driver;
    std::string ttyParent = device;
    MakeDirs(sys + "/bus/platform/drivers/" + driver);
    struct stat info;
    if (lstat((device + "/driver").c_str(), &info) != 0) {
        MakeDirs(device);
        Link(sys + "/bus/platform/drivers/" + driver, device + "/driver");
        Link(sys + "/bus/platform", device + "/subsystem");
    }
    if (serialBase) {
        const std::string number = tty.substr(tty.find_first_of("0123456789"));
        const std::string controller = device + "/" + driver + ":" + number;
        const std::string port = controller + "/" + driver + ":" + number + ".0";
        MakeDirs(port);
        MakeDirs(sys + "/bus/serial-base/drivers/ctrl");
        MakeDirs(sys + "/bus/serial-base/drivers/port");
        Link(sys + "/bus/serial-base", controller + "/subsystem");
        Link(sys + "/bus/serial-base/drivers/ctrl", controller + "/driver");
        Link(sys + "/bus/serial-base", port + "/subsystem");
        Link(sys + "/bus/serial-base/drivers/port", port + "/driver");
        ttyParent = port;
    }
    const std::string classEntry = ttyParent + "/tty/" + tty;
    MakeDirs(classEntry);
    Link(ttyParent, classEntry + "/device");
    Link(classEntry, sys + "/class/tty/" + tty);
}

void SysfsFixture::AddVirtualTty(const std::string& tty) {
    MakeDirs(sys + "/devices/virtual/tty/" + tty);
    WriteFile(sys + "/devices/virtual/tty/" + tty + "/dev", "4:0\n");
    Link(sys + "/devices/virtual/tty/" + tty, sys + "/class/tty/" + tty);
}

void SysfsFixture::SetKernelSerialList(const std::string& text) { WriteFile(proc + "/tty/driver/serial", text); }

void SysfsFixture::AddDevNode(const std::string& name, const std::string& target) {
    if (target.empty())
        WriteFile(dev + "/" + name, "");
    else
        Link(target, dev + "/" + name);
}

std::string SysfsFixture::LatencyTimer(const std::string& tty) const {
    std::ifstream file(sys + "/bus/usb-serial/devices/" + tty + "/latency_timer");
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

void SysfsFixture::SetUartType(const std::string& tty, int type) {
    WriteFile(sys + "/class/tty/" + tty + "/type", std::to_string(type) + "\n");
}
