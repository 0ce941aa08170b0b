// The whole-list walk that the backup command does: enumerate the panel's parameter list entry
// by entry and read every present parameter, through the real serial driver and PanelClient,
// against the panel simulator with a 300-parameter table.
//
//   (a) paced at 960 bytes/s (9600 baud 8N1) in both directions: elapsed time against the wire
//       time of every byte that crossed (goal: at most 1.05 times; the exit status says whether
//       it was met);
//   (b) unpaced: requests per second and CPU per request of this process.
//
// The simulator runs in a child process, so this process's CPU time is the program's alone.
// Run under a display (xvfb-run): the panel client needs a window as its owner.
//
//   gui_list_walk_bench [--count N] [--unpaced-only]
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <wx/app.h>
#include <wx/frame.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "comm/ByteBuffer.h"
#include "comm/PanelClient.h"
#include "comm/UniComEvents.h"
#include "comm/jwxSerial.h"
#include "sim/PanelSimulator.h"
#include "support/core_EventWait.h"
#include "support/core_Pty.h"
#include "support/gui_BenchProgram.h"

namespace {

using Clock = std::chrono::steady_clock;

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// What the simulator counted, sent back by the child when it is told to stop.
struct SimStats {
    size_t bytesSent = 0;      // replies, simulator to program
    size_t bytesReceived = 0;  // requests on the wire, program to simulator
    size_t requests = 0;
};

// The simulator in a child process on the master side of a pty.
class SimChild {
public:
    SimChild(int count, bool paced) {
        if (!pty.Open()) return;
        int control[2];
        int results[2];
        if (pipe(control) != 0 || pipe(results) != 0) return;
        pid = fork();
        if (pid == 0) {
            close(control[1]);
            close(results[0]);
            pty.CloseSlave();
            sim::PanelSimulator panel;
            panel.SetTable(sim::ParamTable::Synthetic(count));
            panel.SetPacing(paced);
            panel.Start(pty.TakeMaster(), true);
            char any;
            while (read(control[0], &any, 1) > 0) {
            }
            SimStats stats;
            stats.bytesSent = panel.BytesSent();
            for (const sim::SimRequest& request : panel.Requests()) {
                stats.bytesReceived += request.text.size() + 6;  // sequence, checksum, CR LF
                ++stats.requests;
            }
            panel.Stop();
            if (write(results[1], &stats, sizeof stats) != sizeof stats) _exit(1);
            _exit(0);
        }
        pty.CloseMaster();
        close(control[0]);
        close(results[1]);
        controlFd = control[1];
        resultFd = results[0];
    }
    ~SimChild() {
        pty.CloseSlave();
        if (pid > 0) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
    }
    bool Ok() const { return pid > 0; }
    const std::string& Port() const { return pty.slavePath; }
    SimStats Finish() {
        SimStats stats;
        close(controlFd);
        if (read(resultFd, &stats, sizeof stats) != sizeof stats) std::fprintf(stderr, "no stats from the simulator\n");
        close(resultFd);
        waitpid(pid, nullptr, 0);
        pid = -1;
        return stats;
    }

private:
    pid_t pid = -1;
    RawPty pty;
    int controlFd = -1;
    int resultFd = -1;
};

// Routes the driver's events to the client, as the main window does.
class Owner : public wxFrame {
public:
    Owner() : wxFrame(nullptr, wxID_ANY, wxASCII_STR("bench")) { Bind(EVT_UNICOM, &Owner::OnUniCom, this); }
    ~Owner() override { delete client; }
    PanelClient* client = nullptr;
    bool opened = false;
    bool failed = false;

private:
    void OnUniCom(wxCommandEvent& event) {
        switch (event.GetInt()) {
            case UNICOM_EV_OPENED:
                opened = true;
                break;
            case UNICOM_EV_OPEN_FAILED:
            case UNICOM_EV_STOPPED:
                failed = true;
                break;
            case UNICOM_EV_LINE: {
                auto* line = static_cast<ByteBuffer*>(event.GetClientData());
                if (client) client->OnLine(line);
                delete line;
                break;
            }
            default:
                break;
        }
    }
};

struct WalkResult {
    bool ok = false;
    int present = 0;
    int requests = 0;
    double seconds = 0;
    double cpu = 0;
    SimStats stats;
};

WalkResult Walk(int count, bool paced) {
    WalkResult result;
    SimChild panel(count, paced);
    if (!panel.Ok()) return result;
    auto* owner = new Owner;
    owner->client = new PanelClient(owner);
    jwxSerial driver(owner, wxString::FromUTF8(panel.Port().c_str()));
    driver.Start();
    if (!RunLoopUntil([owner] { return owner->opened || owner->failed; }, 5000) || owner->failed) {
        std::fprintf(stderr, "the port did not open\n");
        driver.Stop();
        owner->Destroy();
        return result;
    }
    owner->client->Attach(&driver);

    const double cpuBefore = CpuSeconds();
    const auto start = Clock::now();
    bool ok = true;
    for (int index = 0; ok; ++index) {
        std::unique_ptr<ParamListEntry> entry(owner->client->EnumParam(static_cast<uint16_t>(index), false));
        ++result.requests;
        if (!entry) {
            std::fprintf(stderr, "list entry %d: no reply\n", index);
            ok = false;
            break;
        }
        if (entry->status == ParamListEntry::kEnd) break;
        if (entry->status != ParamListEntry::kPresent) continue;
        ParamStatus status = PARAM_NO_REPLY;
        std::unique_ptr<ParamValue> value(owner->client->ReadParam(entry->code, &status, false));
        ++result.requests;
        if (!value || status != PARAM_OK) {
            std::fprintf(stderr, "parameter %u: status %d\n", entry->code, status);
            ok = false;
        }
        ++result.present;
    }
    result.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    result.cpu = CpuSeconds() - cpuBefore;

    owner->client->Detach();
    driver.Stop();
    result.stats = panel.Finish();
    delete owner->client;
    owner->client = nullptr;
    owner->Destroy();
    wxTheApp->ProcessPendingEvents();
    result.ok = ok && result.present == count;
    return result;
}

}  // namespace

int main(int argc, char** argv) {
    int count = 300;
    bool pacedRun = true;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--count") == 0 && i + 1 < argc) {
            count = std::atoi(argv[++i]);
        } else if (std::strcmp(argv[i], "--unpaced-only") == 0) {
            pacedRun = false;
        }
    }
    return RunWindowBenchmark(argc, argv, [count, pacedRun] {
        int rc = 0;
        if (pacedRun) {
            WalkResult paced = Walk(count, true);
            // Both directions cross the simulated wire, one after the other (request, then reply).
            const double wire = static_cast<double>(paced.stats.bytesSent + paced.stats.bytesReceived) / 960.0;
            const double ratio = wire > 0 ? paced.seconds / wire : 0;
            const bool met = paced.ok && ratio > 0 && ratio <= 1.05;
            std::printf("(a) paced walk: %s, %d parameters, %d requests in %.3f s\n", paced.ok ? "ok" : "FAILED",
                        paced.present, paced.requests, paced.seconds);
            std::printf("    bytes: %zu sent by the program, %zu by the panel; wire time of all %.3f s\n",
                        paced.stats.bytesReceived, paced.stats.bytesSent, wire);
            std::printf("    elapsed / wire time = %.4f (goal <= 1.05): %s\n", ratio, met ? "met" : "NOT MET");
            if (!met) rc = 1;
        }
        WalkResult fast = Walk(count, false);
        std::printf("(b) unpaced walk: %s, %d requests in %.3f s: %.0f requests/s, CPU %.1f us/request\n",
                    fast.ok ? "ok" : "FAILED", fast.requests, fast.seconds, fast.requests / fast.seconds,
                    fast.cpu * 1e6 / fast.requests);
        if (!fast.ok) rc = 1;
        return rc;
    });
}
