// Regulator views through the real main window against the panel simulator:
//   (a) selector click to a threshold view filled with the channel's values (type, header and
//       value reads) at 9600-baud pacing, as a ratio to the wire time of all the request and
//       reply bytes exchanged; goal at most 1.10 (median of 5 runs). The simulator paces the
//       bytes it sends; the requests cross the pseudo-terminal unpaced, so their share of the
//       wire time is counted but not spent.
//   (b) CPU of the connected program (every thread but the simulator's) while idle with a view
//       shown, for each view type (threshold; PID and timed with their "Algorytm" box open), the
//       panel pushing the main window's reports and the channel's own every 500 ms with values
//       that change, measured over S seconds in the program's own kind of event loop; goals: at
//       most 150 us of CPU per report and under 0.5% of a core.
// Exit status 0 when every goal is met. Run under a display.
//
//   gui_regulator_bench [--idle-seconds S]   (S defaults to 10)
#include <dirent.h>
#include <time.h>
#include <wx/button.h>
#include <wx/radiobut.h>
#include <wx/stattext.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <set>
#include <vector>

#include "app/FrameIds.h"
#include "app/MyFrame.h"
#include "regulators/RegX.h"
#include "sim/PanelSimulator.h"
#include "sim/SimReports.h"
#include "support/core_EventWait.h"
#include "support/gui_BenchProgram.h"
#include "support/gui_ConnectedProgram.h"
#include "widgets/jwxNVUDisp.h"

namespace {

using Clock = std::chrono::steady_clock;

std::set<int> ThreadIds() {
    std::set<int> ids;
    if (DIR* dir = opendir("/proc/self/task")) {
        while (dirent* entry = readdir(dir))
            if (entry->d_name[0] != '.') ids.insert(std::atoi(entry->d_name));
        closedir(dir);
    }
    return ids;
}

double CpuSeconds(clockid_t clock) {
    timespec now{};
    clock_gettime(clock, &now);
    return now.tv_sec + now.tv_nsec * 1e-9;
}

// The CPU clock of one thread of this process, by its kernel thread id.
clockid_t ThreadCpuClock(int tid) { return static_cast<clockid_t>((~static_cast<unsigned>(tid) << 3) | 6); }

void Select(MyFrame* frame, int id) {
    auto* radio = wxDynamicCast(frame->FindWindow(id), wxRadioButton);
    radio->SetValue(true);
    wxCommandEvent click(wxEVT_RADIOBUTTON, id);
    click.SetEventObject(radio);
    radio->GetEventHandler()->ProcessEvent(click);
}

// The view has its values: "Inwersja" no longer shows its sample.
bool Filled(MyFrame* frame) {
    RegX* view = frame->GetRegulatorView();
    return view && view->InversionReadout()->GetValueLabel()->GetLabelText() != wxASCII_STR("X");
}

// Clicks the shown view's button with this id.
bool ClickViewButton(MyFrame* frame, int id) {
    for (wxWindow* child : frame->GetMainPanel()->GetChildren()) {
        auto* button = dynamic_cast<wxButton*>(child);
        if (!button || child->GetId() != id || !child->IsShown()) continue;
        wxCommandEvent click(wxEVT_BUTTON, id);
        click.SetEventObject(button);
        button->GetEventHandler()->ProcessEvent(click);
        return true;
    }
    return false;
}

constexpr double kReportGoalUs = 150;
constexpr double kIdleGoalPercent = 0.5;

struct ViewCase {
    const char* name;
    int regulator;  // the simulator's channel of this type
    int type;
    bool algorithmBox;
};

}  // namespace

int main(int argc, char** argv) {
    int idleSeconds = 10;
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--idle-seconds") == 0 && i + 1 < argc) idleSeconds = std::atoi(argv[++i]);
    return RunWindowBenchmark(argc, argv, [idleSeconds] {
        ConnectedProgram program;
        // The simulator's threads are the ones its start adds; their CPU is not the program's.
        const std::set<int> before = ThreadIds();
        if (!program.StartPanel()) return 1;
        std::set<int> simThreads;
        for (int id : ThreadIds())
            if (!before.count(id)) simThreads.insert(id);
        if (!program.Connect(5000)) {
            std::fprintf(stderr, "the program did not connect\n");
            return 1;
        }
        sim::PanelSimulator& panel = program.Panel();
        MyFrame* frame = program.Frame();

        // (a)
        panel.SetPacing(true);
        std::vector<double> ratios;
        for (int run = 0; run < 5; ++run) {
            Select(frame, ID_REG_NONE);
            RunLoopFor(100);
            panel.ClearRequests();
            const size_t sentBefore = panel.BytesSent();
            const auto start = Clock::now();
            Select(frame, ID_REG_1);
            const auto end = Clock::now();
            if (!Filled(frame)) {
                std::fprintf(stderr, "run %d: no filled view\n", run);
                ratios.push_back(1e9);
                continue;
            }
            size_t requestBytes = 0;
            for (const sim::SimRequest& request : panel.Requests()) requestBytes += request.text.size() + 6;
            const size_t replyBytes = panel.BytesSent() - sentBefore;
            const double wire = static_cast<double>(requestBytes + replyBytes) / 960.0;
            const double elapsed = std::chrono::duration<double>(end - start).count();
            std::printf("(a) run %d: %zu requests, %zu + %zu bytes, wire %.1f ms, view filled after %.1f ms, "
                        "ratio %.3f\n",
                        run, panel.Requests().size(), requestBytes, replyBytes, wire * 1e3, elapsed * 1e3,
                        elapsed / wire);
            ratios.push_back(elapsed / wire);
        }
        std::sort(ratios.begin(), ratios.end());
        const double median = ratios[ratios.size() / 2];
        const bool fastEnough = median <= 1.10;
        std::printf("(a) selector click to filled view / wire time: median %.3f (goal <= 1.10): %s\n", median,
                    fastEnough ? "met" : "NOT met");

        // (b)
        panel.SetPacing(false);
        auto programCpu = [&] {
            double cpu = CpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
            for (int id : simThreads) cpu -= CpuSeconds(ThreadCpuClock(id));
            return cpu;
        };
        static const ViewCase kViews[] = {
            {"threshold view (R1)", 0, 1, false},
            {"PID view (R2) with its Algorytm box", 1, 2, true},
            {"timed view (R3) with its Algorytm box", 2, 3, true},
        };
        bool idleEnough = true;
        for (const ViewCase& view : kViews) {
            Select(frame, ID_REG_1 + view.regulator);
            if (!frame->GetRegulatorView() || (view.algorithmBox && !ClickViewButton(frame, RegX::ID_ALGORITHM))) {
                std::fprintf(stderr, "(b) %s: no view\n", view.name);
                idleEnough = false;
                continue;
            }
            auto period = std::make_shared<std::atomic<int>>(0);
            panel.SetReportSource([period, view] {
                const int n = (*period)++;
                std::vector<sim::SimReport> reports = sim::LiveReports(n);
                for (sim::SimReport& report : sim::LiveRegulatorReports(view.type, view.regulator, n))
                    reports.push_back(std::move(report));
                return reports;
            });
            panel.SetReportPeriodMs(500);
            RunEventLoopFor(1000);  // the view settles and has had its first reports
            const int reportsBefore = panel.ReportsSent();
            const double cpuBefore = programCpu();
            const auto wallStart = Clock::now();
            RunEventLoopFor(idleSeconds * 1000);
            const double cpu = programCpu() - cpuBefore;
            const double wall = std::chrono::duration<double>(Clock::now() - wallStart).count();
            const int reports = panel.ReportsSent() - reportsBefore;
            const double perReport = reports > 0 ? cpu * 1e6 / reports : 1e9;
            const double share = 100.0 * cpu / wall;
            const bool met = perReport <= kReportGoalUs && share < kIdleGoalPercent &&
                             frame->GetRegulatorView() != nullptr;
            std::printf("(b) %s, idle, reports every 500 ms: %.3f s CPU in %.1f s = %.2f%% of a core, "
                        "%d reports, %.0f us CPU per report (goals: <= %.0f us per report, < %.1f%%): %s\n",
                        view.name, cpu, wall, share, reports, perReport, kReportGoalUs, kIdleGoalPercent,
                        met ? "met" : "NOT met");
            idleEnough = idleEnough && met;
            panel.SetReportPeriodMs(0);
        }
        return fastEnough && idleEnough ? 0 : 1;
    });
}
