// The program's log target: where the file goes, what a line holds, the size bound, and that
// errors never open a window.
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/log.h>

#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>

#include "app/LogTarget.h"
#include "support/gui_ModalAnswer.h"
#include "support/test_support.h"

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// Makes a target the active one for a test and puts the previous one back afterwards.
class ActiveLog {
public:
    explicit ActiveLog(wxLog* target) : previous(wxLog::SetActiveTarget(target)), verbose(wxLog::GetVerbose()) {}
    ~ActiveLog() {
        wxLog::FlushActive();
        delete wxLog::SetActiveTarget(previous);
        wxLog::SetVerbose(verbose);
    }

private:
    wxLog* previous;
    bool verbose;
};

struct PathCase {
    const char* stateHome;  // nullptr: unset
    const char* expected;   // relative to HOME ("~") or absolute
};

TEST(LogTargetTest, FilePathFollowsTheStateDirectory) {
    const std::string savedState = std::getenv("XDG_STATE_HOME") ? std::getenv("XDG_STATE_HOME") : "";
    const bool hadState = std::getenv("XDG_STATE_HOME") != nullptr;
    const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    const PathCase cases[] = {
        {"/tmp/state", "/tmp/state/mirex/mirex.log"},
        {nullptr, "~/.local/state/mirex/mirex.log"},
        {"", "~/.local/state/mirex/mirex.log"},
        {"relative/dir", "~/.local/state/mirex/mirex.log"},  // not absolute: ignored
    };
    for (const PathCase& c : cases) {
        if (c.stateHome) setenv("XDG_STATE_HOME", c.stateHome, 1);
        else unsetenv("XDG_STATE_HOME");
        std::string expected = c.expected;
        if (expected[0] == '~') expected = home + expected.substr(1);
        EXPECT_EQ(LogFilePath(), expected) << (c.stateHome ? c.stateHome : "(unset)");
    }
    if (hadState) setenv("XDG_STATE_HOME", savedState.c_str(), 1);
    else unsetenv("XDG_STATE_HOME");
}

// Errors, warnings and verbose texts all reach the file, stamped, in a directory made for it;
// no window opens, not even at idle time.
TEST(LogTargetTest, EveryLevelGoesToTheFileWithATimeStampAndNoWindowOpens) {
    const std::string dir = MakeTempDir("mirex-log");
    const std::string path = dir + "/nested/mirex/mirex.log";
    ModalAnswer answer;  // any dialog fails the test
    {
        ActiveLog active(new LogTarget(path, LogTarget::kDefaultMaxBytes, false));
        wxLog::SetVerbose(true);
        wxLogError(wxASCII_STR("ReadFile(): end of file"));
        wxLogWarning(wxASCII_STR("Connection broken"));
        wxLogVerbose(wxASCII_STR("Wrote %d bytes"), 12);
        wxLogError(wxString::FromUTF8("Błąd %s"), wxString::FromUTF8("zażółć"));
        wxTheApp->ProcessIdle();
    }
    EXPECT_TRUE(answer.Records().empty());
    const std::string text = ReadFile(path);
    const std::regex stamp("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3} ");
    std::istringstream lines(text);
    std::vector<std::string> got;
    for (std::string line; std::getline(lines, line);) {
        EXPECT_TRUE(std::regex_search(line, stamp)) << line;
        got.push_back(line.substr(24));
    }
    EXPECT_EQ(got, (std::vector<std::string>{"error: ReadFile(): end of file", "warning: Connection broken",
                                             "verbose: Wrote 12 bytes", "error: Błąd zażółć"}));
    std::system(("rm -rf '" + dir + "'").c_str());
}

// The file never grows far past its bound: the older half moves aside, the newest lines stay.
TEST(LogTargetTest, FileIsKeptToItsBound) {
    const std::string dir = MakeTempDir("mirex-log");
    const std::string path = dir + "/mirex.log";
    {
        ActiveLog active(new LogTarget(path, 4096, false));
        for (int i = 0; i < 1000; ++i) wxLogError(wxASCII_STR("line %d of the flood"), i);
    }
    const std::string current = ReadFile(path);
    const std::string older = ReadFile(path + ".1");
    EXPECT_LE(current.size(), 4096u + 100u);
    EXPECT_LE(older.size(), 4096u + 100u);
    EXPECT_FALSE(older.empty());
    EXPECT_NE(current.find("line 999 of the flood"), std::string::npos);
    std::system(("rm -rf '" + dir + "'").c_str());
}

}  // namespace
