// Where the remote-assistance proxy lives. One host name is built into the program (CMake sets
// MIREX_PROXY_HOST); a ":port" inside it overrides the default port for the proxy driver.
#pragma once

#ifndef MIREX_PROXY_HOST
#define MIREX_PROXY_HOST "proxy.mirex.example"
#endif

constexpr int kProxyDefaultPort = 24400;

// The built-in proxy host text, 8-bit ASCII, possibly "host:port".
inline const char* BuiltInProxyHost() { return MIREX_PROXY_HOST; }
