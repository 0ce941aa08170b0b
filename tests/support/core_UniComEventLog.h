// The owner of a driver in tests: records every EVT_UNICOM event in arrival order and frees
// the line buffers the events carry.
#pragma once

#include <wx/event.h>

#include <string>
#include <vector>

class UniComEventLog : public wxEvtHandler {
public:
    struct Entry {
        int id;
        int code;
        std::string text;  // the event's string, or the line's bytes for UNICOM_EV_LINE
    };

    UniComEventLog();
    // Delivers what is still queued, so that no line buffer is left behind.
    ~UniComEventLog() override;

    int Count(int code) const;
    std::vector<std::string> Texts(int code) const;
    // The codes in arrival order, without the information texts (code 4).
    std::vector<int> CodesWithoutInfo() const;
    // Runs the event loop until count events of the code arrived; false on time-out.
    bool WaitFor(int code, int count = 1, int timeoutMs = 3000);
    // Runs the event loop until an event with that code and text arrived; false on time-out.
    bool WaitForText(int code, const std::string& text, int timeoutMs = 3000);

    std::vector<Entry> entries;

private:
    void OnUniCom(wxCommandEvent& event);
};
