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

TEST(BackupLine, AcceptsTheSavedFormatAndNothingElse) {
    struct Accepted {
        const char* line;
        uint16_t code;
        ParamType type;
        uint32_t value;
    };
    const Accepted accepted[] = {
        {"P00cc = 01u", 0x00cc, PARAM_U8, 0x01},
        {"P00cd = 80s", 0x00cd, PARAM_S8, 0x80},
        {"P0100 = abcdu", 0x0100, PARAM_U16, 0xABCD},
        {"P0101 = fffes", 0x0101, PARAM_S16, 0xFFFE},
        {"P01f4 = ff8502u", 0x01f4, PARAM_DECIMAL, 0xFF8502},
        {"P01f5 = ff8502s", 0x01f5, PARAM_DECIMAL, 0xFF8502},
        {"Pffff = deadbeefu", 0xffff, PARAM_U32, 0xDEADBEEF},
        {"P0000 = fffffff6s", 0x0000, PARAM_S32, 0xFFFFFFF6},
        {"P00CC = 0Au", 0x00cc, PARAM_U8, 0x0A},          // upper-case hex
        {"P01Ab = 1234s", 0x01ab, PARAM_S16, 0x1234},      // mixed case
        {"P00cc=01u", 0x00cc, PARAM_U8, 0x01},             // no blanks around "="
        {"P00cc \t=\t  01u", 0x00cc, PARAM_U8, 0x01},      // spaces and tabs
        {"P00cc = 01u \t ", 0x00cc, PARAM_U8, 0x01},       // trailing blanks
    };
    for (const Accepted& c : accepted) {
        SCOPED_TRACE(c.line);
        std::unique_ptr<ParamValue> value(ParseBackupLine(c.line));
        ASSERT_TRUE(value);
        EXPECT_EQ(value->code, c.code);
        EXPECT_EQ(value->type, c.type);
        EXPECT_EQ(value->value, c.value);
        EXPECT_FALSE(IsBackupNoteLine(c.line));
    }

    const char* const refused[] = {
        // What a mistyped line used to write elsewhere or with another value.
        "P00cc01u", "P123456 = 01u", "P0100cc = 01u", "P00cc = 12 34u", "PATH = 12345678 x",
        // A code of another length, or none.
        "P0cc = 01u", "P000cc = 01u", "P = 01u", "Pxxxx = 01u", "P", "P00cc", "P00cc ", "P00cc 01u",
        // A value of a wrong digit count, without its letter, or with another letter.
        "P00cc = 1u", "P00cc = 001u", "P00cc = 12345u", "P00cc = 123456789u", "P00cc = u", "P00cc = ",
        "P00cc = 01", "P00cc = 01U", "P00cc = 01x", "P00cc = 01us", "P00cc = 01u x", "P00cc == 01u",
        "P00cc = 0x01u", "P00cc = -1u",
        // Not at the start of the line, or not an upper-case "P".
        "p00cc = 01u", " P00cc = 01u", "\tP00cc = 01u", "\xEF\xBB\xBFP00cc = 01u",
    };
    for (const char* line : refused) {
        SCOPED_TRACE(line);
        std::unique_ptr<ParamValue> value(ParseBackupLine(line));
        EXPECT_FALSE(value);
    }
}

TEST(BackupLine, CommentsAndBlankLinesArePassedOver) {
    for (const char* line : {"# QM-352 ver=000305 sn=1234", "# 2026-12-07 23:50:12", "#", "", " ", " \t "})
        EXPECT_TRUE(IsBackupNoteLine(line)) << '"' << line << '"';
    for (const char* line : {"P00cc = 01u", " #", "x", "\xEF\xBB\xBF# QM-352"})
        EXPECT_FALSE(IsBackupNoteLine(line)) << '"' << line << '"';
}

// ---------------------------------------------------------------------------------------------
// Line reading

struct ReadLine {
    int result;
    std::string text;
    bool whole;
};

std::vector<ReadLine> ReadAllLines(const std::string& path, size_t chunkSize = FileLineReader::kChunkSize) {
    wxFile file(wxString::FromUTF8(path.c_str()), wxFile::read);
    FileLineReader reader(file, chunkSize);
    std::vector<ReadLine> lines;
    char buffer[kBackupLineSize];
    for (int guard = 0; guard < 100; ++guard) {
        std::memset(buffer, 'X', sizeof buffer);
        const int result = reader.ReadFileLine(buffer, sizeof buffer);
        lines.push_back({result, buffer, reader.LastLineWhole()});
        if (result == kFileLineEnd || result == -1) break;
    }
    return lines;
}

TEST(BackupReadFileLine, LineEndsCutsAndTheEndOfTheFile) {
    TempDir dir;
    const std::string path = dir.File("lines.conf");
    const std::string longLine(100, 'x');
    WriteWholeFile(path, "ab\r\ncd\n\n\r\na\rb\n" + longLine + "\nlast");
    // Small chunks put line feeds, carriage returns and the cut on either side of a read.
    for (size_t chunk : {size_t{1}, size_t{4}, size_t{7}, FileLineReader::kChunkSize}) {
        SCOPED_TRACE(chunk);
        const std::vector<ReadLine> lines = ReadAllLines(path, chunk);
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
        EXPECT_TRUE(lines[4].whole);
        EXPECT_EQ(lines[5].result, 100);
        EXPECT_EQ(lines[5].text, longLine.substr(0, 79));
        EXPECT_FALSE(lines[5].whole);
        EXPECT_EQ(lines[6].result, 4);  // a last line without a line feed
        EXPECT_EQ(lines[6].text, "last");
        EXPECT_TRUE(lines[6].whole);
        EXPECT_EQ(lines[7].result, kFileLineEnd);
        EXPECT_EQ(lines[7].text, "");
    }

    WriteWholeFile(path, "");
    EXPECT_EQ(ReadAllLines(path).front().result, kFileLineEnd);
    WriteWholeFile(path, "\n");
    const std::vector<ReadLine> blank = ReadAllLines(path);
    ASSERT_EQ(blank.size(), 2u);
    EXPECT_EQ(blank[0].result, 0);
    EXPECT_EQ(blank[1].result, kFileLineEnd);
    // A NUL byte ends the text early, not the line.
    WriteWholeFile(path, std::string("P\0" "0\0\n#", 6));
    const std::vector<ReadLine> nul = ReadAllLines(path);
    ASSERT_EQ(nul.size(), 3u);
    EXPECT_EQ(nul[0].result, 4);
    EXPECT_EQ(nul[0].text, "P");
    EXPECT_FALSE(nul[0].whole);
    EXPECT_EQ(nul[1].text, "#");
    EXPECT_TRUE(nul[1].whole);
}

TEST(BackupReadFileLine, ByteOrderMarkOnlyAtTheStartIsDropped) {
    TempDir dir;
    const std::string path = dir.File("bom.conf");
    const std::string bom = "\xEF\xBB\xBF";
    struct Case {
        std::string content;
        std::vector<std::string> texts;  // the lines read, up to the end of the file
    };
    const Case cases[] = {
        {bom + "# QM-352\nP00cc = 01u\n", {"# QM-352", "P00cc = 01u"}},
        {bom, {}},
        {bom + "\n", {""}},
        {"\xEF\xBB", {"\xEF\xBB"}},      // two bytes of a mark are text
        {"\xEF\xBBx\n", {"\xEF\xBBx"}},
        {"#\n" + bom + "P00cc = 01u\n", {"#", bom + "P00cc = 01u"}},  // not at the start: kept
        {bom + bom + "#\n", {bom + "#"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.content);
        WriteWholeFile(path, c.content);
        for (size_t chunk : {size_t{1}, size_t{3}, FileLineReader::kChunkSize}) {
            std::vector<std::string> texts;
            for (const ReadLine& line : ReadAllLines(path, chunk))
                if (line.result >= 0) texts.push_back(line.text);
            EXPECT_EQ(texts, c.texts) << "chunk " << chunk;
        }
    }
}

TEST(BackupReadFileLine, ReadsTheFileInChunks) {
    TempDir dir;
    const std::string path = dir.File("saved.conf");
    std::string content;
    for (int i = 0; i < 200; ++i) content += "P00cc = 01u\n";
    WriteWholeFile(path, content);
    wxFile file(wxString::FromUTF8(path.c_str()), wxFile::read);
    FileLineReader reader(file);
    char buffer[kBackupLineSize];
    ASSERT_EQ(reader.ReadFileLine(buffer, sizeof buffer), 11);
    // One read took the whole file in, not the first line byte by byte.
    EXPECT_EQ(file.Tell(), static_cast<wxFileOffset>(content.size()));
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
// The parameters of a whole file

struct FileRead {
    std::vector<std::string> lines;  // the parameters read, formatted back
    int params, skipped, firstSkipped;
    bool failed;
};

FileRead ReadBackup(const std::string& path) {
    wxFile file(wxString::FromUTF8(path.c_str()), wxFile::read);
    BackupFileReader reader(file);
    FileRead read;
    while (std::unique_ptr<ParamValue> value = reader.NextParam()) read.lines.push_back(FormatBackupLine(value.get()));
    read.params = reader.ParamLines();
    read.skipped = reader.SkippedLines();
    read.firstSkipped = reader.FirstSkippedLine();
    read.failed = reader.ReadFailed();
    return read;
}

TEST(BackupFileReaderTest, CountsEveryLineThatIsNeitherParameterNorNote) {
    TempDir dir;
    const std::string path = dir.File("edited.conf");
    WriteWholeFile(path,
                   "\xEF\xBB\xBF# QM-352 ver=000305 sn=1234\r\n"  // 1
                   "# " + std::string(100, '-') + "\n"             // 2 a long comment
                   "P00cc = 01u\r\n"                               // 3
                   "\n"                                            // 4
                   "  \t\n"                                        // 5
                   "P00cc01u\n"                                    // 6 skipped
                   "P00CD = FFFES\n"                               // 7 skipped: upper-case letter
                   "P00ce = 0203u\n"                               // 8
                   "P00cf = 01u" + std::string(70, ' ') + "x\n"     // 9 skipped: cut, its end unseen
                   + std::string("P\0" "0\0" "0\0" "c\0" "c\0\n", 11) +  // 10 skipped: UTF-16 text
                   "P00c0 = 00b401s");                            // 11, no final line feed
    const FileRead read = ReadBackup(path);
    EXPECT_EQ(read.lines, (std::vector<std::string>{"P00cc = 01u\n", "P00ce = 0203u\n", "P00c0 = 00b401u\n"}));
    EXPECT_EQ(read.params, 3);
    EXPECT_EQ(read.skipped, 4);
    EXPECT_EQ(read.firstSkipped, 6);
    EXPECT_FALSE(read.failed);

    // A clean file skips nothing; one of notes alone holds no parameter.
    WriteWholeFile(path, "# QM-352\n# 2026-12-07 23:50:12\nP00cc = 01u\nP00cd = 02u\n");
    const FileRead clean = ReadBackup(path);
    EXPECT_EQ(clean.params, 2);
    EXPECT_EQ(clean.skipped, 0);
    EXPECT_EQ(clean.firstSkipped, 0);
    WriteWholeFile(path, "# QM-352\n\n");
    const FileRead notes = ReadBackup(path);
    EXPECT_EQ(notes.params, 0);
    EXPECT_EQ(notes.skipped, 0);

    const FileRead directory = ReadBackup(dir.path);
    EXPECT_TRUE(directory.failed);
    EXPECT_TRUE(directory.lines.empty());
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
