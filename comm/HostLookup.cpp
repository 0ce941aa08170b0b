#include "comm/HostLookup.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <cstring>
#include <mutex>
#include <thread>

wxDEFINE_EVENT(EVT_HOST_LOOKUP, wxThreadEvent);

// Shared by the owner and its lookup thread; the thread reports only while target is set.
struct HostLookup::Link {
    std::mutex lock;
    wxEvtHandler* target = nullptr;
};

HostLookup::HostLookup(wxEvtHandler* target, int id) : target(target), id(id) {}

HostLookup::~HostLookup() { Abandon(); }

void HostLookup::Abandon() {
    if (!link) return;
    std::lock_guard<std::mutex> hold(link->lock);
    link->target = nullptr;
    link.reset();
}

void HostLookup::Start(const std::string& host, int token) {
    Abandon();
    link = std::make_shared<Link>();
    link->target = target;
    std::shared_ptr<Link> shared = link;
    const int eventId = id;
    std::thread([shared, host, token, eventId] {
        const std::string address = ResolveIPv4(host);
        std::lock_guard<std::mutex> hold(shared->lock);
        if (!shared->target) return;
        auto* event = new wxThreadEvent(EVT_HOST_LOOKUP, eventId);
        event->SetString(wxString::FromAscii(address.c_str()));
        event->SetInt(token);
        wxQueueEvent(shared->target, event);
    }).detach();
}

std::string HostLookup::ResolveIPv4(const std::string& host) {
    if (host.empty()) return std::string();
    addrinfo hints;
    std::memset(&hints, 0, sizeof hints);
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || found == nullptr) return std::string();
    std::string dotted;
    for (addrinfo* entry = found; entry != nullptr && dotted.empty(); entry = entry->ai_next) {
        if (entry->ai_family != AF_INET || entry->ai_addrlen < sizeof(sockaddr_in)) continue;
        sockaddr_in address;
        std::memcpy(&address, entry->ai_addr, sizeof address);
        char text[INET_ADDRSTRLEN] = {};
        if (inet_ntop(AF_INET, &address.sin_addr, text, sizeof text)) dotted = text;
    }
    freeaddrinfo(found);
    return dotted;
}
