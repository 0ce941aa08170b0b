#include "app/ProxyHost.h"

#include "comm/ProxySettings.h"

namespace {
// Set and read on the GUI thread only.
std::string& HostOverride() {
    static std::string host;
    return host;
}
}  // namespace

std::string ProxyHostText() {
    const std::string& host = HostOverride();
    return host.empty() ? std::string(BuiltInProxyHost()) : host;
}

void SetProxyHostOverride(const std::string& host) { HostOverride() = host; }
