// The remote-assistance proxy host the proxy driver connects to: the one built into the
// program, unless a test points the program at a proxy of its own.
#pragma once

#include <string>

// The host text, 8-bit ASCII, possibly "host:port".
std::string ProxyHostText();
// Replaces the built-in host until called again with an empty text.
void SetProxyHostOverride(const std::string& host);
