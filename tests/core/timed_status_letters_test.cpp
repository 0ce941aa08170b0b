// The letters of the timed regulator's algorithm box: every cell of the three mode reports'
// table, the start-up state, and what is not a mode report.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "comm/TimedStatusLetters.h"

namespace {

using Slots = std::array<std::string, kTimedStatusSlots>;

Slots Letters(int code, uint32_t state, uint32_t init, uint32_t flags) {
    const auto raw = TimedStatusLetters(code, state, init, flags);
    Slots slots;
    for (int i = 0; i < kTimedStatusSlots; ++i) slots[i] = raw[i];
    return slots;
}

TEST(TimedStatusLettersTest, StartUpShowsOnlyWhetherInitialisationCompleted) {
    for (int code : {0xAA, 0xAB, 0xAC}) {
        for (uint32_t init : {3u, 7u, 0xFFu}) EXPECT_EQ(Letters(code, 1, init, 0xFF), (Slots{"ini", "", "", "", "", ""}));
        for (uint32_t init : {0u, 1u, 2u, 4u}) EXPECT_EQ(Letters(code, 1, init, 0xFF), (Slots{"err", "", "", "", "", ""}));
    }
}

TEST(TimedStatusLettersTest, EveryCellOfTheModeTable) {
    const struct {
        int code;
        uint32_t state;
        uint32_t flags;
        Slots expected;
    } cases[] = {
        // 0xAA: S while state 3, I flag bit 0, G flag bit 1.
        {0xAA, 3, 0x00, {"", "", "", "S", " ", " "}},
        {0xAA, 2, 0x03, {"", "", "", " ", "I", "G"}},
        {0xAA, 0, 0xFC, {"", "", "", " ", " ", " "}},
        // 0xAB: s / S by bits 6 and 7, I bit 0, G bit 1, E in state 2 / e in state 3 by bit 6, R bit 5.
        {0xAB, 2, 0x40, {"", "s", " ", " ", "E", " "}},
        {0xAB, 3, 0xC0, {"", "S", " ", " ", "e", " "}},
        {0xAB, 4, 0x63, {"", "s", "I", "G", " ", "R"}},
        {0xAB, 2, 0x80, {"", " ", " ", " ", " ", " "}},
        {0xAB, 0, 0x00, {"", " ", " ", " ", " ", " "}},
        // 0xAC: T bit 7, I bit 0, G bit 1, R bit 6.
        {0xAC, 2, 0x80, {"", "", "T", " ", " ", " "}},
        {0xAC, 3, 0x43, {"", "", " ", "I", "G", "R"}},
        {0xAC, 0, 0x30, {"", "", " ", " ", " ", " "}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << "code " << c.code << " state " << c.state << " flags " << c.flags);
        EXPECT_EQ(Letters(c.code, c.state, 0, c.flags), c.expected);
    }
}

// Each flag bit on its own, so that no letter can follow a neighbouring bit unnoticed.
TEST(TimedStatusLettersTest, EachFlagBitAlone) {
    struct Letter {
        int slot;
        const char* text;
    };
    const struct {
        int code;
        uint32_t state;
        Slots none;                    // no flag bit set
        std::vector<Letter> byBit[8];  // what each bit alone adds
    } codes[] = {
        {0xAA, 2, {"", "", "", " ", " ", " "}, {{{4, "I"}}, {{5, "G"}}, {}, {}, {}, {}, {}, {}}},
        {0xAB, 2, {"", " ", " ", " ", " ", " "}, {{{2, "I"}}, {{3, "G"}}, {}, {}, {}, {{5, "R"}}, {{1, "s"}, {4, "E"}}, {}}},
        {0xAB, 3, {"", " ", " ", " ", " ", " "}, {{{2, "I"}}, {{3, "G"}}, {}, {}, {}, {{5, "R"}}, {{1, "s"}, {4, "e"}}, {}}},
        {0xAC, 2, {"", "", " ", " ", " ", " "}, {{{3, "I"}}, {{4, "G"}}, {}, {}, {}, {}, {{5, "R"}}, {{2, "T"}}}},
    };
    for (const auto& c : codes) {
        for (int bit = 0; bit < 8; ++bit) {
            SCOPED_TRACE(testing::Message() << std::hex << "code " << c.code << " state " << c.state << " bit " << bit);
            Slots expected = c.none;
            for (const Letter& letter : c.byBit[bit]) expected[letter.slot] = letter.text;
            EXPECT_EQ(Letters(c.code, c.state, 0, 1u << bit), expected);
        }
    }
}

TEST(TimedStatusLettersTest, OtherCodesLeaveEverythingEmpty) {
    for (int code : {0xA6, 0xA9, 0xAD})
        EXPECT_EQ(Letters(code, 1, 3, 0xFF), (Slots{"", "", "", "", "", ""})) << code;
}

}  // namespace
