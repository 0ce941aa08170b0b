#include "comm/ConfigBackupFile.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <wx/file.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "platform/ReplacingFile.h"
#include "platform/SysfsFiles.h"
#include "support/test_support.h"

namespace {

ParamValue Value(ParamType type, uint32_t raw) {
    ParamValue value;
    value.type = type;
    value.value = raw;
    if ((type & 0x07) == PARAM_DECIMAL) value.decimal = decimal_from_packed(raw);
    return value;
}

class TempDir {
public:
    TempDir() : path(MakeTempDir("mirex-backup")) {}
    ~TempDir() { std::system(("rm -rf '" + path + "'").c_str()); }
    std::string File(const char* name) const { return path + "/" + name; }
    std::vector<std::string> Entries() const { return platform::DirectoryEntries(path); }
    const std::string path;
};

// ---------------------------------------------------------------------------------------------
// Value texts

TEST(BackupValueText, EveryKindRoundTrips) {
    struct Case {
        const char* name;
        ParamValue value;
        const char* text;
        ParamType loadedType;   // what the text loads as
        const char* reloaded;   // the text of the loaded record
    };
    const Case cases[] = {
        {"8-bit unsigned 1", Value(PARAM_U8, 1), "01u", PARAM_U8, "01u"},
        {"8-bit signed -128", Value(PARAM_S8, 0xFFFFFF80), "80s", PARAM_S8, "80s"},
        {"16-bit signed -2", Value(PARAM_S16, 0xFFFFFFFE), "fffes", PARAM_S16, "fffes"},
        {"16-bit unsigned", Value(PARAM_U16, 0xABCD), "abcdu", PARAM_U16, "abcdu"},
        {"decimal -1.23", Value(PARAM_DECIMAL, 0xFF8502), "ff8502u", PARAM_DECIMAL, "ff8502u"},
        // A decimal marked signed still loads as the decimal kind.
        {"signed decimal -1.23", Value(0x83, 0xFF8502), "ff8502s", PARAM_DECIMAL, "ff8502u"},
        {"32-bit unsigned", Value(PARAM_U32, 0xDEADBEEF), "deadbeefu", PARAM_U32, "deadbeefu"},
        {"32-bit signed -10", Value(PARAM_S32, 0xFFFFFFF6), "fffffff6s", PARAM_S32, "fffffff6s"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        char buffer[kParamValueTextSize];
        ASSERT_STREQ(FormatParamValue(&c.value, buffer), c.text);
        std::unique_ptr<ParamValue> loaded(ParseParamValue(c.text));
        ASSERT_TRUE(loaded);
        EXPECT_EQ(loaded->type, c.loadedType);
        EXPECT_STREQ(FormatParamValue(loaded.get(), nullptr), c.reloaded);
        if (c.loadedType == PARAM_DECIMAL) {
            EXPECT_EQ(loaded->decimal.mantissa, c.value.decimal.mantissa);
            EXPECT_EQ(loaded->decimal.decimals, c.value.decimal.decimals);
        }
    }
    // Without a buffer the text lives in one static buffer, overwritten by the next call.
    ParamValue one = Value(PARAM_U8, 1);
    ParamValue two = Value(PARAM_U8, 2);
    const char* first = FormatParamValue(&one, nullptr);
    EXPECT_EQ(first, FormatParamValue(&two, nullptr));
    EXPECT_STREQ(first, "02u");
}

TEST(BackupValueText, UnknownKindHasNoDigitsAndNoLine) {
    ParamValue odd = Value(0x05, 7);
    EXPECT_STREQ(FormatParamValue(&odd, nullptr), "u");
    EXPECT_EQ(FormatBackupLine(&odd), "");
    ParamValue none;  // a read without a value has type 0
    EXPECT_EQ(FormatBackupLine(&none), "");
    ParamValue good = Value(PARAM_U8, 1);
    good.code = 0xcc;
    EXPECT_EQ(FormatBackupLine(&good), "P00cc = 01u\n");
}

TEST(BackupValueText, RejectsBadDigitCountsAndMissingLetter) {
    for (const char* text : {"", "u", "1u", "001u", "12345u", "1234567u", "123456789u", "0123456789abcdefu", "01",
                             "ff8502", "ffffffff", "ffffffffffffffffffff"}) {
        SCOPED_TRACE(text);
        std::unique_ptr<ParamValue> value(ParseParamValue(text));
        EXPECT_FALSE(value);
    }
    // Any letter other than "s" means unsigned.
    std::unique_ptr<ParamValue> value(ParseParamValue("ffx"));
    ASSERT_TRUE(value);
    EXPECT_EQ(value->type, PARAM_U8);
    EXPECT_EQ(value->value, 0xFFu);
}

// ---------------------------------------------------------------------------------------------
// Parameter lines of the load

TEST(BackupLine, ParameterLinesAndSkippedLines) {
    std::unique_ptr<ParamValue> value(ParseBackupLine("P00cc = 01u"));
    ASSERT_TRUE(value);
    EXPECT_EQ(value->code, 204);
    EXPECT_EQ(value->type, PARAM_U8);
    EXPECT_EQ(value->value, 1u);
    value.reset(ParseBackupLine("P01f4 = ff8502s"));
    ASSERT_TRUE(value);
    EXPECT_EQ(value->code, 0x1f4);
    EXPECT_EQ(value->type, PARAM_DECIMAL);
    EXPECT_EQ(value->decimal.mantissa, -123);

    for (const char* line : {"P00cc = 01", "P00cc = 001u", "P00cc = u", "P00cc", "P00cc ", "P = 01u", "Pxxxx = 01u",
                             "p00cc = 01u", "# QM-352 ver=000305 sn=1234", "# 2026-12-07 23:50:12", "", "P"}) {
        SCOPED_TRACE(line);
        value.reset(ParseBackupLine(line));
        EXPECT_FALSE(value);
    }
}

// ---------------------------------------------------------------------------------------------
// Line reading

struct ReadLine {
    int result;
    std::string text;
};

std::vector<ReadLine> ReadAllLines(const std::string& path) {
    wxFile file(wxString::FromUTF8(path.c_str()), wxFile::read);
    std::vector<ReadLine> lines;
    char buffer[kBackupLineSize];
    for (int guard = 0; guard < 100; ++guard) {
        std::memset(buffer, 'X', sizeof buffer);
        const int result = ReadFileLine(file, buffer, sizeof buffer);
        lines.push_back({result, buffer});
        if (result == kFileLineEnd || result == -1) break;
    }
    return lines;
}

TEST(BackupReadFileLine, LineEndsCutsAndTheEndOfTheFile) {
    TempDir dir;
    const std::string path = dir.File("lines.conf");
    const std::string longLine(100, 'x');
    WriteWholeFile(path, "ab\r\ncd\n\n\r\na\rb\n" + longLine + "\nlast");
    const std::vector<ReadLine> lines = ReadAllLines(path);
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[0].result, 3);  // the carriage return counts, is not stored
    EXPECT_EQ(lines[0].text, "ab");
    EXPECT_EQ(lines[1].result, 2);
    EXPECT_EQ(lines[1].text, "cd");
    EXPECT_EQ(lines[2].result, 0);  // an empty line is not the end of the file
    EXPECT_EQ(lines[2].text, "");
    EXPECT_EQ(lines[3].result, 1);
    EXPECT_EQ(lines[3].text, "");
    EXPECT_EQ(lines[4].text, "ab");  // a carriage return inside the line is dropped too
    EXPECT_EQ(lines[5].result, 100);
    EXPECT_EQ(lines[5].text, longLine.substr(0, 79));
    EXPECT_EQ(lines[6].result, 4);  // a last line without a line feed
    EXPECT_EQ(lines[6].text, "last");
    EXPECT_EQ(lines[7].result, kFileLineEnd);
    EXPECT_EQ(lines[7].text, "");

    WriteWholeFile(path, "");
    EXPECT_EQ(ReadAllLines(path).front().result, kFileLineEnd);
    WriteWholeFile(path, "\n");
    const std::vector<ReadLine> blank = ReadAllLines(path);
    ASSERT_EQ(blank.size(), 2u);
    EXPECT_EQ(blank[0].result, 0);
    EXPECT_EQ(blank[1].result, kFileLineEnd);
}

TEST(BackupReadFileLine, ReadErrorGivesMinusOne) {
    TempDir dir;
    // A directory opens for reading on Linux, but reading it fails.
    const std::vector<ReadLine> lines = ReadAllLines(dir.path);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].result, -1);
    EXPECT_EQ(lines[0].text, "");
}

// ---------------------------------------------------------------------------------------------
// Header and file name

TEST(BackupHeader, HeaderLinesAndDefaultName) {
    const wxDateTime when(7, wxDateTime::Dec, 2026, 23, 50, 12);
    EXPECT_EQ(FormatBackupHeader(0x352, 0, 3, 5, 1234, when), "# QM-352 ver=000305 sn=1234\n# 2026-12-07 23:50:12\n");
    EXPECT_EQ(FormatBackupHeader(0x352, 1, 3, 0x10, 65535, when).substr(0, 29), "# QM-352 ver=010310 sn=65535\n");
    EXPECT_EQ(DefaultBackupFileName(0x352, 1234, when).utf8_string(), "qm352-1234-261207-2350.conf");
    const wxDateTime early(1, wxDateTime::Feb, 2027, 3, 4, 5);
    EXPECT_EQ(DefaultBackupFileName(0x35, 7, early).utf8_string(), "qm035-7-270201-0304.conf");
}

// ---------------------------------------------------------------------------------------------
// Replacing a file in one step

TEST(ReplacingFileTest, CommitReplacesAndKeepsTheMode) {
    TempDir dir;
    const std::string target = dir.File("backup.conf");
    WriteWholeFile(target, "old\n");
    chmod(target.c_str(), 0640);
    {
        platform::ReplacingFile file;
        ASSERT_TRUE(file.Open(target));
        ASSERT_TRUE(file.Write("new "));
        ASSERT_TRUE(file.Write("content\n"));
        EXPECT_EQ(ReadWholeFile(target), "old\n");  // untouched until the commit
        EXPECT_EQ(dir.Entries().size(), 2u);
        ASSERT_TRUE(file.Commit()) << file.Error();
    }
    EXPECT_EQ(ReadWholeFile(target), "new content\n");
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"backup.conf"});
    struct stat info;
    ASSERT_EQ(stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);

    // A new file is made with 0666 less the umask.
    const mode_t mask = umask(022);
    platform::ReplacingFile fresh;
    ASSERT_TRUE(fresh.Open(dir.File("fresh.conf")));
    ASSERT_TRUE(fresh.Commit());
    umask(mask);
    ASSERT_EQ(stat(dir.File("fresh.conf").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0644u);
}

TEST(ReplacingFileTest, NothingCommittedLeavesTheTargetAsItWas) {
    TempDir dir;
    const std::string target = dir.File("backup.conf");
    const std::string old = "# QM-352 ver=000305 sn=1234\nP00cc = 01u\n";
    WriteWholeFile(target, old);
    {
        platform::ReplacingFile file;
        ASSERT_TRUE(file.Open(target));
        ASSERT_TRUE(file.Write("partial"));
    }  // dropped without a commit
    EXPECT_EQ(ReadWholeFile(target), old);
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"backup.conf"});

    platform::ReplacingFile missingDir;
    EXPECT_FALSE(missingDir.Open(dir.File("no/such/dir.conf")));
    EXPECT_FALSE(missingDir.Error().empty());
    EXPECT_FALSE(missingDir.Commit());
}

TEST(ReplacingFileTest, WriteErrorSpoilsTheCommit) {
    TempDir dir;
    const std::string target = dir.File("backup.conf");
    WriteWholeFile(target, "old\n");
    // A file size limit makes writes fail as a full disk would (EFBIG instead of ENOSPC).
    sighandler_t previous = signal(SIGXFSZ, SIG_IGN);
    rlimit saved;
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 16;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    platform::ReplacingFile file;
    const bool opened = file.Open(target);
    const bool wrote = opened && file.Write(std::string(64, 'x'));
    const bool committed = file.Commit();
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, previous);
    ASSERT_TRUE(opened);
    EXPECT_FALSE(wrote);
    EXPECT_FALSE(committed);
    EXPECT_NE(file.Error().find("write failed"), std::string::npos);
    EXPECT_EQ(ReadWholeFile(target), "old\n");
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"backup.conf"});
}

TEST(ReplacingFileTest, LinkedTargetStaysALink) {
    TempDir dir;
    const std::string real = dir.File("real.conf");
    const std::string link = dir.File("link.conf");
    WriteWholeFile(real, "old\n");
    ASSERT_EQ(symlink(real.c_str(), link.c_str()), 0);
    platform::ReplacingFile file;
    ASSERT_TRUE(file.Open(link));
    ASSERT_TRUE(file.Write("new\n"));
    ASSERT_TRUE(file.Commit());
    struct stat info;
    ASSERT_EQ(lstat(link.c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    EXPECT_EQ(ReadWholeFile(real), "new\n");
}

}  // namespace
