// Base of the regulator views. A view is an event handler (not a window): its controls live on
// the main window's panel, and the main window hands it the regulator's pushed status reports.
#pragma once

#include <wx/event.h>

class ReplyRecord;

class RegX : public wxEvtHandler {
public:
    ~RegX() override = default;
    // A status report of this view's regulator (kind 2, codes 0xA4-0xAC). The record stays the
    // caller's; the view must not keep it.
    virtual void OnStatus(int kind, int code, const ReplyRecord* record) {}
};
