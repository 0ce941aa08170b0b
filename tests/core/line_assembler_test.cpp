#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "comm/LineAssembler.h"

namespace {

struct Collector {
    std::vector<std::string> lines;
    void operator()(const uint8_t* bytes, int32_t length) {
        lines.emplace_back(reinterpret_cast<const char*>(bytes), static_cast<size_t>(length));
    }
};

// Stores the text the way a driver does: read straight into the free space, then commit.
void Receive(LineAssembler& assembler, const std::string& text, Collector& out) {
    ASSERT_LE(static_cast<int32_t>(text.size()), assembler.FreeCount());
    text.copy(reinterpret_cast<char*>(assembler.FreeSpace()), text.size());
    assembler.Commit(static_cast<int32_t>(text.size()), std::ref(out));
}

TEST(LineAssembler, TwoLinesInOneReadComeOutInOrder) {
    LineAssembler assembler;
    Collector out;
    Receive(assembler, "020a01:12:34\r\n020a02:ff\r\n02", out);
    EXPECT_EQ(out.lines, (std::vector<std::string>{"020a01:12:34\r\n", "020a02:ff\r\n"}));
    EXPECT_EQ(assembler.GetFill(), 2) << "the partial line stays";
}

TEST(LineAssembler, PartialLineWaitsForItsTerminator) {
    LineAssembler assembler;
    Collector out;
    Receive(assembler, "0200", out);
    Receive(assembler, "00:1", out);
    EXPECT_TRUE(out.lines.empty());
    Receive(assembler, "2\n", out);
    EXPECT_EQ(out.lines, (std::vector<std::string>{"020000:12\n"}));
    EXPECT_EQ(assembler.GetFill(), 0);
}

TEST(LineAssembler, FullBufferWithoutTerminatorIsDroppedAndTheNextByteStartsALine) {
    LineAssembler assembler;
    Collector out;
    Receive(assembler, std::string(1000, 'a'), out);
    Receive(assembler, std::string(24, 'b'), out);  // exactly full, no LF
    EXPECT_TRUE(out.lines.empty());
    EXPECT_EQ(assembler.GetFill(), 0);
    Receive(assembler, "c\n", out);
    EXPECT_EQ(out.lines, (std::vector<std::string>{"c\n"}));
}

TEST(LineAssembler, LongestLineThatFitsIsKept) {
    LineAssembler assembler;
    Collector out;
    Receive(assembler, std::string(1023, 'x') + "\n", out);
    ASSERT_EQ(out.lines.size(), 1u);
    EXPECT_EQ(out.lines[0].size(), 1024u);
}

TEST(LineAssembler, AppendSplitsInputLargerThanTheBuffer) {
    LineAssembler assembler;
    Collector out;
    // 1500 bytes without LF (the first 1024 are dropped), then a line over several chunks.
    std::string input = std::string(1500, 'z') + "\nab";
    assembler.Append(reinterpret_cast<const uint8_t*>(input.data()), static_cast<int32_t>(input.size()), std::ref(out));
    const std::string rest = "c\r\nd\n";
    for (char byte : rest) assembler.Append(reinterpret_cast<const uint8_t*>(&byte), 1, std::ref(out));
    EXPECT_EQ(out.lines, (std::vector<std::string>{std::string(476, 'z') + "\n", "abc\r\n", "d\n"}));
}

}  // namespace
