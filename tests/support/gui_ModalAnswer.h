// Answers the modal dialogs that the code under test shows, from a script written by the test,
// and records every dialog that appeared.
//
//     ModalAnswer answer;                      // registered for its lifetime
//     answer.Expect(wxID_OK);                  // first dialog: end it with wxID_OK
//     answer.Expect([](wxDialog* d) {          // second dialog: fill it, then end it
//         wxStaticCast(d->FindWindow(7), wxTextCtrl)->SetValue("12");
//         return wxID_OK;
//     });
//     answer.Press(wxID_OK);                   // third: click its OK button (runs its handlers)
//     RunCodeThatShowsDialogs();
//     ASSERT_EQ(answer.Records().size(), 3u);
//     EXPECT_EQ(answer.Records()[0].message, ...);
//
// Each answer is delivered once the dialog runs its own modal loop (queued from the hook's
// Enter, retried on a short timer while the loop has not started), never with sleeps. A handler
// may return wxID_NONE when it closed the dialog itself or wants it to stay open (for example
// after clicking OK with a bad entry, which shows a message box that the next script entry
// answers, nested inside the handler).
//
// The native GTK message box (wxMessageDialog) runs no wx modal loop and cannot be ended from
// wx: it is answered from Enter and never appears; its record has measured == false.
//
// A dialog that appears with an empty script fails the test and is cancelled; script entries
// left over when the helper is destroyed fail the test too. Several hooks may be registered at
// once (the program's centring hook among them): this one never vetoes the others.
#pragma once

#include <wx/event.h>
#include <wx/gdicmn.h>
#include <wx/modalhook.h>
#include <wx/string.h>
#include <wx/timer.h>

#include <deque>
#include <functional>
#include <map>
#include <vector>

class wxDialog;
class wxEventLoopBase;
class wxWindow;

struct ModalDialogRecord {
    wxString className;  // wx class name, e.g. "wxGenericMessageDialog"
    wxString title;
    wxString message;    // message dialogs only
    long style = 0;      // message dialogs: their wxOK / wxICON_* style; other dialogs: window style
    wxWindow* owner = nullptr;  // the dialog's parent when it appeared (compare only; may be gone)
    wxRect rect;         // screen rectangle while shown, measured when the answer was delivered
    bool measured = false;
    int result = wxID_NONE;  // the id it was answered with (wxID_NONE: closed by the handler)
};

class ModalAnswer : public wxModalDialogHook {
public:
    using Handler = std::function<int(wxDialog*)>;

    ModalAnswer();
    ~ModalAnswer() override;

    ModalAnswer& Expect(int id);
    ModalAnswer& Expect(Handler handler);
    // Clicks the button with this id (sends its wxEVT_BUTTON through the dialog's handlers).
    ModalAnswer& Press(int id);

    const std::vector<ModalDialogRecord>& Records() const { return records; }
    size_t PendingAnswers() const { return script.size(); }

    // Sends a click of the button with this id to the dialog; returns false when it has none.
    static bool Click(wxDialog* dialog, int id);

protected:
    int Enter(wxDialog* dialog) override;
    void Exit(wxDialog* dialog) override;

private:
    struct Shown {
        int depth = 0;        // some dialogs enter the hooks twice (nested ShowModal)
        unsigned serial = 0;  // tells a dialog apart from a later one at the same address
        size_t record = 0;
        Handler handler;
        bool answered = false;
        wxEventLoopBase* loopAtEnter = nullptr;
    };

    Handler TakeNext(wxDialog* dialog);
    void Deliver(wxDialog* dialog, unsigned serial);
    void RetryWaiting();

    std::deque<Handler> script;
    std::vector<ModalDialogRecord> records;
    std::map<wxDialog*, Shown> shown;
    unsigned nextSerial = 1;
    wxEvtHandler queue;  // pending deliveries die with the helper
    wxTimer retry;
};
