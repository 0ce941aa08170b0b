#include "support/test_support.h"

#include <gtest/gtest.h>
#include <wx/debug.h>
#include <wx/string.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteWholeFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

long ResidentKiB() {
    FILE* status = std::fopen("/proc/self/status", "r");
    if (!status) return 0;
    char line[256];
    long kib = 0;
    while (std::fgets(line, sizeof line, status))
        if (std::sscanf(line, "VmRSS: %ld kB", &kib) == 1) break;
    std::fclose(status);
    return kib;
}

std::string MakeTempDir(const char* prefix) {
    std::string pattern = std::string("/tmp/") + prefix + "-XXXXXX";
    if (!mkdtemp(pattern.data())) return std::string();
    return pattern;
}

const char* TestLocalePath() { return MIREX_TEST_LOCPATH; }

std::string UsePolishLocale() {
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    setenv("LOCPATH", TestLocalePath(), 1);
    if (!std::setlocale(LC_ALL, "pl_PL.UTF-8")) return std::string();
    return previous;
}

void RestoreLocale(const std::string& previous) {
    if (!previous.empty()) std::setlocale(LC_ALL, previous.c_str());
}

namespace {
void FailOnAssert(const wxString& file, int line, const wxString& func, const wxString& cond, const wxString& msg) {
    std::fprintf(stderr, "wx assert %s:%d %s: %s %s\n", static_cast<const char*>(file.utf8_str()), line,
                 static_cast<const char*>(func.utf8_str()), static_cast<const char*>(cond.utf8_str()),
                 static_cast<const char*>(msg.utf8_str()));
    ADD_FAILURE() << "wx assertion failed: " << cond.utf8_str() << " " << msg.utf8_str();
}
}  // namespace

void FailTestsOnWxAssert() { wxSetAssertHandler(FailOnAssert); }
