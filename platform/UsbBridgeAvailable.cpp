// Whether the kernel can drive an FTDI bridge at all: the check made before the USB driver is
// created, so that a bridge that is merely unplugged is told apart from a kernel without the
// driver.
#include "platform/SysfsFiles.h"
#include "platform/UsbBridge.h"

#include <sys/stat.h>
#include <sys/utsname.h>

#include <algorithm>
#include <fstream>

namespace platform {

namespace {

const char kFtdiModule[] = "ftdi_sio";

// The module a path of the module lists names: "kernel/drivers/usb/serial/ftdi_sio.ko.xz" is
// ftdi_sio. The kernel does not tell '-' from '_' in module names.
std::string ModuleName(const std::string& path) {
    std::string name = BaseName(path);
    name.erase(std::min(name.find(".ko"), name.size()));
    std::replace(name.begin(), name.end(), '-', '_');
    return name;
}

// modules.builtin holds one module path a line; modules.dep one "path: dependencies" a line.
bool ListsModule(const std::string& listFile, const std::string& module) {
    std::ifstream list(listFile);
    std::string line;
    while (std::getline(list, line)) {
        if (ModuleName(line.substr(0, line.find(':'))) == module) return true;
    }
    return false;
}

std::string RunningKernelModules() {
    utsname kernel;
    if (uname(&kernel) != 0) return std::string();
    return std::string("/lib/modules/") + kernel.release;
}

bool IsDirectory(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

bool UsbBridgeAvailable(const UsbBridgeRoots& roots) {
    if (IsDirectory(roots.sysfs + "/bus/usb-serial/drivers/" + kFtdiModule)) return true;
    const std::string modules = roots.modules.empty() ? RunningKernelModules() : roots.modules;
    if (modules.empty()) return false;
    return ListsModule(modules + "/modules.builtin", kFtdiModule) || ListsModule(modules + "/modules.dep", kFtdiModule);
}

bool UsbBridgeAvailable() { return UsbBridgeAvailable(GetUsbBridgeRoots()); }

}  // namespace platform
