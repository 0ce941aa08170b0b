// The panel simulator, driven over a real pseudo-terminal with lines built here by hand.
#include "sim/PanelSimulator.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "support/core_Pty.h"

namespace {

using Clock = std::chrono::steady_clock;

// Independent of the simulator's own helpers: the 8-bit sum of the hex pairs, ':' skipped;
// -1 for anything that is not a line of hex pairs.
int SumOfPairs(const std::string& text) {
    std::string digits;
    for (char c : text) {
        if (c == ':') continue;
        if (!std::isxdigit(static_cast<unsigned char>(c))) return -1;
        digits += c;
    }
    if (digits.size() % 2 != 0) return -1;
    int sum = 0;
    for (size_t i = 0; i < digits.size(); i += 2) sum += std::stoi(digits.substr(i, 2), nullptr, 16);
    return sum & 0xFF;
}

std::string WithChecksum(const std::string& request) {
    char pair[3];
    std::snprintf(pair, sizeof pair, "%02x", (256 - SumOfPairs(request)) & 0xFF);
    return request + pair + "\r\n";
}

// A reply or report line without its ":" + checksum, after checking that checksum.
std::string Body(const std::string& line) {
    EXPECT_EQ(0, SumOfPairs(line)) << line;
    EXPECT_GE(line.size(), 3u);
    return line.size() >= 3 ? line.substr(0, line.size() - 3) : line;
}

class PanelSimulatorTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(pty_.Open());
        ASSERT_TRUE(sim_.Start(pty_.master));
    }

    void TearDown() override {
        sim_.Stop();
        pty_.Close();
    }

    void Send(const std::string& request) { SendRaw(WithChecksum(request)); }

    void SendRaw(const std::string& bytes) {
        ASSERT_EQ(static_cast<ssize_t>(bytes.size()), write(pty_.slave, bytes.data(), bytes.size()));
    }

    // The next line from the panel without CR LF; "" when none comes in time.
    std::string ReadLine(int timeoutMs = 2000) {
        Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
        for (;;) {
            size_t end = pending_.find('\n');
            if (end != std::string::npos) {
                std::string line = pending_.substr(0, end);
                pending_.erase(0, end + 1);
                if (!line.empty() && line.back() == '\r') line.pop_back();
                return line;
            }
            int left = static_cast<int>(
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count());
            if (left <= 0) return "";
            pollfd in = {pty_.slave, POLLIN, 0};
            if (poll(&in, 1, left) <= 0) continue;
            char buffer[256];
            ssize_t count = read(pty_.slave, buffer, sizeof buffer);
            if (count <= 0) return "";
            pending_.append(buffer, static_cast<size_t>(count));
        }
    }

    // The regulator reports pushed, as "code:field 0" (such as "a5:01"), read until all the
    // expected ones came (a channel's reports take turns, so this spans several periods) or the
    // time is up. Each one's field count is checked against the count the program's decoder demands.
    std::set<std::string> RegulatorReportsSeen(const std::set<std::string>& expected, int ms) {
        const std::map<std::string, size_t> kFieldCounts = {{"a4", 4}, {"a5", 16}, {"a6", 4}, {"a7", 2}, {"a8", 4},
                                                            {"a9", 5}, {"aa", 4}, {"ab", 4}, {"ac", 4}};
        std::set<std::string> seen;
        const Clock::time_point end = Clock::now() + std::chrono::milliseconds(ms);
        while (Clock::now() < end && !std::includes(seen.begin(), seen.end(), expected.begin(), expected.end())) {
            std::string line = ReadLine(50);
            if (line.empty()) continue;
            std::string body = Body(line);
            if (body.compare(0, 2, "02") != 0 || body.compare(4, 2, "00") != 0) continue;
            std::string code = body.substr(2, 2);
            auto expected = kFieldCounts.find(code);
            if (expected == kFieldCounts.end()) continue;
            std::vector<std::string> fields;
            std::stringstream rest(body.substr(7));
            for (std::string field; std::getline(rest, field, ':');) fields.push_back(field);
            EXPECT_EQ(expected->second, fields.size()) << body;
            if (!fields.empty()) seen.insert(code + ":" + fields[0]);
        }
        return seen;
    }

    std::string Transact(const std::string& request) {
        Send(request);
        return Body(ReadLine());
    }

    RawPty pty_;
    std::string pending_;
    sim::PanelSimulator sim_;
};

TEST_F(PanelSimulatorTest, IdentifyAnswersWithTheConfiguredFields) {
    EXPECT_EQ("020a01:0352:000305:0000:0000:04d2:0000", Transact("020a01"));

    sim::SimIdentity ident;
    ident.typeCode = 0x351;
    ident.version = 0x010309;  // 3.9 with the letter A
    ident.flags = 1;
    ident.sixFields = false;
    sim_.SetIdentity(ident);
    EXPECT_EQ("020a7f:0351:010309:0000:0001", Transact("020a7f"));
}

TEST_F(PanelSimulatorTest, WriteThenReadReturnsTheWrittenValue) {
    sim::SimParam counter;
    counter.code = 0x0400;
    counter.type = sim::KIND_U32;
    sim_.SetParam(counter);

    struct Case {
        const char* write;
        const char* writeReply;
        const char* read;
        const char* readReply;
    };
    const Case cases[] = {
        {"029a0100cc02", "029a01:00cc:00", "02860200cc", "028602:00cc:00:01:02"},
        {"029b0300e20457", "029b03:00e2:00", "02860400e2", "028604:00e2:00:02:0457"},
        {"029c05040012345678", "029c05:0400:00", "0286060400", "028606:0400:00:04:12345678"},
        // -1.23 as a decimal: mantissa ff85, two decimals.
        {"029d070204ff8502", "029d07:0204:00", "0286080204", "028608:0204:00:03:ff8502"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.writeReply, Transact(c.write));
        EXPECT_EQ(c.readReply, Transact(c.read));
    }
    EXPECT_EQ(0x12345678u, sim_.Param(0x0400)->value);
}

TEST_F(PanelSimulatorTest, RefusesWritesOfTheWrongKindUnknownCodesAndRefusedParameters) {
    sim::SimParam locked;
    locked.code = 0x0401;
    locked.refused = true;
    locked.attribute = 0x08;
    sim_.SetParam(locked);

    EXPECT_EQ("029b01:00cc:01", Transact("029b0100cc0002"));  // 204 is an 8-bit parameter
    EXPECT_EQ("029a02:7fff:01", Transact("029a027fff01"));
    EXPECT_EQ("029a03:0401:01", Transact("029a03040101"));
    EXPECT_EQ(1u, sim_.Param(204)->value);
    EXPECT_EQ("028604:0401:08:00", Transact("0286040401"));
    EXPECT_EQ("028605:7fff:00:00", Transact("0286057fff"));
}

TEST_F(PanelSimulatorTest, EnumeratesTheListAndReportsDamagedData) {
    sim::ParamTable table;
    sim::SimParam param;
    param.code = 204;
    param.dataError = true;
    param.attribute = 0x07;
    table.Set(param);
    param = sim::SimParam();
    param.code = 0x0210;
    param.type = sim::KIND_U16 | sim::SIGNED_FLAG;
    table.Set(param);
    table.SetListOrder({204, sim::kEmptyListIndex, 0x0210});
    sim_.SetTable(table);

    EXPECT_EQ("02b401:0000:01:00cc:01", Transact("02b4010000"));
    EXPECT_EQ("02b402:0001:04", Transact("02b4020001"));
    EXPECT_EQ("02b403:0002:01:0210:82", Transact("02b4030002"));
    EXPECT_EQ("02b404:0003:02", Transact("02b4040003"));
    // Only bits 3-5 of the attribute carry the damage mark.
    EXPECT_EQ("028605:00cc:27:00", Transact("02860500cc"));
}

TEST_F(PanelSimulatorTest, IgnoresInvalidRequestsAndRecordsValidOnesInOrder) {
    SendRaw("020a0100\r\n");              // wrong checksum
    SendRaw("020a0\r\n");                 // lone digit
    SendRaw("02 a01f3\r\n");              // not hex
    EXPECT_EQ("", ReadLine(150));
    EXPECT_EQ(3, sim_.BadChecksumCount());

    std::string lfOnly = WithChecksum("02860900cc");
    lfOnly.erase(lfOnly.size() - 2, 1);   // drop the CR
    SendRaw(lfOnly);
    EXPECT_EQ("028609:00cc:00:01:01", Body(ReadLine()));
    Send("02860a00cd");
    EXPECT_EQ("02860a:00cd:00:01:01", Body(ReadLine()));

    Send("029a0b00cc");                   // the value is missing
    Send("02ee0c");                       // unknown command
    ASSERT_TRUE(sim_.WaitForRequests(4, 2000));
    EXPECT_EQ("", ReadLine(150));
    EXPECT_EQ(2, sim_.MalformedCount());
    EXPECT_EQ((std::vector<std::string>{"028600cc", "028600cd", "029a00cc", "02ee"}), sim_.RequestTexts());
    EXPECT_EQ(0x0a, sim_.Requests()[1].sequence);
    EXPECT_EQ(0xcdu, sim_.Requests()[1].param);
}

TEST_F(PanelSimulatorTest, PushesReportsOnlyWhileTheModeWordIsFfff) {
    sim_.SetPeriodicReports({sim::RelayReport(0x05)});
    sim_.SetReportPeriodMs(20);
    EXPECT_FALSE(sim_.PushReport(sim::ClockFaultReport()));
    EXPECT_EQ("", ReadLine(150));

    EXPECT_EQ("023001:ffff", Transact("023001ffff"));
    EXPECT_EQ("029700:05", Body(ReadLine()));
    EXPECT_EQ("029700:05", Body(ReadLine()));
    EXPECT_TRUE(sim_.PushReport(sim::ClockReport(0x12345678)));
    std::string line;
    do line = ReadLine(); while (line.rfind("029700", 0) == 0);
    EXPECT_EQ("030000:00:12345678", Body(line));

    Send("0230020000");
    do line = ReadLine(); while (line.rfind("029700", 0) == 0);
    EXPECT_EQ("023002:0000", Body(line));
    EXPECT_EQ("", ReadLine(150));
}

TEST_F(PanelSimulatorTest, ReportBuildersWriteTheDecodedFieldCounts) {
    struct Case {
        sim::SimReport report;
        size_t fields;
    };
    const Case cases[] = {
        {sim::ThermometerReport(-200, 2400, 0x1234), 4},
        {sim::RelayReport(1), 1},
        {sim::AnalogInputReport(0, {}), 14},
        {sim::AnalogSecondReport(0, {}), 6},
        {sim::BusInputReport(0, 0, 2, {}), 6},
        {sim::AnalogOutputReport(0, 1.0f, 0.1f), 3},
        {sim::RegulatorStatusReport(0xA4, 0, {}), 4},
        {sim::RegulatorStatusReport(0xA5, 1, {}), 16},
        {sim::RegulatorStatusReport(0xA7, 0, {1, 2, 3}), 2},
        {sim::RegulatorStatusReport(0xA9, 2, {}), 5},
        {sim::RegulatorStatusReport(0xAC, 3, {}), 4},
        {sim::ClockReport(1), 2},
        {sim::ClockFaultReport(), 1},
    };
    for (const Case& c : cases) EXPECT_EQ(c.fields, c.report.fields.size()) << int(c.report.code);
    EXPECT_EQ("ff38", sim::ThermometerReport(-200, 0, 0).fields[1]);  // 16-bit two's complement
}

TEST_F(PanelSimulatorTest, PlaysEachConfiguredRegulatorChannelForItsType) {
    sim_.SetPeriodicReports({});
    sim_.SetPlayRegulators(true);
    sim_.SetReportPeriodMs(40);
    EXPECT_EQ("023001:ffff", Transact("023001ffff"));

    struct Step {
        std::vector<std::string> writes;  // 8-bit writes: code, value
        std::set<std::string> seen;
    };
    const Step steps[] = {
        // The default table: threshold, PID, timed with option 0, channel 4 switched off.
        {{}, {"a4:00", "a7:00", "a5:01", "a7:01", "a8:01", "a9:01", "a6:02", "a7:02", "aa:02"}},
        // Written as the program's channel dialog writes them: channel 1 off, channel 2 an unknown
        // type, channel 3 timed with option 1, channel 4 PID.
        {{"00d300", "00d407", "024101", "00d602"}, {"a6:02", "a7:02", "ab:02", "a5:03", "a7:03", "a8:03", "a9:03"}},
        // The timed options past 1 share the last mode report.
        {{"024103", "00d301"}, {"a4:00", "a7:00", "a6:02", "a7:02", "ac:02", "a5:03", "a7:03", "a8:03", "a9:03"}},
    };
    for (const Step& step : steps) {
        for (const std::string& write : step.writes) {
            Send("029a10" + write);
            std::string line;
            do line = ReadLine(); while (!line.empty() && line.rfind("029a10", 0) != 0);
            EXPECT_EQ("029a10:" + write.substr(0, 4) + ":00", Body(line));
        }
        EXPECT_EQ(step.seen, RegulatorReportsSeen(step.seen, 3000));
    }
}

TEST_F(PanelSimulatorTest, HangsUpWhenTheRequestAfterTheLastAnsweredOneArrives) {
    sim_.SetHangUpAfterRequests(1);
    EXPECT_EQ("020a01:0352:000305:0000:0000:04d2:0000", Transact("020a01"));
    Send("020a02");
    pollfd in = {pty_.slave, POLLIN, 0};
    ASSERT_EQ(1, poll(&in, 1, 2000));
    EXPECT_TRUE(in.revents & POLLHUP);
    // A hung-up terminal reads as end of file and refuses writes.
    char byte;
    EXPECT_EQ(0, read(pty_.slave, &byte, 1));
    EXPECT_EQ(-1, write(pty_.slave, "x", 1));
    EXPECT_EQ(EIO, errno);
    EXPECT_TRUE(sim_.HasHungUp());
}

TEST_F(PanelSimulatorTest, HoldsDropsAndDelaysReplies) {
    sim_.HoldNextReplies(1);
    Send("020a01");
    EXPECT_EQ("", ReadLine(150));
    Send("020a02");
    EXPECT_EQ("020a01", Body(ReadLine()).substr(0, 6));  // the late one, with its old sequence
    EXPECT_EQ("020a02", Body(ReadLine()).substr(0, 6));

    sim_.DropNextReplies(1);
    sim_.SetSilentCommands({0x86});
    Send("020a03");
    Send("02860400cc");
    Send("020a05");
    EXPECT_EQ("020a05", Body(ReadLine()).substr(0, 6));
    EXPECT_EQ("", ReadLine(150));

    sim_.SetReplyDelayMs(200);
    Send("020a06");
    EXPECT_EQ("", ReadLine(100));
    EXPECT_EQ("020a06", Body(ReadLine()).substr(0, 6));
}

TEST_F(PanelSimulatorTest, CorruptsChecksumsAndInterleavesGarbageOnRequest) {
    sim_.SetCorruptReplyChecksums(true);
    Send("020a01");
    std::string line = ReadLine();
    EXPECT_EQ(1, SumOfPairs(line)) << line;

    sim_.SetCorruptReplyChecksums(false);
    sim_.SetGarbageBeforeReplies(true);
    Send("020a02");
    EXPECT_NE(0, SumOfPairs(ReadLine()));
    EXPECT_EQ("020a02", Body(ReadLine()).substr(0, 6));
}

TEST_F(PanelSimulatorTest, PacingSendsAbout960BytesPerSecond) {
    sim_.SetPacing(true);
    const std::string bytes(94, 'x');  // with CR LF: 96 bytes, 100 ms on the wire
    Clock::time_point start = Clock::now();
    sim_.PushRawBytes(bytes + "\r\n");
    EXPECT_EQ(bytes, ReadLine(3000));
    double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    EXPECT_GE(ms, 95.0);
    EXPECT_LE(ms, 400.0);  // generous for sanitizer builds
}

}  // namespace
