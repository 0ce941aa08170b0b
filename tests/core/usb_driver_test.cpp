#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/evtloop.h>

#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <chrono>
#include <thread>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "comm/jwxFtdiUSB.h"
#include "platform/UsbBridge.h"
#include "support/core_LineFlood.h"
#include "support/core_SysfsFixture.h"

using namespace platform;

namespace {

const char kAccepted[] = "Regulator QM-352A, VELTRA";

// Runs the event loop until done() holds; false after timeoutMs.
bool RunLoopUntil(const std::function<bool()>& done, int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        if (wxEventLoopBase* loop = wxEventLoopBase::GetActive()) loop->DispatchTimeout(10);
        if (wxAppConsole* app = wxAppConsole::GetInstance()) app->ProcessPendingEvents();
    }
    return true;
}

// The owner window's stand-in: records every driver event in arrival order.
class EventLog : public wxEvtHandler {
public:
    struct Entry {
        int id;
        int code;
        std::string text;  // the string, or the line's bytes for UNICOM_EV_LINE
    };

    EventLog() { Bind(EVT_UNICOM, &EventLog::OnUniCom, this); }

    int Count(int code) const {
        int n = 0;
        for (const Entry& entry : entries) n += entry.code == code;
        return n;
    }
    bool Has(int code, const std::string& text) const {
        for (const Entry& entry : entries)
            if (entry.code == code && entry.text == text) return true;
        return false;
    }
    std::vector<std::string> Texts(int code) const {
        std::vector<std::string> texts;
        for (const Entry& entry : entries)
            if (entry.code == code) texts.push_back(entry.text);
        return texts;
    }
    // Index of the first event with that code, -1 when none.
    int IndexOf(int code) const {
        for (size_t i = 0; i < entries.size(); ++i)
            if (entries[i].code == code) return static_cast<int>(i);
        return -1;
    }
    bool WaitFor(int code, int count = 1, int timeoutMs = 3000) {
        return RunLoopUntil([&] { return Count(code) >= count; }, timeoutMs);
    }

    std::vector<Entry> entries;

private:
    void OnUniCom(wxCommandEvent& event) {
        std::string text;
        if (event.GetInt() == UNICOM_EV_LINE) {
            ByteBuffer* line = static_cast<ByteBuffer*>(event.GetClientData());
            text.assign(reinterpret_cast<const char*>(line->data), static_cast<size_t>(line->GetLength()));
            delete line;
        } else {
            text = event.GetString().utf8_str().data();
        }
        entries.push_back({event.GetId(), event.GetInt(), text});
    }
};

// A pseudo-terminal standing in for a bridge's tty: the driver opens the slave through the
// fixture's /dev root, the test plays the panel on the master.
struct FakeBridge {
    int master = -1;
    int slave = -1;  // held open so that the line stays up while the driver is not attached
    std::string slaveName;

    FakeBridge() {
        char name[128];
        if (openpty(&master, &slave, name, nullptr, nullptr) == 0) slaveName = name;
    }
    ~FakeBridge() {
        CloseMaster();
        if (slave >= 0) close(slave);
    }
    void CloseMaster() {
        if (master >= 0) close(master);
        master = -1;
    }
    void Send(const std::string& bytes) const {
        ASSERT_EQ(write(master, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }
    // Bytes still waiting for the driver on the tty.
    int Unread() const {
        int queued = -1;
        ioctl(slave, FIONREAD, &queued);
        return queued;
    }
    bool WaitUntilTaken(int timeoutMs = 3000) const {
        return RunLoopUntil([this] { return Unread() == 0; }, timeoutMs);
    }
    // What the driver wrote, up to count bytes within the time.
    std::string Receive(size_t count, int timeoutMs = 3000) const {
        std::string got;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (got.size() < count && std::chrono::steady_clock::now() < deadline) {
            pollfd ready = {master, POLLIN, 0};
            if (poll(&ready, 1, 50) == 1) {
                char chunk[256];
                ssize_t n = read(master, chunk, std::min(sizeof chunk, count - got.size()));
                if (n > 0) got.append(chunk, static_cast<size_t>(n));
            }
        }
        return got;
    }
};

// A fixture tree with the bridge layer pointed at it, the bridges' ptys, an owner and a driver.
struct UsbRig {
    UsbRig() {
        UsbBridgeRoots roots;
        roots.sysfs = tree.SysRoot();
        roots.dev = tree.DevRoot();
        SetUsbBridgeRoots(roots);
    }
    ~UsbRig() {
        driver.reset();
        SetUsbBridgeRoots(UsbBridgeRoots());
    }

    // A bridge with a pty behind it.
    FakeBridge& AddBridge(const std::string& tty, const std::string& description, bool withLatencyTimer = true) {
        std::unique_ptr<FakeBridge>& bridge = bridges[tty];
        bridge.reset(new FakeBridge);
        tree.AddUsbSerial(tty, description, "SN-" + tty, withLatencyTimer);
        tree.AddDevNode(tty, bridge->slaveName);
        return *bridge;
    }

    void StartDriver() {
        driver.reset(new jwxFtdiUSB(&events));
        driver->Start();
    }

    SysfsFixture tree;
    std::map<std::string, std::unique_ptr<FakeBridge>> bridges;
    EventLog events;
    std::unique_ptr<jwxFtdiUSB> driver;
};

TEST(UsbDriverTest, UsesTheFirstAcceptedBridgeInPortOrder) {
    UsbRig rig;
    rig.AddBridge("ttyUSB2", "FT232R USB UART");
    FakeBridge& second = rig.AddBridge("ttyUSB10", kAccepted);
    FakeBridge& first = rig.AddBridge("ttyUSB9", kAccepted);  // ttyUSB9 comes before ttyUSB10

    rig.StartDriver();
    ASSERT_TRUE(rig.events.WaitFor(UNICOM_EV_OPENED));
    EXPECT_EQ(rig.events.entries.back().id, rig.driver->GetEventId());
    EXPECT_EQ(UsbLastRtsRequest("ttyUSB9"), 1);
    EXPECT_EQ(UsbLastRtsRequest("ttyUSB10"), -1);
    EXPECT_EQ(rig.tree.LatencyTimer("ttyUSB9"), "1");

    first.Send("12345\r\n");
    second.Send("wrong bridge\n");
    ASSERT_TRUE(rig.events.WaitFor(UNICOM_EV_LINE));

    ByteBuffer* request = new ByteBuffer(6);
    request->CopyIn("req 1\n", 6);
    rig.driver->Send(request);
    EXPECT_EQ(first.Receive(6), "req 1\n");

    rig.driver->PostToThread(UNICOM_SELECT, 0, 0);
    ASSERT_TRUE(rig.events.WaitFor(UNICOM_EV_WARNING));

    rig.driver->Stop();
    rig.driver.reset();
    RunLoopUntil([] { return false; }, 50);
    EXPECT_EQ(rig.events.Texts(UNICOM_EV_LINE), std::vector<std::string>{"12345\r\n"});
    EXPECT_TRUE(rig.events.Has(UNICOM_EV_WARNING, "Unknown message 1036"));
    EXPECT_TRUE(rig.events.Has(UNICOM_EV_INFO, "UniCom FtdiUSB thread exiting"));
    EXPECT_EQ(rig.events.Count(UNICOM_EV_ERROR), 0);
    EXPECT_EQ(UsbLastRtsRequest("ttyUSB9"), 0);  // dropped on close
}

TEST(UsbDriverTest, OpenFailuresPostTheirMessageThenOpenFailed) {
    struct Case {
        const char* title;
        std::function<void(UsbRig&)> setUp;
        const char* message;
    };
    const Case cases[] = {
        {"no bridge", [](UsbRig&) {}, "VELTRA device not found on USB"},
        {"other descriptions only",
         [](UsbRig& rig) {
             rig.AddBridge("ttyUSB0", "FT232R USB UART");
             rig.AddBridge("ttyUSB1", "regulator qm-352a, veltra");  // the comparison is exact
         },
         "VELTRA device not found on USB"},
        {"tty node missing", [](UsbRig& rig) { rig.tree.AddUsbSerial("ttyUSB3", kAccepted); }, "FT_Open() fail"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        UsbRig rig;
        c.setUp(rig);
        rig.StartDriver();
        ASSERT_TRUE(rig.events.WaitFor(UNICOM_EV_OPEN_FAILED));
        EXPECT_EQ(rig.events.Texts(UNICOM_EV_ERROR), std::vector<std::string>{c.message});
        EXPECT_LT(rig.events.IndexOf(UNICOM_EV_ERROR), rig.events.IndexOf(UNICOM_EV_OPEN_FAILED));
        EXPECT_EQ(rig.events.Count(UNICOM_EV_OPENED), 0);
        rig.driver->Stop();
    }
}

TEST(UsbDriverTest, AssemblesLinesAcrossBurstsAndDropsOverlongOnes) {
    UsbRig rig;
    FakeBridge& bridge = rig.AddBridge("ttyUSB0", kAccepted, false);  // no latency_timer: goes on
    rig.StartDriver();
    ASSERT_TRUE(rig.events.WaitFor(UNICOM_EV_OPENED));

    bridge.Send("AB");
    ASSERT_TRUE(bridge.WaitUntilTaken());  // the first burst has been read without a line
    EXPECT_EQ(rig.events.Count(UNICOM_EV_LINE), 0);
    bridge.Send("C\r\n");
    bridge.Send("DE\nF");
    ASSERT_TRUE(bridge.WaitUntilTaken());
    bridge.Send("G\n");
    ASSERT_TRUE(rig.events.WaitFor(UNICOM_EV_LINE, 3));

    bridge.Send(std::string(1024, 'x'));  // no LF within the buffer: all dropped
    bridge.Send("yz\n");
    ASSERT_TRUE(rig.events.WaitFor(UNICOM_EV_LINE, 4));
    EXPECT_EQ(rig.events.Texts(UNICOM_EV_LINE), (std::vector<std::string>{"ABC\r\n", "DE\n", "FG\n", "yz\n"}));
}

// A bridge that never stops delivering: Stop is not held back by the traffic, and what the
// worker posts that the owner has not taken stays bounded.
TEST(UsbDriverTest, FloodingBridgeNeitherDelaysStopNorPilesUpEvents) {
    UsbRig rig;
    FakeBridge& bridge = rig.AddBridge("ttyUSB0", kAccepted, false);
    rig.StartDriver();
    ASSERT_TRUE(rig.events.WaitFor(UNICOM_EV_OPENED));
    LineFlood flood(bridge.master, 64);
    std::this_thread::sleep_for(std::chrono::milliseconds(800));  // the owner takes nothing meanwhile
    const int inFlight = rig.driver->GetLinesInFlight();
    const auto before = std::chrono::steady_clock::now();
    rig.driver->Stop();
    const auto took = std::chrono::steady_clock::now() - before;
    flood.Stop();
    EXPECT_GT(inFlight, 0);
    EXPECT_LE(inFlight, 2 * jwxUniCom::kMaxLinesInFlight);
    EXPECT_LT(took, std::chrono::milliseconds(300))
        << std::chrono::duration_cast<std::chrono::milliseconds>(took).count() << " ms";
    // The owner takes what is queued, freeing the lines.
    EXPECT_TRUE(RunLoopUntil([&] { return rig.driver->GetLinesInFlight() == 0; }, 3000));
}

// Another program cannot open the bridge while the driver holds it; the hold ends with the
// driver (checked with TIOCGEXCL, which root's opens would ignore).
TEST(UsbDriverTest, BridgeIsExclusiveWhileOpenAndReleasedAfter) {
    UsbRig rig;
    FakeBridge& bridge = rig.AddBridge("ttyUSB0", kAccepted, false);
    auto exclusive = [&] {
        int state = -1;
        return ioctl(bridge.slave, TIOCGEXCL, &state) == 0 ? state : -1;
    };
    EXPECT_EQ(exclusive(), 0);
    rig.StartDriver();
    ASSERT_TRUE(rig.events.WaitFor(UNICOM_EV_OPENED));
    EXPECT_EQ(exclusive(), 1);
    rig.driver.reset();  // the driver closes the bridge when it goes
    EXPECT_EQ(exclusive(), 0);
}

TEST(UsbDriverTest, AVanishedBridgeEndsTheWorkerOnce) {
    UsbRig rig;
    FakeBridge& bridge = rig.AddBridge("ttyUSB0", kAccepted);
    rig.StartDriver();
    ASSERT_TRUE(rig.events.WaitFor(UNICOM_EV_OPENED));
    bridge.Send("partial");
    bridge.CloseMaster();  // the bridge is unplugged

    ASSERT_TRUE(rig.events.WaitFor(UNICOM_EV_STOPPED));
    // The worker has ended by itself: stopping only joins it.
    const auto before = std::chrono::steady_clock::now();
    rig.driver->Stop();
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(500));
    rig.driver.reset();
    RunLoopUntil([] { return false; }, 100);

    const EventLog& events = rig.events;
    EXPECT_EQ(events.Count(UNICOM_EV_STOPPED), 1);
    EXPECT_EQ(events.Count(UNICOM_EV_LINE), 0);
    ASSERT_GE(events.Count(UNICOM_EV_ERROR), 1);
    EXPECT_EQ(events.Texts(UNICOM_EV_ERROR).front().rfind("USB device lost: LastError: ", 0), 0u)
        << events.Texts(UNICOM_EV_ERROR).front();
    EXPECT_LT(events.IndexOf(UNICOM_EV_ERROR), events.IndexOf(UNICOM_EV_STOPPED));
    EXPECT_TRUE(events.Has(UNICOM_EV_INFO, "UniCom thread exiting due to an error"));
    EXPECT_FALSE(events.Has(UNICOM_EV_INFO, "UniCom FtdiUSB thread exiting"));
    // The hung-up tty refuses to drop RTS; the handle is released all the same.
    EXPECT_TRUE(events.Has(UNICOM_EV_ERROR, "FT_ClrRts() fail"));
}

// The kernel can drive a bridge, plugged in or not, when ftdi_sio is loaded, built in or
// installed as a module; the module lists name it by path, compressed or not, among others.
TEST(UsbBridgeTest, AvailableWhenTheKernelCanDriveAnFtdiBridge) {
    struct Case {
        const char* name;
        bool loaded;
        const char* builtin;  // nullptr: no such file
        const char* dep;
        bool available;
    };
    const char* const others = "kernel/drivers/usb/serial/usbserial.ko\nkernel/drivers/usb/misc/ftdi-elan.ko\n";
    const Case cases[] = {
        {"loaded", true, nullptr, nullptr, true},
        {"built in", false, "kernel/drivers/usb/serial/usbserial.ko\nkernel/drivers/usb/serial/ftdi_sio.ko\n", nullptr,
         true},
        {"module", false, others,
         "kernel/drivers/usb/serial/usbserial.ko:\n"
         "kernel/drivers/usb/serial/ftdi_sio.ko: kernel/drivers/usb/serial/usbserial.ko\n",
         true},
        {"compressed module", false, nullptr,
         "kernel/drivers/usb/serial/ftdi_sio.ko.xz: kernel/drivers/usb/serial/usbserial.ko.xz\n", true},
        {"other drivers only", false, others,
         "kernel/drivers/usb/serial/pl2303.ko: kernel/drivers/usb/serial/usbserial.ko\n"
         "kernel/drivers/usb/misc/ftdi-elan.ko:\n",
         false},
        {"no module lists", false, nullptr, nullptr, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SysfsFixture tree;
        if (!c.loaded) tree.RemoveUsbSerialClass();
        if (c.builtin) tree.SetModulesFile("modules.builtin", c.builtin);
        if (c.dep) tree.SetModulesFile("modules.dep", c.dep);
        UsbBridgeRoots roots;
        roots.sysfs = tree.SysRoot();
        roots.dev = tree.DevRoot();
        roots.modules = tree.ModulesDir();
        EXPECT_EQ(UsbBridgeAvailable(roots), c.available);
        roots.modules = tree.ModulesDir() + "/missing";  // no module directory at all
        EXPECT_EQ(UsbBridgeAvailable(roots), c.loaded);
    }
}

TEST(UsbBridgeTest, ListsBridgesInPortOrderWithTheirUsbStrings) {
    SysfsFixture tree;
    tree.AddUsbSerial("ttyUSB11", std::string(70, 'd'), "0123456789ABCDEFGH");
    tree.AddUsbSerial("ttyUSB2", kAccepted, "FT9XYZ");
    UsbBridgeRoots roots;
    roots.sysfs = tree.SysRoot();
    roots.dev = tree.DevRoot();
    SetUsbBridgeRoots(roots);

    uint32_t count = 0;
    ASSERT_EQ(UsbCreateDeviceInfoList(&count), USB_OK);
    ASSERT_EQ(count, 2u);
    UsbDeviceNode nodes[3];
    count = 3;
    ASSERT_EQ(UsbGetDeviceInfoList(nodes, &count), USB_OK);
    ASSERT_EQ(count, 2u);
    EXPECT_STREQ(nodes[0].portName, "ttyUSB2");
    EXPECT_STREQ(nodes[0].description, kAccepted);
    EXPECT_STREQ(nodes[0].serialNumber, "FT9XYZ");
    EXPECT_EQ(nodes[0].id, 0x04036001u);
    EXPECT_STREQ(nodes[1].portName, "ttyUSB11");
    EXPECT_EQ(std::string(nodes[1].description), std::string(63, 'd'));
    EXPECT_STREQ(nodes[1].serialNumber, "0123456789ABCDE");

    UsbHandle* handle = nullptr;
    EXPECT_EQ(UsbOpen(2, &handle), USB_DEVICE_NOT_FOUND);
    EXPECT_EQ(UsbOpen(0, &handle), USB_DEVICE_NOT_OPENED);  // no tty node under the /dev root
    EXPECT_EQ(handle, nullptr);
    EXPECT_EQ(UsbSetRts(nullptr), USB_INVALID_HANDLE);
    SetUsbBridgeRoots(UsbBridgeRoots());
}

}  // namespace
