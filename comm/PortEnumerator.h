// Lists the serial ports of the machine for the port dialog: each entry has the port name that
// the serial driver opens (ttyUSB0, ttyS0, ...) and a description to show.
//
// Three sources are appended in turn: the tty devices in sysfs, the kernel's list of serial
// UARTs in /proc, and, only when both gave nothing, a probe of /dev/ttyS0..99. The list is then
// sorted with ComparePortNames and duplicate names are dropped, so a port found by several
// sources keeps the description of the first one (the friendly name).
#pragma once

#include <set>
#include <string>
#include <vector>

#include "comm/PortList.h"
#include "platform/PortNameOrder.h"

// The port name inside a friendly name: the text between its last '(' and the following ')';
// empty when there is none.
std::string PortNameFromFriendlyName(const std::string& friendlyName);

class PortEnumerator {
public:
    // The roots let tests point the enumerator at fixture trees.
    explicit PortEnumerator(const std::string& sysfsRoot = "/sys", const std::string& procRoot = "/proc",
                            const std::string& devRoot = "/dev");

    int GetCount() const;
    // Name and description (UTF-8) of entry i; null when i is out of range.
    const char* GetName(int i) const;
    const char* GetDescription(int i) const;

private:
    // ttyS names whose UART the kernel's serial list reports as known, in list order.
    std::vector<std::string> KnownUartPorts() const;
    void CollectDevices(PortList& found, const std::set<std::string>& knownUarts) const;
    void CollectKernelSerial(PortList& found, const std::vector<std::string>& knownUarts) const;
    void Probe(PortList& found) const;
    void SortAndRemoveDuplicates(PortList& found);

    std::string sysfsRoot;
    std::string procRoot;
    std::string devRoot;
    PortList ports;
};
