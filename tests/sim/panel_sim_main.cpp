// panel_sim: a simulated QM-352A panel on a pseudo-terminal, to try the program without hardware.
//
//   panel_sim [--period MS] [--pace] [--link PATH] [--firmware VERSION] [--inputs BOARD]
//             [--slots SLOT0,SLOT1]
//
// Prints the terminal's path (point the program's serial port at it), then serves the panel until
// interrupted: once the program starts the reports, readings change every period (500 ms by
// default) and each regulator channel pushes the reports of its configured type. --pace sends at
// 9600 baud; --link also makes PATH a symbolic link to the terminal.
//
// The panel: firmware 3.5 (--firmware 3.9, or A3.5 for a lettered version), the input board
// thermo (two thermometers and humidity; --inputs analog for four analog inputs, none for no
// board) and the two extension slots output,bus (each of output, bus or none).
#include "sim/PanelSimulator.h"

#include <cctype>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <pty.h>
#include <string>
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

enum InputBoard : uint8_t { NO_INPUTS = 0, THERMOMETERS = 1, ANALOG_INPUTS = 2 };
enum SlotBoard : uint8_t { NO_BOARD = 0, ANALOG_OUTPUT = 1, BUS_INPUT = 2 };

struct Boards {
    InputBoard inputs = THERMOMETERS;
    SlotBoard slots[2] = {ANALOG_OUTPUT, BUS_INPUT};
};

// "3.5", "3.10" or "A3.5" (letter index << 16 | major << 8 | minor); false when malformed.
bool ParseFirmware(const char* text, uint32_t& version) {
    uint32_t letter = 0;
    if (std::isalpha(static_cast<unsigned char>(*text))) letter = static_cast<uint32_t>(std::toupper(*text++) - 64);
    unsigned major = 0;
    unsigned minor = 0;
    char end = 0;
    if (std::sscanf(text, "%u.%u%c", &major, &minor, &end) != 2 || major > 255 || minor > 255) return false;
    version = letter << 16 | major << 8 | minor;
    return true;
}

bool ParseInputs(const char* text, InputBoard& board) {
    if (std::strcmp(text, "thermo") == 0) board = THERMOMETERS;
    else if (std::strcmp(text, "analog") == 0) board = ANALOG_INPUTS;
    else if (std::strcmp(text, "none") == 0) board = NO_INPUTS;
    else return false;
    return true;
}

bool ParseSlot(const std::string& text, SlotBoard& board) {
    if (text == "output") board = ANALOG_OUTPUT;
    else if (text == "bus") board = BUS_INPUT;
    else if (text == "none") board = NO_BOARD;
    else return false;
    return true;
}

bool ParseSlots(const char* text, SlotBoard slots[2]) {
    std::string both = text;
    size_t comma = both.find(',');
    if (comma == std::string::npos) return false;
    return ParseSlot(both.substr(0, comma), slots[0]) && ParseSlot(both.substr(comma + 1), slots[1]);
}

// Readings that drift slowly so the read-outs visibly move, for the boards fitted.
std::vector<sim::SimReport> LiveReadings(const Boards& boards) {
    static unsigned tick = 0;
    ++tick;
    double phase = tick * 0.1;
    int t1 = static_cast<int>(2150 + 150 * std::sin(phase));
    int t2 = static_cast<int>(-350 + 80 * std::cos(phase));
    unsigned humidity = static_cast<unsigned>(4500 + 500 * std::sin(phase / 3));
    std::vector<sim::SimReport> reports = {sim::RelayReport(1u << (tick / 4 % 7)),
                                           sim::ClockReport(sim::ClockSecondsNow())};
    if (boards.inputs == THERMOMETERS) reports.push_back(sim::ThermometerReport(t1, t2, humidity));
    if (boards.inputs == ANALOG_INPUTS) {
        // 0-10 V, 0-1 V and two 4-20 mA inputs, with their second values.
        double swing = std::sin(phase);
        std::array<sim::AnalogInputReading, 4> inputs = {{
            {1, static_cast<uint32_t>(5000 + 3000 * swing)},
            {2, static_cast<uint32_t>(5000 + 2500 * swing)},
            {3, static_cast<uint32_t>(12000 + 6000 * swing)},
            {3, static_cast<uint32_t>(12000 - 6000 * swing)},
        }};
        reports.push_back(sim::AnalogInputReport(0, inputs));
        reports.push_back(sim::AnalogSecondReport(
            0, {sim::PackDecimal(static_cast<int>(500 + 300 * swing), 2), sim::PackDecimal(static_cast<int>(50 * swing), 1),
                sim::PackDecimal(static_cast<int>(5000 + 3750 * swing), 3), sim::PackDecimal(1234, 3)}));
    }
    unsigned outputs = 0;
    for (unsigned slot = 0; slot < 2; ++slot) {
        if (boards.slots[slot] == ANALOG_OUTPUT) {
            float out = static_cast<float>(5.0 + 4.0 * std::sin(phase / 2 + slot));
            reports.push_back(sim::AnalogOutputReport(outputs++, out, out / 10.0f));
        } else if (boards.slots[slot] == BUS_INPUT) {
            reports.push_back(sim::BusInputReport(
                slot, 0, 3,
                {sim::PackDecimal(t1 / 10, 1), sim::PackDecimal(static_cast<int>(humidity / 10), 1),
                 sim::PackDecimal(static_cast<int>(tick % 1000), 0)}));
        }
    }
    return reports;
}

int Usage(const char* program) {
    std::fprintf(stderr,
                 "usage: %s [--period MS] [--pace] [--link PATH] [--firmware VERSION]\n"
                 "       [--inputs thermo|analog|none] [--slots SLOT0,SLOT1 (output, bus or none)]\n",
                 program);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    int periodMs = 500;
    bool paced = false;
    const char* link = nullptr;
    sim::SimIdentity identity;
    Boards boards;
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--period") == 0 && hasValue) {
            periodMs = std::atoi(argv[++i]);
        } else if (std::strcmp(argv[i], "--pace") == 0) {
            paced = true;
        } else if (std::strcmp(argv[i], "--link") == 0 && hasValue) {
            link = argv[++i];
        } else if (std::strcmp(argv[i], "--firmware") == 0 && hasValue) {
            if (!ParseFirmware(argv[++i], identity.version)) return Usage(argv[0]);
        } else if (std::strcmp(argv[i], "--inputs") == 0 && hasValue) {
            if (!ParseInputs(argv[++i], boards.inputs)) return Usage(argv[0]);
        } else if (std::strcmp(argv[i], "--slots") == 0 && hasValue) {
            if (!ParseSlots(argv[++i], boards.slots)) return Usage(argv[0]);
        } else {
            return Usage(argv[0]);
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
    panel.SetIdentity(identity);
    sim::SimSlots slots;
    slots.kinds = {boards.slots[0], boards.slots[1], 0, 0};
    panel.SetSlots(slots);
    sim::SimParam inputBoard = *panel.Param(204);
    inputBoard.value = boards.inputs;
    panel.SetParam(inputBoard);
    panel.SetReportSource([boards] { return LiveReadings(boards); });
    panel.SetPlayRegulators(true);
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
