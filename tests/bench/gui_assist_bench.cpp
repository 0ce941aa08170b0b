// Remote assistance from the panel's side: the real main window, connected to the simulated
// panel over a pty, relays between a loopback test proxy and the panel.
//
//   (a) round trip of an identify request sent by the proxy, against the panel's own reply time
//       measured on a pty of its own with the same simulator; the difference is what the relay
//       adds (goal: under 5 ms on average).
//   (b) throughput of the relay while the panel link is paced at 9600 baud (960 bytes a second
//       from the panel): a burst of requests is answered back to back and the replies' bytes per
//       second at the proxy are compared with the line's 960 (goal: at least 95 %, so the panel
//       link stays the bottleneck).
//
// Run under a display. Exit status 0 when both goals are met.
//
//   gui_assist_bench [--requests N] [--burst N]
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/FrameIds.h"
#include "app/MyFrame.h"
#include "app/ProxyHost.h"
#include "sim/PanelSimulator.h"
#include "sim/SimLine.h"
#include "support/core_AssistProxy.h"
#include "support/core_EventWait.h"
#include "support/core_Pty.h"
#include "support/gui_BenchProgram.h"
#include "support/gui_ConnectedProgram.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

std::string IdentifyRequest(int sequence) { return sim::FinishRequestLine("020a" + sim::Hex(sequence, 2)); }
std::string ReplyHead(int sequence) { return "020a" + sim::Hex(sequence, 2) + ":"; }

double Mean(const std::vector<double>& values) {
    double sum = 0;
    for (double v : values) sum += v;
    return values.empty() ? 0 : sum / static_cast<double>(values.size());
}

double Percentile(std::vector<double> values, double p) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, static_cast<size_t>(p * static_cast<double>(values.size())))];
}

// The panel's own reply time: requests written straight to a simulator's pty, replies read back.
std::vector<double> DirectRoundTrips(int count) {
    std::vector<double> times;
    RawPty pty;
    sim::PanelSimulator panel;
    if (!pty.Open() || !panel.Start(pty.TakeMaster(), true)) return times;
    const int fd = pty.slave;
    for (int i = 0; i < count; ++i) {
        const int sequence = 1 + i % 200;
        const std::string request = IdentifyRequest(sequence);
        const Clock::time_point start = Clock::now();
        if (write(fd, request.data(), request.size()) != static_cast<ssize_t>(request.size())) break;
        std::string got;
        while (got.find('\n') == std::string::npos) {
            pollfd p = {fd, POLLIN, 0};
            if (poll(&p, 1, 2000) <= 0) return times;
            char buffer[256];
            const ssize_t n = read(fd, buffer, sizeof buffer);
            if (n <= 0) return times;
            got.append(buffer, static_cast<size_t>(n));
        }
        times.push_back(Ms(Clock::now() - start));
    }
    panel.Stop();
    return times;
}

}  // namespace

int main(int argc, char** argv) {
    int requests = 300;
    int burst = 40;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--requests") == 0 && i + 1 < argc) requests = std::atoi(argv[++i]);
        else if (std::strcmp(argv[i], "--burst") == 0 && i + 1 < argc) burst = std::atoi(argv[++i]);
    }
    return RunWindowBenchmark(argc, argv, [requests, burst] {
        AssistProxy proxy;
        SetProxyHostOverride(proxy.HostText());
        ConnectedProgram program;
        sim::PanelSimulator& panel = program.Panel();
        bool ready = program.Connect(5000);
        MyFrame* frame = program.Frame();
        int rc = 1;
        if (ready) {
            wxCommandEvent command(wxEVT_MENU, ID_REMOTE_ASSIST);
            frame->ProcessWindowEvent(command);
            ready = RunLoopUntil([&] { return frame->GetAssistState() == 1 && proxy.Received().size() >= 46; }, 5000);
        }
        if (!ready) {
            std::fprintf(stderr, "the window did not connect or did not reach the proxy\n");
        } else {
            // (a) round trips, one request at a time.
            std::vector<double> relayed;
            for (int i = 0; i < requests; ++i) {
                const int sequence = 1 + i % 200;
                const size_t before = proxy.Received().size();
                const Clock::time_point start = Clock::now();
                proxy.Send(IdentifyRequest(sequence));
                if (!RunLoopUntil([&] { return proxy.Received().find(ReplyHead(sequence), before) != std::string::npos; },
                                  2000)) {
                    break;
                }
                relayed.push_back(Ms(Clock::now() - start));
            }
            const std::vector<double> direct = DirectRoundTrips(requests);
            const double added = Mean(relayed) - Mean(direct);
            std::printf("(a) round trip over %zu requests: relayed mean %.3f ms (p95 %.3f), panel alone mean %.3f ms "
                        "(p95 %.3f)\n",
                        relayed.size(), Mean(relayed), Percentile(relayed, 0.95), Mean(direct),
                        Percentile(direct, 0.95));
            std::printf("    added by the relay: %.3f ms per round trip (goal < 5 ms)\n", added);
            const bool roundTripOk = relayed.size() == static_cast<size_t>(requests) &&
                                     direct.size() == static_cast<size_t>(requests) && added < 5.0;

            // (b) throughput with the panel paced: a burst of requests, replies back to back.
            panel.SetPacing(true);
            const size_t before = proxy.Received().size();
            std::string all;
            for (int i = 0; i < burst; ++i) all += IdentifyRequest(1 + i);
            proxy.Send(all);
            Clock::time_point first{};
            bool gotFirst = false;
            const bool done = RunLoopUntil(
                [&] {
                    const std::string got = proxy.Received();
                    if (!gotFirst && got.size() > before) {
                        first = Clock::now();
                        gotFirst = true;
                    }
                    return got.find(ReplyHead(burst), before) != std::string::npos &&
                           got.find('\n', got.find(ReplyHead(burst), before)) != std::string::npos;
                },
                burst * 200);
            const Clock::time_point last = Clock::now();
            const double bytes = static_cast<double>(proxy.Received().size() - before);
            const double seconds = std::chrono::duration<double>(last - first).count();
            const double rate = seconds > 0 ? bytes / seconds : 0;
            std::printf("(b) paced burst of %d requests: %s, %.0f bytes at the proxy in %.3f s = %.0f bytes/s "
                        "(%.1f %% of the line's 960; goal >= 95 %%)\n",
                        burst, done ? "complete" : "INCOMPLETE", bytes, seconds, rate, rate / 9.60);
            const bool throughputOk = done && rate >= 0.95 * 960.0;
            rc = roundTripOk && throughputOk ? 0 : 1;
            std::printf("goal %s\n", rc == 0 ? "met" : "NOT met");
        }
        program.CloseFrame();
        SetProxyHostOverride(std::string());
        return rc;
    });
}
