#include "support/core_UniComEventLog.h"

#include <wx/app.h>

#include "comm/ByteBuffer.h"
#include "comm/UniComEvents.h"
#include "support/core_EventWait.h"

UniComEventLog::UniComEventLog() { Bind(EVT_UNICOM, &UniComEventLog::OnUniCom, this); }

UniComEventLog::~UniComEventLog() {
    if (wxAppConsole* app = wxAppConsole::GetInstance()) app->ProcessPendingEvents();
}

int UniComEventLog::Count(int code) const {
    int n = 0;
    for (const Entry& entry : entries) n += entry.code == code;
    return n;
}

std::vector<std::string> UniComEventLog::Texts(int code) const {
    std::vector<std::string> texts;
    for (const Entry& entry : entries)
        if (entry.code == code) texts.push_back(entry.text);
    return texts;
}

std::vector<int> UniComEventLog::CodesWithoutInfo() const {
    std::vector<int> codes;
    for (const Entry& entry : entries)
        if (entry.code != UNICOM_EV_INFO) codes.push_back(entry.code);
    return codes;
}

bool UniComEventLog::WaitFor(int code, int count, int timeoutMs) {
    return RunLoopUntil([&] { return Count(code) >= count; }, timeoutMs);
}

bool UniComEventLog::WaitForText(int code, const std::string& text, int timeoutMs) {
    return RunLoopUntil(
        [&] {
            for (const Entry& entry : entries)
                if (entry.code == code && entry.text == text) return true;
            return false;
        },
        timeoutMs);
}

void UniComEventLog::OnUniCom(wxCommandEvent& event) {
    Entry entry{event.GetId(), event.GetInt(), std::string()};
    if (entry.code == UNICOM_EV_LINE) {
        ByteBuffer* line = static_cast<ByteBuffer*>(event.GetClientData());
        if (line) entry.text.assign(reinterpret_cast<const char*>(line->data), static_cast<size_t>(line->GetLength()));
        delete line;
    } else {
        entry.text = std::string(event.GetString().utf8_str());
    }
    entries.push_back(entry);
}
