// The proxy endpoint text "host" or "host:port", shared by the proxy driver and the
// device-side assistance.
#pragma once

#include <string>

struct ProxyAddress {
    std::string host;
    int port = 0;  // 0 when the text after ':' is not a port number 1..65535
};

// Splits at the first ':'; without one the port is defaultPort.
ProxyAddress ParseProxyAddress(const std::string& text, int defaultPort);
