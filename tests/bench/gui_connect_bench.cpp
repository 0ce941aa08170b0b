// The real program against the panel simulator on a pty:
//
//   (d) time from starting the `mirex` process to its connected main window, with the
//       simulator answering at once (goal: median under 0.5 s). The connection is complete
//       when the simulator has answered the program's read of the last input-configuration
//       parameter (210), the last request of the connection sequence.
//   (c) CPU of the connected, idle program while the panel pushes its reports every 500 ms with
//       values that change as a running panel's do, measured over 10 s from the scheduler's
//       nanosecond counters of every thread of the process; goals: at most 150 us of CPU per
//       report and under 1% of one core.
//
// Run under a display (xvfb-run). The program is found beside the test directory, or given:
//
//   gui_connect_bench [--mirex PATH] [--runs N] [--idle-seconds S]
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <dirent.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "sim/PanelSimulator.h"
#include "sim/SimReports.h"
#include "support/core_Pty.h"
#include "support/test_support.h"

namespace {

using Clock = std::chrono::steady_clock;

std::string DefaultProgramPath() {
    char self[4096] = {};
    ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0) return "mirex";
    std::string path(self, static_cast<size_t>(n));
    path = path.substr(0, path.rfind('/'));   // .../tests
    path = path.substr(0, path.rfind('/'));   // the build directory
    return path + "/mirex";
}

// utime + stime of a process, in seconds.
double ProcessCpuSeconds(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    size_t close = text.rfind(')');
    if (close == std::string::npos) return -1;
    std::istringstream fields(text.substr(close + 2));
    std::string field;
    unsigned long utime = 0, stime = 0;
    for (int i = 3; fields >> field; ++i) {
        if (i == 14) utime = std::stoul(field);
        if (i == 15) {
            stime = std::stoul(field);
            break;
        }
    }
    return static_cast<double>(utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// CPU seconds of every thread of a process from the scheduler's counters (nanoseconds, where
// the clock ticks of /proc/PID/stat count 10 ms steps); the ticks when they cannot be read.
double ProcessCpuSecondsFine(pid_t pid) {
    const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    DIR* dir = opendir(tasks.c_str());
    if (!dir) return ProcessCpuSeconds(pid);
    double total = 0;
    bool read = false;
    while (dirent* entry = readdir(dir)) {
        if (entry->d_name[0] == '.') continue;
        std::ifstream schedstat(tasks + "/" + entry->d_name + "/schedstat");
        unsigned long long runNs = 0;
        if (schedstat >> runNs) {
            total += static_cast<double>(runNs) * 1e-9;
            read = true;
        }
    }
    closedir(dir);
    return read ? total : ProcessCpuSeconds(pid);
}

// One program run against its own simulator and settings directory.
class ProgramRun {
public:
    ProgramRun(const std::string& program, int reportPeriodMs) {
        if (!pty.Open()) return;
        panel.SetReportPeriodMs(reportPeriodMs);
        panel.Start(pty.TakeMaster(), true);
        configDir = MakeTempDir("mirex-bench-config");
        std::ofstream(configDir + "/mirex.conf") << "[com]\ntype=COM\nname=" << pty.slavePath << "\n";

        start = Clock::now();
        pid = fork();
        if (pid == 0) {
            setenv("XDG_CONFIG_HOME", configDir.c_str(), 1);
            setenv("XDG_STATE_HOME", configDir.c_str(), 1);  // the program's log stays here too
            execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
            std::perror("exec");
            _exit(127);
        }
    }
    ~ProgramRun() {
        if (pid > 0) {
            kill(pid, SIGTERM);
            waitpid(pid, nullptr, 0);
        }
        panel.Stop();
        pty.CloseSlave();
        std::string remove = "rm -rf '" + configDir + "'";
        if (std::system(remove.c_str()) != 0) std::fprintf(stderr, "cannot remove %s\n", configDir.c_str());
    }

    // Seconds from the start to the read of parameter 210 and its reply; negative on time-out.
    double WaitConnected(int timeoutMs) {
        const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
        while (Clock::now() < deadline) {
            std::vector<std::string> requests = panel.RequestTexts();
            if (!requests.empty() && firstRequest < 0)
                firstRequest = std::chrono::duration<double>(Clock::now() - start).count();
            // The last request, and its reply written to the line.
            if (!requests.empty() && requests.back() == "028600d2" &&
                panel.RepliesSent() == static_cast<int>(requests.size())) {
                return std::chrono::duration<double>(Clock::now() - start).count();
            }
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        return -1;
    }

    pid_t Pid() const { return pid; }
    // Seconds from the start to the first request (the identification): the program's own start.
    double firstRequest = -1;
    sim::PanelSimulator panel;

private:
    RawPty pty;
    std::string configDir;
    pid_t pid = -1;
    Clock::time_point start;
};

}  // namespace

int main(int argc, char** argv) {
    std::string program = DefaultProgramPath();
    int runs = 5;
    int idleSeconds = 10;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--mirex") == 0 && i + 1 < argc) {
            program = argv[++i];
        } else if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc) {
            runs = std::atoi(argv[++i]);
        } else if (std::strcmp(argv[i], "--idle-seconds") == 0 && i + 1 < argc) {
            idleSeconds = std::atoi(argv[++i]);
        }
    }
    if (access(program.c_str(), X_OK) != 0) {
        std::fprintf(stderr, "no program at %s (use --mirex PATH)\n", program.c_str());
        return 1;
    }

    std::vector<double> times;
    std::vector<double> firsts;
    for (int run = 0; run < runs; ++run) {
        ProgramRun mirex(program, 0);
        double seconds = mirex.WaitConnected(10000);
        if (seconds < 0) {
            std::fprintf(stderr, "run %d: the program did not connect\n", run + 1);
            return 1;
        }
        times.push_back(seconds);
        firsts.push_back(mirex.firstRequest);
    }
    std::vector<double> sorted = times;
    std::sort(sorted.begin(), sorted.end());
    std::printf("(d) start to connected (read of 210), %d runs:", runs);
    for (double t : times) std::printf(" %.3f", t);
    const double median = sorted[sorted.size() / 2];
    const bool connectMet = median < 0.5;
    std::printf(" s; min %.3f, median %.3f, max %.3f (goal: median < 0.5 s): %s\n", sorted.front(), median,
                sorted.back(), connectMet ? "met" : "NOT MET");
    std::sort(firsts.begin(), firsts.end());
    std::printf("    of which start to the first request (toolkit, window, port open): median %.3f s\n",
                firsts[firsts.size() / 2]);

    bool idleMet = false;
    {
        ProgramRun mirex(program, 500);
        auto period = std::make_shared<std::atomic<int>>(0);
        mirex.panel.SetReportSource([period] { return sim::LiveReports((*period)++); });
        if (mirex.WaitConnected(10000) < 0) {
            std::fprintf(stderr, "idle run: the program did not connect\n");
            return 1;
        }
        std::this_thread::sleep_for(std::chrono::seconds(1));  // let the window settle
        const int reportsBefore = mirex.panel.ReportsSent();
        const double cpuBefore = ProcessCpuSecondsFine(mirex.Pid());
        const auto wallBefore = Clock::now();
        std::this_thread::sleep_for(std::chrono::seconds(idleSeconds));
        const double cpu = ProcessCpuSecondsFine(mirex.Pid()) - cpuBefore;
        const double wall = std::chrono::duration<double>(Clock::now() - wallBefore).count();
        const int reports = mirex.panel.ReportsSent() - reportsBefore;
        const double perReport = reports > 0 ? cpu * 1e6 / reports : 1e9;
        const double share = 100.0 * cpu / wall;
        idleMet = reports > 0 && share < 1.0 && perReport <= 150;
        std::printf("(c) connected and idle, reports every 500 ms: %.3f s CPU in %.1f s = %.2f%% of a core, "
                    "%d reports, %.0f us CPU per report (goals: <= 150 us per report, < 1%%): %s\n",
                    cpu, wall, share, reports, perReport, idleMet ? "met" : "NOT MET");
    }
    // The exit status says whether both goals were met.
    return connectMet && idleMet ? 0 : 1;
}
