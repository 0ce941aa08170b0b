// The USB-serial bridge layer: the calls the USB driver needs, built on the kernel's FTDI serial
// driver (ftdi_sio), which gives every bridge a tty of its own.
//
// The bridges are the entries of <sysfs>/bus/usb-serial/devices (ttyUSB0, ...), listed in port
// order; the description and serial number come from the USB device above each port. Opening a
// bridge opens its tty under the /dev root in raw mode. Received bytes make the handle's
// descriptor readable, so the worker waits on it together with its message queue.
//
// Every call returns a UsbStatus, USB_OK (0) on success. The device list is a snapshot kept by
// the layer: UsbCreateDeviceInfoList takes it, UsbGetDeviceInfoList and UsbOpen read it.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

using UsbStatus = int;
enum : UsbStatus {
    USB_OK = 0,
    USB_INVALID_HANDLE = 1,
    USB_DEVICE_NOT_FOUND = 2,
    USB_DEVICE_NOT_OPENED = 3,
    USB_IO_ERROR = 4,
    USB_INVALID_PARAMETER = 6,
    USB_INVALID_BAUD_RATE = 7,
    USB_DEVICE_LOST = 8,  // the tty was hung up (bridge unplugged); errno holds the reason
};

// Data characteristics and flow control values.
enum : uint8_t { USB_BITS_7 = 7, USB_BITS_8 = 8 };
enum : uint8_t { USB_STOP_BITS_1 = 0, USB_STOP_BITS_2 = 2 };
enum : uint8_t { USB_PARITY_NONE = 0, USB_PARITY_ODD = 1, USB_PARITY_EVEN = 2, USB_PARITY_MARK = 3, USB_PARITY_SPACE = 4 };
enum : uint16_t { USB_FLOW_NONE = 0x0000, USB_FLOW_RTS_CTS = 0x0100, USB_FLOW_XON_XOFF = 0x0400 };
// Event notification mask: bytes received.
enum : uint32_t { USB_EVENT_RXCHAR = 1 };

// Where the layer looks: the sysfs tree, the directory of the device nodes and the running
// kernel's module directory (empty: /lib/modules/<release of the running kernel>).
struct UsbBridgeRoots {
    std::string sysfs = "/sys";
    std::string dev = "/dev";
    std::string modules;
};
void SetUsbBridgeRoots(const UsbBridgeRoots& roots);
UsbBridgeRoots GetUsbBridgeRoots();

// The kernel can drive an FTDI bridge, plugged in or not: its driver ftdi_sio is loaded
// (<sysfs>/bus/usb-serial/drivers/ftdi_sio), built in (listed in <modules>/modules.builtin) or
// installed as a module (listed in <modules>/modules.dep). The usb-serial class itself appears
// only once the driver is loaded, normally when a bridge is first plugged in, so it cannot tell.
bool UsbBridgeAvailable();
bool UsbBridgeAvailable(const UsbBridgeRoots& roots);

struct UsbHandle;

// One bridge of the device list.
struct UsbDeviceNode {
    uint32_t flags = 0;     // bit 0: the tty is held open by a handle of this process
    uint32_t type = 0;      // 0: not known
    uint32_t id = 0;        // USB vendor id << 16 | product id
    uint32_t location = 0;  // USB bus number << 8 | device number
    char serialNumber[16] = {};  // NUL-terminated, cut to 15 characters
    char description[64] = {};   // NUL-terminated, cut to 63 characters
    UsbHandle* handle = nullptr;
    char portName[32] = {};      // the tty, e.g. ttyUSB0
};

// Takes a new snapshot of the bridges; count = their number.
UsbStatus UsbCreateDeviceInfoList(uint32_t* count);
// Copies at most *count nodes of the snapshot; *count becomes the number copied.
UsbStatus UsbGetDeviceInfoList(UsbDeviceNode* nodes, uint32_t* count);
// Opens bridge number index of the snapshot (taking one when there is none).
UsbStatus UsbOpen(uint32_t index, UsbHandle** handle);
UsbStatus UsbSetBaudRate(UsbHandle* handle, uint32_t baud);
UsbStatus UsbSetDataCharacteristics(UsbHandle* handle, uint8_t wordLength, uint8_t stopBits, uint8_t parity);
UsbStatus UsbSetFlowControl(UsbHandle* handle, uint16_t flow, uint8_t xon, uint8_t xoff);
UsbStatus UsbSetRts(UsbHandle* handle);
UsbStatus UsbClrRts(UsbHandle* handle);
// mask must hold USB_EVENT_RXCHAR; *waitFd becomes the descriptor that turns readable when
// bytes are queued (or the device is gone). It stays the handle's: do not close it.
UsbStatus UsbSetEventNotification(UsbHandle* handle, uint32_t mask, int* waitFd);
// Bytes ready to read. USB_DEVICE_LOST once the bridge has gone away.
UsbStatus UsbGetQueueStatus(UsbHandle* handle, uint32_t* rxBytes);
// Reads what is there, up to count bytes, without waiting.
UsbStatus UsbRead(UsbHandle* handle, void* buffer, uint32_t count, uint32_t* got);
// Writes all count bytes (waiting up to a second whenever the output queue is full).
UsbStatus UsbWrite(UsbHandle* handle, const void* bytes, uint32_t count, uint32_t* written);
// Releases the handle in every case; USB_IO_ERROR when the descriptor reported an error on close.
UsbStatus UsbClose(UsbHandle* handle);

// The last RTS state requested through a handle on that port (1 raised, 0 dropped), -1 when
// none was ever requested. Kept beyond the handle's life, so the effect of a close can be seen
// also on ports without modem lines (ptys accept no modem-line requests).
int UsbLastRtsRequest(const std::string& portName);

}  // namespace platform
