// How the request wait behaves in the event loop: (a) the CPU the whole process uses while one
// request goes unanswered through all its tries, as a share of one core, and (b) the delay from
// the panel writing a reply to Transact returning it, averaged over many requests.
// Runs in the console event loop; with --gtk (under a display) in the program's GTK loop.
#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/init.h>
#include <wx/log.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <thread>

#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include "comm/PanelProtocol.h"
#include "comm/UniComEvents.h"
#include "sim/SimLine.h"
#include "support/core_EngineOwner.h"
#include "support/core_FdDriver.h"

namespace {

using Clock = std::chrono::steady_clock;

std::atomic<bool> answer{false};
std::atomic<int64_t> replyWrittenNs{0};

int64_t NowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch()).count();
}

double CpuSeconds(int who) {
    rusage usage{};
    getrusage(who, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The panel: answers each request line with its head and one field when answering is on.
void RunPeer(int fd) {
    std::string pending;
    char chunk[256];
    for (;;) {
        ssize_t got = read(fd, chunk, sizeof chunk);
        if (got <= 0) break;
        pending.append(chunk, static_cast<size_t>(got));
        size_t end;
        while ((end = pending.find('\n')) != std::string::npos) {
            std::string head = pending.substr(0, 6);
            pending.erase(0, end + 1);
            if (!answer) continue;
            std::string line = sim::FinishFieldLine(head + ":01");
            replyWrittenNs = NowNs();
            if (write(fd, line.data(), line.size()) < 0) return;
        }
    }
}

class GuiApp : public wxApp {
public:
    bool OnInit() override { return true; }
};
wxAppConsole* CreateGuiApp() { return new GuiApp; }

}  // namespace

int Run(wxEventLoopBase& loop);

int main(int argc, char** argv) {
    const bool gtk = argc > 1 && std::strcmp(argv[1], "--gtk") == 0;
    if (gtk) wxApp::SetInitializerFunction(CreateGuiApp);
    if (!wxEntryStart(argc, argv)) {
        std::fprintf(stderr, "cannot initialise wxWidgets%s\n", gtk ? " (is there a display?)" : "");
        return 1;
    }
    delete wxLog::SetActiveTarget(new wxLogStderr);
    int result = 1;
    if (!gtk || wxTheApp->CallOnInit()) {
        std::unique_ptr<wxEventLoopBase> loop;
        if (gtk)
            loop.reset(new wxGUIEventLoop);
        else
            loop.reset(new wxConsoleEventLoop);
        wxEventLoopActivator activate(loop.get());
        std::printf("%s event loop\n", gtk ? "GTK" : "console");
        // As a menu command in the program: the requests run inside a handler that the running
        // loop dispatched, so every wait nests in it.
        wxEvtHandler starter;
        starter.CallAfter([&] {
            result = Run(*loop);
            loop->Exit();
        });
        loop->Run();
        if (gtk) wxTheApp->OnExit();
    }
    wxEntryCleanup();
    return result;
}

int Run(wxEventLoopBase& loop) {
    int ends[2];
    if (socketpair(AF_UNIX, SOCK_STREAM, 0, ends) != 0) return 1;
    std::thread peer(RunPeer, ends[1]);
    EngineOwner owner;
    int result = 0;
    {
        FdDriver driver(&owner, ends[0]);
        driver.Start();
        PanelProtocol engine(&owner, &driver);
        owner.engine = &engine;
        while (!owner.opened) loop.Yield(false), loop.DispatchTimeout(10);

        // (a) one request without an answer: 3 tries of 1500 ms.
        answer = false;
        const Clock::time_point start = Clock::now();
        const double processBefore = CpuSeconds(RUSAGE_SELF);
        const double threadBefore = CpuSeconds(RUSAGE_THREAD);
        ReplyRecord* none = engine.Transact("020a00");
        const double wall = std::chrono::duration<double>(Clock::now() - start).count();
        const double processShare = (CpuSeconds(RUSAGE_SELF) - processBefore) / wall;
        const double threadShare = (CpuSeconds(RUSAGE_THREAD) - threadBefore) / wall;
        delete none;
        std::printf("unanswered request: %.3f s wall, process CPU %.2f%% of a core (GUI thread %.2f%%), goal < 5%%\n",
                    wall, 100.0 * processShare, 100.0 * threadShare);
        if (none || processShare >= 0.05) result = 1;

        // (b) reply-to-return delay.
        answer = true;
        const int requests = 200;
        double totalMs = 0, worstMs = 0;
        int answered = 0;
        for (int i = 0; i < requests; ++i) {
            ReplyRecord* reply = engine.Transact("020a00");
            const double ms = static_cast<double>(NowNs() - replyWrittenNs.load()) / 1e6;
            if (!reply) continue;
            delete reply;
            ++answered;
            totalMs += ms;
            if (ms > worstMs) worstMs = ms;
        }
        const double averageMs = answered ? totalMs / answered : 0;
        std::printf("reply to return over %d/%d requests: average %.3f ms, worst %.3f ms, goal < 2 ms\n", answered,
                    requests, averageMs, worstMs);
        if (answered != requests || averageMs >= 2.0) result = 1;

        driver.Stop();
        loop.Yield(false);  // the events the worker left, with their buffers
        owner.engine = nullptr;
    }
    close(ends[0]);
    peer.join();
    close(ends[1]);
    return result;
}
