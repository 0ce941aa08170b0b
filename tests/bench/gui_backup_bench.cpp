// Save and load of a backup file by the real main window against the panel simulator on a pty:
//
//   (a) paced at 960 bytes/s (9600 baud 8N1): each command's elapsed time against the wire time
//       of all its requests and replies, both directions counted at 960 B/s (goal: at most 1.05);
//   (b) unpaced: parameters saved and loaded per second.
//
// The simulator paces what it sends; whether the requests are paced as well depends on the
// simulator, so the ratio to the panel-to-program wire time alone is printed beside it.
// Run under a display (xvfb-run). Exit status 0 when every goal was met.
//
//   gui_backup_bench [--count N]     a synthetic table of N parameters (N >= 210, the connection
//                                    reads parameters 204-210) instead of the default one

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/MyFrame.h"
#include "comm/PanelClient.h"
#include "sim/PanelSimulator.h"
#include "support/gui_BenchProgram.h"
#include "support/gui_ConnectedProgram.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr double kBytesPerSecond = 960.0;
constexpr double kGoal = 1.05;

struct Run {
    bool ok = false;
    double seconds = 0;
    size_t toPanel = 0;    // request bytes on the wire
    size_t fromPanel = 0;  // reply bytes on the wire
    double Wire() const { return static_cast<double>(toPanel + fromPanel) / kBytesPerSecond; }
    double WireFromPanel() const { return static_cast<double>(fromPanel) / kBytesPerSecond; }
};

template <typename Command>
Run Measure(sim::PanelSimulator& panel, Command command) {
    Run run;
    panel.ClearRequests();
    const size_t sentBefore = panel.BytesSent();
    const auto start = Clock::now();
    run.ok = command();
    run.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    run.fromPanel = panel.BytesSent() - sentBefore;
    // Each request line is its text plus sequence, checksum and CR LF.
    for (const std::string& text : panel.RequestTexts()) run.toPanel += text.size() + 6;
    return run;
}

void PrintPaced(const char* name, const Run& run) {
    std::printf("    %s: %s in %.3f s; bytes %zu to the panel, %zu from it; wire time %.3f s\n", name,
                run.ok ? "ok" : "FAILED", run.seconds, run.toPanel, run.fromPanel, run.Wire());
    std::printf("      elapsed / wire time (both directions) = %.4f (goal <= %.2f)\n", run.seconds / run.Wire(), kGoal);
    std::printf("      elapsed / panel-to-program wire time  = %.4f\n", run.seconds / run.WireFromPanel());
}

}  // namespace

int main(int argc, char** argv) {
    int count = 0;
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--count") == 0 && i + 1 < argc) count = std::atoi(argv[++i]);
    // A smaller table lacks the input configuration the connection reads, so the program
    // would stop at its connection message instead of measuring anything.
    if (count != 0 && count < 210) {
        std::fprintf(stderr, "--count must be at least 210\n");
        return 2;
    }
    return RunWindowBenchmark(argc, argv, [count] {
        ConnectedProgram program("mirex-backup-bench");
        sim::PanelSimulator& panel = program.Panel();
        if (count > 0) panel.SetTable(sim::ParamTable::Synthetic(count));
        if (!program.StartPanel()) {
            std::fprintf(stderr, "cannot start the simulator\n");
            return 1;
        }
        if (!program.Connect(10000)) {
            std::fprintf(stderr, "the window did not connect\n");
            return 1;
        }
        MyFrame* frame = program.Frame();
        const wxString path = wxString::FromUTF8((program.SettingsDir() + "/bench.conf").c_str());
        auto save = [&] { return frame->SaveConfigToFile(path); };
        auto load = [&] { return frame->LoadConfigFromFile(path); };

        panel.SetPacing(true);
        const Run pacedSave = Measure(panel, save);
        const Run pacedLoad = Measure(panel, load);
        panel.SetPacing(false);
        const Run fastSave = Measure(panel, save);
        const Run fastLoad = Measure(panel, load);
        // Every present parameter is one read when saving and one write when loading.
        size_t parameters = 0;
        for (const std::string& text : panel.RequestTexts())
            if (text.compare(0, 3, "029") == 0) ++parameters;

        std::printf("(a) paced at 9600 baud, %zu parameters\n", parameters);
        PrintPaced("save", pacedSave);
        PrintPaced("load", pacedLoad);
        std::printf("(b) unpaced: save %.0f parameters/s (%.3f s), load %.0f parameters/s (%.3f s)%s\n",
                    parameters / fastSave.seconds, fastSave.seconds, parameters / fastLoad.seconds, fastLoad.seconds,
                    fastSave.ok && fastLoad.ok ? "" : " FAILED");
        const bool met = pacedSave.ok && pacedLoad.ok && fastSave.ok && fastLoad.ok && parameters > 0 &&
                         pacedSave.seconds <= kGoal * pacedSave.Wire() &&
                         pacedLoad.seconds <= kGoal * pacedLoad.Wire();
        std::printf("goal %s\n", met ? "met" : "NOT met");
        return met ? 0 : 1;
    });
}
