#include "comm/ProxyAddress.h"

namespace {
// Port text after the ':'; 0 (no connection possible) unless it is 1..65535.
int ParsePort(const char* text) {
    long value = 0;
    if (*text == '\0') return 0;
    for (; *text != '\0'; ++text) {
        if (*text < '0' || *text > '9') return 0;
        value = value * 10 + (*text - '0');
        if (value > 65535) return 0;
    }
    return static_cast<int>(value);
}
}  // namespace

ProxyAddress ParseProxyAddress(const std::string& text, int defaultPort) {
    ProxyAddress address;
    address.host = text;
    address.port = defaultPort;
    const size_t colon = text.find(':');
    if (colon != std::string::npos) {
        address.port = ParsePort(text.c_str() + colon + 1);
        address.host.resize(colon);
    }
    return address;
}
