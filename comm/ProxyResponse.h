// The answer to the proxy's authentication challenge, computed from the proxy password.
#pragma once

#include <cstdint>

// Mixes the challenge once, then once more per password byte with that byte folded in.
// password may be null (same as empty). The result lies in 0..2147483647.
long ProxyResponse(uint32_t challenge, const char* password);
