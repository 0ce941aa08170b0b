#include "gui_ModalAnswer.h"

#include <gtest/gtest.h>
#include <wx/dialog.h>
#include <wx/evtloop.h>
#include <wx/msgdlg.h>

namespace {
constexpr int kRetryMs = 10;

std::string Describe(const ModalDialogRecord& record) {
    return std::string(record.className.utf8_str()) + " \"" + std::string(record.title.utf8_str()) + "\" \"" +
           std::string(record.message.utf8_str()) + "\"";
}
}  // namespace

ModalAnswer::ModalAnswer() {
    retry.Bind(wxEVT_TIMER, [this](wxTimerEvent&) { RetryWaiting(); });
    Register();
}

ModalAnswer::~ModalAnswer() {
    if (!script.empty())
        ADD_FAILURE() << script.size() << " scripted dialog answer(s) were never used";
}

ModalAnswer& ModalAnswer::Expect(int id) {
    return Expect([id](wxDialog*) { return id; });
}

ModalAnswer& ModalAnswer::Expect(Handler handler) {
    script.push_back(std::move(handler));
    return *this;
}

ModalAnswer& ModalAnswer::Press(int id) {
    return Expect([id](wxDialog* dialog) {
        if (Click(dialog, id)) return static_cast<int>(wxID_NONE);
        ADD_FAILURE() << "the dialog has no button " << id << "; cancelled";
        return static_cast<int>(wxID_CANCEL);
    });
}

bool ModalAnswer::Click(wxDialog* dialog, int id) {
    wxWindow* button = dialog->FindWindow(id);
    if (button == nullptr) return false;
    wxCommandEvent click(wxEVT_BUTTON, id);
    click.SetEventObject(button);
    button->ProcessWindowEvent(click);
    return true;
}

ModalAnswer::Handler ModalAnswer::TakeNext(wxDialog* dialog) {
    if (script.empty()) {
        ADD_FAILURE() << "unexpected modal dialog " << Describe(records.back()) << "; cancelled";
        return [](wxDialog*) { return static_cast<int>(wxID_CANCEL); };
    }
    Handler next = std::move(script.front());
    script.pop_front();
    return next;
}

int ModalAnswer::Enter(wxDialog* dialog) {
    auto found = shown.find(dialog);
    if (found != shown.end()) {
        ++found->second.depth;
        return wxID_NONE;
    }

    ModalDialogRecord record;
    record.className = dialog->GetClassInfo()->GetClassName();
    record.title = dialog->GetTitle();
    record.owner = dialog->GetParent();
    record.style = dialog->GetWindowStyleFlag();
    if (auto* message = dynamic_cast<wxMessageDialogBase*>(dialog)) {
        record.message = message->GetMessage();
        record.style = message->GetMessageDialogStyle();
    }
    records.push_back(record);
    Handler handler = TakeNext(dialog);

    if (dialog->IsKindOf(wxCLASSINFO(wxMessageDialog))) {
        // Native: no wx modal loop to wait for and no way to end it, so answer without showing.
        int result = handler(dialog);
        if (result == wxID_NONE) result = wxID_CANCEL;
        records.back().result = result;
        return result;
    }

    Shown& entry = shown[dialog];
    entry.depth = 1;
    entry.serial = nextSerial++;
    entry.record = records.size() - 1;
    entry.handler = std::move(handler);
    entry.loopAtEnter = wxEventLoopBase::GetActive();
    const unsigned serial = entry.serial;
    queue.CallAfter([this, dialog, serial] { Deliver(dialog, serial); });
    return wxID_NONE;
}

void ModalAnswer::Exit(wxDialog* dialog) {
    auto found = shown.find(dialog);
    if (found == shown.end()) return;
    if (--found->second.depth == 0) shown.erase(found);
}

void ModalAnswer::Deliver(wxDialog* dialog, unsigned serial) {
    auto found = shown.find(dialog);
    if (found == shown.end() || found->second.serial != serial || found->second.answered) return;
    Shown& entry = found->second;
    if (!dialog->IsModal() || wxEventLoopBase::GetActive() == entry.loopAtEnter) {
        retry.StartOnce(kRetryMs);  // its modal loop has not started yet
        return;
    }
    entry.answered = true;
    const size_t index = entry.record;
    records[index].rect = dialog->GetScreenRect();
    records[index].measured = true;
    Handler handler = std::move(entry.handler);

    // Nested dialogs may come and go inside the handler: look the dialog up again afterwards.
    const int result = handler(dialog);
    records[index].result = result;
    found = shown.find(dialog);
    if (result != wxID_NONE && found != shown.end() && found->second.serial == serial && dialog->IsModal())
        dialog->EndModal(result);
}

void ModalAnswer::RetryWaiting() {
    std::vector<std::pair<wxDialog*, unsigned>> waiting;
    for (const auto& item : shown)
        if (!item.second.answered) waiting.emplace_back(item.first, item.second.serial);
    for (const auto& item : waiting) Deliver(item.first, item.second);
}
