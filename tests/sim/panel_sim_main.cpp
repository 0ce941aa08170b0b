// panel_sim: a simulated QM-352A panel on a pseudo-terminal, to try the program without hardware.
//
//   panel_sim [--period MS] [--pace] [--link PATH]
//
// Prints the terminal's path (point the program's serial port at it), then serves the default
// panel until interrupted: once the program starts the reports, readings change every period
// (500 ms by default). --pace sends at 9600 baud; --link also makes PATH a symbolic link to the
// terminal.
#include "sim/PanelSimulator.h"

#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace {

bool MakeRaw(int fd) {
    termios tio{};
    if (tcgetattr(fd, &tio) != 0) return false;
    cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    return tcsetattr(fd, TCSANOW, &tio) == 0;
}

// Readings that drift slowly so the read-outs visibly move.
std::vector<sim::SimReport> LiveReports() {
    static unsigned tick = 0;
    ++tick;
    double phase = tick * 0.1;
    int t1 = static_cast<int>(2150 + 150 * std::sin(phase));
    int t2 = static_cast<int>(-350 + 80 * std::cos(phase));
    unsigned humidity = static_cast<unsigned>(4500 + 500 * std::sin(phase / 3));
    float out = static_cast<float>(5.0 + 4.0 * std::sin(phase / 2));
    return {
        sim::ThermometerReport(t1, t2, humidity),
        sim::RelayReport(1u << (tick / 4 % 7)),
        sim::AnalogOutputReport(0, out, out / 10.0f),
        sim::BusInputReport(1, 0, 3,
                            {sim::PackDecimal(t1 / 10, 1), sim::PackDecimal(static_cast<int>(humidity / 10), 1),
                             sim::PackDecimal(static_cast<int>(tick % 1000), 0)}),
        sim::ClockReport(sim::ClockSecondsNow()),
        sim::RegulatorStatusReport(0xA4, 0, {0, (tick / 20) % 2, sim::FloatBits(static_cast<float>(t1 / 100.0))}),
        sim::RegulatorStatusReport(0xA7, 0, {tick / 4 % 4}),
    };
}

}  // namespace

int main(int argc, char** argv) {
    int periodMs = 500;
    bool paced = false;
    const char* link = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--period") == 0 && i + 1 < argc) {
            periodMs = std::atoi(argv[++i]);
        } else if (std::strcmp(argv[i], "--pace") == 0) {
            paced = true;
        } else if (std::strcmp(argv[i], "--link") == 0 && i + 1 < argc) {
            link = argv[++i];
        } else {
            std::fprintf(stderr, "usage: %s [--period MS] [--pace] [--link PATH]\n", argv[0]);
            return 2;
        }
    }

    int master = -1;
    int slave = -1;
    char name[256] = {};
    if (openpty(&master, &slave, name, nullptr, nullptr) != 0 || !MakeRaw(master) || !MakeRaw(slave)) {
        std::perror("panel_sim: openpty");
        return 1;
    }
    if (link != nullptr) {
        unlink(link);
        if (symlink(name, link) != 0) std::perror("panel_sim: symlink");
    }

    // Block the stop signals before the serving thread starts, so that only sigwait sees them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    // The slave stays open here as well, so the program can close and reopen the port at will.
    sim::PanelSimulator panel;
    panel.SetReportSource(LiveReports);
    panel.SetReportPeriodMs(periodMs);
    panel.SetPacing(paced);
    if (!panel.Start(master, true)) {
        std::fprintf(stderr, "panel_sim: cannot start\n");
        return 1;
    }
    std::printf("%s\n", link != nullptr ? link : name);
    std::fflush(stdout);

    int signal = 0;
    sigwait(&stopSignals, &signal);
    panel.Stop();
    close(slave);
    if (link != nullptr) unlink(link);
    return 0;
}
