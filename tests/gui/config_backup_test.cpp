// Saving the panel's parameter set to a backup file and loading it back, with the real main
// window against the panel simulator: what the file holds, the requests on the line, the
// failures that must leave an existing backup untouched, the load's line rules, and the
// question a damaged file asks before anything of it is written.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <wx/filedlg.h>
#include <wx/stattext.h>
#include <wx/timer.h>
#include <wx/uiaction.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "app/FrameIds.h"
#include "comm/PanelClient.h"
#include "platform/SysfsFiles.h"
#include "sim/SimLine.h"
#include "support/core_EventWait.h"
#include "support/core_FailingReads.h"
#include "support/gui_FrameFixture.h"
#include "support/gui_GeometryCheck.h"
#include "support/gui_ModalAnswer.h"
#include "support/gui_ScreenWait.h"
#include "support/test_support.h"
#include "widgets/WaitWindow.h"

namespace {

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::vector<std::string> Messages(const ModalAnswer& answer) {
    std::vector<std::string> messages;
    for (const ModalDialogRecord& record : answer.Records()) messages.push_back(record.message.utf8_string());
    return messages;
}

// The question of a load whose file holds skipped lines besides good ones.
std::string SkippedLinesQuestion(int skipped, int first, int good) {
    return "Pominięte linie pliku: " + std::to_string(skipped) + "\nPierwsza pominięta: linia " +
           std::to_string(first) + "\n\nZapisać pozostałe parametry (" + std::to_string(good) + ") do urządzenia?";
}

// The line a parameter of the simulated panel must get in the file.
std::string ExpectedLine(const sim::SimParam& param) {
    const int digits = sim::ValueDigits(param.type);
    return "P" + sim::Hex(param.code, 4) + " = " + sim::Hex(sim::FitValue(param.type, param.value), digits) +
           ((param.type & sim::SIGNED_FLAG) ? "s" : "u");
}

// Records each text starting with prefix that a wait window shows, sampling it while requests run.
class WaitTextSpy {
public:
    explicit WaitTextSpy(const char* prefix) : prefix(prefix) {
        timer.Bind(wxEVT_TIMER, [this](wxTimerEvent&) { Sample(); });
        timer.Start(2);
    }
    std::vector<std::string> texts;

private:
    void Sample() {
        for (wxWindow* window : wxTopLevelWindows) {
            if (!dynamic_cast<WaitWindow*>(window) || window->IsBeingDeleted()) continue;
            for (wxWindow* child : window->GetChildren()) {
                auto* label = dynamic_cast<wxStaticText*>(child);
                if (!label) continue;
                const std::string text = label->GetLabel().utf8_string();
                if (text.compare(0, prefix.size(), prefix) != 0) continue;
                if (texts.empty() || texts.back() != text) texts.push_back(text);
            }
        }
    }
    std::string prefix;
    wxTimer timer;
};

// Answers a message box with OK once its picture is taken and its layout checked.
ModalAnswer::Handler CheckedOk(const std::string& shot) {
    return [shot](wxDialog* dialog) {
        SettleWindows();
        SaveWindowShot(dialog, shot);
        EXPECT_TRUE(LayoutIsSound(dialog));
        return static_cast<int>(wxID_OK);
    };
}

class ConfigBackupTest : public FrameFixture {
protected:
    void SetUp() override {
        FrameFixture::SetUp();
        dir = MakeTempDir("mirex-backup-files");
        StoreSerialPort();
        CreateFrame();
        ASSERT_TRUE(WaitConnected());
        panel.ClearRequests();
    }
    void TearDown() override {
        FrameFixture::TearDown();
        if (std::system(("rm -rf '" + dir + "'").c_str()) != 0) ADD_FAILURE() << "cannot remove " << dir;
    }

    std::string File(const char* name) const { return dir + "/" + name; }
    std::vector<std::string> DirEntries() const { return platform::DirectoryEntries(dir); }

    // The parameter lines of the simulator's table, in list order.
    std::vector<std::string> TableLines() const {
        std::vector<std::string> lines;
        for (int code : table.ListOrder()) {
            if (code == sim::kEmptyListIndex) continue;
            lines.push_back(ExpectedLine(*table.Find(static_cast<uint16_t>(code))));
        }
        return lines;
    }

    bool Save(const std::string& path) { return frame->SaveConfigToFile(wxString::FromUTF8(path.c_str())); }
    bool Load(const std::string& path) { return frame->LoadConfigFromFile(wxString::FromUTF8(path.c_str())); }

    std::string dir;
    const sim::ParamTable table = sim::ParamTable::DefaultQm352();
};

// ---------------------------------------------------------------------------------------------
// Save

TEST_F(ConfigBackupTest, SaveWritesTheWholeTableInListOrder) {
    panel.SetReplyDelayMs(3);  // long enough for the spy to see each text
    WaitTextSpy spy("Odczyt");
    const std::string path = File("saved.conf");
    EXPECT_TRUE(Save(path));
    const std::vector<std::string> lines = SplitLines(ReadWholeFile(path));
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[0], "# QM-352 ver=000305 sn=1234");
    EXPECT_TRUE(std::regex_match(lines[1], std::regex("# \\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d"))) << lines[1];
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 2, lines.end()), TableLines());
    EXPECT_EQ(ReadWholeFile(path).back(), '\n');
    EXPECT_EQ(DirEntries(), std::vector<std::string>{"saved.conf"});

    // Reports off, every list index up to the end mark, a read per present parameter, reports on.
    const std::vector<std::string> requests = panel.RequestTexts();
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests.front(), "02300000");
    EXPECT_EQ(requests.back(), "0230ffff");
    std::vector<std::string> expected = {"02300000"};
    for (size_t index = 0; index <= table.ListOrder().size(); ++index) {
        expected.push_back("02b4" + sim::Hex(static_cast<uint32_t>(index), 4));
        if (index < table.ListOrder().size() && table.ListOrder()[index] != sim::kEmptyListIndex)
            expected.push_back("0286" + sim::Hex(static_cast<uint32_t>(table.ListOrder()[index]), 4));
    }
    expected.push_back("0230ffff");
    EXPECT_EQ(requests, expected);
    EXPECT_EQ(panel.ModeWord(), 0xFFFF);

    // The count shown runs over the list indexes, skipped ones included.
    ASSERT_FALSE(spy.texts.empty());
    EXPECT_EQ(spy.texts.back(), "Odczyt " + std::to_string(table.ListOrder().size() - 1));
}

TEST_F(ConfigBackupTest, SaveOverAnExistingBackupReplacesIt) {
    const std::string path = File("saved.conf");
    WriteWholeFile(path, "# an older backup\nP00cc = 00u\n");
    chmod(path.c_str(), 0600);
    EXPECT_TRUE(Save(path));
    const std::vector<std::string> lines = SplitLines(ReadWholeFile(path));
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 2, lines.end()), TableLines());
    struct stat info;
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0600u);
}

TEST_F(ConfigBackupTest, FailedSaveLeavesTheExistingFileAsItWas) {
    const std::string readFailed = "Błąd podczas odczytu parametru\nkonfiguracji z urządzenia";
    const std::string listFailed = "Błąd podczas odczytu konfiguracji z urządzenia";
    const std::vector<uint16_t> params = {204, 0x1F4};
    struct Case {
        const char* name;
        std::function<void(sim::PanelSimulator&)> fault;
        std::string message;
    };
    const Case cases[] = {
        {"list index unanswered", [](sim::PanelSimulator& p) { p.SetUnansweredRequest(0xB4, 5); }, listFailed},
        {"parameter unanswered", [](sim::PanelSimulator& p) { p.SetUnansweredRequest(0x86, 206); }, readFailed},
        {"parameter refused",
         [](sim::PanelSimulator& p) {
             sim::SimParam param = *p.Param(206);
             param.refused = true;
             p.SetParam(param);
         },
         readFailed},
        {"parameter damaged",
         [](sim::PanelSimulator& p) {
             sim::SimParam param = *p.Param(207);
             param.dataError = true;
             p.SetParam(param);
         },
         readFailed},
    };
    const std::string path = File("kept.conf");
    const std::string old = "# QM-352 ver=000305 sn=1234\n# 2020-01-01 00:00:00\nP00cc = 01u\n";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        panel.SetTable(table);
        panel.ClearUnansweredRequests();
        c.fault(panel);
        WriteWholeFile(path, old);
        panel.ClearRequests();
        ModalAnswer answer;
        answer.Expect(wxID_OK);
        EXPECT_FALSE(Save(path));
        EXPECT_EQ(Messages(answer), std::vector<std::string>{c.message});
        EXPECT_EQ(ReadWholeFile(path), old);
        EXPECT_EQ(DirEntries(), std::vector<std::string>{"kept.conf"});
        EXPECT_EQ(panel.RequestTexts().back(), "0230ffff");
        EXPECT_EQ(panel.ModeWord(), 0xFFFF);
    }
    panel.ClearUnansweredRequests();

    // A file that cannot be created is reported, and reports go back on.
    panel.ClearRequests();
    ModalAnswer answer;
    answer.Expect(wxID_OK);
    EXPECT_FALSE(Save(File("no-such-dir/x.conf")));
    EXPECT_EQ(Messages(answer), std::vector<std::string>{"Błąd zapisu"});
    EXPECT_EQ(panel.RequestTexts(), (std::vector<std::string>{"02300000", "0230ffff"}));
}

TEST_F(ConfigBackupTest, LinkLostDuringSaveLeavesTheExistingFile) {
    const std::string path = File("kept.conf");
    const std::string old = "P00cc = 01u\n";
    WriteWholeFile(path, old);
    // Mode, then list entry and read by turns: the request that goes unanswered is a list entry.
    panel.SetHangUpAfterRequests(13);
    ModalAnswer answer;
    answer.Expect(wxID_OK).Expect(wxID_OK);
    EXPECT_FALSE(Save(path));
    EXPECT_EQ(Messages(answer), (std::vector<std::string>{"Błąd w driverze obsługującym komunikację",
                                                          "Błąd podczas odczytu konfiguracji z urządzenia"}));
    EXPECT_EQ(ReadWholeFile(path), old);
    EXPECT_EQ(DirEntries(), std::vector<std::string>{"kept.conf"});
    EXPECT_TRUE(WaitFrameGone());
}

// The panel's pushed reports cannot be switched off: neither command reads or writes a
// parameter, and the message says what failed and that nothing was saved or loaded.
TEST_F(ConfigBackupTest, ReportsThatCannotBeSwitchedOffStopSaveAndLoad) {
    const std::string loaded = File("loaded.conf");
    WriteWholeFile(loaded, "P00cc = 02u\n");
    const std::string off = "Nie udało się wyłączyć odczytów z urządzenia\n";
    const struct {
        const char* name;
        std::function<bool()> run;
        std::string message;
    } cases[] = {
        {"save", [&] { return Save(File("saved.conf")); }, off + "Plik nie został zapisany"},
        {"load", [&] { return Load(loaded); }, off + "Żaden parametr nie został zapisany"},
    };
    panel.SetUnansweredRequest(0x30, 0);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        panel.ClearRequests();
        ModalAnswer answer;
        answer.Expect(CheckedOk(std::string("reports not switched off, ") + c.name));
        EXPECT_FALSE(c.run());
        EXPECT_EQ(Messages(answer), std::vector<std::string>{c.message});
        for (const std::string& request : panel.RequestTexts()) EXPECT_EQ(request.substr(0, 4), "0230");
        EXPECT_EQ(panel.RequestTexts().back(), "0230ffff");
        EXPECT_EQ(DirEntries(), std::vector<std::string>{"loaded.conf"});
    }
    EXPECT_EQ(panel.Param(204)->value, table.Find(204)->value);
}

// A save or load that switched the reports off and cannot switch them on again says so, and the
// read-outs go blank rather than stand still as if live.
TEST_F(ConfigBackupTest, ReportsNotSwitchedBackOnBlankTheReadouts) {
    const std::string loaded = File("loaded.conf");
    WriteWholeFile(loaded, "P00cc = 02u\n");
    const struct {
        const char* name;
        std::function<bool()> run;
    } cases[] = {
        {"save", [&] { return Save(File("saved.conf")); }},
        {"load", [&] { return Load(loaded); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        panel.ClearUnansweredRequests();
        ASSERT_TRUE(panel.PushReport(sim::RelayReport(0x15)));
        ASSERT_TRUE(RunLoopUntil([this] { return ReadoutText(MyFrame::kRelayReadout) == "X"; }, 3000));
        panel.SetUnansweredRequest(0x30, 0xFFFF);
        ModalAnswer answer;
        std::string readoutWhileTold = "<not told>";
        answer.Expect([&](wxDialog*) {
            readoutWhileTold = ReadoutText(MyFrame::kRelayReadout);
            return static_cast<int>(wxID_OK);
        });
        EXPECT_TRUE(c.run());  // the parameters themselves went through
        EXPECT_EQ(Messages(answer), std::vector<std::string>{"Nie udało się ponownie włączyć odczytów z urządzenia"});
        EXPECT_EQ(readoutWhileTold, "");
        EXPECT_TRUE(frame->IsConnected());
    }
}

// A panel that answers neither the switch off nor the switch back on: the save or load says
// what failed and nothing more, and the read-outs go blank rather than stand still.
TEST_F(ConfigBackupTest, ReportsNeitherOffNorBackOnBlankTheReadoutsWithOneMessage) {
    const std::string loaded = File("loaded.conf");
    WriteWholeFile(loaded, "P00cc = 02u\n");
    const struct {
        const char* name;
        std::function<bool()> run;
    } cases[] = {
        {"save", [&] { return Save(File("saved.conf")); }},
        {"load", [&] { return Load(loaded); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        panel.ClearUnansweredRequests();
        ASSERT_TRUE(panel.PushReport(sim::RelayReport(0x15)));
        ASSERT_TRUE(RunLoopUntil([this] { return ReadoutText(MyFrame::kRelayReadout) == "X"; }, 3000));
        panel.SetUnansweredRequest(0x30, 0);
        panel.SetUnansweredRequest(0x30, 0xFFFF);
        ModalAnswer answer;
        answer.Expect(wxID_OK);
        EXPECT_FALSE(c.run());
        ASSERT_EQ(Messages(answer).size(), 1u);
        EXPECT_EQ(Messages(answer)[0].rfind("Nie udało się wyłączyć odczytów z urządzenia", 0), 0u);
        EXPECT_EQ(ReadoutText(MyFrame::kRelayReadout), "");
        EXPECT_TRUE(frame->IsConnected());
    }
}

// ---------------------------------------------------------------------------------------------
// Load

TEST_F(ConfigBackupTest, LoadRestoresEveryParameter) {
    const std::string path = File("saved.conf");
    ASSERT_TRUE(Save(path));
    // Change every parameter of the panel.
    for (int code : table.ListOrder()) {
        if (code == sim::kEmptyListIndex) continue;
        sim::SimParam param = *table.Find(static_cast<uint16_t>(code));
        param.value = sim::FitValue(param.type, param.value + 1);
        panel.SetParam(param);
    }
    panel.ClearRequests();
    panel.SetReplyDelayMs(3);  // long enough for the spy to see each text
    WaitTextSpy spy("Zapis");
    ModalAnswer noMessage;  // a complete load shows none: any box fails the test
    EXPECT_TRUE(Load(path));
    for (int code : table.ListOrder()) {
        if (code == sim::kEmptyListIndex) continue;
        SCOPED_TRACE(code);
        EXPECT_EQ(panel.Param(static_cast<uint16_t>(code))->value, table.Find(static_cast<uint16_t>(code))->value);
    }
    const std::vector<std::string> requests = panel.RequestTexts();
    ASSERT_EQ(requests.size(), TableLines().size() + 2);
    EXPECT_EQ(requests.front(), "02300000");
    EXPECT_EQ(requests.back(), "0230ffff");
    // The count shown starts at 1 with the first line written.
    ASSERT_FALSE(spy.texts.empty());
    EXPECT_EQ(spy.texts.front(), "Zapis 1");
}

TEST_F(ConfigBackupTest, LoadWritesOnlyExactLinesAndReportsTheRest) {
    sim::SimParam refused = *table.Find(205);
    refused.refused = true;
    panel.SetParam(refused);
    const std::string path = File("edited.conf");
    WriteWholeFile(path,
                   "\xEF\xBB\xBF# QM-999 ver=010203 sn=1\r\n"  // 1 a mark from an editor; another panel's header
                   "P00cc = 02u\r\n"                // 2 CR LF endings
                   "\r\n"                           // 3 empty lines are passed over
                   "\n"                             // 4
                   "P00cd = 07u\n"                  // 5 refused by the panel: reported, the load goes on
                   "P00ce = 001u\n"                 // 6 three digits: skipped, the first one counted
                   "P00ce = 03\n"                   // 7 no letter
                   "P = 01u\n"                      // 8 no code: parameter 0 is not written
                   "P00cc01u\n"                     // 9 no "=": not parameter cc01
                   "P123456 = 01u\n"                // 10 not parameter 3456
                   "P0100cc = 01u\n"                // 11 not cc to parameter 0100
                   "P00cc = 12 34u\n"               // 12 not 12 to parameter 00cc
                   "PATH = 12345678 x\n"            // 13 not parameter 000a
                   "p00cf = 05u\n"                  // 14 lower-case "p"
                   "P00CF \t=  04u  \n"             // 15 upper-case hex, blanks
                   "P00c0 = 00b401s");              // 16 a decimal saved with "s", no final line feed
    panel.ClearRequests();
    {
        ModalAnswer answer;
        answer.Expect(wxID_YES).Expect(wxID_OK);
        EXPECT_FALSE(Load(path));
        EXPECT_EQ(Messages(answer),
                  (std::vector<std::string>{SkippedLinesQuestion(9, 6, 4), "Błąd zapisu parametru 00cd"}));
    }
    EXPECT_EQ(panel.RequestTexts(), (std::vector<std::string>{"02300000", "029a00cc02", "029a00cd07",
                                                              "029a00cf04", "029d00c000b401", "0230ffff"}));
    EXPECT_EQ(panel.Param(204)->value, 2u);
    EXPECT_EQ(panel.Param(206)->value, table.Find(206)->value);
    EXPECT_EQ(panel.Param(207)->value, 4u);
    EXPECT_EQ(panel.Param(192)->value, sim::PackDecimal(180, 1));
}

// The link dies part way through a load: a refusal before it is told on its own, the line that
// meets the dead link stops the load with one message that counts every parameter not written.
TEST_F(ConfigBackupTest, LinkLostDuringLoadStopsWithOneMessageCountingTheRest) {
    sim::SimParam refused = *table.Find(205);
    refused.refused = true;
    panel.SetParam(refused);
    const std::string path = File("saved.conf");
    WriteWholeFile(path, "P00cc = 02u\nP00cd = 03u\nP00ce = 04u\nP00cf = 05u\nP00d0 = 06u\n");
    panel.SetHangUpAfterRequests(3);  // mode, 00cc, 00cd answered; the write of 00ce is not
    ModalAnswer answer;
    answer.Expect(wxID_OK).Expect(wxID_OK).Expect(CheckedOk("load stopped by a lost link"));
    EXPECT_FALSE(Load(path));
    EXPECT_EQ(Messages(answer), (std::vector<std::string>{
                                    "Błąd zapisu parametru 00cd", "Błąd w driverze obsługującym komunikację",
                                    "Błąd zapisu parametru 00ce\nBrak połączenia z panelem\nNiezapisane parametry: 4"}));
    EXPECT_EQ(panel.RequestTexts(), (std::vector<std::string>{"02300000", "029a00cc02", "029a00cd03", "029a00ce04"}));
    EXPECT_TRUE(WaitFrameGone());
}

// A mistyped or cut-off file: one question before anything is written, "Nie" by default.
TEST_F(ConfigBackupTest, DamagedFileAsksBeforeWritingAndWritesOnlyOnYes) {
    const std::string path = File("damaged.conf");
    WriteWholeFile(path,
                   "# QM-352 ver=000305 sn=1234\n"
                   "P00cc = 02u\n"
                   "P00cd = 1234 u\n"  // 3 mistyped
                   "P00ce = 03u\n"
                   "P00cf = 0");        // 5 cut off
    ASSERT_NE(table.Find(204)->value, 2u);
    ASSERT_NE(table.Find(206)->value, 3u);
    const struct {
        const char* name;
        int answer;
        std::vector<std::string> requests;
        uint32_t value204, value206;
    } cases[] = {
        {"Nie", wxID_NO, {}, table.Find(204)->value, table.Find(206)->value},
        {"Tak", wxID_YES, {"02300000", "029a00cc02", "029a00ce03", "0230ffff"}, 2, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        panel.SetTable(table);
        panel.ClearRequests();
        std::vector<std::string> requestsWhileAsked = {"<not asked>"};
        uint16_t modeWhileAsked = 0;
        ModalAnswer answer;
        answer.Expect([&](wxDialog* dialog) {
            requestsWhileAsked = panel.RequestTexts();
            modeWhileAsked = panel.ModeWord();
            SettleWindows();
            SaveWindowShot(dialog, std::string("backup question, ") + c.name);
            EXPECT_TRUE(LayoutIsSound(dialog));
            return c.answer;
        });
        EXPECT_FALSE(Load(path));
        ASSERT_EQ(answer.Records().size(), 1u);
        EXPECT_EQ(answer.Records()[0].message.utf8_string(), SkippedLinesQuestion(2, 3, 2));
        EXPECT_EQ(answer.Records()[0].title.utf8_string(), "");
        const long question = wxYES_NO | wxNO_DEFAULT | wxICON_QUESTION;
        EXPECT_EQ(answer.Records()[0].style & question, question);
        // Nothing was sent while the question was open, not even the mode word.
        EXPECT_TRUE(requestsWhileAsked.empty()) << requestsWhileAsked.front();
        EXPECT_EQ(modeWhileAsked, 0xFFFF);
        EXPECT_EQ(panel.RequestTexts(), c.requests);
        EXPECT_EQ(panel.Param(204)->value, c.value204);
        EXPECT_EQ(panel.Param(206)->value, c.value206);
        EXPECT_EQ(panel.ModeWord(), 0xFFFF);
    }
}

// Keys go through the display to the real question: Return and Escape both answer "Nie".
TEST_F(ConfigBackupTest, ReturnAndEscapeOnTheQuestionAnswerNo) {
    const std::string path = File("damaged.conf");
    WriteWholeFile(path, "P00cc = 02u\nP00cd = 1234 u\n");
    for (int key : {WXK_RETURN, WXK_ESCAPE}) {
        SCOPED_TRACE(key);
        panel.ClearRequests();
        int result = wxID_NONE;
        ModalAnswer answer;
        answer.Expect([&](wxDialog* dialog) {
            // Ends the run should the key do nothing.
            wxTimer fallback;
            fallback.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
                if (dialog->IsModal()) dialog->EndModal(wxID_ABORT);
            });
            dialog->Raise();
            EXPECT_TRUE(WaitUntilPainted(dialog));
            // With no window manager the display's focus follows the pointer.
            wxUIActionSimulator keys;
            keys.MouseMove(dialog->GetScreenRect().GetPosition() + wxPoint(10, 10));
            EXPECT_TRUE(WaitUntilFocused(dialog)) << "the key would not reach the question";
            fallback.StartOnce(3000);
            keys.Char(key);
            EXPECT_TRUE(RunLoopUntil([&] { return !dialog->IsModal(); }, 5000));
            result = dialog->GetReturnCode();
            return static_cast<int>(wxID_NONE);
        });
        EXPECT_FALSE(Load(path));
        ASSERT_EQ(answer.Records().size(), 1u);
        EXPECT_EQ(result, wxID_NO);
        EXPECT_TRUE(panel.RequestTexts().empty());
    }
}

// Converts ASCII text to UTF-16 little-endian with its byte-order mark, as some editors save it.
std::string Utf16(const std::string& text) {
    std::string out = "\xFF\xFE";
    for (char c : text) {
        out += c;
        out += '\0';
    }
    return out;
}

// A file that cannot be opened or read, or holds no parameter, is told and sends nothing, not
// even the mode word.
TEST_F(ConfigBackupTest, LoadThatHasNothingToWriteSaysSoAndSendsNothing) {
    const std::string none = "Plik nie zawiera żadnego parametru";
    const struct {
        const char* name;
        std::string content;
        std::string message;
        std::string path;  // empty: a file with the content
    } cases[] = {
        {"empty", "", none, ""},
        {"header alone", "# QM-352 ver=000305 sn=1234\n# 2026-12-07 23:50:12\n\n", none, ""},
        // Every line, and the half line feed after the last, holds NUL bytes.
        {"UTF-16", Utf16("# QM-352 ver=000305 sn=1234\r\nP00cc = 02u\r\nP00cd = 03u\r\n"),
         none + "\nPominięte linie pliku: 4\nPierwsza pominięta: linia 1", ""},
        {"missing", "", "Nie można otworzyć pliku", File("missing.conf")},
        // A regular file that opens, but whose first read fails (the page at address 0 is never
        // mapped).
        {"read error", "", "Błąd czytania pliku", "/proc/self/mem"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string path = c.path;
        if (path.empty()) {
            path = File("left-out.conf");
            WriteWholeFile(path, c.content);
        }
        panel.ClearRequests();
        ModalAnswer answer;
        answer.Expect(wxID_OK);
        EXPECT_FALSE(Load(path));
        EXPECT_EQ(Messages(answer), std::vector<std::string>{c.message});
        EXPECT_TRUE(panel.RequestTexts().empty());
    }
}

// A file whose start reads well and whose next read fails writes none of the parameters read
// before the failure: the kernel itself refuses the read.
TEST_F(ConfigBackupTest, ReadErrorPartWayThroughTheFileWritesNothing) {
    const std::string path = File("cut-off.conf");
    WriteWholeFile(path, "# QM-352 ver=000305 sn=1234\nP00cc = 02u\nP00cd = 03u\nP00ce = 0203u\n");
    FailingReads reads;
    if (!reads.Start(path, 1)) GTEST_SKIP() << "no read error can be made here: " << reads.Error();
    ModalAnswer answer;
    answer.Expect(wxID_OK);
    EXPECT_FALSE(Load(path));
    reads.Stop();
    EXPECT_EQ(reads.Allowed(), 1) << "the start of the file was never read";
    EXPECT_GE(reads.Refused(), 1) << "no read failed";
    EXPECT_EQ(Messages(answer), std::vector<std::string>{"Błąd czytania pliku"});
    EXPECT_TRUE(panel.RequestTexts().empty());
}

// ---------------------------------------------------------------------------------------------
// The menu commands with their file dialogs

TEST_F(ConfigBackupTest, CancelledFileDialogsSendNothing) {
    std::vector<std::string> titles;
    ModalAnswer answer;
    auto cancel = [&titles](wxDialog* dialog) {
        auto* files = dynamic_cast<wxFileDialog*>(dialog);
        if (files) titles.push_back(files->GetMessage().utf8_string());
        return static_cast<int>(wxID_CANCEL);
    };
    answer.Expect(cancel).Expect(cancel);
    wxCommandEvent save(wxEVT_MENU, ID_SAVE_CONFIG);
    frame->GetEventHandler()->ProcessEvent(save);
    wxCommandEvent load(wxEVT_MENU, ID_LOAD_CONFIG);
    frame->GetEventHandler()->ProcessEvent(load);
    EXPECT_EQ(titles, (std::vector<std::string>{"Zachowaj konfigurację do pliku", "Załaduj konfigurację z pliku"}));
    RunLoopFor(100);
    EXPECT_TRUE(panel.RequestTexts().empty());
    EXPECT_FALSE(HasStoredSetting("/path/backup"));
}

TEST_F(ConfigBackupTest, SaveCommandOffersTheDefaultNameAndStoresTheDirectory) {
    StoreSetting("/path/backup", dir);
    wxString offeredDir;
    wxString offeredName;
    ModalAnswer answer;
    answer.Expect([&](wxDialog* dialog) {
        auto* files = dynamic_cast<wxFileDialog*>(dialog);
        if (!files) return static_cast<int>(wxID_CANCEL);
        offeredDir = files->GetDirectory();
        offeredName = files->GetFilename();
        files->SetPath(wxString::FromUTF8((dir + "/chosen.conf").c_str()));
        return static_cast<int>(wxID_OK);
    });
    wxCommandEvent save(wxEVT_MENU, ID_SAVE_CONFIG);
    frame->GetEventHandler()->ProcessEvent(save);
    EXPECT_EQ(offeredDir.utf8_string(), dir);
    EXPECT_TRUE(std::regex_match(offeredName.utf8_string(), std::regex("qm352-1234-\\d{6}-\\d{4}\\.conf")))
        << offeredName.utf8_string();
    const std::vector<std::string> lines = SplitLines(ReadWholeFile(File("chosen.conf")));
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 2, lines.end()), TableLines());
    EXPECT_EQ(StoredSetting("/path/backup"), dir);
}

}  // namespace
