#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>
#include <vector>

#include "comm/PortEnumerator.h"
#include "comm/PortList.h"
#include "support/core_Pty.h"
#include "support/core_SysfsFixture.h"

namespace {

struct Listed {
    std::string name;
    std::string description;
    bool operator==(const Listed& other) const { return name == other.name && description == other.description; }
};

std::ostream& operator<<(std::ostream& out, const Listed& entry) {
    return out << entry.name << " / " << entry.description;
}

std::vector<Listed> ListOf(const PortEnumerator& ports) {
    std::vector<Listed> listed;
    for (int i = 0; i < ports.GetCount(); ++i) listed.push_back({ports.GetName(i), ports.GetDescription(i)});
    return listed;
}

PortEnumerator EnumerateIn(const SysfsFixture& tree) {
    return PortEnumerator(tree.SysRoot(), tree.ProcRoot(), tree.DevRoot());
}

}  // namespace

TEST(PortOrder, ComparesNamesByClassThenPrefixThenNumber) {
    struct Case {
        const char* before;
        const char* after;
    };
    const Case cases[] = {
        {"COM9", "COM10"},       {"COM10", "COM11"},    {"COM11", "CNCA0"},   // COM numbers first
        {"COM99", "ttyS0"},      {"ttyS2", "ttyS10"},   {"ttyUSB9", "ttyUSB10"},
        {"ttyS10", "ttyUSB0"},   {"COM3", "com3"},                              // other prefixes by bytes
        {"ttyUSB10", "COM5A"},   {"COM5A", "COMX"},     {"COMX", "tty"},        // numbered before unnumbered
        {"COM10", "COM100000000000000000000"},                                  // numbers beyond 64 bits
        {"COM03", "COM3"},                                                      // equal numbers by bytes
    };
    for (const Case& c : cases) {
        EXPECT_LT(ComparePortNames(c.before, c.after), 0) << c.before << " < " << c.after;
        EXPECT_GT(ComparePortNames(c.after, c.before), 0) << c.after << " > " << c.before;
    }
    EXPECT_EQ(ComparePortNames("ttyUSB0", "ttyUSB0"), 0);
}

TEST(PortOrder, TakesThePortNameFromTheLastParentheses) {
    const std::pair<const char*, const char*> cases[] = {
        {"FT232R USB UART (ttyUSB0)", "ttyUSB0"},
        {"Bridge (rev 2) (ttyS1)", "ttyS1"},
        {"no parentheses", ""},
        {"empty ()", ""},
        {"unclosed (ttyS3", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(PortNameFromFriendlyName(c.first), c.second) << c.first;
}

TEST(PortListTest, RemovesFromHeadMiddleAndTail) {
    PortList list;
    for (const char* name : {"a", "b", "c", "d", "e"}) list.Append(new PortEntry(name, name));
    auto names = [&list] {
        std::string joined;
        for (size_t i = 0; i < list.GetCount(); ++i) joined += list.At(i)->name;
        return joined;
    };
    PortEntry* removed = list.RemoveAt(2);
    EXPECT_EQ(removed->name, "c");
    delete removed;
    delete list.RemoveAt(0);
    delete list.RemoveAt(2);
    EXPECT_EQ(names(), "bd");
    list.Append(new PortEntry("f", "f"));
    EXPECT_EQ(names(), "bdf");
    EXPECT_EQ(list.RemoveAt(3), nullptr);
    EXPECT_EQ(list.At(3), nullptr);
}

TEST(PortEnumeratorTest, MergesSysfsAndKernelListInPortOrder) {
    SysfsFixture tree;
    tree.AddUsbSerial("ttyUSB10", "FT232R USB UART");
    tree.AddUsbSerial("ttyUSB9", "Regulator QM-352A, VELTRA");
    tree.AddPlatformSerial("ttyS0", "serial8250");  // placeholder: the kernel found no UART there
    tree.AddPlatformSerial("ttyS1", "serial8250");  // a real UART, also in the kernel's list
    tree.AddPlatformSerial("ttyS4", "serial");      // a port the PnP serial driver found
    tree.AddPlatformSerial("ttyS3", "serial8250", true);  // serial-base layout, no UART there
    tree.AddPlatformSerial("ttyS5", "serial", true);      // serial-base layout, named by its hardware
    tree.AddVirtualTty("tty0");
    tree.SetKernelSerialList(
        "serinfo:1.0 driver revision:\n"
        "0: uart:unknown port:000003F8 irq:4\n"
        "1: uart:16550A port:000002F8 irq:3 tx:0 rx:0\n"
        "2: uart:16550A port:000003E8 irq:4 tx:0 rx:0\n"
        "10: uart:16550A mmio:0xFE030000 irq:5 tx:0 rx:0\n"
        "x: uart:16550A port:000002E8 irq:3\n");
    tree.AddDevNode("ttyS7");  // the probe is not used when the sources found ports

    PortEnumerator ports = EnumerateIn(tree);

    const std::vector<Listed> expected = {
        {"ttyS1", "serial8250 (ttyS1)"},  // found twice: the friendly name wins
        {"ttyS2", "Port ttyS2"},
        {"ttyS4", "serial (ttyS4)"},
        {"ttyS5", "serial (ttyS5)"},
        {"ttyS10", "Port ttyS10"},
        {"ttyUSB9", "Regulator QM-352A, VELTRA (ttyUSB9)"},
        {"ttyUSB10", "FT232R USB UART (ttyUSB10)"},
    };
    EXPECT_EQ(ListOf(ports), expected);
    EXPECT_EQ(ports.GetName(-1), nullptr);
    EXPECT_EQ(ports.GetName(ports.GetCount()), nullptr);
    EXPECT_EQ(ports.GetDescription(ports.GetCount()), nullptr);
}

// The 8250 driver's placeholders (no UART behind them) have UART type 0 in sysfs; only the
// kernel's serial list (readable by root alone) or a non-zero type makes such a port real.
TEST(PortEnumeratorTest, PlaceholderPortsNeedAUartType) {
    SysfsFixture tree;
    tree.AddPlatformSerial("ttyS0", "serial8250");
    tree.SetUartType("ttyS0", 0);
    tree.AddPlatformSerial("ttyS1", "serial8250");
    tree.SetUartType("ttyS1", 4);  // 16550A: listed without the kernel's list
    tree.AddPlatformSerial("ttyS2", "serial8250", true);
    tree.SetUartType("ttyS2", 4);
    tree.AddPlatformSerial("ttyS3", "serial8250");  // no type attribute, not in the list
    const std::vector<Listed> expected = {{"ttyS1", "serial8250 (ttyS1)"}, {"ttyS2", "serial8250 (ttyS2)"}};
    EXPECT_EQ(ListOf(EnumerateIn(tree)), expected);
}

// When the sources give nothing, a node counts only when it opens as a serial port with a UART
// (TIOCGSERIAL). Nodes that merely exist, refuse access or are terminals without a UART (here
// plain files and a pseudo-terminal) are no ports.
TEST(PortEnumeratorTest, ProbeListsNoPortWithoutAUart) {
    SysfsFixture tree;
    tree.AddPlatformSerial("ttyS0", "serial8250");  // placeholder only: the sources give nothing
    tree.SetUartType("ttyS0", 0);
    tree.AddDevNode("ttyS12");
    tree.AddDevNode("ttyS3");
    tree.AddDevNode("ttyS5", tree.DevRoot() + "/missing");  // a dangling node is no port
    RawPty pty;
    ASSERT_TRUE(pty.Open());
    tree.AddDevNode("ttyS7", pty.slavePath);
    tree.AddDevNode("ttyS8");
    ASSERT_EQ(chmod((tree.DevRoot() + "/ttyS8").c_str(), 0), 0);  // EACCES for a user

    EXPECT_EQ(ListOf(EnumerateIn(tree)), std::vector<Listed>{});
}

TEST(PortEnumeratorTest, NoPortsGivesAnEmptyListAndNullLookups) {
    SysfsFixture tree;
    tree.AddVirtualTty("tty0");
    tree.AddVirtualTty("ptmx");
    PortEnumerator empty = EnumerateIn(tree);
    EXPECT_EQ(empty.GetCount(), 0);
    EXPECT_EQ(empty.GetName(0), nullptr);
    EXPECT_EQ(empty.GetDescription(0), nullptr);

    PortEnumerator nowhere("/nonexistent/sys", "/nonexistent/proc", "/nonexistent/dev");
    EXPECT_EQ(nowhere.GetCount(), 0);
}
