#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <chrono>
#include <ctime>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "comm/TrafficLog.h"
#include "comm/jwxSerial.h"
#include "platform/SerialPort.h"
#include "support/core_EventWait.h"
#include "support/core_LineFlood.h"
#include "support/core_Pty.h"
#include "support/core_UniComEventLog.h"
#include "support/test_support.h"

namespace {

// A pseudo-terminal stands in for the serial line: the driver opens the slave by its path,
// the test plays the panel on the master.
class SerialDriverTest : public testing::Test {
protected:
    void SetUp() override {
        // Raw alone: the driver must set CLOCAL and VMIN = VTIME = 0 itself.
        ASSERT_TRUE(pty.Open(RawPty::Mode::RawOnly));
        ASSERT_EQ(fcntl(pty.master, F_SETFL, fcntl(pty.master, F_GETFL) | O_NONBLOCK), 0);
    }
    void TearDown() override { pty.Close(); }

    void PanelWrites(const std::string& bytes) {
        ASSERT_EQ(write(pty.master, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }
    // Collects what the driver wrote until it amounts to count bytes or the time is up.
    std::string PanelReads(size_t count, int timeoutMs = 3000) {
        std::string got;
        RunLoopUntil(
            [&] {
                char chunk[4096];
                ssize_t n;
                while ((n = read(pty.master, chunk, sizeof chunk)) > 0) got.append(chunk, static_cast<size_t>(n));
                return got.size() >= count;
            },
            timeoutMs);
        return got;
    }
    static void SendLine(jwxSerial& driver, const std::string& text) {
        ByteBuffer* line = new ByteBuffer(static_cast<int32_t>(text.size()));
        line->CopyIn(text.data(), static_cast<int32_t>(text.size()));
        driver.Send(line);
    }
    static bool WorkerEnded(jwxUniCom& driver) {
        return RunLoopUntil([&] { return driver.GetThread() && !driver.GetThread()->IsAlive(); }, 3000);
    }

    RawPty pty;  // the slave is kept open so that the line stays up while the driver reopens it
};

TEST(SerialPortPath, NameWithoutSlashIsADeviceUnderDev) {
    const struct {
        const char* name;
        const char* path;
    } cases[] = {{"ttyS0", "/dev/ttyS0"}, {"ttyUSB1", "/dev/ttyUSB1"}, {"/dev/pts/7", "/dev/pts/7"},
                 {"./port", "./port"}};
    for (const auto& c : cases) EXPECT_EQ(platform::SerialDevicePath(c.name), c.path) << c.name;
}

TEST(SerialLineSettings, BuildDCBMapsParityAndStopBits) {
    const struct {
        char parity;
        int stopBits;
        platform::SerialParity expectedParity;
        int expectedStopBits;
    } cases[] = {{'N', 1, platform::SerialParity::None, 1},
                 {'E', 2, platform::SerialParity::Even, 2},
                 {'O', 1, platform::SerialParity::Odd, 1},
                 {'X', 3, platform::SerialParity::Odd, 2}};  // any other letter is odd, any other count two
    for (const auto& c : cases) {
        jwxSerial driver(nullptr, wxASCII_STR("ttyS0"));
        driver.BuildDCB(9600, c.parity, 8, c.stopBits);
        const platform::SerialLineSettings& settings = driver.GetLineSettings();
        EXPECT_EQ(settings.baudRate, 9600u);
        EXPECT_EQ(settings.dataBits, 8);
        EXPECT_EQ(settings.parity, c.expectedParity) << c.parity;
        EXPECT_EQ(settings.stopBits, c.expectedStopBits) << c.stopBits;
        EXPECT_TRUE(settings.raiseDtr && settings.raiseRts);
    }
}

TEST_F(SerialDriverTest, LineSettingsReachTheTerminal) {
    for (int stopBits : {1, 2}) {
        UniComEventLog owner;
        jwxSerial driver(&owner, wxString::FromUTF8(pty.slavePath));
        driver.BuildDCB(9600, 'N', 8, stopBits);
        ASSERT_GE(driver.OpenPort(wxString::FromUTF8(pty.slavePath)), 0);

        termios tio{};
        ASSERT_EQ(tcgetattr(pty.slave, &tio), 0);
        EXPECT_EQ(cfgetospeed(&tio), static_cast<speed_t>(B9600));
        EXPECT_EQ(tio.c_cflag & (CSIZE | PARENB), static_cast<tcflag_t>(CS8));
        EXPECT_EQ((tio.c_cflag & CSTOPB) != 0, stopBits == 2);
        EXPECT_EQ(tio.c_cflag & (CLOCAL | CREAD), static_cast<tcflag_t>(CLOCAL | CREAD));
        EXPECT_EQ(tio.c_cflag & CRTSCTS, 0u);
        EXPECT_EQ(tio.c_iflag & (IXON | IXOFF), 0u);
        EXPECT_EQ(tio.c_lflag & (ICANON | ECHO), 0u) << "raw mode";
        EXPECT_EQ(tio.c_cc[VMIN], 0);
        EXPECT_EQ(tio.c_cc[VTIME], 0);
    }
}

TEST_F(SerialDriverTest, SettingsThePortCannotTakeFailTheOpen) {
    // A pseudo-terminal always carries 8 bits without parity: tcsetattr "succeeds", the
    // read-back shows the parity missing, and the open fails instead of garbling the line.
    UniComEventLog owner;
    jwxSerial driver(&owner, wxString::FromUTF8(pty.slavePath));
    driver.BuildDCB(9600, 'E', 8, 1);
    EXPECT_LT(driver.OpenPort(wxString::FromUTF8(pty.slavePath)), 0);
    ASSERT_TRUE(owner.WaitFor(UNICOM_EV_ERROR));
    EXPECT_EQ(owner.Texts(UNICOM_EV_ERROR).front(), "SetCommState(" + pty.slavePath + "): " + std::to_string(EINVAL));
}

int ExclusiveState(int fd) {
    int exclusive = -1;
    return ioctl(fd, TIOCGEXCL, &exclusive) == 0 ? exclusive : -1;
}

TEST_F(SerialDriverTest, PortIsExclusiveWhileOpenAndReleasedAfter) {
    {
        UniComEventLog owner;
        jwxSerial driver(&owner, wxString::FromUTF8(pty.slavePath));
        driver.BuildDCB(9600, 'N', 8, 1);
        ASSERT_GE(driver.OpenPort(wxString::FromUTF8(pty.slavePath)), 0);
        EXPECT_EQ(ExclusiveState(pty.slave), 1);
    }
    // Otherwise the terminal stayed locked for every later open while another descriptor
    // (here the test's own) kept it open.
    EXPECT_EQ(ExclusiveState(pty.slave), 0);

    UniComEventLog owner;
    jwxSerial driver(&owner, wxString::FromUTF8(pty.slavePath));
    driver.BuildDCB(9600, 'E', 8, 1);  // fails after the exclusive step
    ASSERT_LT(driver.OpenPort(wxString::FromUTF8(pty.slavePath)), 0);
    EXPECT_EQ(ExclusiveState(pty.slave), 0);
}

TEST_F(SerialDriverTest, OpenFailuresReportTheStepThenOpenFailed) {
    const struct {
        const char* name;
        std::string text;
    } cases[] = {
        {"mirex-no-such-port", "CreateFile(/dev/mirex-no-such-port): " + std::to_string(ENOENT)},
        {"/dev/null", "SetupComm(/dev/null): " + std::to_string(ENOTTY)},  // opens, but is no terminal
    };
    for (const auto& c : cases) {
        UniComEventLog owner;
        jwxSerial driver(&owner, wxString::FromUTF8(c.name));
        driver.Start();
        ASSERT_TRUE(owner.WaitFor(UNICOM_EV_OPEN_FAILED)) << c.name;
        ASSERT_TRUE(WorkerEnded(driver));
        EXPECT_EQ(owner.CodesWithoutInfo(), (std::vector<int>{UNICOM_EV_ERROR, UNICOM_EV_OPEN_FAILED}));
        EXPECT_EQ(owner.Texts(UNICOM_EV_ERROR), std::vector<std::string>{c.text});
        driver.Stop();
    }
}

// A port the user may not open says why in the log (the test may run as root, for whom the
// open itself would not fail).
TEST(SerialDriverText, PermissionDeniedNamesTheDialoutGroup) {
    const struct {
        platform::SerialOpenStep step;
        int error;
        const char* text;
    } cases[] = {
        {platform::SerialOpenStep::CreateFile, EACCES,
         "CreateFile(/dev/ttyS0): 13 (permission denied: the user may need to be in the dialout group)"},
        {platform::SerialOpenStep::CreateFile, ENOENT, "CreateFile(/dev/ttyS0): 2"},
        {platform::SerialOpenStep::CreateFile, EBUSY, "CreateFile(/dev/ttyS0): 16"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(std::string(jwxSerial::OpenErrorText(c.step, "ttyS0", c.error).utf8_str()), c.text);
}

TEST_F(SerialDriverTest, LinesAreDeliveredOnlyWhenComplete) {
    UniComEventLog owner;
    jwxSerial driver(&owner, wxString::FromUTF8(pty.slavePath));
    driver.Start();
    ASSERT_TRUE(owner.WaitFor(UNICOM_EV_OPENED));

    PanelWrites("020a01:0");
    RunLoopFor(150);
    EXPECT_EQ(owner.Count(UNICOM_EV_LINE), 0) << "no line before its LF";

    PanelWrites("352:ab\r\n");
    ASSERT_TRUE(owner.WaitFor(UNICOM_EV_LINE));
    PanelWrites("030000:01:f1\r\n030000:02:f0\r\n");  // two lines in one burst
    ASSERT_TRUE(owner.WaitFor(UNICOM_EV_LINE, 3));
    EXPECT_EQ(owner.Texts(UNICOM_EV_LINE),
              (std::vector<std::string>{"020a01:0352:ab\r\n", "030000:01:f1\r\n", "030000:02:f0\r\n"}));
    for (const auto& entry : owner.entries) EXPECT_EQ(entry.id, driver.GetEventId());

    driver.Stop();
    EXPECT_TRUE(owner.WaitForText(UNICOM_EV_INFO, "UniCom Serial thread exiting"));
    EXPECT_EQ(owner.Count(UNICOM_EV_STOPPED), 0);
}

TEST_F(SerialDriverTest, RequestIsWrittenAtOnceWhileALineIsHalfReceived) {
    UniComEventLog owner;
    jwxSerial driver(&owner, wxString::FromUTF8(pty.slavePath));
    driver.Start();
    ASSERT_TRUE(owner.WaitFor(UNICOM_EV_OPENED));

    PanelWrites("020a05:00");  // the reply has begun
    SendLine(driver, "020a06fa\r\n");
    EXPECT_EQ(PanelReads(10), "020a06fa\r\n");
    ASSERT_TRUE(owner.WaitFor(UNICOM_EV_INFO));
    EXPECT_EQ(owner.Texts(UNICOM_EV_INFO).front(), "Wrote 10 bytes");

    PanelWrites(":12\r\n");  // the read goes on where it was
    ASSERT_TRUE(owner.WaitFor(UNICOM_EV_LINE));
    EXPECT_EQ(owner.Texts(UNICOM_EV_LINE).front(), "020a05:00:12\r\n");
}

TEST_F(SerialDriverTest, LargeWriteAndHeldOutputArriveWhole) {
    UniComEventLog owner;
    jwxSerial driver(&owner, wxString::FromUTF8(pty.slavePath));
    driver.Start();
    ASSERT_TRUE(owner.WaitFor(UNICOM_EV_OPENED));

    // More than the terminal buffers at once: the write goes on as the panel side reads.
    std::string big;
    for (int i = 0; big.size() < 50000; ++i) big += std::to_string(i) + ",";
    big += "\n";
    SendLine(driver, big);
    EXPECT_EQ(PanelReads(big.size()), big);

    // Output held (as by flow control) for a while: the line is written when it resumes.
    ASSERT_EQ(tcflow(pty.slave, TCOOFF), 0);
    SendLine(driver, "020b01f2\r\n");
    RunLoopFor(300);
    EXPECT_EQ(PanelReads(1, 0), "");
    ASSERT_EQ(tcflow(pty.slave, TCOON), 0);
    EXPECT_EQ(PanelReads(10), "020b01f2\r\n");

    ASSERT_TRUE(owner.WaitFor(UNICOM_EV_INFO, 2));
    EXPECT_EQ(owner.Texts(UNICOM_EV_INFO),
              (std::vector<std::string>{"Wrote " + std::to_string(big.size()) + " bytes", "Wrote 10 bytes"}));
    EXPECT_EQ(owner.Count(UNICOM_EV_ERROR), 0);
}

TEST_F(SerialDriverTest, OutputHeldForTheWholeWaitIsAnErrorThatStopsTheDriver) {
    UniComEventLog owner;
    jwxSerial driver(&owner, wxString::FromUTF8(pty.slavePath));
    driver.Start();
    ASSERT_TRUE(owner.WaitFor(UNICOM_EV_OPENED));
    ASSERT_EQ(tcflow(pty.slave, TCOOFF), 0);
    SendLine(driver, "020b01f2\r\n");
    ASSERT_TRUE(owner.WaitFor(UNICOM_EV_STOPPED, 1, 5000));
    EXPECT_EQ(owner.Texts(UNICOM_EV_ERROR),
              std::vector<std::string>{"GetOverlappedResult(): LastError: " + std::to_string(ETIMEDOUT)});
    ASSERT_TRUE(WorkerEnded(driver));
    tcflow(pty.slave, TCOON);
}

TEST_F(SerialDriverTest, UnknownMessageIsAWarning) {
    UniComEventLog owner;
    jwxSerial driver(&owner, wxString::FromUTF8(pty.slavePath));
    driver.Start();
    ASSERT_TRUE(owner.WaitFor(UNICOM_EV_OPENED));
    ASSERT_TRUE(driver.PostToThread(UNICOM_SELECT, 0, 0));
    ASSERT_TRUE(driver.PostToThread(4711, 0, 0));
    ASSERT_TRUE(owner.WaitFor(UNICOM_EV_WARNING, 2));
    EXPECT_EQ(owner.Texts(UNICOM_EV_WARNING), (std::vector<std::string>{"Unknown message 1036", "Unknown message 4711"}));
}

TEST_F(SerialDriverTest, QuietLineGivesIdleTicks) {
    UniComEventLog owner;
    jwxSerial driver(&owner, wxString::FromUTF8(pty.slavePath));
    driver.Start();
    ASSERT_TRUE(owner.WaitFor(UNICOM_EV_OPENED));
    auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(owner.WaitFor(UNICOM_EV_IDLE, 1, 3000));
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1400));
}

// A panel end that never stops sending while the owner takes nothing: the worker stops reading
// once the bound of lines waits for the owner, so events and memory stay bounded; when the owner
// has taken them the stream goes on, and Stop is never held back by the traffic.
TEST_F(SerialDriverTest, FloodWhileTheOwnerTakesNothingStaysBounded) {
    UniComEventLog owner;
    jwxSerial driver(&owner, wxString::FromUTF8(pty.slavePath));
    driver.Start();
    ASSERT_TRUE(owner.WaitFor(UNICOM_EV_OPENED));
    const long rssBefore = ResidentKiB();
    LineFlood flood(pty.master, 64);
    std::this_thread::sleep_for(std::chrono::seconds(2));
    // Nothing is taken meanwhile, so the count only grows: what it holds now is its peak.
    const int inFlight = driver.GetLinesInFlight();
    const long grewKiB = ResidentKiB() - rssBefore;
    std::printf("after 2 s of flood: %d line events waiting, resident memory grew by %ld KiB\n", inFlight, grewKiB);
    EXPECT_EQ(inFlight, jwxUniCom::kMaxLinesInFlight);
    EXPECT_LT(grewKiB, 16 * 1024);

    const int taken = owner.Count(UNICOM_EV_LINE);
    EXPECT_TRUE(RunLoopUntil([&] { return owner.Count(UNICOM_EV_LINE) >= taken + 4 * inFlight; }, 3000))
        << "reading resumes once the owner has taken the lines";
    const auto before = std::chrono::steady_clock::now();
    driver.Stop();
    const auto took = std::chrono::steady_clock::now() - before;
    flood.Stop();
    EXPECT_LT(took, std::chrono::milliseconds(300))
        << std::chrono::duration_cast<std::chrono::milliseconds>(took).count() << " ms";
    EXPECT_TRUE(RunLoopUntil([&] { return driver.GetLinesInFlight() == 0; }, 3000));
}

double ProcessCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

TEST_F(SerialDriverTest, FarEndClosingStopsTheDriverOnceWithoutSpinning) {
    UniComEventLog owner;
    jwxSerial driver(&owner, wxString::FromUTF8(pty.slavePath));
    driver.Start();
    ASSERT_TRUE(owner.WaitFor(UNICOM_EV_OPENED));
    PanelWrites("020a01:00");  // half a line is lost with the line

    pty.CloseMaster();
    ASSERT_TRUE(owner.WaitFor(UNICOM_EV_STOPPED));
    ASSERT_TRUE(WorkerEnded(driver)) << "the worker ends by itself";

    const double cpuBefore = ProcessCpuSeconds();
    RunLoopFor(500);
    EXPECT_LT(ProcessCpuSeconds() - cpuBefore, 0.1) << "nothing keeps running on the hung-up port";

    EXPECT_EQ(owner.CodesWithoutInfo(), (std::vector<int>{UNICOM_EV_OPENED, UNICOM_EV_ERROR, UNICOM_EV_STOPPED}));
    EXPECT_EQ(owner.Texts(UNICOM_EV_ERROR).front().rfind("ReadFile()", 0), 0u) << owner.Texts(UNICOM_EV_ERROR).front();
    EXPECT_TRUE(owner.WaitForText(UNICOM_EV_INFO, "UniCom thread exiting due to an error"));
    EXPECT_EQ(owner.Count(UNICOM_EV_LINE), 0);

    SendLine(driver, "020a02fc\r\n");  // the worker is gone: refused and freed
    auto start = std::chrono::steady_clock::now();
    driver.Stop();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
}

TEST(TrafficLog, StreamAndLineForms) {
    const std::string dir = MakeTempDir("mirex-traffic");
    ASSERT_FALSE(dir.empty());
    const std::string path = dir + "/logger.log";
    SetTrafficLogPath(path);

    auto write = [](bool incoming, const std::string& bytes) {
        WriteTrafficLog(incoming, reinterpret_cast<const uint8_t*>(bytes.data()), static_cast<int32_t>(bytes.size()));
    };
    write(true, "\r\n0200");    // leading line ends write nothing
    write(true, "01:ab\r\n\r\n");  // one line, the second CR LF is skipped
    write(false, "020a");
    write(false, "01f5\r\n\n");     // one line, the lone LF writes nothing
    write(false, std::string(600, 'x') + "\n");  // cut at 512 characters

    std::ifstream file(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) lines.push_back(line);
    ASSERT_EQ(lines.size(), 3u);

    auto expectStamped = [](const std::string& line, char mark, const std::string& text) {
        // "<  0.012< text": seconds right-aligned in three places, milliseconds in three digits.
        ASSERT_GE(line.size(), 10u) << line;
        EXPECT_EQ(line[0], mark) << line;
        EXPECT_EQ(line[4], '.') << line;
        EXPECT_EQ(line.substr(8, 2), std::string(1, mark) + " ") << line;
        for (int i : {1, 2, 3, 5, 6, 7}) EXPECT_TRUE(line[i] == ' ' || isdigit(static_cast<unsigned char>(line[i]))) << line;
        EXPECT_EQ(line.substr(10), text);
    };
    expectStamped(lines[0], '<', "020001:ab");
    expectStamped(lines[1], '>', "020a01f5");
    expectStamped(lines[2], '>', std::string(512, 'x'));
    SetTrafficLogPath("logger.log");
}

}  // namespace
