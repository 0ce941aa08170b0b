#include "support/core_EventWait.h"

#include <wx/app.h>
#include <wx/apptrait.h>
#include <wx/evtloop.h>

#include <chrono>
#include <memory>

bool RunLoopUntil(std::function<bool()> done, int timeoutMs) {
    std::unique_ptr<wxEventLoopBase> ownLoop;
    std::unique_ptr<wxEventLoopActivator> activate;
    // wxAppConsole, not wxTheApp: the tests without a display run a console application.
    wxAppConsole* app = wxAppConsole::GetInstance();
    if (!wxEventLoopBase::GetActive() && app && app->GetTraits()) {
        ownLoop.reset(app->GetTraits()->CreateEventLoop());
        if (ownLoop) activate.reset(new wxEventLoopActivator(ownLoop.get()));
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (app) app->ProcessPendingEvents();
        if (done()) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        // Returns early when a worker queues an event (the queueing wakes the loop up).
        if (wxEventLoopBase* loop = wxEventLoopBase::GetActive()) loop->DispatchTimeout(10);
    }
}

void RunLoopFor(int milliseconds) {
    RunLoopUntil([] { return false; }, milliseconds);
}
