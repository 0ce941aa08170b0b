// The whole program as a user runs it: the built executable in a process of its own, its serial
// port on a pseudo-terminal served by the panel simulator, its settings and log in temporary
// directories. Windows are found and answered with xdotool on the shared display.
#include <gtest/gtest.h>
#include <wx/utils.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "sim/PanelSimulator.h"
#include "support/core_Pty.h"
#include "support/test_support.h"

namespace {

using Clock = std::chrono::steady_clock;

// Output of a shell command (xdotool), stripped of the final line feed.
std::string Shell(const std::string& command) {
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char chunk[256];
        size_t got;
        while ((got = std::fread(chunk, 1, sizeof chunk, pipe)) > 0) out.append(chunk, got);
        pclose(pipe);
    }
    while (!out.empty() && out.back() == '\n') out.pop_back();
    return out;
}

std::string ReadFile(const std::string& path) {
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

template <typename Condition>
bool WaitUntil(Condition done, int timeoutMs) {
    const Clock::time_point end = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        if (Clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

class ProgramTest : public testing::Test {
protected:
    void SetUp() override {
        if (Shell("command -v xdotool").empty()) GTEST_SKIP() << "xdotool is not installed";
        // xdotool sees the program's windows only on an X server.
        if (wxGetDisplayInfo().type != wxDisplayX11) GTEST_SKIP() << "needs an X server (xdotool)";
        home = MakeTempDir("mirex-program");
        ASSERT_EQ(std::system(("mkdir -p '" + home + "/config' '" + home + "/state'").c_str()), 0);
        ASSERT_TRUE(pty.Open());
        ASSERT_TRUE(panel.Start(pty.TakeMaster(), true));
        std::ofstream conf(home + "/config/mirex.conf");
        conf << "[com]\ntype=COM\nname=" << pty.slavePath << "\n";
    }

    void TearDown() override {
        if (child > 0) {
            kill(child, SIGKILL);
            waitpid(child, nullptr, 0);
        }
        panel.Stop();
        pty.Close();
        if (!home.empty()) std::system(("rm -rf '" + home + "'").c_str());
    }

    // polish: the user's locale is pl_PL.UTF-8 (decimal comma, Polish messages of the system).
    void StartProgram(bool polish = false) {
        child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // The simulator's end of the line must not stay open in the program.
            for (int fd = 3; fd < 1024; ++fd) close(fd);
            setenv("XDG_CONFIG_HOME", (home + "/config").c_str(), 1);
            setenv("XDG_STATE_HOME", (home + "/state").c_str(), 1);
            if (polish) {
                setenv("LOCPATH", TestLocalePath(), 1);
                setenv("LANG", "pl_PL.UTF-8", 1);
                setenv("LC_ALL", "pl_PL.UTF-8", 1);
            }
            execl(MIREX_PROGRAM, MIREX_PROGRAM, static_cast<char*>(nullptr));
            _exit(127);
        }
    }

    // Visible windows of the program with this exact title.
    std::vector<std::string> WindowsNamed(const std::string& title) const {
        std::string list =
            Shell("xdotool search --onlyvisible --pid " + std::to_string(child) + " --class mirex 2>/dev/null");
        std::vector<std::string> ids;
        std::istringstream lines(list);
        for (std::string id; std::getline(lines, id);)
            if (!id.empty() && Shell("xdotool getwindowname " + id + " 2>/dev/null") == title) ids.push_back(id);
        return ids;
    }

    // Waits for the child's end; its wait status, or -1 when it still runs.
    int WaitExit(int timeoutMs) {
        int status = 0;
        const bool ended = WaitUntil([&] { return waitpid(child, &status, WNOHANG) == child; }, timeoutMs);
        if (!ended) return -1;
        child = -1;
        return status;
    }

    std::string home;
    RawPty pty;
    sim::PanelSimulator panel;
    pid_t child = -1;

    void LostLinkEndsTheProgramAfterItsOwnMessage();
};

// The panel end goes away while connected: the user sees the program's own message only (no
// toolkit error box, before or after it is answered), the process ends cleanly once it is
// answered, and the driver's diagnostics are in the log file.
TEST_F(ProgramTest, LostLinkEndsTheProgramAfterItsOwnMessage) {
    StartProgram();
    LostLinkEndsTheProgramAfterItsOwnMessage();
}

// The same for a Polish user.
TEST_F(ProgramTest, LostLinkEndsTheProgramAfterItsOwnMessageUnderAPolishLocale) {
    StartProgram(true);
    LostLinkEndsTheProgramAfterItsOwnMessage();
}

void ProgramTest::LostLinkEndsTheProgramAfterItsOwnMessage() {
    // Identify, start of the reports, slot configuration and the seven input parameters.
    ASSERT_TRUE(panel.WaitForRequests(10, 15000)) << "the program did not connect";
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    panel.HangUpNow();

    // The notice has an empty title.
    std::vector<std::string> notices;
    ASSERT_TRUE(WaitUntil([&] { return !(notices = WindowsNamed("")).empty(); }, 5000));
    // Time for idle processing, when a toolkit log box would show up.
    std::this_thread::sleep_for(std::chrono::milliseconds(700));
    EXPECT_TRUE(WindowsNamed("mirex Error").empty());
    notices = WindowsNamed("");
    ASSERT_EQ(notices.size(), 1u) << Shell("for w in $(xdotool search --onlyvisible --pid " + std::to_string(child) + " --class mirex); do echo $w $(xdotool getwindowname $w) $(xdotool getwindowgeometry $w); done");

    Shell("xdotool windowfocus --sync " + notices[0] + " key Return 2>/dev/null");
    const int status = WaitExit(5000);
    ASSERT_NE(status, -1) << "the program is still running after its window closed";
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0);

    const std::string log = ReadFile(home + "/state/mirex/mirex.log");
    EXPECT_NE(log.find("Unicom driver stopped"), std::string::npos) << log;
    EXPECT_NE(log.find("ReadFile()"), std::string::npos) << log;
}

}  // namespace
