// Builds small sysfs, /proc and /dev trees in a temporary directory, laid out as the kernel lays
// them out, so the port enumeration and the USB bridge layer can be pointed at them.
#pragma once

#include <string>

class SysfsFixture {
public:
    SysfsFixture();
    ~SysfsFixture();  // removes the whole tree
    SysfsFixture(const SysfsFixture&) = delete;
    SysfsFixture& operator=(const SysfsFixture&) = delete;

    const std::string& SysRoot() const { return sys; }
    const std::string& ProcRoot() const { return proc; }
    const std::string& DevRoot() const { return dev; }
    // The running kernel's module directory (lib/modules/<release>), empty at first.
    const std::string& ModulesDir() const { return modules; }

    // A USB-serial bridge on the ftdi_sio driver: the USB device (with product and serial),
    // its interface, the usb-serial port (with latency_timer "16" when wanted), its tty class
    // entry and its bus/usb-serial/devices link.
    void AddUsbSerial(const std::string& tty, const std::string& product, const std::string& serial = "A1B2C3",
                      bool withLatencyTimer = true);
    // A tty of the given driver on a non-USB device (e.g. serial8250 for the legacy ttyS ports).
    // With serialBase the tty sits below a port and a controller device of the serial-base bus,
    // as newer kernels lay it out.
    void AddPlatformSerial(const std::string& tty, const std::string& driver, bool serialBase = false);
    // A tty without a device: virtual terminals, ptys, the console.
    void AddVirtualTty(const std::string& tty);
    // The UART type attribute of a serial tty made with AddPlatformSerial (0: no UART).
    void SetUartType(const std::string& tty, int type);
    // The contents of <proc>/tty/driver/serial.
    void SetKernelSerialList(const std::string& text);
    // A node under the /dev root: a symlink to target, or an empty file when target is empty.
    void AddDevNode(const std::string& name, const std::string& target = std::string());
    // A file of the module directory, such as modules.builtin or modules.dep.
    void SetModulesFile(const std::string& name, const std::string& text);
    // Removes bus/usb-serial, as on a fresh boot before any bridge was plugged in: the
    // usb-serial class and its ftdi_sio driver appear only once the module is loaded.
    void RemoveUsbSerialClass();
    // Whatever the bridge's latency_timer holds now (empty when it has none).
    std::string LatencyTimer(const std::string& tty) const;

private:
    void MakeDirs(const std::string& path) const;
    void WriteFile(const std::string& path, const std::string& text) const;
    void Link(const std::string& target, const std::string& link) const;

    std::string root;
    std::string sys;
    std::string proc;
    std::string dev;
    std::string modules;
    int usbDevices = 0;
};
