#include "support/test_support.h"

#include <cstdlib>
#include <string>

std::string MakeTempDir(const char* prefix) {
    std::string pattern = std::string("/tmp/") + prefix + "-XXXXXX";
    if (!mkdtemp(pattern.data())) return std::string();
    return pattern;
}
