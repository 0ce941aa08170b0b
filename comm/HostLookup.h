// A host name looked up on a thread of its own, so that a slow or hanging name service never
// blocks the GUI thread. The answer arrives at the target as an EVT_HOST_LOOKUP thread event
// with the given id: GetString() is the IPv4 address in dotted form, empty when the name did
// not resolve; GetInt() is the caller's token.
//
// Destroying the object (or starting another lookup) abandons the lookup still running: it is
// left to finish on its own and reports to nobody, so the target may go away at any time.
#pragma once

#include <wx/event.h>

#include <memory>
#include <string>

wxDECLARE_EVENT(EVT_HOST_LOOKUP, wxThreadEvent);

class HostLookup {
public:
    HostLookup(wxEvtHandler* target, int id);
    ~HostLookup();
    HostLookup(const HostLookup&) = delete;
    HostLookup& operator=(const HostLookup&) = delete;

    void Start(const std::string& host, int token);
    void Abandon();

    // The lookup itself, blocking: the dotted IPv4 address, empty when none.
    static std::string ResolveIPv4(const std::string& host);

private:
    struct Link;
    wxEvtHandler* target;
    int id;
    std::shared_ptr<Link> link;
};
